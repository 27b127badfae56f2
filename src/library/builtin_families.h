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

// Help texts of catalogue rows (English and Russian, lines separated by CR LF).
struct FunctionHelp {
    FunctionTable table;
    int row;
    const char16_t *en;
    const char16_t *ru;
};
void addStringHelp(QList<FunctionHelp> &help);
void addMathHelp(QList<FunctionHelp> &help);
void addArrayHelp(QList<FunctionHelp> &help);
void addDateTimeHelp(QList<FunctionHelp> &help);
void addFileHelp(QList<FunctionHelp> &help);
void addOsHelp(QList<FunctionHelp> &help);
void addJavaScriptHelp(QList<FunctionHelp> &help); // Eval and every JavaScript-backed row
void addDialogHelp(QList<FunctionHelp> &help);     // InputString, InputText, Message, Menu

// The help text of a row in `language` (0 English, 1 Russian); empty when
// the row has none yet.
QString functionDescription(FunctionTable table, int row, int language);

} // namespace tesmora
