// The language highlighter of the script editor (TSynTesmSyn): a line
// scanner that splits every line into tokens, a word list that tells reserved
// words and catalogue names from other identifiers, the token attributes the
// main window may recolour, and indentation folding.
//
// The scanner and the fold computation are pure functions of a line (or of
// the lines) so that they can be checked without painting anything.
#pragma once

#include <Qsci/qscilexercustom.h>

#include <QColor>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace tesmora {

class Interpreter;

// Token kinds, in this fixed order.
enum TtkTokenKind : std::uint8_t {
    tkComment,
    tkIdentifier,
    tkKey,
    tkNull,
    tkNumber,
    tkSpace,
    tkString,
    tkSymbol,
    tkNonKeyword,
    tkSystemDefined,
    tkHex,
    tkFloat,
    tkUnknown,
};
constexpr int kTokenKindCount = tkUnknown + 1;

// Range states. No construct continues onto the next line, so every line
// starts and ends in rsUnknown.
enum TRangeState : std::uint8_t { rsANil, rsComment, rsUnknown, rsMultilineString };

// One token of a line: kind, first UTF-16 index and length in UTF-16 units.
struct HighlightToken {
    TtkTokenKind kind = tkNull;
    int start = 0;
    int length = 0;
    bool operator==(const HighlightToken &o) const
    {
        return kind == o.kind && start == o.start && length == o.length;
    }
};

// The word list: lower-case words with their kind (tkKey or tkNonKeyword).
// A token is looked up without regard to case and accepted only when it
// equals the stored word exactly, so "if" is reserved while "IF" is not.
class HighlighterWordList {
  public:
    struct Entry {
        QString word;
        TtkTokenKind kind = tkKey;
    };

    void clear();
    // Adds `word` lower-cased; empty words are skipped.
    void add(const QString &word, TtkTokenKind kind);
    // Sorts without regard to case (stable: of two equal words the one added
    // first keeps priority) and rebuilds the lookup.
    void sort();
    std::optional<TtkTokenKind> lookup(const QString &token) const;
    const QList<Entry> &entries() const { return entries_; }

    // The 21 reserved words every rebuild starts with, in their fixed order.
    static const QStringList &reservedWords();
    // The list before the first preparation: the 21 reserved words and
    // "datetime" as tkKey, "tesmora" as tkNonKeyword.
    static HighlighterWordList initial();
    // The rebuilt list: reserved words, the script functions (any case), then
    // the name part of every formula and every synonym of the built-in,
    // JavaScript-backed, graphics and dialog tables, in that order; sorted.
    static HighlighterWordList rebuilt(const QStringList &scriptFunctionNames);

  private:
    QList<Entry> entries_;
    QHash<QString, int> index_; // lower-case word -> first entry
};

// The scanner of one line (without its line break).
QList<HighlightToken> scanLine(const QString &line, const HighlighterWordList &words);

// Identifier characters continue a word once it has started.
bool isHighlighterIdentChar(QChar c);
// Characters that start a word.
bool isHighlighterWordStart(QChar c);

// One fold range, from its first to its last line (0-based, inclusive).
struct FoldRange {
    enum Kind { CommentRun, Continuation, Indentation };
    int fromLine = 0;
    int toLine = 0;
    Kind kind = Indentation;
    // 4 for function and repeat, 5 for for, if and else; 0 for the runs.
    int foldType = 0;
    bool operator==(const FoldRange &o) const
    {
        return fromLine == o.fromLine && toLine == o.toLine && kind == o.kind && foldType == o.foldType;
    }
};

// The fold ranges of a text, ordered by their first line (ranges of one line
// are left out: there is nothing to fold).
QList<FoldRange> computeFoldRanges(const QStringList &lines, int tabWidth = 2);
// Scintilla fold levels (base level 0x400, header flag 0x2000) for each line.
QList<int> computeFoldLevels(const QStringList &lines, int tabWidth = 2);

// A token attribute: colours (an invalid colour is "none": the editor's own
// text or background colour applies) and font style.
struct TokenAttribute {
    QString storageName;
    QString displayName;
    QColor foreground;
    QColor background;
    bool bold = false;
    bool italic = false;
};

class ScriptLexer : public QsciLexerCustom {
    Q_OBJECT
  public:
    // The attributes, in the order of the attribute table.
    enum Attr {
        AttrComment,
        AttrIdentifier,
        AttrReservedWord,
        AttrNonreservedKeyword,
        AttrSystemFunctions,
        AttrNumber,
        AttrHexadecimal,
        AttrFloat,
        AttrSpace,
        AttrString,
        AttrDocumentation,
        AttrSymbol,
        AttrSyntaxError,
        AttrCount
    };
    // The component's default-attribute queries.
    enum DefaultAttributeIndex { DefComment, DefIdentifier, DefKeyword, DefString, DefWhitespace, DefSymbol };

    explicit ScriptLexer(QObject *parent = nullptr);

    // QsciLexer
    const char *language() const override { return "Tesmora"; }
    QString description(int style) const override;
    void styleText(int start, int end) override;
    int braceStyle() const override { return styleForKind(tkSymbol); }
    bool caseSensitive() const override { return false; }
    QColor defaultColor(int style) const override;
    QColor defaultPaper(int style) const override;
    QFont defaultFont(int style) const override;
    void setEditor(QsciScintilla *editor) override;

    static QString friendlyLanguageName() { return QStringLiteral("Tesmora"); }
    static QString defaultFilter() { return QStringLiteral("Tesmora Files (*.txt)|*.txt"); }

    // Style number of a token kind (style 0 is plain text).
    static int styleForKind(TtkTokenKind kind) { return kind + 1; }
    // The attribute that colours a token kind (none for tkNull).
    static std::optional<Attr> attributeForKind(TtkTokenKind kind);
    // The attribute that colours a style (a token kind + 1), or null.
    const TokenAttribute *attributeForStyle(int style) const;
    std::optional<Attr> defaultAttribute(DefaultAttributeIndex index) const;

    // The class's own attribute defaults and the values the main window sets.
    static QList<TokenAttribute> classDefaultAttributes();
    static QList<TokenAttribute> mainWindowAttributes();
    const TokenAttribute &attribute(Attr a) const { return attributes_[a]; }
    void setAttribute(Attr a, const QColor &foreground, const QColor &background, bool bold, bool italic);
    void setAttributes(const QList<TokenAttribute> &attributes);
    // The editor's text and background colours ("none" falls back to them)
    // and its font (every style takes it with its own bold and italic).
    void setEditorColors(const QColor &text, const QColor &background);
    void setEditorFont(const QFont &font);
    QColor editorTextColor() const { return editorText_; }

    // Word list.
    void rebuildWordList(const QStringList &scriptFunctionNames);
    void rebuildWordList(const Interpreter &interp);
    const HighlighterWordList &wordList() const { return words_; }

    // Tokens of one line with the current word list.
    QList<HighlightToken> tokens(const QString &line) const { return scanLine(line, words_); }

    int tabWidth() const { return tabWidth_; }
    void setTabWidth(int w) { tabWidth_ = w; }

  private:
    void applyStyles();
    void updateFoldLevels();

    HighlighterWordList words_;
    QList<TokenAttribute> attributes_;
    QColor editorText_ = Qt::black;
    QColor editorBackground_ = Qt::white;
    QFont editorFont_;
    int tabWidth_ = 2;
    bool foldsDirty_ = true;
};

} // namespace tesmora
