// Mathematical functions.
#include "builtin_families.h"

namespace tesmora {

void registerMathFunctions(BuiltinRegistry &registry) { (void)registry; }

void addMathHelp(QList<FunctionHelp> &help) { (void)help; }

} // namespace tesmora
