// The families of built-in functions; each registers its members.
#pragma once

#include "builtins.h"

namespace tesmora {

void registerBuiltinFamilies(BuiltinRegistry &registry);

} // namespace tesmora
