#include "builtin_families.h"

#include "function_catalogue.h"

namespace tesmora {

void registerBuiltinFamilies(BuiltinRegistry &registry)
{
    registerStringFunctions(registry);
    registerMathFunctions(registry);
    registerArrayFunctions(registry);
    registerDateTimeFunctions(registry);
    registerFileFunctions(registry);
    registerOsFunctions(registry);
    registerJavaScriptFunctions(registry);
}

QString functionDescription(FunctionTable table, int row, int language)
{
    const FunctionCatalogue &catalogue = functionCatalogue(table);
    if (row < 0 || row >= catalogue.size())
        return {};
    return catalogue.at(row).help[language == 1 ? 1 : 0];
}

} // namespace tesmora
