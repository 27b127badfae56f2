#include "numbers.h"

#include <QLocale>
#include <charconv>
#include <cmath>
#include <limits>

namespace tesmora {

QString GeneralNumberText(double x, QChar sep)
{
    if (std::isnan(x))
        return QStringLiteral("NAN");
    if (std::isinf(x))
        return x < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (x == 0.0)
        return QStringLiteral("0");
    // Round to 15 significant digits: d.dddddddddddddde[+-]xx
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(x), std::chars_format::scientific, 14);
    std::string s(buf, res.ptr);
    const auto epos = s.find('e');
    std::string mant = s.substr(0, epos);
    const int exp10 = std::stoi(s.substr(epos + 1));
    std::string digits;
    for (char c : mant)
        if (c != '.')
            digits += c;
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    const int e = exp10 + 1; // value = 0.d1d2... x 10^e
    const int n = static_cast<int>(digits.size());
    QString out;
    if (x < 0)
        out += QLatin1Char('-');
    if (e >= -3 && e <= 15) {
        if (e <= 0) {
            out += QLatin1Char('0');
            out += sep;
            out += QString(-e, QLatin1Char('0'));
            out += QString::fromLatin1(digits.data(), n);
        } else if (n <= e) {
            out += QString::fromLatin1(digits.data(), n);
            out += QString(e - n, QLatin1Char('0'));
        } else {
            out += QString::fromLatin1(digits.data(), e);
            out += sep;
            out += QString::fromLatin1(digits.data() + e, n - e);
        }
    } else {
        out += QLatin1Char(digits[0]);
        if (n > 1) {
            out += sep;
            out += QString::fromLatin1(digits.data() + 1, n - 1);
        }
        out += QLatin1Char('E');
        const int ex = e - 1;
        if (ex < 0)
            out += QLatin1Char('-');
        out += QString::number(std::abs(ex));
    }
    return out;
}

QChar systemDecimalSeparator()
{
    const QString s = QLocale::system().decimalPoint();
    return s.isEmpty() ? QLatin1Char('.') : s.at(0);
}

QChar systemThousandsSeparator()
{
    const QString s = QLocale::system().groupSeparator();
    return s.isEmpty() ? QLatin1Char(' ') : s.at(0);
}

QString GeneralNumberTextSystem(double x) { return GeneralNumberText(x, systemDecimalSeparator()); }

ParsedNumber ParseNumber(const QString &text)
{
    ParsedNumber r;
    const int len = static_cast<int>(text.size());
    int i = 0;
    while (i < len && text.at(i) == QLatin1Char(' '))
        ++i;
    std::string ascii;
    auto fail = [&](int pos) {
        r.errorPos = pos + 1;
        r.value = 0.0;
        return r;
    };
    if (i >= len)
        return fail(i);
    if (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-')) {
        if (text.at(i) == QLatin1Char('-'))
            ascii += '-';
        ++i;
    }
    int mantDigits = 0;
    while (i < len && text.at(i).isDigit() && text.at(i).unicode() < 128) {
        ascii += char(text.at(i).unicode());
        ++i;
        ++mantDigits;
    }
    if (i < len && text.at(i) == QLatin1Char('.')) {
        ascii += '.';
        ++i;
        while (i < len && text.at(i).unicode() >= '0' && text.at(i).unicode() <= '9') {
            ascii += char(text.at(i).unicode());
            ++i;
            ++mantDigits;
        }
    }
    if (mantDigits == 0)
        return fail(i);
    if (i < len && (text.at(i) == QLatin1Char('e') || text.at(i) == QLatin1Char('E'))) {
        ascii += 'e';
        ++i;
        if (i < len && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-'))) {
            ascii += char(text.at(i).unicode());
            ++i;
        }
        int expDigits = 0;
        while (i < len && text.at(i).unicode() >= '0' && text.at(i).unicode() <= '9') {
            ascii += char(text.at(i).unicode());
            ++i;
            ++expDigits;
        }
        if (expDigits == 0)
            return fail(i);
    }
    if (i < len)
        return fail(i);
    double v = 0.0;
    const char *b = ascii.data();
    if (*b == '-')
        ++b; // from_chars takes no '+', sign handled below
    auto res = std::from_chars(b, ascii.data() + ascii.size(), v);
    if (res.ec == std::errc::result_out_of_range) {
        // Underflow reads as zero; overflow is not a number.
        if (ascii.find("e-") != std::string::npos)
            v = 0.0;
        else
            return fail(len - 1);
    } else if (res.ec != std::errc())
        return fail(0);
    r.value = ascii[0] == '-' ? -v : v;
    return r;
}

double RoundHalfEven(double x) { return std::nearbyint(x); }

bool RoundToInt64(double x, std::int64_t &out)
{
    const double r = std::nearbyint(x);
    if (!(r >= -9223372036854775808.0 && r < 9223372036854775808.0))
        return false;
    out = static_cast<std::int64_t>(r);
    return true;
}

bool ParseIntegerText(const QString &text, std::int64_t &out)
{
    QString t = text.trimmed();
    bool ok = false;
    bool neg = false;
    if (t.startsWith(QLatin1Char('-')) || t.startsWith(QLatin1Char('+'))) {
        neg = t.startsWith(QLatin1Char('-'));
        t.remove(0, 1);
    }
    if (t.startsWith(QLatin1Char('$')))
        out = static_cast<std::int64_t>(t.mid(1).toULongLong(&ok, 16));
    else
        out = t.toLongLong(&ok, 10);
    if (neg)
        out = -out;
    return ok;
}

} // namespace tesmora
