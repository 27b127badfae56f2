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
void addConversionHelp(QList<FunctionHelp> &help);

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
        if (!second.str.isEmpty()) {
            const qsizetype at = str.indexOf(second.str, 0, Qt::CaseSensitive);
            if (at < 0) {
                c.setText(QString());
                return;
            }
            start = at + 1 + second.str.size();
        }
    } else {
        c.fail(129, {second.str});
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
            if (!third.str.isEmpty() && start <= str.size()) {
                const qsizetype at = str.indexOf(third.str, start - 1, Qt::CaseSensitive);
                if (at >= 0)
                    count = at + 1 - start;
            }
        } else {
            c.fail(129, {third.str});
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
        code = a.str.isEmpty() ? 0 : a.str.at(0).unicode();
    } else if (a.kind == wkBool) {
        code = a.str.toLower() == QLatin1String("true") ? 1 : 0;
    } else {
        c.fail(129, {a.str});
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

void addStringHelp(QList<FunctionHelp> &help)
{
    help.append(
        {FunctionTable::Embedded, "UpperCase",
         u"Returns the string Str with every letter turned into a capital letter. Letters of every alphabet "
         u"are converted (Latin, Cyrillic, Greek ...); digits and signs stay as they are.\r\n"
         u"Example:\r\n"
         u"s = UpperCase('Hello, world 2')   # s = 'HELLO, WORLD 2'",
         u"Возвращает строку Str, в которой все буквы заменены прописными (заглавными). Преобразуются буквы "
         u"любых алфавитов (латиница, кириллица, греческий ...); цифры и знаки не меняются.\r\n"
         u"Пример:\r\n"
         u"s = UpperCase('Привет, мир 2')   # s = 'ПРИВЕТ, МИР 2'"});
    help.append(
        {FunctionTable::Embedded, "LowerCase",
         u"Returns the string Str with every letter turned into a small letter. Letters of every alphabet "
         u"are converted; digits and signs stay as they are.\r\n"
         u"Example:\r\n"
         u"s = LowerCase('Hello, WORLD')   # s = 'hello, world'",
         u"Возвращает строку Str, в которой все буквы заменены строчными (маленькими). Преобразуются буквы "
         u"любых алфавитов; цифры и знаки не меняются.\r\n"
         u"Пример:\r\n"
         u"s = LowerCase('Привет, МИР')   # s = 'привет, мир'"});
    help.append(
        {FunctionTable::Embedded, "Trim",
         u"Returns the string Str without the blanks, tabs, line breaks and other control characters at "
         u"its beginning and at its end. Blanks inside the string stay.\r\n"
         u"Example:\r\n"
         u"s = Trim('   two words  ')   # s = 'two words'",
         u"Возвращает строку Str без пробелов, табуляций, переводов строки и других управляющих символов в "
         u"её начале и в конце. Пробелы внутри строки сохраняются.\r\n"
         u"Пример:\r\n"
         u"s = Trim('   два слова  ')   # s = 'два слова'"});
    help.append(
        {FunctionTable::Embedded, "Pos",
         u"Looks for the string SubStr in the string Str and returns the position of its first character "
         u"(the first character of Str has position 1), or 0 when SubStr does not occur.\r\n"
         u"StartPos (optional, 1 by default): the position where the search begins.\r\n"
         u"CaseSensitive (optional, 0 by default): 0 - capital and small letters are the same, "
         u"1 - they differ.\r\n"
         u"Examples:\r\n"
         u"n = Pos('b', 'abcb')         # n = 2\r\n"
         u"n = Pos('b', 'abcb', 3)      # n = 4\r\n"
         u"n = Pos('B', 'abc', 1, 1)    # n = 0",
         u"Ищет строку SubStr в строке Str и возвращает позицию её первого символа (первый символ Str "
         u"имеет позицию 1) или 0, если SubStr не найдена.\r\n"
         u"StartPos (необязательный, по умолчанию 1): позиция, с которой начинается поиск.\r\n"
         u"CaseSensitive (необязательный, по умолчанию 0): 0 - прописные и строчные буквы не различаются, "
         u"1 - различаются.\r\n"
         u"Примеры:\r\n"
         u"n = Pos('b', 'abcb')         # n = 2\r\n"
         u"n = Pos('b', 'abcb', 3)      # n = 4\r\n"
         u"n = Pos('B', 'abc', 1, 1)    # n = 0"});
    help.append(
        {FunctionTable::Embedded, "SubStr",
         u"Returns a part of the string Str.\r\n"
         u"The second parameter is either the start position (a number, 1 is the first character) or a "
         u"start word: the part then begins right after the first occurrence of that word (an empty "
         u"result when the word does not occur).\r\n"
         u"The third parameter (optional) is either the number of characters or a finish word: the part "
         u"then ends just before that word. Without it the part runs to the end of Str.\r\n"
         u"Examples:\r\n"
         u"s = SubStr('Hello world', 7)           # s = 'world'\r\n"
         u"s = SubStr('Hello world', 1, 5)        # s = 'Hello'\r\n"
         u"s = SubStr('key=value;', '=', ';')     # s = 'value'",
         u"Возвращает часть строки Str.\r\n"
         u"Второй параметр - либо начальная позиция (число, 1 - первый символ), либо начальное слово: "
         u"тогда часть начинается сразу после первого вхождения этого слова (если слова нет, результат - "
         u"пустая строка).\r\n"
         u"Третий параметр (необязательный) - либо количество символов, либо конечное слово: тогда часть "
         u"заканчивается перед этим словом. Без него часть берётся до конца Str.\r\n"
         u"Примеры:\r\n"
         u"s = SubStr('Привет, мир', 9)           # s = 'мир'\r\n"
         u"s = SubStr('Привет, мир', 1, 6)        # s = 'Привет'\r\n"
         u"s = SubStr('ключ=значение;', '=', ';') # s = 'значение'"});
    help.append(
        {FunctionTable::Embedded, "ReplaceStr",
         u"Returns the string Str in which the string OldSubstr is replaced by NewSubstr.\r\n"
         u"ReplaceAll (optional, 1 by default): 1 - every occurrence is replaced, 0 - only the first one.\r\n"
         u"CaseSensitive (optional, 0 by default): 0 - capital and small letters are the same, "
         u"1 - they differ.\r\n"
         u"Examples:\r\n"
         u"s = ReplaceStr('A book, a pen', 'a ', 'the ')         # s = 'the book, the pen'\r\n"
         u"s = ReplaceStr('A book, a pen', 'a ', 'the ', 1, 1)   # s = 'A book, the pen'",
         u"Возвращает строку Str, в которой строка OldSubstr заменена на NewSubstr.\r\n"
         u"ReplaceAll (необязательный, по умолчанию 1): 1 - заменяются все вхождения, 0 - только первое.\r\n"
         u"CaseSensitive (необязательный, по умолчанию 0): 0 - прописные и строчные буквы не различаются, "
         u"1 - различаются.\r\n"
         u"Примеры:\r\n"
         u"s = ReplaceStr('Кот и кот', 'кот', 'пёс')         # s = 'пёс и пёс'\r\n"
         u"s = ReplaceStr('Кот и кот', 'кот', 'пёс', 0)      # s = 'пёс и кот'"});
    help.append({FunctionTable::Embedded, "LenStr",
                 u"Returns the number of characters of the string Str.\r\n"
                 u"Example:\r\n"
                 u"n = LenStr('Hello')   # n = 5",
                 u"Возвращает количество символов в строке Str.\r\n"
                 u"Пример:\r\n"
                 u"n = LenStr('Привет')   # n = 6"});
    help.append(
        {FunctionTable::Embedded, "Ord",
         u"Returns the code (Unicode) of the first character of the string Str, or 0 for an empty string. "
         u"For a truth value the result is 1 for true and 0 for false.\r\n"
         u"Examples:\r\n"
         u"n = Ord('A')     # n = 65\r\n"
         u"n = Ord(TRUE)    # n = 1",
         u"Возвращает код (Unicode) первого символа строки Str или 0 для пустой строки. Для логического "
         u"значения результат - 1 для true и 0 для false.\r\n"
         u"Примеры:\r\n"
         u"n = Ord('A')     # n = 65\r\n"
         u"n = Ord('Я')     # n = 1071"});
    help.append(
        {FunctionTable::Embedded, "Char",
         u"Returns a string of one character whose code (Unicode) is n; n must be from 0 to 65534.\r\n"
         u"Examples:\r\n"
         u"s = Char(65)              # s = 'A'\r\n"
         u"s = 'a' + Char(9) + 'b'   # a tab between a and b",
         u"Возвращает строку из одного символа с кодом (Unicode) n; n должно быть от 0 до 65534.\r\n"
         u"Примеры:\r\n"
         u"s = Char(65)              # s = 'A'\r\n"
         u"s = Char(1071)            # s = 'Я'"});
    help.append(
        {FunctionTable::Embedded, "Base64_Encode",
         u"Encodes the string Data in Base64 (each character as two bytes, UTF-16) and returns the code; "
         u"after every 76 characters of code a line break is inserted.\r\n"
         u"Example:\r\n"
         u"s = Base64_Encode('Hi')   # s = 'SABpAA=='",
         u"Кодирует строку Data в Base64 (каждый символ - два байта, UTF-16) и возвращает код; после "
         u"каждых 76 символов кода вставляется перевод строки.\r\n"
         u"Пример:\r\n"
         u"s = Base64_Encode('Hi')   # s = 'SABpAA=='"});
    help.append(
        {FunctionTable::Embedded, "Base64_Decode",
         u"Decodes the Base64 code Data made by Base64_Encode and returns the original string. Line breaks "
         u"in the code are ignored.\r\n"
         u"Example:\r\n"
         u"s = Base64_Decode('SABpAA==')   # s = 'Hi'",
         u"Декодирует код Base64 Data, полученный функцией Base64_Encode, и возвращает исходную строку. "
         u"Переводы строк в коде не учитываются.\r\n"
         u"Пример:\r\n"
         u"s = Base64_Decode(Base64_Encode('Привет'))   # s = 'Привет'"});
    addConversionHelp(help);
}

} // namespace tesmora
