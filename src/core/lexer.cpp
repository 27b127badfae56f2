// NextWord: reads and classifies one word of a statement or expression.
#include "brackets.h"
#include "interpreter.h"

#include "library/function_tables.h"
#include "numbers.h"

#include <QHash>

namespace tesmora {

namespace {

struct OperatorInfo {
    const char16_t *symbol;
    std::uint8_t priority;
};

// The 24 operators with their priorities: the one table of them.
constexpr OperatorInfo kOperators[] = {
    {u"OR", prOr},      {u"AND", prAnd},    {u"NOT", prNot},     {u"+", prAdditive},  {u"-", prAdditive},
    {u"*", prMultiply}, {u"/", prMultiply}, {u"%", prMultiply},  {u">", prCompare},   {u">=", prCompare},
    {u"<", prCompare},  {u"<=", prCompare}, {u"=", prCompare},   {u"<>", prCompare},  {u"<<", prShift},
    {u">>", prShift},   {u"&", prBitAnd},   {u"^", prBitXor},    {u"|", prBitOr},     {u"√", prRootSign},
    {u"∛", prRootSign}, {u"∜", prRootSign}, {u"²", prPowerSign}, {u"³", prPowerSign},
};

int operatorPriority(QStringView symbol)
{
    for (const OperatorInfo &op : kOperators)
        if (symbol == QStringView(op.symbol))
            return op.priority;
    return -1;
}

bool isOperatorChar(char16_t c)
{
    switch (c) {
    case u'%':
    case u'&':
    case u'*':
    case u'+':
    case u'-':
    case u'/':
    case u'<':
    case u'=':
    case u'>':
    case u'^':
    case u'|':
    case u'²':
    case u'³':
    case u'√':
    case u'∛':
    case u'∜':
        return true;
    default:
        return false;
    }
}

bool isIdentStart(char16_t c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_' ||
           (c >= 0x0391 && c <= 0x03A9) || (c >= 0x03B1 && c <= 0x03C9) || (c >= 0x0410 && c <= 0x044F) ||
           (c >= 0x2080 && c <= 0x2089);
}

bool isIdentChar(char16_t c)
{
    return isIdentStart(c) || (c >= u'0' && c <= u'9');
}
bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

const QHash<QString, TWordKind> &keywordKinds()
{
    static const QHash<QString, TWordKind> k = {
        {QStringLiteral("FOR"), wkFor},
        {QStringLiteral("REPEAT"), wkRepeat},
        {QStringLiteral("IF"), wkIf},
        {QStringLiteral("ELSE"), wkElse},
        {QStringLiteral("BREAK"), wkBreak},
        {QStringLiteral("BREAKIF"), wkBreakIf},
        {QStringLiteral("CONTINUE"), wkContinue},
        {QStringLiteral("CONTINUEIF"), wkContinueIf},
        {QStringLiteral("RETURN"), wkReturn},
        {QStringLiteral("FUNCTION"), wkFunction},
        {QStringLiteral("ARRAY"), wkArrayDescription},
        {QStringLiteral("INT"), wkIntegerDescription},
        {QStringLiteral("INTEGER"), wkIntegerDescription},
        {QStringLiteral("FLOAT"), wkFloatDescription},
        {QStringLiteral("DATETIME"), wkDatetimeDescription},
        {QStringLiteral("STRING"), wkStringDescription},
        {QStringLiteral("TRY"), wkTry},
        {QStringLiteral("STOP"), wkStop},
    };
    return k;
}

} // namespace

namespace {

// Each reader below takes the word that starts at the 0-based index `p` and
// sets `position` (1-based) past it.

// A quoted string; text in double quotes needs its closing quote, an
// unclosed single-quoted string keeps the rest of the line.
void readQuoted(Interpreter &in, const QString &text, int p, int &position, TWordStatus &word)
{
    const QChar quote = text.at(p);
    const int close = static_cast<int>(text.indexOf(quote, p + 1));
    if (close < 0) {
        if (quote == QLatin1Char('\'')) {
            word.setText(text.mid(p));
            position = static_cast<int>(text.size()) + 1;
        }
        in.RaiseMessage(70, {text});
        return;
    }
    word.kind = quote == QLatin1Char('"') ? wkStringDQ : wkString;
    word.setText(text.mid(p + 1, close - p - 1));
    position = close + 2;
}

// An operator of one or two characters; false when the characters at `p`
// are none.
bool readOperator(const QString &text, int p, int &position, TWordStatus &word)
{
    const char16_t c = text.at(p).unicode();
    if (!isOperatorChar(c))
        return false;
    QString cand{QChar(c)};
    if (p + 1 < text.size()) {
        const char16_t n = text.at(p + 1).unicode();
        if ((c == u'<' && (n == u'=' || n == u'>' || n == u'<')) || (c == u'>' && (n == u'=' || n == u'>')))
            cand += QChar(n);
    }
    const int prio = operatorPriority(cand);
    if (prio < 0)
        return false;
    word.kind = wkOperator;
    word.setText(cand);
    word.oper_prioritet = static_cast<std::uint8_t>(prio);
    position = p + static_cast<int>(cand.size()) + 1;
    return true;
}

// A bracket or a comma; false for any other character.
bool readPunctuation(char16_t c, int p, int &position, TWordStatus &word)
{
    switch (c) {
    case u'(':
        word.kind = wkOpeningBracket;
        break;
    case u')':
        word.kind = wkClosingBracket;
        break;
    case u'[':
        word.kind = wkOpeningSquareBracket;
        break;
    case u']':
        word.kind = wkClosingSquareBracket;
        break;
    case u',':
        word.kind = wkComma;
        break;
    default:
        return false;
    }
    word.setText(QChar(c));
    position = p + 2;
    return true;
}

// ".." of a range; a lone full stop is an error.
void readDots(Interpreter &in, const QString &text, int p, int &position, TWordStatus &word)
{
    if (p + 1 < text.size() && text.at(p + 1) == QLatin1Char('.')) {
        word.kind = wkDblDot;
        word.setText(QStringLiteral(".."));
        position = p + 3;
        return;
    }
    word.kind = wkUnknownIdentifier;
    word.setText(QStringLiteral("."));
    position = p + 2;
    in.RaiseMessage(73, {QStringLiteral("."), text, p + 1});
}

// The end (0-based, exclusive) of the number literal at `p`: digits with at
// most one decimal point (not one followed by another, which starts "..")
// and at most one exponent; -1 after a message for a second point or
// exponent.
int numberLiteralEnd(Interpreter &in, const QString &text, int p)
{
    const int len = static_cast<int>(text.size());
    bool dot = false;
    bool exp = false;
    int q = p;
    while (q < len) {
        const char16_t d = text.at(q).unicode();
        if (isDigit(d)) {
            ++q;
        } else if (d == u'.') {
            if (q + 1 >= len || text.at(q + 1) == QLatin1Char('.'))
                break;
            if (dot) {
                in.RaiseMessage(72, {text.mid(p, q - p)});
                return -1;
            }
            dot = true;
            ++q;
        } else if (d == u'e' || d == u'E') {
            if (exp) {
                in.RaiseMessage(72, {text.mid(p, q - p)});
                return -1;
            }
            exp = true;
            ++q;
            if (q < len && (text.at(q) == QLatin1Char('+') || text.at(q) == QLatin1Char('-')))
                ++q;
        } else {
            break;
        }
    }
    return q;
}

void readNumber(Interpreter &in, const QString &text, int p, int &position, TWordStatus &word)
{
    const int q = numberLiteralEnd(in, text, p);
    if (q < 0)
        return;
    const QString literal = text.mid(p, q - p);
    const ParsedNumber num = ParseNumber(literal);
    if (!num.ok()) {
        in.RaiseMessage(72, {literal});
        return;
    }
    word.kind = wkFloat;
    word.float_val = num.value;
    word.setText(literal);
    position = q + 1;
}

} // namespace

void Interpreter::NextWord(const QString &text, int &position, TWordStatus &word)
{
    word.clear();
    const int len = static_cast<int>(text.size());
    int p = position - 1; // 0-based
    if (p >= len)
        return;
    while (p < len && text.at(p) == QLatin1Char(' '))
        ++p;
    if (p >= len) {
        position = p + 1;
        return;
    }
    const char16_t c = text.at(p).unicode();
    if (c == u'"' || c == u'\'') {
        readQuoted(*this, text, p, position, word);
    } else if (readOperator(text, p, position, word) || readPunctuation(c, p, position, word)) {
        return;
    } else if (c == u'.') {
        readDots(*this, text, p, position, word);
    } else if (isDigit(c)) {
        readNumber(*this, text, p, position, word);
    } else if (isIdentStart(c)) {
        int q = p;
        while (q < len && isIdentChar(text.at(q).unicode()))
            ++q;
        if (q < len && (text.at(q) == QLatin1Char('"') || text.at(q) == QLatin1Char('\''))) {
            RaiseMessage(73, {QString(text.at(q)), text, q + 2});
            return;
        }
        position = q + 1;
        classifyIdentifier(text, position, p, word);
    } else {
        RaiseMessage(73, {QString(QChar(c)), text, p + 1});
    }
}

namespace {

// true and false, the word operators and the keywords; false for any other
// name.
bool readReservedWord(const QString &ident, const QString &upper, TWordStatus &word)
{
    if (upper == QLatin1String("TRUE") || upper == QLatin1String("FALSE")) {
        const bool v = upper == QLatin1String("TRUE");
        word.kind = wkBool;
        word.bool_val = v;
        word.float_val = v ? 1.0 : 0.0;
        word.setText(v ? QStringLiteral("true") : QStringLiteral("false"));
        return true;
    }
    if (upper == QLatin1String("OR") || upper == QLatin1String("AND") || upper == QLatin1String("NOT")) {
        word.kind = wkOperator;
        word.setText(upper);
        word.oper_prioritet = static_cast<std::uint8_t>(operatorPriority(upper));
        return true;
    }
    if (auto it = keywordKinds().constFind(upper); it != keywordKinds().constEnd()) {
        word.kind = it.value();
        word.setText(ident);
        return true;
    }
    return false;
}

// The kind of function a name calls, the later tables winning (a script
// function over the built-in tables, JavaScript over all); wkNone for no
// function. A JavaScript function's row goes to word.func_index.
TWordKind functionKindOf(const Interpreter &in, const QString &ident, const QString &upper, TWordStatus &word)
{
    TWordKind kind = wkNone;
    if (FindCatalogueFunction(FunctionTable::Embedded, ident) >= 0)
        kind = wkEmbeddedFunction;
    if (FindCatalogueFunction(FunctionTable::Graph, ident) >= 0)
        kind = wkGraphFunction;
    if (FindCatalogueFunction(FunctionTable::Dialog, ident) >= 0)
        kind = wkDialogFunction;
    if (in.scriptFunctionNames().contains(upper))
        kind = wkScriptFunction;
    const int js = FindCatalogueFunction(FunctionTable::JavaScript, ident);
    if (js >= 0) {
        kind = wkJS_Function;
        word.func_index = js;
    }
    return kind;
}

// A function call: the name (with a ² or ³ after it), blanks, and the
// bracketed arguments up to the matching ")", all one word of `kind`.
void readFunctionCall(Interpreter &in, const QString &text, int identEnd, const QString &ident,
                      TWordKind kind, int &position, TWordStatus &word)
{
    const int len = static_cast<int>(text.size());
    int q = identEnd;
    if (q < len && (text.at(q) == QChar(u'²') || text.at(q) == QChar(u'³'))) {
        word.power = text.at(q) == QChar(u'²') ? 2 : 3;
        ++q;
    }
    const int afterName = q;
    while (q < len && text.at(q) == QLatin1Char(' '))
        ++q;
    if (q >= len || text.at(q) != QLatin1Char('(')) {
        in.RaiseMessage(74, {ident});
        return;
    }
    bool quoteLeftOpen = false;
    const int close = matchingBracket(text, q, &quoteLeftOpen);
    if (quoteLeftOpen) {
        in.RaiseMessage(70, {text});
        return;
    }
    if (close < 0) {
        in.RaiseMessage(75, {ident});
        return;
    }
    word.kind = kind;
    word.setText(ident + text.mid(afterName, close - afterName + 1));
    position = close + 2;
}

} // namespace

void Interpreter::classifyIdentifier(const QString &text, int &position, int identStart, TWordStatus &word)
{
    const int identEnd = position - 1; // 0-based index after the identifier
    const QString ident = text.mid(identStart, identEnd - identStart);
    const QString upper = ident.toUpper();
    if (readReservedWord(ident, upper, word))
        return;
    const int found = FindVariable(ident);
    if (recordDeps_)
        recordDeps_->append(SplitCache::Dep{ident, found >= 0, found < 0 && FindArray(ident) > 0});
    if (const int v = found; v >= 0) {
        word.kind = wkVariableName;
        word.var_index = v + 1;
        word.setText(ident);
        return;
    }
    if (const ConstantInfo ci = Constant_Lookup(ident); ci.line >= 0) {
        word.kind = wkConst;
        word.setText(ci.name);
        word.float_val = constantValue(ci.value);
        return;
    }
    if (FindArray(ident) > 0) {
        word.kind = wkArrayName;
        word.setText(ident);
        return;
    }
    const TWordKind kind = functionKindOf(*this, ident, upper, word);
    if (kind == wkNone) {
        word.kind = wkUnknownIdentifier;
        word.setText(ident);
        return;
    }
    readFunctionCall(*this, text, identEnd, ident, kind, position, word);
}

} // namespace tesmora
