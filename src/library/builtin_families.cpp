#include "builtin_families.h"

namespace tesmora {

void registerBuiltinFamilies(BuiltinRegistry &registry)
{
    (void)registry;
}

} // namespace tesmora
