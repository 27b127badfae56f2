#include "builtins.h"

#include "builtin_families.h"

namespace tesmora {

const BuiltinRegistry &builtinRegistry()
{
    static const BuiltinRegistry registry = [] {
        BuiltinRegistry r(FunctionTable::Embedded);
        registerBuiltinFamilies(r);
        return r;
    }();
    return registry;
}

} // namespace tesmora
