#include "function_help.h"

#include <QFile>

// The help files are compiled into this static library: their resource is
// registered explicitly before the first read.
static void initFunctionHelpResources()
{
    Q_INIT_RESOURCE(function_help);
}

namespace tesmora {

namespace {

struct Family {
    const char *file;
    FunctionTable table;
};

constexpr Family kFamilies[] = {
    {"Strings", FunctionTable::Embedded},
    {"Math", FunctionTable::Embedded},
    {"Arrays", FunctionTable::Embedded},
    {"DateTime", FunctionTable::Embedded},
    {"Files", FunctionTable::Embedded},
    {"Os", FunctionTable::Embedded},
    {"Eval", FunctionTable::Embedded},
    {"JavaScript", FunctionTable::JavaScript},
    {"Graphics", FunctionTable::Graph},
    {"Dialogs", FunctionTable::Dialog},
    {"GraphicsInteraction", FunctionTable::Graph},
};

const QString kHeader = QStringLiteral("==== ");

QString readHelpFile(const char *language, const char *family)
{
    QFile f(QStringLiteral(":/help/functions/%1/%2.txt").arg(QLatin1String(language), QLatin1String(family)));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
}

// The entries of one family: the English names in their order, then any
// name only the Russian file has; a text missing in one language stays
// empty.
void appendFamily(const Family &family, QList<FunctionHelp> &out)
{
    const qsizetype first = out.size();
    auto entryOf = [&](const QString &name) -> FunctionHelp & {
        for (qsizetype i = first; i < out.size(); ++i)
            if (out[i].name == name)
                return out[i];
        out.append({family.table, name, {}});
        return out.last();
    };
    for (const auto &[name, text] : parseFunctionHelp(readHelpFile("en", family.file)))
        entryOf(name).text[0] = text;
    for (const auto &[name, text] : parseFunctionHelp(readHelpFile("ru", family.file)))
        entryOf(name).text[1] = text;
}

} // namespace

QList<std::pair<QString, QString>> parseFunctionHelp(const QString &fileText)
{
    QList<std::pair<QString, QString>> entries;
    QStringList lines;
    auto finish = [&] {
        while (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        if (!entries.isEmpty())
            entries.last().second = lines.join(QStringLiteral("\r\n"));
        lines.clear();
    };
    QString text = fileText;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        if (line.startsWith(kHeader)) {
            finish();
            entries.append({line.mid(kHeader.size()).trimmed(), {}});
        } else if (!entries.isEmpty()) {
            lines << line;
        }
    }
    finish();
    return entries;
}

const QList<FunctionHelp> &allFunctionHelp()
{
    static const QList<FunctionHelp> all = [] {
        initFunctionHelpResources();
        QList<FunctionHelp> help;
        for (const Family &family : kFamilies)
            appendFamily(family, help);
        return help;
    }();
    return all;
}

} // namespace tesmora
