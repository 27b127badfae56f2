// The families of built-in functions; each registers its members. Their
// help texts are data (function_help.h).
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

// The help text of a row in `language` (0 English, 1 Russian); empty when
// the row has none.
QString functionDescription(FunctionTable table, int row, int language);

} // namespace tesmora
