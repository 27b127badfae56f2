#include "text_forms.h"

#include "core/message_catalogue.h"
#include "core/numbers.h"

#include <charconv>
#include <cmath>
#include <string>
#include <vector>

namespace tesmora {

namespace {

// x with exactly 9 decimals and "." as separator (|x| is below 1E10 here).
QString fixedNineDecimals(double x)
{
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, 9);
    return QString::fromLatin1(buf, static_cast<int>(res.ptr - buf));
}

// x in general format with 5 significant digits: fixed notation for decimal
// exponents -3..5 (x = 0.d1d2.. x 10^e), otherwise d1.d2..E[-]xxx.
QString generalFiveDigits(double x)
{
    if (!std::isfinite(x))
        return GeneralNumberText(x);
    if (x == 0.0)
        return QStringLiteral("0");
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(x), std::chars_format::scientific, 4);
    const std::string s(buf, res.ptr);
    const auto epos = s.find('e');
    std::string digits;
    for (char c : s.substr(0, epos))
        if (c != '.')
            digits += c;
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    const int e = std::stoi(s.substr(epos + 1)) + 1;
    const int n = static_cast<int>(digits.size());
    QString out;
    if (x < 0)
        out += QLatin1Char('-');
    if (e >= -3 && e <= 5) {
        if (e <= 0) {
            out += QStringLiteral("0.");
            out += QString(-e, QLatin1Char('0'));
            out += QString::fromLatin1(digits.data(), n);
        } else if (n <= e) {
            out += QString::fromLatin1(digits.data(), n);
            out += QString(e - n, QLatin1Char('0'));
        } else {
            out += QString::fromLatin1(digits.data(), e);
            out += QLatin1Char('.');
            out += QString::fromLatin1(digits.data() + e, n - e);
        }
    } else {
        out += QLatin1Char(digits[0]);
        if (n > 1) {
            out += QLatin1Char('.');
            out += QString::fromLatin1(digits.data() + 1, n - 1);
        }
        out += QLatin1Char('E');
        const int ex = e - 1;
        if (ex < 0)
            out += QLatin1Char('-');
        out += QStringLiteral("%1").arg(std::abs(ex), 3, 10, QLatin1Char('0'));
    }
    return out;
}

// Removes leading and trailing blanks and control characters.
QString trimControls(const QString &s)
{
    qsizetype from = 0;
    qsizetype to = s.size();
    while (from < to && s.at(from).unicode() <= 0x20)
        ++from;
    while (to > from && s.at(to - 1).unicode() <= 0x20)
        --to;
    return s.mid(from, to - from);
}

// The element at flat position `pos` as the one-line text writes it.
QString shortElementText(const t_arr_specification &a, std::int64_t pos)
{
    switch (a.data_type) {
    case wkString:
        return QLatin1Char('\'') + cellString(a, pos) + QLatin1Char('\'');
    case wkInt:
        return QString::number(cellInteger(a, pos));
    default:
        return trimControls(NumText(10, cellNumber(a, pos)));
    }
}

} // namespace

QString NumText(int width, double x)
{
    const bool ordinary = (x > 0.0001 && x < 9999999999.0) || (x > -999999999.0 && x < -0.0001);
    QString s;
    if (ordinary) {
        s = fixedNineDecimals(x).rightJustified(width, QLatin1Char(' ')).left(width);
        if (s.contains(QLatin1Char('.'))) {
            // Trailing zeros become blanks; a dangling point goes.
            qsizetype k = s.size() - 1;
            while (k >= 0 && (s.at(k) == QLatin1Char('0') || s.at(k) == QLatin1Char(' '))) {
                s[k] = QLatin1Char(' ');
                --k;
            }
            if (k >= 0 && s.at(k) == QLatin1Char('.'))
                s.truncate(k);
        }
    } else {
        s = generalFiveDigits(x);
    }
    return s.rightJustified(width, QLatin1Char(' '));
}

QString BoolText(bool flag)
{
    return flag ? QStringLiteral("true") : QStringLiteral("false");
}

QString ArrayShortText(const t_arr_specification &array)
{
    QString out = QStringLiteral("(");
    const int levels = array.dimensions();
    if (array.count <= 0 || levels == 0)
        return out + QLatin1Char(')');
    constexpr int kLimit = 200;
    std::int64_t flat = 0;
    bool cut = false;
    auto walk = [&](auto &&self, int k) -> void {
        const int dim = array.dim[static_cast<size_t>(k)];
        for (int idx = 1; idx <= dim && !cut; ++idx) {
            if (k < levels - 1) {
                out += QLatin1Char('(');
                self(self, k + 1);
                if (!cut)
                    out += QLatin1Char(')');
                continue;
            }
            out += shortElementText(array, flat++);
            if (idx < dim)
                out += QLatin1Char(',');
            if (out.size() > kLimit) {
                // String arrays are cut at the limit; number arrays keep
                // the element that crossed it.
                if (array.data_type == wkString)
                    out.truncate(kLimit);
                out += QStringLiteral("...");
                cut = true;
            }
        }
    };
    walk(walk, 0);
    if (!cut)
        out += QLatin1Char(')');
    return out;
}

QString ArrayListing(const t_arr_specification &array, int language)
{
    QString out = catalogueText(148, language) + QLatin1Char('\r') + array.name + QLatin1Char('\r') +
                  formatMessage(catalogueText(150, language), {array.count}) + QLatin1Char('\r');
    const int levels = array.dimensions();
    if (array.count <= 0 || levels == 0)
        return out;
    const QString lineEnd = QStringLiteral("\r\n");

    if (array.data_type == wkString) {
        // One line per element, indices as positions counted from 1.
        std::vector<int> position(static_cast<size_t>(levels), 1);
        for (std::int64_t flat = 0; flat < array.count; ++flat) {
            QStringList parts;
            for (int p : position)
                parts << QString::number(p);
            out += QLatin1Char('[') + parts.join(QLatin1Char(',')) + QStringLiteral("]: ") +
                   QLatin1Char('\'') + cellString(array, flat) + QLatin1Char('\'') + lineEnd;
            for (int k = levels - 1; k >= 0; --k) {
                auto &p = position[static_cast<size_t>(k)];
                if (++p <= array.dim[static_cast<size_t>(k)])
                    break;
                p = 1;
            }
        }
        return out;
    }

    // Number arrays: one line per innermost row, labelled with the leading
    // positions and the bounds of the last dimension.
    const auto last = static_cast<size_t>(levels - 1);
    const int rowLength = array.dim[last];
    const QString range = QString::number(array.first[last] + 1) + QLatin1Char('-') +
                          QString::number(array.first[last] + array.dim[last]);
    std::vector<int> position(last, 1);
    for (std::int64_t rowStart = 0; rowStart < array.count; rowStart += rowLength) {
        QString line = QStringLiteral("[");
        for (int p : position)
            line += QString::number(p) + QLatin1Char(',');
        line += range + QStringLiteral("]  ");
        for (int c = 0; c < rowLength; ++c) {
            if (c > 0)
                line += QLatin1Char(',');
            const std::int64_t flat = rowStart + c;
            if (array.data_type == wkInt)
                line += QString::number(cellInteger(array, flat));
            else
                line += NumText(12, cellNumber(array, flat));
        }
        out += line + lineEnd;
        for (int k = static_cast<int>(last) - 1; k >= 0; --k) {
            auto &p = position[static_cast<size_t>(k)];
            if (++p <= array.dim[static_cast<size_t>(k)])
                break;
            p = 1;
        }
    }
    return out;
}

} // namespace tesmora
