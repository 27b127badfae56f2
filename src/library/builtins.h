// The built-in functions: one implementation attached to every row of the
// built-in table, each reading its call through the shared FunctionCall.
#pragma once

#include "function_call.h"
#include "function_catalogue.h"

namespace tesmora {

using BuiltinFunction = void (*)(FunctionCall &call);
using BuiltinRegistry = FunctionRegistry<BuiltinFunction>;

// The registry of the built-in table, filled once by every family.
const BuiltinRegistry &builtinRegistry();

} // namespace tesmora
