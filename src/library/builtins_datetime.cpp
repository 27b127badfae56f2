// Date and time functions.
#include "builtin_families.h"

namespace tesmora {

void registerDateTimeFunctions(BuiltinRegistry &registry) { (void)registry; }

void addDateTimeHelp(QList<FunctionHelp> &help) { (void)help; }

} // namespace tesmora
