// The topic table. The texts live in resource files, one per topic and
// language (":/help/en/For.txt"), written with ordinary line breaks.
#include "help_topics.h"

#include <QFile>
#include <array>

// The topic texts are compiled into this static library: their resource
// is registered explicitly before the first read.
static void initHelpResources()
{
    Q_INIT_RESOURCE(help);
}

namespace tesmora {

namespace {

// Rows 0..20 in their fixed order; rows 21 and 22 stay empty.
constexpr const char *kTopicNames[] = {
    "DataTypes",
    "AssignmentOperator",
    "Operators",
    "BitwiseOperators",
    "For",
    "Repeat",
    "Break",
    "BreakIf",
    "Continue",
    "ContinueIf",
    "If",
    "Array",
    "Function",
    "FunctionsReturnValues",
    "Include",
    "LaunchFromCommandLine",
    "ExtendedCharacterSet",
    "SimbolsDegreesAndRoots",
    "LineContinuationCharacter",
    "TRYkeyword",
    "EditorTutorial",
};
static_assert(std::size(kTopicNames) == 21);

QString readTopic(const QString &language, const QString &name)
{
    QFile f(QStringLiteral(":/help/%1/%2.txt").arg(language, name));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return topicMarkup(QString::fromUtf8(f.readAll()));
}

const std::array<HelpTopic, kHelpTopicRows> &topicTable()
{
    static const std::array<HelpTopic, kHelpTopicRows> table = [] {
        initHelpResources();
        std::array<HelpTopic, kHelpTopicRows> t;
        for (size_t i = 0; i < std::size(kTopicNames); ++i) {
            t[i].name = QString::fromLatin1(kTopicNames[i]);
            t[i].text[0] = readTopic(QStringLiteral("en"), t[i].name);
            t[i].text[1] = readTopic(QStringLiteral("ru"), t[i].name);
        }
        return t;
    }();
    return table;
}

} // namespace

QString upperAZ(const QString &s)
{
    QString out = s;
    for (QChar &c : out)
        if (c.unicode() >= u'a' && c.unicode() <= u'z')
            c = QChar(char16_t(c.unicode() - 32));
    return out;
}

QString lowerAZ(const QString &s)
{
    QString out = s;
    for (QChar &c : out)
        if (c.unicode() >= u'A' && c.unicode() <= u'Z')
            c = QChar(char16_t(c.unicode() + 32));
    return out;
}

QString topicMarkup(const QString &fileText)
{
    QString text = fileText;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    text.replace(QLatin1Char('\n'), QStringLiteral("~~eol~~"));
    return text;
}

const HelpTopic &helpTopic(int row)
{
    static const HelpTopic empty;
    if (row < 0 || row >= kHelpTopicRows)
        return empty;
    return topicTable()[static_cast<size_t>(row)];
}

int FindHelpTopic(const QString &word)
{
    const QString w = lowerAZ(word).trimmed();
    if (w.isEmpty())
        return -1;
    for (int row = 0; row < kHelpTopicRows; ++row) {
        const QString &name = helpTopic(row).name;
        if (!name.isEmpty() && lowerAZ(name) == w)
            return row;
    }
    return -1;
}

} // namespace tesmora
