// Conversions between texts and numbers: Str_ToFloat, Hex_ToInt, Format and
// Float_ToStr.
#include "builtin_families.h"
#include "core/interpreter.h"
#include "core/numbers.h"

#include <QRegularExpression>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

namespace tesmora {

void registerConversionFunctions(BuiltinRegistry &registry);

namespace {

// The syntax ParseNumber accepts; a text of this form that ParseNumber still
// refuses lies outside the range of numbers.
bool hasNumberSyntax(const QString &text)
{
    static const QRegularExpression re(
        QStringLiteral("^ *[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)?$"));
    return re.match(text).hasMatch();
}

void fnStrToFloat(FunctionCall &c)
{
    const QString &str = c.text(0);
    QString text = str;
    const qsizetype comma = text.indexOf(QLatin1Char(','));
    if (comma >= 0)
        text[comma] = QLatin1Char('.');
    const ParsedNumber p = ParseNumber(text);
    if (p.ok() && text != QLatin1String(".")) {
        c.setNumber(p.value, text);
        return;
    }
    const bool outOfRange = hasNumberSyntax(text);
    if (outOfRange || !c.has(1) || c.text(1) == QLatin1String("0")) {
        c.fail(130, {str});
        return;
    }
    c.setText(QStringLiteral("error"));
}

void fnHexToInt(FunctionCall &c)
{
    const QString original = QLatin1Char('$') + c.text(0);
    qsizetype from = 0;
    qsizetype to = original.size();
    while (from < to && original.at(from).unicode() <= 32)
        ++from;
    while (to > from && original.at(to - 1).unicode() <= 32)
        --to;
    const QString t = original.mid(from, to - from);
    std::int64_t value = 0;
    bool ok = t.size() > 1 && t.at(0) == QLatin1Char('$');
    for (qsizetype i = 1; ok && i < t.size(); ++i) {
        const char16_t u = t.at(i).unicode();
        int digit = -1;
        if (u >= '0' && u <= '9')
            digit = u - '0';
        else if (u >= 'A' && u <= 'F')
            digit = u - 'A' + 10;
        else if (u >= 'a' && u <= 'f')
            digit = u - 'a' + 10;
        if (digit < 0) {
            ok = false;
            break;
        }
        value = value * 16 + digit;
        if (value > 2147483647)
            ok = false;
    }
    if (!ok) {
        c.fail(130, {original});
        return;
    }
    c.setNumber(static_cast<double>(value));
}

// ---- Format -----------------------------------------------------------------

bool isSpecifierLetter(QChar ch)
{
    const char16_t u = ch.toUpper().unicode();
    return u == 'D' || u == 'F' || u == 'S' || u == 'X';
}

// The fixed notation of x with `decimals` decimals and "." as separator,
// rounded half away from zero at the 15 significant digits the interpreter
// shows (so 2.675 gives 2.68, as a learner expects).
QString fixedText(double x, int decimals)
{
    if (std::isnan(x))
        return QStringLiteral("NAN");
    if (std::isinf(x))
        return x < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    std::string digits = "0";
    int e = 1; // value = 0.digits x 10^e
    if (x != 0.0) {
        char buf[64];
        const auto res =
            std::to_chars(buf, buf + sizeof buf, std::fabs(x), std::chars_format::scientific, 14);
        const std::string s(buf, res.ptr);
        const auto epos = s.find('e');
        digits.clear();
        for (char ch : s.substr(0, epos))
            if (ch != '.')
                digits += ch;
        e = std::stoi(s.substr(epos + 1)) + 1;
    }
    const int keep = e + decimals;
    if (keep < 0) {
        digits.clear();
        e = -decimals;
    } else if (keep >= static_cast<int>(digits.size())) {
        digits.append(static_cast<size_t>(keep) - digits.size(), '0');
    } else {
        const bool up = digits[static_cast<size_t>(keep)] >= '5';
        digits.resize(static_cast<size_t>(keep));
        if (up) {
            int k = keep - 1;
            while (k >= 0 && digits[static_cast<size_t>(k)] == '9')
                digits[static_cast<size_t>(k--)] = '0';
            if (k >= 0) {
                ++digits[static_cast<size_t>(k)];
            } else {
                digits.insert(digits.begin(), '1');
                ++e;
            }
        }
    }
    std::string out;
    if (e > 0) {
        out = digits.substr(0, static_cast<size_t>(e));
    } else {
        out = "0";
    }
    if (decimals > 0) {
        out += '.';
        if (e >= 0)
            out += digits.substr(static_cast<size_t>(e));
        else
            out += std::string(static_cast<size_t>(-e), '0') + digits;
    }
    const bool negative = x < 0 && digits.find_first_not_of('0') != std::string::npos;
    return (negative ? QStringLiteral("-") : QString()) +
           QString::fromLatin1(out.data(), qsizetype(out.size()));
}

struct Specifier {
    bool left = false;  // "-": pad on the right
    bool plus = false;  // "+": sign also for positive numbers
    bool blank = false; // " ": a blank in place of a plus sign
    bool zero = false;  // "0": pad numbers with zeros after the sign
    int width = 0;
    int precision = -1;
    char16_t letter = 0; // 'D', 'F', 'S' or 'X'
};

// Reads "%" [flags] [width] ["." precision] letter; false when the text is
// anything else.
bool readSpecifier(const QString &spec, Specifier &s)
{
    // Larger numbers stop growing here; formatSpecifier refuses them.
    constexpr int kSaturated = 2'000'000'000;
    qsizetype i = 1;
    const qsizetype n = spec.size();
    for (; i < n; ++i) {
        const char16_t u = spec.at(i).unicode();
        if (u == '-')
            s.left = true;
        else if (u == '+')
            s.plus = true;
        else if (u == ' ')
            s.blank = true;
        else if (u == '0')
            s.zero = true;
        else
            break;
    }
    auto readNumber = [&](int &target) {
        target = 0;
        while (i < n && spec.at(i).unicode() >= '0' && spec.at(i).unicode() <= '9') {
            target = static_cast<int>(
                std::min<std::int64_t>(kSaturated, std::int64_t(target) * 10 + (spec.at(i).unicode() - '0')));
            ++i;
        }
    };
    readNumber(s.width);
    if (i < n && spec.at(i) == QLatin1Char('.')) {
        ++i;
        readNumber(s.precision);
    }
    if (i != n - 1 || !isSpecifierLetter(spec.at(i)))
        return false;
    s.letter = spec.at(i).toUpper().unicode();
    return true;
}

// Puts the sign before the digits and pads the whole to the width.
QString padded(const Specifier &s, const QString &sign, const QString &body, bool number)
{
    const qsizetype len = sign.size() + body.size();
    if (len >= s.width)
        return sign + body;
    const QString fill(s.width - len, QLatin1Char(' '));
    if (s.left)
        return sign + body + fill;
    if (number && s.zero)
        return sign + QString(s.width - len, QLatin1Char('0')) + body;
    return fill + sign + body;
}

// The number an argument stands for: a number or a truth value as it is, a
// text when it reads as a number.
bool argumentNumber(FunctionCall &c, int i, double &value)
{
    value = 0;
    if (!c.has(i))
        return true;
    const TWordStatus &a = c.arg(i);
    if (isNumberKind(a.kind) || a.kind == wkBool) {
        value = a.float_val;
        return true;
    }
    if (isStringKind(a.kind)) {
        const ParsedNumber p = ParseNumber(a.text().trimmed());
        if (!p.ok()) {
            c.fail(130, {a.text()});
            return false;
        }
        value = p.value;
        return true;
    }
    c.fail(129, {a.text()});
    return false;
}

std::int64_t roundedInteger(double x)
{
    std::int64_t v = 0;
    if (!RoundToInt64(x, v))
        throw RuntimeFailure(
            QStringLiteral("The value %1 is too large for an integer.").arg(FormatNumber(x)).toStdString());
    return v;
}

// Widths and precisions up to this are honoured; larger ones are an error
// (message 362) rather than a silently different text.
constexpr int kMaxFormatWidth = 1'000'000;

// Formats one specifier of Format with argument i; false on an error.
bool formatSpecifier(FunctionCall &c, const QString &spec, int i, QString &out)
{
    Specifier s;
    if (!readSpecifier(spec, s)) {
        // Not a specifier this function knows: the text stays as written.
        out += spec;
        return true;
    }
    for (const int n : {s.width, s.precision}) {
        if (n > kMaxFormatWidth) {
            c.in.RaiseMessage(362, {n, kMaxFormatWidth});
            return false;
        }
    }
    if (s.letter == 'S') {
        QString text = c.has(i) ? c.text(i) : QString();
        if (s.precision >= 0 && text.size() > s.precision)
            text.truncate(s.precision);
        out += padded(s, QString(), text, false);
        return true;
    }
    double x = 0;
    if (!argumentNumber(c, i, x))
        return false;
    QString body;
    bool negative = false;
    if (s.letter == 'F') {
        body = fixedText(x, s.precision < 0 ? 2 : s.precision);
        negative = body.startsWith(QLatin1Char('-'));
        if (negative)
            body.remove(0, 1);
    } else {
        const std::int64_t v = roundedInteger(x);
        if (s.letter == 'D') {
            negative = v < 0;
            const std::uint64_t magnitude =
                negative ? ~static_cast<std::uint64_t>(v) + 1 : static_cast<std::uint64_t>(v);
            body = QString::number(magnitude);
        } else {
            // The two's complement of a negative number, as a 64-bit integer.
            body = QString::number(static_cast<std::uint64_t>(v), 16).toUpper();
        }
        if (s.precision > body.size())
            body.prepend(QString(s.precision - body.size(), QLatin1Char('0')));
    }
    QString sign;
    if (negative)
        sign = QStringLiteral("-");
    else if (s.letter != 'X' && s.plus)
        sign = QStringLiteral("+");
    else if (s.letter != 'X' && s.blank)
        sign = QStringLiteral(" ");
    out += padded(s, sign, body, true);
    return true;
}

void fnFormat(FunctionCall &c)
{
    const QString &format = c.text(0);
    const qsizetype n = format.size();
    QString out;
    int argument = 1;
    qsizetype i = 0;
    while (i < n) {
        const qsizetype percent = format.indexOf(QLatin1Char('%'), i);
        if (percent < 0) {
            out += QStringView(format).mid(i);
            break;
        }
        out += QStringView(format).mid(i, percent - i);
        // "%%" is one percent sign and takes no argument.
        if (percent + 1 < n && format.at(percent + 1) == QLatin1Char('%')) {
            out += QLatin1Char('%');
            i = percent + 2;
            continue;
        }
        qsizetype end = percent + 1;
        while (end < n && !isSpecifierLetter(format.at(end)))
            ++end;
        if (end >= n)
            end = n - 1;
        if (!formatSpecifier(c, format.mid(percent, end - percent + 1), argument, out))
            return;
        ++argument;
        i = end + 1;
    }
    c.setText(out);
}

void fnFloatToStr(FunctionCall &c)
{
    QString separator(systemDecimalSeparator());
    if (c.has(1)) {
        separator = c.text(1);
        if (separator.size() != 1) {
            c.fail(118, {c.name, separator});
            return;
        }
    }
    QString text = GeneralNumberTextSystem(c.number(0));
    const qsizetype comma = text.indexOf(QLatin1Char(','));
    if (comma >= 0)
        text[comma] = separator.at(0);
    const qsizetype dot = text.indexOf(QLatin1Char('.'));
    if (dot >= 0)
        text[dot] = separator.at(0);
    c.setText(text);
}

} // namespace

void registerConversionFunctions(BuiltinRegistry &registry)
{
    registry.add("Str_ToFloat", fnStrToFloat);
    registry.add("Hex_ToInt", fnHexToInt);
    registry.add("Format", fnFormat);
    registry.add("Float_ToStr", fnFloatToStr);
}

} // namespace tesmora
