// Eval and the help texts of the JavaScript-backed functions.
#include "builtin_families.h"

namespace tesmora {

void registerJavaScriptFunctions(BuiltinRegistry &registry) { (void)registry; }

void addJavaScriptHelp(QList<FunctionHelp> &help) { (void)help; }

} // namespace tesmora
