#include "script_lexer.h"

#include "core/interpreter.h"
#include "library/function_tables.h"

#include <Qsci/qsciscintilla.h>

#include <QRegularExpression>

#include <algorithm>

namespace tesmora {

// ---------------------------------------------------------------------------
// Word list

void HighlighterWordList::clear()
{
    entries_.clear();
    index_.clear();
}

void HighlighterWordList::add(const QString &word, TtkTokenKind kind)
{
    if (word.isEmpty())
        return;
    const QString lower = word.toLower();
    entries_.append({lower, kind});
    if (!index_.contains(lower))
        index_.insert(lower, static_cast<int>(entries_.size() - 1));
}

void HighlighterWordList::sort()
{
    std::stable_sort(entries_.begin(), entries_.end(), [](const Entry &a, const Entry &b) {
        return QString::compare(a.word, b.word, Qt::CaseInsensitive) < 0;
    });
    index_.clear();
    for (int i = 0; i < entries_.size(); ++i)
        if (!index_.contains(entries_[i].word.toLower()))
            index_.insert(entries_[i].word.toLower(), i);
}

std::optional<TtkTokenKind> HighlighterWordList::lookup(const QString &token) const
{
    const auto it = index_.constFind(token.toLower());
    if (it == index_.constEnd())
        return std::nullopt;
    const Entry &e = entries_[*it];
    if (e.word != token)
        return std::nullopt;
    return e.kind;
}

const QStringList &HighlighterWordList::reservedWords()
{
    static const QStringList words = {
        QStringLiteral("and"),   QStringLiteral("array"),      QStringLiteral("breakif"),
        QStringLiteral("break"), QStringLiteral("continueif"), QStringLiteral("continue"),
        QStringLiteral("else"),  QStringLiteral("false"),      QStringLiteral("float"),
        QStringLiteral("for"),   QStringLiteral("function"),   QStringLiteral("if"),
        QStringLiteral("int"),   QStringLiteral("not"),        QStringLiteral("or"),
        QStringLiteral("pi"),    QStringLiteral("repeat"),     QStringLiteral("return"),
        QStringLiteral("stop"),  QStringLiteral("string"),     QStringLiteral("true"),
    };
    return words;
}

HighlighterWordList HighlighterWordList::initial()
{
    HighlighterWordList list;
    for (const QString &w : reservedWords())
        list.add(w, tkKey);
    list.add(QStringLiteral("datetime"), tkKey);
    list.add(QStringLiteral("tesmora"), tkNonKeyword);
    list.sort();
    return list;
}

HighlighterWordList HighlighterWordList::rebuilt(const QStringList &scriptFunctionNames)
{
    HighlighterWordList list;
    for (const QString &w : reservedWords())
        list.add(w, tkKey);
    for (const QString &name : scriptFunctionNames)
        list.add(name, tkNonKeyword);
    for (FunctionTable table :
         {FunctionTable::Embedded, FunctionTable::JavaScript, FunctionTable::Graph, FunctionTable::Dialog}) {
        for (const T_FunctionDescription &row : functionTable(table)) {
            const QString formula = row.formula();
            // The text before "(": a formula without one gives no name.
            const qsizetype br = formula.indexOf(QLatin1Char('('));
            list.add(br < 0 ? QString() : formula.left(br), tkNonKeyword);
            list.add(row.sinonim(), tkNonKeyword);
        }
    }
    list.sort();
    return list;
}

// ---------------------------------------------------------------------------
// Scanner

bool isHighlighterIdentChar(QChar c)
{
    const ushort u = c.unicode();
    if (u <= 47)
        return false;
    if (u >= 58 && u <= 64)
        return false;
    if (u >= 91 && u <= 94)
        return false;
    if (u == 96)
        return false;
    if (u >= 123 && u <= 126)
        return false;
    return u != 167 && u != 176 && u != 180;
}

bool isHighlighterWordStart(QChar c)
{
    const ushort u = c.unicode();
    return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u == '_' || (u >= 0x039B && u <= 0x03A9) ||
           (u >= 0x03B1 && u <= 0x03C9) || (u >= 0x0410 && u <= 0x044F);
}

namespace {

bool isSymbolChar(ushort u)
{
    switch (u) {
    case '!':
    case '%':
    case '&':
    case '(':
    case ')':
    case '*':
    case '+':
    case ',':
    case '-':
    case '/':
    case ':':
    case '<':
    case '=':
    case '>':
    case '[':
    case ']':
    case '^':
    case '{':
    case '|':
    case '}':
    case '~':
        return true;
    default:
        return false;
    }
}

bool isDigit(ushort u)
{
    return u >= '0' && u <= '9';
}
bool isHexDigit(ushort u)
{
    return isDigit(u) || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F');
}

// The line seen as a zero-terminated string: reading past its end gives 0.
class LineReader {
  public:
    explicit LineReader(const QString &s) : s_(s) {}
    ushort at(int i) const { return i >= 0 && i < s_.size() ? s_.at(i).unicode() : 0; }
    QChar ch(int i) const { return QChar(at(i)); }
    int size() const { return static_cast<int>(s_.size()); }

  private:
    const QString &s_;
};

// Scans a number (or a full stop) starting at `run`: the first characters
// choose the state (a whole number, a fraction, a hexadecimal number, a
// number after a leading 0), each state reads on until the number ends.
class NumberScanner {
  public:
    NumberScanner(const LineReader &line, int &run) : line_(line), run_(run) {}

    // The kind of the token; `run` ends past it.
    TtkTokenKind scan()
    {
        if (!scanStart())
            return kind_;
        for (;;) {
            const ushort c = line_.at(run_);
            // A digit of the number's base continues it in every state.
            if (state_ == Hex ? isHexDigit(c) : isDigit(c)) {
                ++run_;
                continue;
            }
            const bool ident = c != 0 && isHighlighterIdentChar(QChar(c));
            bool more = false;
            switch (state_) {
            case Whole:
                more = inWhole(c, ident);
                break;
            case Dot:
            case Exp:
                more = inFraction(c, ident);
                break;
            case FloatNeeded:
                more = afterLeadingZero(c);
                break;
            case Hex:
                more = inHex(c, ident);
                break;
            }
            if (!more)
                return kind_;
        }
    }

  private:
    enum State { Whole, Dot, FloatNeeded, Hex, Exp };

    // The first one or two characters; false when the token is a lone full
    // stop (or "...").
    bool scanStart()
    {
        const ushort first = line_.at(run_);
        ++run_;
        if (first == '.') {
            if (!isDigit(line_.at(run_))) {
                if (line_.at(run_) == '.' && line_.at(run_ + 1) == '.')
                    run_ += 2;
                kind_ = tkSymbol;
                return false;
            }
            ++run_;
            enter(Dot, tkFloat);
        } else if (first == '0') {
            const ushort next = line_.at(run_);
            if (next == 'x' || next == 'X') {
                ++run_;
                enter(Hex, tkHex);
            } else if (next == '.') {
                ++run_;
                enter(Dot, tkFloat);
            } else if (isDigit(next)) {
                ++run_;
                enter(FloatNeeded, tkFloat);
            }
        }
        return true;
    }

    void enter(State state, TtkTokenKind kind)
    {
        state_ = state;
        kind_ = kind;
    }

    // The token becomes tkUnknown and swallows identifier characters and
    // full stops from `run` on; the number has ended.
    bool badNumber()
    {
        kind_ = tkUnknown;
        while (line_.at(run_) != 0 && (isHighlighterIdentChar(line_.ch(run_)) || line_.at(run_) == '.'))
            ++run_;
        return false;
    }

    bool twoStopsFollow() const { return line_.at(run_ + 1) == '.' && line_.at(run_ + 2) == '.'; }

    // e or E at `run`: false when the number has ended (as a bad number).
    bool exponent()
    {
        enter(Exp, tkFloat);
        ++run_; // the e
        if (line_.at(run_) == '+' || line_.at(run_) == '-')
            ++run_;
        return isDigit(line_.at(run_)) || badNumber();
    }

    // Each step reads the character `c` at `run`, which is not a digit of
    // the number; false when the number has ended.
    bool inWhole(ushort c, bool ident)
    {
        if (c == 'e' || c == 'E')
            return exponent();
        if (c == 'j' || c == 'J') {
            ++run_;
            kind_ = tkFloat;
            return false;
        }
        if (c == '.') {
            if (twoStopsFollow())
                return false;
            ++run_;
            enter(Dot, tkFloat);
            return true;
        }
        return ident ? badNumber() : false;
    }

    bool inFraction(ushort c, bool ident)
    {
        if (c == 'e' || c == 'E')
            return state_ == Exp ? badNumber() : exponent();
        if (c == 'j' || c == 'J') {
            ++run_;
            return false;
        }
        if (c == '.')
            return twoStopsFollow() ? false : badNumber();
        return ident ? badNumber() : false;
    }

    bool afterLeadingZero(ushort c)
    {
        if (c == 'e' || c == 'E')
            return exponent();
        if (c == '.' && !twoStopsFollow()) {
            ++run_;
            enter(Dot, tkFloat);
            return true;
        }
        return badNumber();
    }

    bool inHex(ushort c, bool ident)
    {
        if (c == 'j' || c == 'J')
            return badNumber();
        if (c == '.')
            return twoStopsFollow() ? false : badNumber();
        if (c == 'l' || c == 'L') {
            ++run_;
            return false;
        }
        return ident ? badNumber() : false;
    }

    const LineReader &line_;
    int &run_;
    TtkTokenKind kind_ = tkNumber;
    State state_ = Whole;
};

TtkTokenKind scanNumber(const LineReader &line, int &run)
{
    return NumberScanner(line, run).scan();
}

} // namespace

QList<HighlightToken> scanLine(const QString &text, const HighlighterWordList &words)
{
    QList<HighlightToken> tokens;
    const LineReader line(text);
    const int n = line.size();
    int run = 0;
    while (run < n) {
        const int start = run;
        const ushort c = line.at(run);
        TtkTokenKind kind = tkUnknown;
        if (c == 0) {
            // An embedded NUL ends the line for the scanner.
            tokens.append({tkNull, start, 1});
            break;
        } else if (c == 10) {
            ++run;
            kind = tkSpace;
        } else if (c == 13) {
            ++run;
            if (line.at(run) == 10)
                ++run;
            kind = tkSpace;
        } else if (c <= 32) {
            while (run < n && line.at(run) >= 1 && line.at(run) <= 32)
                ++run;
            kind = tkSpace;
        } else if (c == '#' || c == ';') {
            run = n;
            kind = tkComment;
        } else if (c == '\'') {
            ++run;
            while (run < n && line.at(run) != '\'')
                ++run;
            if (run < n)
                ++run;
            kind = tkString;
        } else if (c == '.' || isDigit(c)) {
            kind = scanNumber(line, run);
        } else if (isHighlighterWordStart(QChar(c))) {
            while (run < n && isHighlighterIdentChar(line.ch(run)))
                ++run;
            const QString token = text.mid(start, run - start);
            if (const auto k = words.lookup(token)) {
                kind = *k;
            } else if (token.size() >= 5 && token.startsWith(QLatin1String("__")) &&
                       token.at(2) != QLatin1Char('_') && token.endsWith(QLatin1String("__")) &&
                       token.at(token.size() - 3) != QLatin1Char('_')) {
                kind = tkSystemDefined;
            } else {
                const QString before = text.left(start).trimmed();
                kind = (before == QLatin1String("def") || before == QLatin1String("class")) ? tkSystemDefined
                                                                                            : tkIdentifier;
            }
        } else if (isSymbolChar(c)) {
            ++run;
            kind = tkSymbol;
        } else {
            ++run;
            kind = tkUnknown;
        }
        tokens.append({kind, start, run - start});
    }
    return tokens;
}

// ---------------------------------------------------------------------------
// Folding

namespace {

QChar firstChar(const QStringList &lines, int i)
{
    if (i < 0 || i >= lines.size() || lines[i].isEmpty())
        return QChar();
    return lines[i].at(0);
}

bool blankLine(const QString &s)
{
    return std::all_of(s.begin(), s.end(), [](QChar c) { return c.unicode() <= 32; });
}

// The fold ranges of a text, line by line: runs of comment lines ('#' or
// ';'), runs of continuation lines ('>'), and the blocks under a header
// line, closed by the next line at the header's indentation or less.
class FoldScanner {
  public:
    FoldScanner(const QStringList &lines, int tabWidth)
        : lines_(lines), tabWidth_(tabWidth), n_(static_cast<int>(lines.size()))
    {
    }

    QList<FoldRange> scan()
    {
        for (int i = 0; i < n_; ++i) {
            if (blankLine(lines_[i]))
                continue;
            if (!runEvent(i))
                indentLine(i);
        }
        // The end of the text closes what is still open.
        int lastLine = n_ - 1;
        while (lastLine > 0 && blankLine(lines_[lastLine]))
            --lastLine;
        closeIndent(0, lastLine);
        std::stable_sort(ranges_.begin(), ranges_.end(), [](const FoldRange &a, const FoldRange &b) {
            return a.fromLine != b.fromLine ? a.fromLine < b.fromLine : a.toLine > b.toLine;
        });
        return ranges_;
    }

  private:
    struct Open {
        int line;
        int indent;
        int type;
    };

    // Opens or closes a comment run or a continuation run at line `i`;
    // false when the line does neither.
    bool runEvent(int i)
    {
        bool event = false;
        const QChar c = firstChar(lines_, i);
        const QChar next = firstChar(lines_, i + 1);
        const QChar prev = firstChar(lines_, i - 1);
        const bool last = i == n_ - 1;
        if (c == QLatin1Char('#') || c == QLatin1Char(';')) {
            int &open = commentOpen_[c == QLatin1Char('#') ? 0 : 1];
            if (prev != c && (next == c || last)) {
                open = i;
                event = true;
            }
            if (next != c || last) {
                if (open >= 0 && i > open)
                    ranges_.append({open, i, FoldRange::CommentRun, 0});
                open = -1;
                event = true;
            }
        }
        if (c != QLatin1Char('>') && next == QLatin1Char('>')) {
            continuationOpen_ = i;
            event = true;
        }
        if (c == QLatin1Char('>') && (next != QLatin1Char('>') || last)) {
            if (continuationOpen_ >= 0 && i > continuationOpen_)
                ranges_.append({continuationOpen_, i, FoldRange::Continuation, 0});
            continuationOpen_ = -1;
            event = true;
        }
        return event;
    }

    // Every line at an indentation closes the blocks opened at it or deeper
    // (they end before it, and before a comment run it sits in); a block
    // header then opens its own.
    void indentLine(int i)
    {
        static const QRegularExpression header(QStringLiteral("^(function|repeat|for|if|else)\\b"));
        const QString &text = lines_[i];
        int indent = 0;
        int k = 0;
        while (k < text.size() && text.at(k).unicode() <= 32) {
            indent += text.at(k) == QLatin1Char('\t') ? tabWidth_ : 1;
            ++k;
        }
        const QRegularExpressionMatch m = header.match(text.mid(k).toLower());
        int limit = i;
        for (int open : commentOpen_)
            if (open >= 0)
                limit = std::min(limit, open);
        closeIndent(indent, lastFilledBefore(limit));
        if (m.hasMatch()) {
            const QString word = m.captured(1);
            const int type = (word == QLatin1String("function") || word == QLatin1String("repeat")) ? 4 : 5;
            indentOpen_.append({i, indent, type});
        }
    }

    // The last non-blank line before `line` (the end of a fold closed there).
    int lastFilledBefore(int line) const
    {
        int j = line - 1;
        while (j > 0 && blankLine(lines_[j]))
            --j;
        return j;
    }

    void closeIndent(int indent, int endLine)
    {
        while (!indentOpen_.isEmpty() && indentOpen_.last().indent >= indent) {
            const Open o = indentOpen_.takeLast();
            if (endLine > o.line)
                ranges_.append({o.line, endLine, FoldRange::Indentation, o.type});
        }
    }

    const QStringList &lines_;
    const int tabWidth_;
    const int n_;
    QList<FoldRange> ranges_;
    QList<Open> indentOpen_;
    int commentOpen_[2] = {-1, -1}; // '#', ';'
    int continuationOpen_ = -1;
};

} // namespace

QList<FoldRange> computeFoldRanges(const QStringList &lines, int tabWidth)
{
    return FoldScanner(lines, tabWidth).scan();
}

QList<int> computeFoldLevels(const QStringList &lines, int tabWidth)
{
    constexpr int kBase = 0x400;    // SC_FOLDLEVELBASE
    constexpr int kHeader = 0x2000; // SC_FOLDLEVELHEADERFLAG
    const int n = static_cast<int>(lines.size());
    QList<int> delta(n + 1, 0);
    QList<bool> header(n, false);
    for (const FoldRange &r : computeFoldRanges(lines, tabWidth)) {
        header[r.fromLine] = true;
        delta[r.fromLine + 1] += 1;
        delta[r.toLine + 1] -= 1;
    }
    QList<int> levels(n, kBase);
    int depth = 0;
    for (int i = 0; i < n; ++i) {
        depth += delta[i];
        levels[i] = kBase + depth + (header[i] ? kHeader : 0);
    }
    return levels;
}

// ---------------------------------------------------------------------------
// Attributes

namespace {

const QColor kGrey(0x80, 0x80, 0x80);
const QColor kBlue(0, 0, 0xFF);
const QColor kNavy(0, 0, 0x80);
const QColor kMaroon(0x80, 0, 0);
const QColor kFuchsia(0xFF, 0, 0xFF);
const QColor kPurple(0x80, 0, 0x80);
const QColor kGreen(0, 0x80, 0);
const QColor kTeal(0, 0x80, 0x80);
const QColor kRed(0xFF, 0, 0);

QList<TokenAttribute> attributeNames()
{
    return {
        {QStringLiteral("Comment"), QStringLiteral("Comment"), {}, {}, false, false},
        {QStringLiteral("Identifier"), QStringLiteral("Identifier"), {}, {}, false, false},
        {QStringLiteral("ReservedWord"), QStringLiteral("Reserved Word"), {}, {}, false, false},
        {QStringLiteral("NonreservedKeyword"), QStringLiteral("Non-reserved Keyword"), {}, {}, false, false},
        {QStringLiteral("SystemFunctionsAndVariables"),
         QStringLiteral("System Functions and Variables"),
         {},
         {},
         false,
         false},
        {QStringLiteral("Number"), QStringLiteral("Number"), {}, {}, false, false},
        {QStringLiteral("Hexadecimal"), QStringLiteral("Hexadecimal"), {}, {}, false, false},
        {QStringLiteral("Float"), QStringLiteral("Float"), {}, {}, false, false},
        {QStringLiteral("Space"), QStringLiteral("Space"), {}, {}, false, false},
        {QStringLiteral("String"), QStringLiteral("String"), {}, {}, false, false},
        {QStringLiteral("Documentation"), QStringLiteral("Documentation"), {}, {}, false, false},
        {QStringLiteral("Symbol"), QStringLiteral("Symbol"), {}, {}, false, false},
        {QStringLiteral("SyntaxError"), QStringLiteral("Syntax Error"), {}, {}, false, false},
    };
}

} // namespace

namespace {
void setStyle(TokenAttribute &attr, const QColor &fg, bool bold, bool italic)
{
    attr.foreground = fg;
    attr.bold = bold;
    attr.italic = italic;
}
} // namespace

QList<TokenAttribute> ScriptLexer::classDefaultAttributes()
{
    QList<TokenAttribute> a = attributeNames();
    auto set = [&a](Attr i, QColor fg, bool bold, bool italic) { setStyle(a[i], fg, bold, italic); };
    set(AttrComment, kGrey, false, true);
    set(AttrReservedWord, {}, true, false);
    set(AttrNonreservedKeyword, kNavy, true, false);
    set(AttrSystemFunctions, {}, true, false);
    set(AttrNumber, kBlue, false, false);
    set(AttrHexadecimal, kBlue, false, false);
    set(AttrFloat, kBlue, false, false);
    set(AttrString, kBlue, false, false);
    set(AttrDocumentation, kTeal, false, false);
    set(AttrSyntaxError, kRed, false, false);
    return a;
}

QList<TokenAttribute> ScriptLexer::mainWindowAttributes()
{
    QList<TokenAttribute> a = attributeNames();
    auto set = [&a](Attr i, QColor fg, bool bold, bool italic) { setStyle(a[i], fg, bold, italic); };
    set(AttrComment, kGrey, false, false);
    set(AttrIdentifier, kBlue, true, false);
    set(AttrReservedWord, kMaroon, true, false);
    set(AttrNonreservedKeyword, kFuchsia, true, false);
    set(AttrSystemFunctions, {}, true, false);
    set(AttrNumber, kNavy, false, false);
    set(AttrHexadecimal, kPurple, false, false);
    set(AttrFloat, kNavy, false, false);
    set(AttrString, kGreen, false, false);
    set(AttrSymbol, kPurple, true, false);
    return a;
}

std::optional<ScriptLexer::Attr> ScriptLexer::attributeForKind(TtkTokenKind kind)
{
    switch (kind) {
    case tkComment:
        return AttrComment;
    case tkIdentifier:
        return AttrIdentifier;
    case tkKey:
        return AttrReservedWord;
    case tkNull:
        return std::nullopt;
    case tkNumber:
        return AttrNumber;
    case tkSpace:
        return AttrSpace;
    case tkString:
        return AttrString;
    case tkSymbol:
        return AttrSymbol;
    case tkNonKeyword:
        return AttrNonreservedKeyword;
    case tkSystemDefined:
        return AttrSystemFunctions;
    case tkHex:
        return AttrHexadecimal;
    case tkFloat:
        return AttrFloat;
    case tkUnknown:
        return AttrSyntaxError;
    }
    return std::nullopt;
}

std::optional<ScriptLexer::Attr> ScriptLexer::defaultAttribute(DefaultAttributeIndex index) const
{
    switch (index) {
    case DefComment:
        return AttrComment;
    case DefKeyword:
        return AttrReservedWord;
    case DefWhitespace:
        return AttrSpace;
    case DefSymbol:
        return AttrSymbol;
    default:
        return std::nullopt;
    }
}

// ---------------------------------------------------------------------------
// The lexer

ScriptLexer::ScriptLexer(QObject *parent)
    : QsciLexerCustom(parent), words_(HighlighterWordList::initial()), attributes_(classDefaultAttributes())
{
    editorFont_ = QFont(QStringLiteral("Courier New"));
    editorFont_.setStyleHint(QFont::Monospace);
    editorFont_.setFixedPitch(true);
    editorFont_.setPixelSize(13);
    applyStyles();
}

QString ScriptLexer::description(int style) const
{
    if (style == 0)
        return QStringLiteral("Default");
    const int kind = style - 1;
    if (kind < 0 || kind >= kTokenKindCount)
        return {};
    if (const auto a = attributeForKind(static_cast<TtkTokenKind>(kind)))
        return attributes_[*a].displayName;
    return QStringLiteral("Null");
}

const TokenAttribute *ScriptLexer::attributeForStyle(int style) const
{
    const int kind = style - 1;
    if (kind < 0 || kind >= kTokenKindCount)
        return nullptr;
    const auto a = attributeForKind(static_cast<TtkTokenKind>(kind));
    return a ? &attributes_[*a] : nullptr;
}

QColor ScriptLexer::defaultColor(int style) const
{
    const TokenAttribute *a = attributeForStyle(style);
    return a && a->foreground.isValid() ? a->foreground : editorText_;
}

QColor ScriptLexer::defaultPaper(int style) const
{
    const TokenAttribute *a = attributeForStyle(style);
    return a && a->background.isValid() ? a->background : editorBackground_;
}

QFont ScriptLexer::defaultFont(int style) const
{
    QFont f = editorFont_;
    if (const TokenAttribute *a = attributeForStyle(style)) {
        f.setBold(a->bold);
        f.setItalic(a->italic);
    }
    return f;
}

void ScriptLexer::applyStyles()
{
    setDefaultColor(editorText_);
    setDefaultPaper(editorBackground_);
    setDefaultFont(editorFont_);
    for (int style = 0; style <= kTokenKindCount; ++style) {
        setColor(defaultColor(style), style);
        setPaper(defaultPaper(style), style);
        setFont(defaultFont(style), style);
    }
}

void ScriptLexer::setAttribute(Attr a, const QColor &foreground, const QColor &background, bool bold,
                               bool italic)
{
    attributes_[a].foreground = foreground;
    attributes_[a].background = background;
    attributes_[a].bold = bold;
    attributes_[a].italic = italic;
    applyStyles();
}

void ScriptLexer::setAttributes(const QList<TokenAttribute> &attributes)
{
    for (int i = 0; i < AttrCount && i < attributes.size(); ++i)
        attributes_[i] = attributes[i];
    applyStyles();
}

void ScriptLexer::setEditorColors(const QColor &text, const QColor &background)
{
    editorText_ = text;
    editorBackground_ = background;
    applyStyles();
}

void ScriptLexer::setEditorFont(const QFont &font)
{
    editorFont_ = font;
    applyStyles();
}

void ScriptLexer::rebuildWordList(const QStringList &scriptFunctionNames)
{
    words_ = HighlighterWordList::rebuilt(scriptFunctionNames);
    if (editor())
        editor()->recolor();
}

void ScriptLexer::rebuildWordList(const Interpreter &interp)
{
    rebuildWordList(interp.scriptFunctionNames());
}

void ScriptLexer::setEditor(QsciScintilla *ed)
{
    if (editor())
        disconnect(editor(), nullptr, this, nullptr);
    QsciLexerCustom::setEditor(ed);
    foldsDirty_ = true;
    if (ed)
        connect(ed, &QsciScintilla::textChanged, this, [this] { foldsDirty_ = true; });
}

void ScriptLexer::styleText(int start, int end)
{
    QsciScintilla *ed = editor();
    if (!ed)
        return;
    const int firstLine = static_cast<int>(ed->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, start));
    const int lastLine = static_cast<int>(ed->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, end));
    const int docLength = static_cast<int>(ed->SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
    for (int l = firstLine; l <= lastLine; ++l) {
        const int lineStart = static_cast<int>(ed->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, l));
        const int lineEnd = static_cast<int>(ed->SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION, l));
        int nextStart = static_cast<int>(ed->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, l + 1));
        if (nextStart < lineEnd)
            nextStart = docLength;
        const QString text = QString::fromUtf8(ed->bytes(lineStart, lineEnd).left(lineEnd - lineStart));
        // UTF-8 length of every UTF-16 unit (a surrogate pair: 4 + 0).
        QList<int> bytesOf(text.size(), 0);
        for (int i = 0; i < text.size(); ++i) {
            const ushort u = text.at(i).unicode();
            if (QChar::isHighSurrogate(u) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
                bytesOf[i] = 4;
                bytesOf[++i] = 0;
            } else {
                bytesOf[i] = u < 0x80 ? 1 : (u < 0x800 ? 2 : 3);
            }
        }
        startStyling(lineStart);
        int used = 0;
        const int lineBytes = lineEnd - lineStart;
        for (const HighlightToken &t : scanLine(text, words_)) {
            int len = 0;
            for (int i = t.start; i < t.start + t.length && i < bytesOf.size(); ++i)
                len += bytesOf[i];
            len = std::min(len, lineBytes - used);
            if (len > 0)
                setStyling(len, styleForKind(t.kind));
            used += len;
        }
        if (used < lineBytes)
            setStyling(lineBytes - used, 0);
        if (nextStart > lineEnd)
            setStyling(nextStart - lineEnd, styleForKind(tkSpace));
    }
    updateFoldLevels();
}

void ScriptLexer::updateFoldLevels()
{
    if (!foldsDirty_)
        return;
    foldsDirty_ = false;
    QsciScintilla *ed = editor();
    const int count = ed->lines();
    QStringList lines;
    lines.reserve(count);
    for (int l = 0; l < count; ++l) {
        QString t = ed->text(l);
        while (t.endsWith(QLatin1Char('\n')) || t.endsWith(QLatin1Char('\r')))
            t.chop(1);
        lines.append(t);
    }
    const QList<int> levels = computeFoldLevels(lines, tabWidth_);
    for (int l = 0; l < count; ++l) {
        const long current = ed->SendScintilla(QsciScintillaBase::SCI_GETFOLDLEVEL, l);
        if (current != levels[l])
            ed->SendScintilla(QsciScintillaBase::SCI_SETFOLDLEVEL, l, levels[l]);
    }
}

} // namespace tesmora
