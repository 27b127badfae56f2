// Array and matrix functions, Check and Exists.
#include "builtin_families.h"

namespace tesmora {

void registerArrayFunctions(BuiltinRegistry &registry) { (void)registry; }

void addArrayHelp(QList<FunctionHelp> &help) { (void)help; }

} // namespace tesmora
