// The function reference texts and the keyword search over the four
// function description tables.
#include "help_reference.h"

#include "help_topics.h"

#include "core/message_catalogue.h"
#include "library/builtin_families.h"

#include <QStringList>

namespace tesmora {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

QString hyphens()
{
    return QString(56, QLatin1Char('-'));
}

struct TableKind {
    FunctionTable table;
    int kindMessage; // the first line of an entry
};

// The order in which a function item and the keyword search consult the
// tables.
constexpr TableKind kSearchOrder[] = {{FunctionTable::Embedded, 32},
                                      {FunctionTable::JavaScript, 35},
                                      {FunctionTable::Graph, 33},
                                      {FunctionTable::Dialog, 43}};

bool rowMatches(const T_FunctionDescription &d, const QString &description, const QStringList &keywords)
{
    const QString formula = upperAZ(d.formula());
    const QString synonym = upperAZ(d.sinonim());
    const QString text = upperAZ(description);
    for (const QString &k : keywords)
        if (!formula.contains(k) && !synonym.contains(k) && !text.contains(k))
            return false;
    return true;
}

} // namespace

QString rowDescription(FunctionTable table, int row, int language)
{
    const QString help = functionDescription(table, row, language);
    if (!help.isEmpty())
        return help;
    const auto rows = functionTable(table);
    if (row < 0 || row >= static_cast<int>(rows.size()))
        return {};
    return QString::fromUtf16(rows[static_cast<size_t>(row)].Description[language == 1 ? 1 : 0]);
}

QString FunctionItemText(const QString &name, int language)
{
    for (const TableKind &t : kSearchOrder) {
        const int row = catalogueRow(FindCatalogueFunction(t.table, name));
        if (row < 0)
            continue;
        const T_FunctionDescription &d = functionTable(t.table)[static_cast<size_t>(row)];
        QString text = catalogueText(t.kindMessage, language) + QLatin1Char('\r');
        text += (d.formula().startsWith(QStringLiteral("Introduction")) ? catalogueText(20, language)
                                                                        : d.formula()) +
                QLatin1Char('\r');
        if (!d.sinonim().isEmpty())
            text += catalogueText(86, language) + d.sinonim() + QLatin1Char('\r');
        return text + rowDescription(t.table, row, language) + kCrLf + hyphens() + kCrLf;
    }
    return {};
}

QString KeywordSearchText(const QString &answer, int language)
{
    QString typed = answer.trimmed();
    if (typed.size() <= 1)
        return {};
    typed.replace(QLatin1Char(' '), QLatin1Char(',')).replace(QLatin1Char(';'), QLatin1Char(','));
    typed.replace(QStringLiteral(",,"), QStringLiteral(","));
    typed.replace(QStringLiteral(",,"), QStringLiteral(","));
    QStringList keywords;
    for (const QString &piece : typed.split(QLatin1Char(','))) {
        const QString k = piece.trimmed();
        if (!k.isEmpty())
            keywords << upperAZ(k);
    }
    if (keywords.isEmpty())
        return {};

    QString text = QLatin1Char(' ') + typed + kCrLf;
    for (const TableKind &t : kSearchOrder) {
        const auto rows = functionTable(t.table);
        for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
            const T_FunctionDescription &d = rows[static_cast<size_t>(row)];
            const QString description = rowDescription(t.table, row, language);
            if (!rowMatches(d, description, keywords))
                continue;
            text += d.formula() + kCrLf;
            if (!d.sinonim().isEmpty())
                text += catalogueText(86, language) + d.sinonim() + kCrLf;
            text += description + kCrLf + hyphens() + kCrLf;
        }
    }
    return text;
}

int TopicForMenuItem(const QString &itemName)
{
    QString name = itemName.mid(3);
    name.remove(QLatin1Char('_'));
    return FindHelpTopic(name);
}

} // namespace tesmora
