// String and conversion functions.
#include "builtin_families.h"

namespace tesmora {

void registerStringFunctions(BuiltinRegistry &registry) { (void)registry; }

void addStringHelp(QList<FunctionHelp> &help) { (void)help; }

} // namespace tesmora
