#include "message_catalogue.h"

#include "numbers.h"

#include <array>
#include <cmath>

namespace tesmora {

namespace {

const std::array<const CatalogueRow *, kCatalogueSize + 1> &rowIndex()
{
    static const auto index = [] {
        std::array<const CatalogueRow *, kCatalogueSize + 1> ix{};
        for (int i = 0; i < kCatalogueRowCount; ++i)
            ix[static_cast<size_t>(kCatalogueRows[i].id)] = &kCatalogueRows[i];
        return ix;
    }();
    return index;
}

} // namespace

QString catalogueText(int id, int language)
{
    if (id < 1 || id > kCatalogueSize)
        return {};
    const CatalogueRow *row = rowIndex()[static_cast<size_t>(id)];
    if (!row)
        return {};
    return QString::fromUtf16(language == 1 ? row->ru : row->en);
}

QString catalogueRowLabel(int id)
{
    return QStringLiteral("%1").arg(id, 2, 10, QLatin1Char('0'));
}

QString fixedTwoDecimals(double x, bool thousands)
{
    const bool neg = x < 0;
    const double cents = std::nearbyint(std::fabs(x) * 100.0);
    const double whole = std::floor(cents / 100.0);
    const int frac = static_cast<int>(cents - whole * 100.0);
    QString intPart = QString::number(whole, 'f', 0);
    if (thousands) {
        const QChar sep = systemThousandsSeparator();
        for (int i = static_cast<int>(intPart.size()) - 3; i > 0; i -= 3)
            intPart.insert(i, sep);
    }
    // A negative value keeps its sign also when it rounds to zero (-0.00).
    QString out = neg ? QStringLiteral("-") : QString();
    out += intPart;
    out += systemDecimalSeparator();
    out += QStringLiteral("%1").arg(frac, 2, 10, QLatin1Char('0'));
    return out;
}

QString formatMessage(const QString &pattern, const MessageArgs &args)
{
    QString out;
    out.reserve(pattern.size() + 32);
    int next = 0;
    const int n = static_cast<int>(pattern.size());
    for (int i = 0; i < n; ++i) {
        const QChar c = pattern.at(i);
        if (c == QLatin1Char('%') && i + 1 < n) {
            const char16_t spec = pattern.at(i + 1).unicode();
            if (spec == u's' || spec == u'd' || spec == u'f' || spec == u'n') {
                ++i;
                if (next >= args.size()) {
                    // Fewer arguments than placeholders: keep the placeholder.
                    out += c;
                    out += QChar(spec);
                    continue;
                }
                const QVariant &a = args.at(next++);
                switch (spec) {
                case u's':
                    out += a.toString();
                    break;
                case u'd':
                    out += QString::number(a.toLongLong());
                    break;
                case u'f':
                    out += fixedTwoDecimals(a.toDouble(), false);
                    break;
                default:
                    out += fixedTwoDecimals(a.toDouble(), true);
                    break;
                }
                continue;
            }
        }
        out += c;
    }
    return out;
}

} // namespace tesmora
