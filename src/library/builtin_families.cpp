#include "builtin_families.h"

#include <QHash>

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
    static const QHash<int, FunctionHelp> help = [] {
        QList<FunctionHelp> all;
        addStringHelp(all);
        addMathHelp(all);
        addArrayHelp(all);
        addDateTimeHelp(all);
        addFileHelp(all);
        addOsHelp(all);
        addJavaScriptHelp(all);
        addDialogHelp(all);
        QHash<int, FunctionHelp> byKey;
        for (const FunctionHelp &h : all)
            byKey.insert(static_cast<int>(h.table) * 1000 + h.row, h);
        return byKey;
    }();
    const auto it = help.constFind(static_cast<int>(table) * 1000 + row);
    if (it == help.constEnd())
        return {};
    return QString::fromUtf16(language == 1 ? it->ru : it->en);
}

} // namespace tesmora
