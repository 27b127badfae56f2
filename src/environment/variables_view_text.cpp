// The texts of the variables view: cell values by kind, the display order,
// the detail view of a variable and the elapsed-time text.
#include "help_window.h"
#include "variables_view.h"

#include "core/message_catalogue.h"
#include "core/numbers.h"
#include "library/text_forms.h"

#include <QDir>
#include <QFileInfo>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace tesmora {

namespace {

const QChar kStringMark(0x25CF); // ●

// "%6.0f" with a full stop (only ever given whole values).
QString wholeSixWide(double x)
{
    if (x == 0.0)
        x = 0.0; // no "-0"
    return QString::asprintf("%6.0f", x);
}

// Upper case for the display order: only a-z are folded.
QString sortKey(const QString &name)
{
    QString key = name;
    for (QChar &c : key) {
        const char16_t u = c.unicode();
        if (u >= u'a' && u <= u'z')
            c = QChar(char16_t(u - 32));
    }
    return key;
}

// The value formatted "0.###############": fixed notation, at most 15
// decimals and 15 significant digits, no trailing zeros.
QString hashPattern(double x)
{
    if (!std::isfinite(x))
        return GeneralNumberText(x);
    int decimals = 15;
    if (std::fabs(x) >= 1.0) {
        const int intDigits = static_cast<int>(std::floor(std::log10(std::fabs(x)))) + 1;
        decimals = std::max(0, std::min(15, 15 - intDigits));
    }
    char buf[400];
    const auto res = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, decimals);
    QString s = QString::fromLatin1(buf, static_cast<int>(res.ptr - buf));
    if (s.contains(QLatin1Char('.'))) {
        while (s.endsWith(QLatin1Char('0')))
            s.chop(1);
        if (s.endsWith(QLatin1Char('.')))
            s.chop(1);
    }
    if (s == QLatin1String("-0"))
        s = QStringLiteral("0");
    return s;
}

// The value formatted "%e": d.dddddddddddddd (15 digits), "E", the sign and
// at least three exponent digits, e.g. 2.50000000000000E+000.
QString exponentForm(double x)
{
    if (!std::isfinite(x))
        return GeneralNumberText(x);
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific, 14);
    const std::string s(buf, res.ptr);
    const auto epos = s.find('e');
    const int exponent = std::stoi(s.substr(epos + 1));
    return QString::fromLatin1(s.data(), static_cast<int>(epos)) + QLatin1Char('E') +
           QLatin1Char(exponent < 0 ? '-' : '+') +
           QStringLiteral("%1").arg(std::abs(exponent), 3, 10, QLatin1Char('0'));
}

QString notFoundText(const QString &name, int language)
{
    return catalogueText(25, language) + QLatin1Char('\r') + name + QStringLiteral(" = ") +
           QLatin1Char('\r') + formatMessage(catalogueText(76, language), {name});
}

} // namespace

QString VariableValueText(const Tvariable &v, bool localGrid, int language)
{
    const QString &text = v.text();
    switch (v.kind) {
    case wkString:
        return kStringMark + text + kStringMark;
    case wkStringDQ:
        return QLatin1Char('"') + text + QLatin1Char('"');
    case wkInt:
        return text;
    case wkFloat: {
        if (text.isEmpty())
            return {};
        const ParsedNumber p = ParseVariableNumber(text);
        if (!p.ok())
            return {};
        const double x = p.value;
        if (!std::isfinite(x))
            return text;
        if (x != std::floor(x))
            return NumText(11, x);
        if (!localGrid && std::fabs(x) > 1000000.0)
            return NumText(11, x);
        return wholeSixWide(x);
    }
    case wkUnknownIdentifier:
        if (!localGrid)
            return QStringLiteral("! ") + formatMessage(catalogueText(76, language), {v.VarName});
        break;
    default:
        break;
    }
    return QLatin1Char('<') + text + QLatin1Char('>');
}

QList<int> SortedVariableOrder(const QList<Tvariable> &variables)
{
    const int n = static_cast<int>(variables.size());
    QList<int> order(n);
    QStringList keys;
    keys.reserve(n);
    for (int i = 0; i < n; ++i) {
        order[i] = i;
        keys << sortKey(variables.at(i).VarName);
    }
    // Pairwise exchange from the first position on; the keys move with the
    // indexes so that every comparison is between the current occupants.
    for (int i = 0; i < n; ++i) {
        for (int j = i + 1; j < n; ++j) {
            if (QString::compare(keys.at(i), keys.at(j), Qt::CaseSensitive) > 0) {
                order.swapItemsAt(i, j);
                keys.swapItemsAt(i, j);
            }
        }
    }
    return order;
}

QString HexDigitsToBits(const QString &hexDigits)
{
    QString out;
    for (QChar c : hexDigits) {
        const char16_t u = c.unicode();
        int digit = -1;
        if (u >= u'0' && u <= u'9')
            digit = u - u'0';
        else if (u >= u'A' && u <= u'F')
            digit = u - u'A' + 10;
        if (digit < 0)
            continue;
        out += QLatin1Char(' ');
        for (int bit = 3; bit >= 0; --bit)
            out += QLatin1Char((digit >> bit) & 1 ? '1' : '0');
    }
    return out;
}

QString ElapsedTimeText(qint64 elapsedMs)
{
    if (elapsedMs < 0)
        elapsedMs = 0;
    const qint64 seconds = elapsedMs / 1000;
    return QStringLiteral("%1:%2")
        .arg(seconds / 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QString VariableDetailsText(const Tvariable &v, int language)
{
    QString text = catalogueText(25, language) + QLatin1Char('\r') + v.VarName + QStringLiteral(" = ");
    const QString &value = v.text();
    if (!isNumberKind(v.kind))
        return text + QLatin1Char('\r') + QLatin1Char('\'') + value + QLatin1Char('\'');

    const ParsedNumber p = ParseVariableNumber(value);
    if (!p.ok())
        return text + value;
    const double x = p.value;
    // A whole value that fits 64 bits shows its hexadecimal and binary
    // digits; a negative one as the digits of its magnitude after a minus
    // sign, in the binary line in place of the first blank.
    const bool whole =
        !value.contains(QLatin1Char('.')) && std::isfinite(x) && x == std::floor(x) && std::fabs(x) < 9.2e18;
    if (!whole)
        return text + hashPattern(x) + QStringLiteral("  ") + exponentForm(x);
    const auto magnitude = static_cast<quint64>(std::fabs(x));
    const QString hex = QString::number(magnitude, 16).toUpper();
    const QString sign = x < 0 ? QStringLiteral("-") : QString();
    const QString bits = x < 0 ? QLatin1Char('-') + HexDigitsToBits(hex).mid(1) : HexDigitsToBits(hex);
    return text + value + QStringLiteral("\rhex: ") + sign + hex + QStringLiteral("\rbin: ") + bits;
}

QString ArrayDetailsText(const t_arr_specification &array, int language)
{
    return ArrayListing(array, language);
}

QString VariableDetailsText(const Interpreter &in, const QString &name)
{
    if (name.contains(QStringLiteral("[]"))) {
        const QString arrayName = name.left(name.size() - 2);
        const int n = in.FindArray(arrayName);
        if (n > 0)
            return ArrayDetailsText(in.arrays().at(n), in.language());
        return notFoundText(arrayName, in.language());
    }
    const int i = in.FindVariable(name);
    if (i < 0)
        return notFoundText(name, in.language());
    return VariableDetailsText(in.variables().at(i), in.language());
}

bool EnsureTempFolder(const Interpreter &in, const std::function<void(const QString &)> &report)
{
    const QString folder = in.programFolder() + QStringLiteral("Temp/");
    if (!QFileInfo(folder).isDir())
        QDir().mkpath(folder);
    if (QFileInfo(folder).isDir())
        return true;
    if (report)
        report(formatMessage(catalogueText(208, in.language()), {QDir::toNativeSeparators(folder)}));
    return false;
}

bool ShowVariableDetails(const QString &name, const Interpreter &in, HelpWindow &help,
                         const std::function<void(const QString &)> &report)
{
    if (!EnsureTempFolder(in, report))
        return false;
    help.setLanguage(in.language());
    help.setHelpText(VariableDetailsText(in, name));
    help.ShowHelp();
    return true;
}

} // namespace tesmora
