// File functions.
#include "builtin_families.h"

namespace tesmora {

void registerFileFunctions(BuiltinRegistry &registry) { (void)registry; }

void addFileHelp(QList<FunctionHelp> &help) { (void)help; }

} // namespace tesmora
