// String functions: case, trimming, search, extraction, replacement, length,
// character codes and Base64. The number conversions and Format live in
// builtins_format.cpp.
#include "builtin_families.h"
#include "core/interpreter.h"
#include "core/numbers.h"

#include <QByteArray>
#include <algorithm>
#include <cstdint>
#include <limits>

namespace tesmora {

// builtins_format.cpp
void registerConversionFunctions(BuiltinRegistry &registry);

namespace {

// The case mapping of the system, applied character by character (simple
// mapping), so that a text keeps its length and positions in the upper-cased
// copy are positions in the original.
QString mapCase(const QString &text, bool upper)
{
    QString out = text;
    const qsizetype n = out.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = out.at(i);
        if (c.isHighSurrogate() && i + 1 < n && out.at(i + 1).isLowSurrogate()) {
            const char32_t cp = QChar::surrogateToUcs4(c, out.at(i + 1));
            const char32_t m = upper ? QChar::toUpper(cp) : QChar::toLower(cp);
            if (m != cp && QChar::requiresSurrogates(m)) {
                out[i] = QChar(QChar::highSurrogate(m));
                out[i + 1] = QChar(QChar::lowSurrogate(m));
            }
            ++i;
            continue;
        }
        const char32_t m =
            upper ? QChar::toUpper(char32_t(c.unicode())) : QChar::toLower(char32_t(c.unicode()));
        if (!QChar::requiresSurrogates(m))
            out[i] = QChar(char16_t(m));
    }
    return out;
}

QString systemUpper(const QString &text)
{
    return mapCase(text, true);
}

bool isTextKind(const TWordStatus &w)
{
    return isStringKind(w.kind);
}

// An integer that also fits the length arithmetic of texts.
qsizetype clampToSize(std::int64_t v)
{
    const std::int64_t limit = std::numeric_limits<int>::max();
    return static_cast<qsizetype>(std::clamp<std::int64_t>(v, -limit, limit));
}

void fnUpperCase(FunctionCall &c)
{
    c.setText(mapCase(c.text(0), true));
}

void fnLowerCase(FunctionCall &c)
{
    c.setText(mapCase(c.text(0), false));
}

void fnTrim(FunctionCall &c)
{
    const QString &s = c.text(0);
    qsizetype from = 0;
    qsizetype to = s.size();
    while (from < to && s.at(from).unicode() <= 32)
        ++from;
    while (to > from && s.at(to - 1).unicode() <= 32)
        --to;
    c.setText(s.mid(from, to - from));
}

void fnPos(FunctionCall &c)
{
    QString sub = c.text(0);
    QString str = c.text(1);
    // A start before the first character searches the whole text.
    const qsizetype start = std::max<qsizetype>(1, clampToSize(c.has(2) ? c.integer(2) : 1));
    const bool caseSensitive = c.has(3) && c.integer(3) != 0;
    qsizetype found = 0;
    if (!sub.isEmpty() && start <= str.size()) {
        QString searched = str.mid(start - 1);
        if (!caseSensitive) {
            sub = systemUpper(sub);
            searched = systemUpper(searched);
        }
        const qsizetype at = searched.indexOf(sub, 0, Qt::CaseSensitive);
        if (at >= 0)
            found = at + start;
    }
    c.setNumber(static_cast<double>(found), QString::number(found));
}

void fnSubStr(FunctionCall &c)
{
    const QString &str = c.text(0);
    const TWordStatus &second = c.arg(1);
    qsizetype start = 1;
    if (isNumberKind(second.kind)) {
        start = std::max<qsizetype>(1, clampToSize(c.integer(1)));
    } else if (isTextKind(second)) {
        if (!second.text().isEmpty()) {
            const qsizetype at = str.indexOf(second.text(), 0, Qt::CaseSensitive);
            if (at < 0) {
                c.setText(QString());
                return;
            }
            start = at + 1 + second.text().size();
        }
    } else {
        c.fail(129, {second.text()});
        return;
    }

    // Without a count (or a finish word that does not occur) the rest of the
    // text is taken.
    qsizetype count = str.size();
    if (c.has(2)) {
        const TWordStatus &third = c.arg(2);
        if (isNumberKind(third.kind)) {
            count = clampToSize(c.integer(2));
        } else if (isTextKind(third)) {
            if (!third.text().isEmpty() && start <= str.size()) {
                const qsizetype at = str.indexOf(third.text(), start - 1, Qt::CaseSensitive);
                if (at >= 0)
                    count = at + 1 - start;
            }
        } else {
            c.fail(129, {third.text()});
            return;
        }
    }
    if (count <= 0 || start > str.size()) {
        c.setText(QString());
        return;
    }
    c.setText(str.mid(start - 1, count));
}

void fnReplaceStr(FunctionCall &c)
{
    const QString &str = c.text(0);
    const QString &oldText = c.text(1);
    const QString &newText = c.text(2);
    const bool all = !c.has(3) || c.integer(3) > 0;
    const bool ignoreCase = !c.has(4) || c.integer(4) == 0;
    if (oldText.isEmpty()) {
        c.setText(str);
        return;
    }
    const QString searched = ignoreCase ? systemUpper(str) : str;
    const QString needle = ignoreCase ? systemUpper(oldText) : oldText;
    QString out;
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = searched.indexOf(needle, from, Qt::CaseSensitive);
        if (at < 0)
            break;
        out += QStringView(str).mid(from, at - from);
        out += newText;
        from = at + oldText.size();
        if (!all)
            break;
    }
    out += QStringView(str).mid(from);
    c.setText(out);
}

void fnLenStr(FunctionCall &c)
{
    const qsizetype n = c.text(0).size();
    c.setNumber(static_cast<double>(n), QString::number(n));
}

void fnOrd(FunctionCall &c)
{
    const TWordStatus &a = c.arg(0);
    double code = 0;
    if (isTextKind(a)) {
        code = a.text().isEmpty() ? 0 : a.text().at(0).unicode();
    } else if (a.kind == wkBool) {
        code = a.text().toLower() == QLatin1String("true") ? 1 : 0;
    } else {
        c.fail(129, {a.text()});
        return;
    }
    c.setNumber(code);
}

void fnChar(FunctionCall &c)
{
    const double x = c.number(0);
    const double n = RoundHalfEven(x);
    if (!(n >= 0 && n < 65535)) {
        c.fail(118, {QStringLiteral("str_char"), GeneralNumberTextSystem(x)});
        return;
    }
    c.setText(QString(QChar(static_cast<char16_t>(n))));
}

// Base64 of the UTF-16 little-endian bytes, 76 characters a line.
void fnBase64Encode(FunctionCall &c)
{
    const QString &s = c.text(0);
    QByteArray bytes;
    bytes.reserve(s.size() * 2);
    for (const QChar ch : s) {
        bytes.append(static_cast<char>(ch.unicode() & 0xFF));
        bytes.append(static_cast<char>(ch.unicode() >> 8));
    }
    const QByteArray encoded = bytes.toBase64();
    QString out;
    out.reserve(encoded.size() + encoded.size() / 76 * 2);
    for (qsizetype i = 0; i < encoded.size(); i += 76) {
        if (i > 0)
            out += QStringLiteral("\r\n");
        out += QString::fromLatin1(encoded.mid(i, 76));
    }
    c.setText(out);
}

// Characters outside the Base64 alphabet (line breaks among them) are skipped.
void fnBase64Decode(FunctionCall &c)
{
    QByteArray clean;
    for (const QChar ch : c.text(0)) {
        const char16_t u = ch.unicode();
        if ((u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == '+' ||
            u == '/' || u == '=')
            clean.append(static_cast<char>(u));
    }
    const QByteArray bytes = QByteArray::fromBase64(clean);
    QString out;
    out.reserve(bytes.size() / 2);
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
        out += QChar(static_cast<char16_t>(static_cast<unsigned char>(bytes.at(i)) |
                                           (static_cast<unsigned char>(bytes.at(i + 1)) << 8)));
    c.setText(out);
}

} // namespace

void registerStringFunctions(BuiltinRegistry &registry)
{
    registry.add("UpperCase", fnUpperCase);
    registry.add("LowerCase", fnLowerCase);
    registry.add("Trim", fnTrim);
    registry.add("Pos", fnPos);
    registry.add("SubStr", fnSubStr);
    registry.add("ReplaceStr", fnReplaceStr);
    registry.add("LenStr", fnLenStr);
    registry.add("Ord", fnOrd);
    registry.add("Char", fnChar);
    registry.add("Base64_Encode", fnBase64Encode);
    registry.add("Base64_Decode", fnBase64Decode);
    registerConversionFunctions(registry);
}

} // namespace tesmora
