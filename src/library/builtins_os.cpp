// Operating-system functions: Sleep, OS_OpenFile, ScanDir, Play_Sound, Exit.
#include "builtin_families.h"

namespace tesmora {

void registerOsFunctions(BuiltinRegistry &registry) { (void)registry; }

void addOsHelp(QList<FunctionHelp> &help) { (void)help; }

} // namespace tesmora
