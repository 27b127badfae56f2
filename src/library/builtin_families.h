// The families of built-in functions; each registers its members and its
// help texts.
#pragma once

#include "builtins.h"
#include "function_tables.h"

#include <QList>

namespace tesmora {

void registerBuiltinFamilies(BuiltinRegistry &registry);

void registerStringFunctions(BuiltinRegistry &registry); // strings and conversion
void registerMathFunctions(BuiltinRegistry &registry);   // sqrt, cubic_root, pow, Random
void registerArrayFunctions(BuiltinRegistry &registry);  // arrays, matrices, Check, Exists
void registerDateTimeFunctions(BuiltinRegistry &registry);
void registerFileFunctions(BuiltinRegistry &registry);
void registerOsFunctions(BuiltinRegistry &registry);
void registerJavaScriptFunctions(BuiltinRegistry &registry); // Eval

// Help texts of a catalogue row, named by its Formula name (English and
// Russian, lines separated by CR LF).
struct FunctionHelp {
    FunctionTable table;
    const char *name;
    const char16_t *en;
    const char16_t *ru;
};
void addStringHelp(QList<FunctionHelp> &help);
void addMathHelp(QList<FunctionHelp> &help);
void addArrayHelp(QList<FunctionHelp> &help);
void addDateTimeHelp(QList<FunctionHelp> &help);
void addFileHelp(QList<FunctionHelp> &help);
void addOsHelp(QList<FunctionHelp> &help);
void addJavaScriptHelp(QList<FunctionHelp> &help);          // Eval and every JavaScript-backed row
void addGraphicsHelp(QList<FunctionHelp> &help);            // the canvas and drawing rows
void addDialogHelp(QList<FunctionHelp> &help);              // InputString, InputText, Message, Menu
void addGraphicsInteractionHelp(QList<FunctionHelp> &help); // indicators, pictograms, cursor, click handlers

// Every help text of every table.
QList<FunctionHelp> allFunctionHelp();

// The help text of a row in `language` (0 English, 1 Russian); empty when
// the row has none.
QString functionDescription(FunctionTable table, int row, int language);

} // namespace tesmora
