// The script editor and its highlighter, on the offscreen platform.
#include "gui_window.h"
#include "core/interpreter.h"
#include "environment/script_editor.h"
#include "environment/script_lexer.h"
#include "library/function_tables.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QListWidget>
#include <QPixmap>
#include <QScreen>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace tesmora;
using tesmora::test::clickGutter;
using tesmora::test::linePoint;

namespace {

const char *kindName(TtkTokenKind k)
{
    static const char *names[] = {"Comment", "Identifier", "Key",    "Null",       "Number",
                                  "Space",   "String",     "Symbol", "NonKeyword", "SystemDefined",
                                  "Hex",     "Float",      "Unknown"};
    return names[k];
}

// "Kind:text" of every token, joined by "|", for readable comparisons.
std::string scan(const QString &line, const HighlighterWordList &words = HighlighterWordList::rebuilt({}))
{
    QStringList parts;
    int expectedStart = 0;
    for (const HighlightToken &t : scanLine(line, words)) {
        EXPECT_EQ(t.start, expectedStart) << "tokens must tile the line";
        expectedStart = t.start + t.length;
        parts.append(QString::fromLatin1(kindName(t.kind)) + QLatin1Char(':') + line.mid(t.start, t.length));
    }
    return parts.join(QLatin1Char('|')).toStdString();
}

std::string ranges(const QStringList &lines)
{
    QStringList out;
    for (const FoldRange &r : computeFoldRanges(lines))
        out.append(QStringLiteral("%1-%2 %3")
                       .arg(r.fromLine)
                       .arg(r.toLine)
                       .arg(r.kind == FoldRange::CommentRun     ? QStringLiteral("c")
                            : r.kind == FoldRange::Continuation ? QStringLiteral(">")
                                                                : QString::number(r.foldType)));
    return out.join(QLatin1Char('|')).toStdString();
}

QsciScintilla *sci(ScriptEditor &ed)
{
    return ed.SynEditor();
}

// A shown editor with `lines`, in working mode.
void load(ScriptEditor &ed, const QStringList &lines)
{
    ed.resize(500, 300);
    ed.show();
    ed.setScriptText(lines);
    ed.setWorkingMode(true);
    QApplication::processEvents();
}

// The viewport point over character `column` of `line`.
QPoint charPoint(ScriptEditor &ed, int line, int column)
{
    QsciScintilla *e = sci(ed);
    const long pos = e->positionFromLineIndex(line, column);
    const int x = static_cast<int>(e->SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0UL, pos));
    return {x + 2, linePoint(ed, line, 0).y()};
}

void rightClick(ScriptEditor &ed, QPoint p)
{
    QContextMenuEvent ev(QContextMenuEvent::Mouse, p, sci(ed)->viewport()->mapToGlobal(p));
    QApplication::sendEvent(sci(ed)->viewport(), &ev);
}

QString marginText(ScriptEditor &ed, int line)
{
    QsciScintilla *e = sci(ed);
    const long n =
        e->SendScintilla(QsciScintillaBase::SCI_MARGINGETTEXT, static_cast<unsigned long>(line), 0L);
    QByteArray buf(static_cast<int>(n) + 1, '\0');
    e->SendScintilla(QsciScintillaBase::SCI_MARGINGETTEXT, static_cast<unsigned long>(line), buf.data());
    return QString::fromUtf8(buf.constData());
}

QColor pixel(const QImage &img, int x, int y)
{
    return img.pixelColor(x, y);
}

} // namespace

// ---------------------------------------------------------------------------
// Highlighter: words

TEST(Highlighter, TokenKindsAndInitialWordList)
{
    EXPECT_EQ(tkComment, 0);
    EXPECT_EQ(tkNull, 3);
    EXPECT_EQ(tkSymbol, 7);
    EXPECT_EQ(tkSystemDefined, 9);
    EXPECT_EQ(tkUnknown, 12);
    EXPECT_EQ(rsUnknown, 2);

    const HighlighterWordList initial = HighlighterWordList::initial();
    EXPECT_EQ(initial.entries().size(), 23);
    int keys = 0;
    for (const auto &e : initial.entries())
        keys += e.kind == tkKey;
    EXPECT_EQ(keys, 22);
    EXPECT_EQ(scan("datetime tesmora breakif", initial),
              "Key:datetime|Space: |NonKeyword:tesmora|Space: |Key:breakif");
    // Before the first preparation catalogue names are plain identifiers.
    EXPECT_EQ(scan("sleep", initial), "Identifier:sleep");
}

TEST(Highlighter, WordListRebuildAndLetterCase)
{
    const HighlighterWordList words = HighlighterWordList::rebuilt({QStringLiteral("SQUARE")});
    // Reserved words only in lower case.
    EXPECT_EQ(scan("IF If if", words), "Identifier:IF|Space: |Identifier:If|Space: |Key:if");
    // Catalogue names and synonyms in lower case only.
    EXPECT_EQ(
        scan("sleep Sleep os_sleep OS_Sleep", words),
        "NonKeyword:sleep|Space: |Identifier:Sleep|Space: |NonKeyword:os_sleep|Space: |Identifier:OS_Sleep");
    // Script functions (prepared names are upper-cased) are listed lower-cased.
    EXPECT_EQ(scan("square(x) Square", words),
              "NonKeyword:square|Symbol:(|Identifier:x|Symbol:)|Space: |Identifier:Square");
    // JavaScript, graphics and dialog names are there too; the rebuilt list
    // no longer knows "datetime" and "tesmora".
    EXPECT_EQ(
        scan("sin circle inputstring datetime tesmora", words),
        "NonKeyword:sin|Space: |NonKeyword:circle|Space: |NonKeyword:inputstring|Space: |Identifier:datetime|"
        "Space: |Identifier:tesmora");
    EXPECT_EQ(scan("pi stop and or not true false", words),
              "Key:pi|Space: |Key:stop|Space: |Key:and|Space: |Key:or|Space: |Key:not|Space: "
              "|Key:true|Space: |Key:false");
    // Sorted without regard to case; every entry lower-case.
    const auto &e = words.entries();
    for (int i = 1; i < e.size(); ++i) {
        EXPECT_LE(QString::compare(e[i - 1].word, e[i].word, Qt::CaseInsensitive), 0);
        EXPECT_EQ(e[i].word, e[i].word.toLower());
    }
    // A reserved word that is also a catalogue name stays reserved.
    HighlighterWordList dup;
    dup.add(QStringLiteral("int"), tkKey);
    dup.add(QStringLiteral("Int"), tkNonKeyword);
    dup.sort();
    EXPECT_EQ(dup.lookup(QStringLiteral("int")), std::optional<TtkTokenKind>(tkKey));
    EXPECT_EQ(dup.lookup(QStringLiteral("Int")), std::nullopt);
}

// ---------------------------------------------------------------------------
// Highlighter: scanner

TEST(Highlighter, Numbers)
{
    EXPECT_EQ(scan("0x1F"), "Hex:0x1F");
    EXPECT_EQ(scan("0x1G"), "Unknown:0x1G");
    EXPECT_EQ(scan("0XffL+1"), "Hex:0XffL|Symbol:+|Number:1");
    EXPECT_EQ(scan("0x"), "Hex:0x");
    EXPECT_EQ(scan("1.5e+3"), "Float:1.5e+3");
    EXPECT_EQ(scan("1e "), "Unknown:1e|Space: ");
    EXPECT_EQ(scan("1e+ x"), "Unknown:1e+|Space: |Identifier:x");
    EXPECT_EQ(scan("2e-x5.1"), "Unknown:2e-x5.1");
    EXPECT_EQ(scan("3E10"), "Float:3E10");
    EXPECT_EQ(scan("1e5e2"), "Unknown:1e5e2");
    EXPECT_EQ(scan("..."), "Symbol:...");
    EXPECT_EQ(scan(".. x"), "Symbol:.|Symbol:.|Space: |Identifier:x");
    EXPECT_EQ(scan("x.y"), "Identifier:x|Symbol:.|Identifier:y");
    EXPECT_EQ(scan(".5"), "Float:.5");
    EXPECT_EQ(scan("12"), "Number:12");
    EXPECT_EQ(scan("12.25*2"), "Float:12.25|Symbol:*|Number:2");
    EXPECT_EQ(scan("0.5"), "Float:0.5");
    EXPECT_EQ(scan("0"), "Number:0");
    EXPECT_EQ(scan("5j"), "Float:5j");
    EXPECT_EQ(scan("2.5J"), "Float:2.5J");
    EXPECT_EQ(scan("3l"), "Unknown:3l");
    EXPECT_EQ(scan("12abc d"), "Unknown:12abc|Space: |Identifier:d");
    // A full stop after a number: a range of three stops ends the number.
    EXPECT_EQ(scan("1..."), "Number:1|Symbol:...");
    EXPECT_EQ(scan("1.2.3"), "Unknown:1.2.3");
    EXPECT_EQ(scan("1.5..."), "Float:1.5|Symbol:...");
    EXPECT_EQ(scan("1..5"), "Unknown:1..5");
    // A leading zero asks for a float.
    EXPECT_EQ(scan("01"), "Unknown:01");
    EXPECT_EQ(scan("01 + 2"), "Unknown:01|Space: |Symbol:+|Space: |Number:2");
    EXPECT_EQ(scan("01.5"), "Float:01.5");
    EXPECT_EQ(scan("012e3"), "Float:012e3");
    EXPECT_EQ(scan("01j"), "Unknown:01j");
    EXPECT_EQ(scan("01..."), "Unknown:01...");
}

TEST(Highlighter, StringsCommentsAndSymbols)
{
    EXPECT_EQ(scan("'abc"), "String:'abc");
    EXPECT_EQ(scan("x = 'a#b' # note"),
              "Identifier:x|Space: |Symbol:=|Space: |String:'a#b'|Space: |Comment:# note");
    EXPECT_EQ(scan("'it''s'"), "String:'it'|String:'s'");
    EXPECT_EQ(scan("'a\\n'"), "String:'a\\n'");
    EXPECT_EQ(scan("; all of it 'x'"), "Comment:; all of it 'x'");
    EXPECT_EQ(scan("y=1;c"), "Identifier:y|Symbol:=|Number:1|Comment:;c");
    // A string never continues onto the next line: each line scans afresh.
    EXPECT_EQ(scan("abc' + 1"), "Identifier:abc|String:' + 1");
    const QString symbols = QStringLiteral("!%&()*+,-/:<=>[]^{|}~");
    for (QChar c : symbols)
        EXPECT_EQ(scan(QString(c)), "Symbol:" + QString(c).toStdString());
}

TEST(Highlighter, WordsSpacesAndUnknownCharacters)
{
    EXPECT_EQ(scan(u"Δx"_qs), "Unknown:Δ|Identifier:x");
    EXPECT_EQ(scan(u"xΔ"_qs), "Identifier:xΔ");
    EXPECT_EQ(scan(u"x² √y"_qs), "Identifier:x²|Space: |Unknown:√|Identifier:y");
    EXPECT_EQ(scan(u"λ ω α Ω"_qs),
              "Identifier:λ|Space: |Identifier:ω|Space: |Identifier:α|Space: |Identifier:Ω");
    EXPECT_EQ(scan(u"сумма Ёлка"_qs), "Identifier:сумма|Space: |Unknown:Ё|Identifier:лка");
    EXPECT_EQ(scan(u"a§b°c´d"_qs),
              "Identifier:a|Unknown:§|Identifier:b|Unknown:°|Identifier:c|Unknown:´|Identifier:d");
    EXPECT_EQ(
        scan("\"a\" $?@\\`"),
        "Unknown:\"|Identifier:a|Unknown:\"|Space: |Unknown:$|Unknown:?|Unknown:@|Unknown:\\|Unknown:`");
    EXPECT_EQ(scan("_x1 x_y"), "Identifier:_x1|Space: |Identifier:x_y");
    // System-defined names.
    EXPECT_EQ(scan("__init__ __a__ ___x__ __x___ __ab"),
              "SystemDefined:__init__|Space: |SystemDefined:__a__|Space: |Identifier:___x__|Space: |"
              "Identifier:__x___|Space: |Identifier:__ab");
    EXPECT_EQ(scan("def foo"), "Identifier:def|Space: |SystemDefined:foo");
    EXPECT_EQ(scan("  class  Bar(x)"),
              "Space:  |Identifier:class|Space:  |SystemDefined:Bar|Symbol:(|Identifier:x|Symbol:)");
    EXPECT_EQ(scan("x def y"), "Identifier:x|Space: |Identifier:def|Space: |Identifier:y");
    // Blanks and control characters.
    EXPECT_EQ(scan("\t x"), "Space:\t |Identifier:x");
    EXPECT_EQ(scan("a\r\nb"), "Identifier:a|Space:\r\n|Identifier:b");
    EXPECT_EQ(scan("a\rb"), "Identifier:a|Space:\r|Identifier:b");
    EXPECT_EQ(scan("\n\n"), "Space:\n|Space:\n");
    // NUL ends the line for the scanner.
    const QString withNul = QStringLiteral("a") + QChar(0) + QStringLiteral("b");
    const auto toks = scanLine(withNul, HighlighterWordList::initial());
    ASSERT_EQ(toks.size(), 2);
    EXPECT_EQ(toks[1], (HighlightToken{tkNull, 1, 1}));
}

TEST(Highlighter, AttributesAndStyles)
{
    const auto cls = ScriptLexer::classDefaultAttributes();
    const auto mw = ScriptLexer::mainWindowAttributes();
    ASSERT_EQ(cls.size(), ScriptLexer::AttrCount);
    ASSERT_EQ(mw.size(), ScriptLexer::AttrCount);
    EXPECT_EQ(cls[ScriptLexer::AttrComment].storageName, "Comment");
    EXPECT_EQ(cls[ScriptLexer::AttrSystemFunctions].storageName, "SystemFunctionsAndVariables");
    EXPECT_EQ(cls[ScriptLexer::AttrSystemFunctions].displayName, "System Functions and Variables");
    EXPECT_EQ(cls[ScriptLexer::AttrNonreservedKeyword].displayName, "Non-reserved Keyword");
    EXPECT_EQ(cls[ScriptLexer::AttrSyntaxError].displayName, "Syntax Error");
    // Class defaults.
    EXPECT_EQ(cls[ScriptLexer::AttrComment].foreground, QColor(0x80, 0x80, 0x80));
    EXPECT_TRUE(cls[ScriptLexer::AttrComment].italic);
    EXPECT_TRUE(cls[ScriptLexer::AttrReservedWord].bold);
    EXPECT_FALSE(cls[ScriptLexer::AttrReservedWord].foreground.isValid());
    EXPECT_EQ(cls[ScriptLexer::AttrNonreservedKeyword].foreground, QColor(0, 0, 0x80));
    EXPECT_EQ(cls[ScriptLexer::AttrDocumentation].foreground, QColor(0, 0x80, 0x80));
    EXPECT_EQ(cls[ScriptLexer::AttrSyntaxError].foreground, QColor(0xFF, 0, 0));
    // Main window values.
    EXPECT_FALSE(mw[ScriptLexer::AttrComment].italic);
    EXPECT_EQ(mw[ScriptLexer::AttrIdentifier].foreground, QColor(0, 0, 0xFF));
    EXPECT_TRUE(mw[ScriptLexer::AttrIdentifier].bold);
    EXPECT_EQ(mw[ScriptLexer::AttrReservedWord].foreground, QColor(0x80, 0, 0));
    EXPECT_EQ(mw[ScriptLexer::AttrNonreservedKeyword].foreground, QColor(0xFF, 0, 0xFF));
    EXPECT_EQ(mw[ScriptLexer::AttrHexadecimal].foreground, QColor(0x80, 0, 0x80));
    EXPECT_EQ(mw[ScriptLexer::AttrString].foreground, QColor(0, 0x80, 0));
    EXPECT_TRUE(mw[ScriptLexer::AttrSymbol].bold);
    EXPECT_FALSE(mw[ScriptLexer::AttrSyntaxError].foreground.isValid());
    EXPECT_FALSE(mw[ScriptLexer::AttrDocumentation].foreground.isValid());

    EXPECT_EQ(ScriptLexer::attributeForKind(tkNull), std::nullopt);
    EXPECT_EQ(ScriptLexer::attributeForKind(tkUnknown), ScriptLexer::AttrSyntaxError);
    EXPECT_EQ(ScriptLexer::attributeForKind(tkSystemDefined), ScriptLexer::AttrSystemFunctions);

    // The editor applies the main window's values; "none" is the text colour.
    ScriptEditor ed;
    ScriptLexer *lx = ed.highlighter();
    EXPECT_STREQ(lx->language(), "Tesmora");
    EXPECT_EQ(lx->defaultAttribute(ScriptLexer::DefComment), ScriptLexer::AttrComment);
    EXPECT_EQ(lx->defaultAttribute(ScriptLexer::DefKeyword), ScriptLexer::AttrReservedWord);
    EXPECT_EQ(lx->defaultAttribute(ScriptLexer::DefWhitespace), ScriptLexer::AttrSpace);
    EXPECT_EQ(lx->defaultAttribute(ScriptLexer::DefSymbol), ScriptLexer::AttrSymbol);
    EXPECT_EQ(lx->defaultAttribute(ScriptLexer::DefString), std::nullopt);
    EXPECT_EQ(lx->color(ScriptLexer::styleForKind(tkKey)), QColor(0x80, 0, 0));
    EXPECT_TRUE(lx->font(ScriptLexer::styleForKind(tkKey)).bold());
    EXPECT_EQ(lx->color(ScriptLexer::styleForKind(tkUnknown)), lx->editorTextColor());
    lx->setAttribute(ScriptLexer::AttrString, QColor(Qt::darkCyan), {}, false, true);
    EXPECT_EQ(lx->color(ScriptLexer::styleForKind(tkString)), QColor(Qt::darkCyan));
    EXPECT_TRUE(lx->font(ScriptLexer::styleForKind(tkString)).italic());
}

TEST(Highlighter, EditorStylesFollowTokensOnNonAsciiLines)
{
    ScriptEditor ed;
    load(ed, {u"s = 'Привет' if x # ком"_qs, u"Δ = 0x1F"_qs});
    ed.highlighter()->rebuildWordList(QStringList{});
    QsciScintilla *e = sci(ed);
    e->SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0UL, -1L);
    auto styleAt = [&](int line, int column) {
        return static_cast<int>(
            e->SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT,
                             static_cast<unsigned long>(e->positionFromLineIndex(line, column))));
    };
    EXPECT_EQ(styleAt(0, 5), ScriptLexer::styleForKind(tkString));
    EXPECT_EQ(styleAt(0, 13), ScriptLexer::styleForKind(tkKey));        // "if" after a Cyrillic string
    EXPECT_EQ(styleAt(0, 16), ScriptLexer::styleForKind(tkIdentifier)); // "x"
    EXPECT_EQ(styleAt(0, 18), ScriptLexer::styleForKind(tkComment));
    EXPECT_EQ(styleAt(1, 0), ScriptLexer::styleForKind(tkUnknown));
    EXPECT_EQ(styleAt(1, 4), ScriptLexer::styleForKind(tkHex));
}

// ---------------------------------------------------------------------------
// Folding

TEST(Folding, IndentationCommentAndContinuationRuns)
{
    const QStringList script = {
        "function f(a)", // 0
        "  if a > 0",    // 1
        "    x = 1",     // 2
        "  else",        // 3
        "    x = 2",     // 4
        "  return x",    // 5
        "",              // 6
        "# one",         // 7
        "# two",         // 8
        "# three",       // 9
        "y = 1",         // 10
        "> + 2",         // 11
        "> + 3",         // 12
        "stop",          // 13
    };
    EXPECT_EQ(ranges(script), "0-5 4|1-2 5|3-4 5|7-9 c|10-12 >");

    // Sibling loops; a tab counts as two blanks; blank lines do not end a block.
    EXPECT_EQ(ranges({"for i = 1 to 2", "  a", "for j = 1 to 2", "\tb", "", "", "c"}), "0-1 5|2-3 5");
    EXPECT_EQ(ranges({"repeat", "  x", "  breakif x", "y"}), "0-2 4");
    // Header words are whole words, in any letter case.
    EXPECT_EQ(ranges({"iffy = 1", "  a", "If(x)", "  b", "elsewhere = 2"}), "2-3 5");
    // "#" and ";" runs are separate; one comment line folds nothing.
    EXPECT_EQ(ranges({"# a", "; b", "; c", "x"}), "1-2 c");
    EXPECT_EQ(ranges({"x", "# last"}), "");
    // An indented comment is no run: it is judged by its indentation.
    EXPECT_EQ(ranges({"if a", "  # b", "  # c", "d"}), "0-2 5");
    // A continuation run folds under the line it continues, at the text's end too.
    EXPECT_EQ(ranges({"x = 1", "> + 2"}), "0-1 >");
    // Blocks still open at the end close on the last line that is not blank.
    EXPECT_EQ(ranges({"function g()", "  return 1", "", ""}), "0-1 4");

    const QList<int> levels = computeFoldLevels({"if a", "  x", "y"});
    EXPECT_EQ(levels, (QList<int>{0x400 | 0x2000, 0x401, 0x400}));
}

// ---------------------------------------------------------------------------
// Marks

TEST(EditorMarks, OneCurrentLineMarkAtATime)
{
    ScriptEditor ed;
    load(ed, {"a = 1", "b = 2", "c = 3", "d = 4", "stop"});
    ed.Set_CurrentLine_Mark(1);
    ed.Set_CurrentLine_Mark(3);
    EXPECT_EQ(ed.currentLineMarkLine(), 3);
    EXPECT_EQ(ed.marks(), (QList<EditorMark>{{15, 15, 4}}));
    EXPECT_EQ(ed.caretLine(), 3);
    EXPECT_EQ(ed.caretColumn(), 0);
    // A line beyond the text takes no mark, and the old one is gone.
    ed.Set_CurrentLine_Mark(9);
    EXPECT_EQ(ed.currentLineMarkLine(), -1);
}

TEST(EditorMarks, GutterClickTogglesBreakpointsInWorkingModeOnly)
{
    ScriptEditor ed;
    load(ed, {"# title", "x = 1", "   ; comment only", "", "y = 2  # tail", "stop"});
    QSignalSpy changed(&ed, &ScriptEditor::marksChanged);

    clickGutter(ed, 1);
    EXPECT_TRUE(ed.hasBreakpoint(1));
    EXPECT_EQ(ed.caretLine(), 1);
    clickGutter(ed, 1);
    EXPECT_FALSE(ed.hasBreakpoint(1));

    // Comment-only and blank lines take none; the first line always does.
    clickGutter(ed, 2);
    clickGutter(ed, 3);
    EXPECT_FALSE(ed.hasBreakpoint(2));
    EXPECT_FALSE(ed.hasBreakpoint(3));
    clickGutter(ed, 0);
    EXPECT_TRUE(ed.hasBreakpoint(0));
    clickGutter(ed, 4);
    EXPECT_TRUE(ed.hasBreakpoint(4));
    EXPECT_EQ(changed.count(), 4);

    // A bookmark and the current-line mark survive toggling the breakpoint.
    ed.setCaret(4, 0);
    ed.toggleBookmark(2);
    ed.Set_CurrentLine_Mark(4);
    clickGutter(ed, 4);
    EXPECT_EQ(ed.marks(), (QList<EditorMark>{{10, -1, 1}, {2, 2, 5}, {15, 15, 5}}));

    // Lines past the text: nothing.
    ed.gutterClicked(40, Qt::NoModifier);
    EXPECT_EQ(ed.marks().size(), 3);

    // Edit mode: clicks do nothing.
    ed.setWorkingMode(false);
    clickGutter(ed, 1);
    EXPECT_FALSE(ed.hasBreakpoint(1));
    clickGutter(ed, 0);
    EXPECT_TRUE(ed.hasBreakpoint(0));
}

TEST(EditorMarks, CtrlClickMovesTheExecutionPoint)
{
    ScriptEditor ed;
    load(ed, {"a = 1", "b = 2", "c = 3", "# note", "stop"});
    QSignalSpy requested(&ed, &ScriptEditor::executionPointRequested);
    ed.Set_CurrentLine_Mark(0);
    clickGutter(ed, 2);
    ASSERT_TRUE(ed.hasBreakpoint(2));
    clickGutter(ed, 2, Qt::ControlModifier);
    ASSERT_EQ(requested.count(), 1);
    EXPECT_EQ(requested.at(0).at(0).toInt(), 2);
    EXPECT_EQ(ed.currentLineMarkLine(), 2);
    EXPECT_TRUE(ed.hasBreakpoint(2));
    // Not onto a comment-only line.
    clickGutter(ed, 3, Qt::ControlModifier);
    EXPECT_EQ(requested.count(), 1);
    EXPECT_EQ(ed.currentLineMarkLine(), 2);
}

TEST(EditorMarks, UpdateStopMark)
{
    ScriptEditor ed;
    load(ed, {"a = 1", "b = 2", "c = 3", "d = 4", "stop"});
    ed.setBreakpoint(1, true);
    ed.setCaret(2, 0);
    ed.toggleBookmark(7);
    ed.Set_CurrentLine_Mark(3);
    ed.setBreakpoint(3, true);

    ed.UpdateStopMark(1);
    EXPECT_TRUE(ed.StopMark());
    EXPECT_EQ(ed.marks_1(), (QList<EditorMark>{{10, -1, 2}}));
    ed.UpdateStopMark(2); // a bookmark does not stop a run
    EXPECT_FALSE(ed.StopMark());
    EXPECT_EQ(ed.marks_1(), (QList<EditorMark>{{7, 7, 3}}));
    ed.UpdateStopMark(3);
    EXPECT_TRUE(ed.StopMark());
    EXPECT_EQ(ed.marks_1().size(), 2);
    ed.UpdateStopMark(0);
    EXPECT_FALSE(ed.StopMark());
    EXPECT_TRUE(ed.marks_1().isEmpty());
    ed.setCaret(1, 2); // -1: the caret line
    ed.UpdateStopMark(-1);
    EXPECT_TRUE(ed.StopMark());
    ed.UpdateStopMark(50);
    EXPECT_FALSE(ed.StopMark());
    // The current-line mark alone is no stop.
    ed.setBreakpoint(3, false);
    ed.UpdateStopMark(3);
    EXPECT_FALSE(ed.StopMark());
}

TEST(EditorMarks, SaveRestoreAndNewText)
{
    ScriptEditor ed;
    load(ed, {"a", "b", "c", "d", "e", "f"});
    ed.setBreakpoint(4, true);
    ed.setCaret(1, 0);
    ed.toggleBookmark(0);
    ed.Set_CurrentLine_Mark(5);
    const QList<EditorMark> saved = ed.saveMarks();
    EXPECT_EQ(saved, (QList<EditorMark>{{0, 0, 2}, {10, -1, 5}, {15, 15, 6}}));

    ed.clearMarks();
    ed.setBreakpoint(0, true);
    ed.restoreMarks(QList<EditorMark>{{10, -1, 3}, {3, 3, 1}, {0, 0, 0}, {15, 15, 2}});
    EXPECT_EQ(ed.marks(), (QList<EditorMark>{{3, 3, 1}, {10, -1, 3}}));
    ed.restoreMarks(saved);
    EXPECT_EQ(ed.marks(), saved);

    // New text: marks keep their lines; those past the end go.
    ed.setScriptText({"a", "b", "c", "d", "e"});
    EXPECT_EQ(ed.marks(), (QList<EditorMark>{{0, 0, 2}, {10, -1, 5}}));
    EXPECT_FALSE(ed.isModified());
}

TEST(EditorMarks, BookmarkKeys)
{
    ScriptEditor ed;
    load(ed, {"a", "b", "c", "d", "e"});
    QsciScintilla *e = sci(ed);
    ed.setCaret(3, 0);
    QTest::keyClick(e, Qt::Key_3, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(ed.bookmarkLine(3), 3);
    // The shifted digit of the layout is the same physical key.
    ed.setCaret(1, 0);
    QTest::keyClick(e, Qt::Key_NumberSign, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(ed.bookmarkLine(3), 1);
    ed.setCaret(4, 0);
    QTest::keyClick(e, Qt::Key_3, Qt::ControlModifier);
    EXPECT_EQ(ed.caretLine(), 1);
    QTest::keyClick(e, Qt::Key_3, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(ed.bookmarkLine(3), -1);
    EXPECT_EQ(e->text(), QString("a\nb\nc\nd\ne"));
}

// ---------------------------------------------------------------------------
// Caret

TEST(EditorCaret, SetCurrentLineLandsOnTheLineWithNonAsciiText)
{
    ScriptEditor ed;
    const QStringList lines = {u"π = 3.14159"_qs, u"s = 'Привет, мир'"_qs, u"ε₁ = 'ÄÖÜ ✓'"_qs, u"x = 1"_qs,
                               u"y = 2"_qs};
    load(ed, lines);
    for (int line : {3, 2, 4, 0}) {
        ed.SynEdit_Set_CurrentLine(line);
        EXPECT_EQ(ed.caretLine(), line);
        EXPECT_EQ(ed.caretColumn(), 0);
        EXPECT_FALSE(sci(ed)->hasSelectedText());
    }
    ed.SynEdit_Set_CurrentLine(5);
    ed.SynEdit_Set_CurrentLine(-1);
    EXPECT_EQ(ed.caretLine(), 0);
    ed.Set_CurrentLine_Mark(3);
    EXPECT_EQ(ed.caretLine(), 3);
    EXPECT_EQ(ed.currentLineMarkLine(), 3);
}

// ---------------------------------------------------------------------------
// Editing

TEST(EditorIndent, TabAndShiftTab)
{
    ScriptEditor ed;
    load(ed, {"ab", "cd", "ef", " g", "   h"});
    ed.setWorkingMode(false);
    QsciScintilla *e = sci(ed);

    // Tab at column 1 without a selection changes nothing.
    ed.setCaret(0, 0);
    QTest::keyClick(e, Qt::Key_Tab);
    EXPECT_EQ(ed.lines()[0], "ab");
    // Elsewhere it indents the caret line and selects it.
    ed.setCaret(0, 1);
    QTest::keyClick(e, Qt::Key_Tab);
    EXPECT_EQ(ed.lines()[0], "  ab");
    int lf, xf, lt, xt;
    e->getSelection(&lf, &xf, &lt, &xt);
    EXPECT_EQ((std::vector<int>{lf, xf, lt, xt}), (std::vector<int>{0, 0, 1, 0}));

    // A selection ending at column 1 leaves that line alone.
    e->setSelection(0, 1, 2, 0);
    ed.IndentSelectedLines(false);
    EXPECT_EQ(ed.lines().mid(0, 3), (QStringList{"    ab", "  cd", "ef"}));
    ed.IndentSelectedLines(true);
    EXPECT_EQ(ed.lines().mid(0, 3), (QStringList{"  ab", "cd", "ef"}));

    // Shift+Tab beyond column 1 of a line with one leading blank removes it;
    // with three it removes two.
    ed.setCaret(3, 2);
    QTest::keyClick(e, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(ed.lines()[3], "g");
    ed.setCaret(4, 4);
    ed.IndentSelectedLines(true);
    EXPECT_EQ(ed.lines()[4], " h");
    // The last line: the selection ends at its end.
    e->getSelection(&lf, &xf, &lt, &xt);
    EXPECT_EQ((std::vector<int>{lf, xf, lt, xt}), (std::vector<int>{4, 0, 4, 2}));
    // One undo step per indentation.
    e->undo();
    EXPECT_EQ(ed.lines()[4], "   h");

    // Read-only: nothing.
    ed.setWorkingMode(true);
    ed.setCaret(1, 1);
    QTest::keyClick(e, Qt::Key_Tab);
    EXPECT_EQ(ed.lines()[1], "cd");
}

TEST(EditorText, LineNumbersFromZeroAndTrimmedLines)
{
    ScriptEditor ed;
    load(ed, {"a  ", "b\t", "c"});
    EXPECT_EQ(ed.lines(), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(ed.text(), "a\nb\nc");
    EXPECT_EQ(marginText(ed, 0).trimmed(), "0");
    EXPECT_EQ(marginText(ed, 2).trimmed(), "2");
    ed.setWorkingMode(false);
    sci(ed)->insertAt("x\ny\n", 0, 0);
    QApplication::processEvents();
    EXPECT_EQ(ed.lineCount(), 5);
    for (int l = 0; l < 5; ++l)
        EXPECT_EQ(marginText(ed, l).trimmed(), QString::number(l));
}

TEST(EditorModes, WorkingAndEditAppearance)
{
    ScriptEditor ed;
    load(ed, {"a", "b"});
    QsciScintilla *e = sci(ed);
    auto gutter = [&] {
        const long c =
            e->SendScintilla(QsciScintillaBase::SCI_STYLEGETBACK, QsciScintillaBase::STYLE_LINENUMBER);
        return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
    };
    EXPECT_TRUE(e->isReadOnly());
    EXPECT_EQ(gutter(), QColor(0xA6, 0xCA, 0xF0));
    EXPECT_TRUE(e->SendScintilla(QsciScintillaBase::SCI_GETCARETLINEVISIBLE));
    const long caretBack = e->SendScintilla(QsciScintillaBase::SCI_GETCARETLINEBACK);
    EXPECT_EQ(QColor(caretBack & 0xFF, (caretBack >> 8) & 0xFF, (caretBack >> 16) & 0xFF),
              QColor(0xC0, 0xFF, 0xFF));
    EXPECT_EQ(e->tabWidth(), 2);
    EXPECT_FALSE(e->indentationsUseTabs());
    EXPECT_TRUE(e->autoIndent());

    ed.setWorkingMode(false);
    EXPECT_FALSE(e->isReadOnly());
    EXPECT_EQ(gutter(), QColor(0xC0, 0xFF, 0xC0));
    EXPECT_FALSE(e->SendScintilla(QsciScintillaBase::SCI_GETCARETLINEVISIBLE));
}

// ---------------------------------------------------------------------------
// Completion

TEST(EditorCompletion, ListContents)
{
    ScriptEditor ed;
    Interpreter interp;
    interp.SetVariable(QStringLiteral("counter"), QStringLiteral("1"), wkInt);
    interp.SetVariable(QStringLiteral("_local"), QString(), wkString, 1);
    interp.setConstantList({QStringLiteral("clRed = 255"), QStringLiteral(" PI = 3.14"),
                            QStringLiteral("=odd"), QStringLiteral("π = 3.14")});
    ed.BuildCompletionList(interp);
    const QStringList &list = ed.completionList();

    int rows = 0, synonyms = 0;
    for (FunctionTable t :
         {FunctionTable::Embedded, FunctionTable::JavaScript, FunctionTable::Graph, FunctionTable::Dialog})
        for (const auto &row : functionTable(t))
            if (!row.formula().isEmpty()) {
                ++rows;
                synonyms += !row.sinonim().isEmpty();
            }
    EXPECT_EQ(list.size(), rows + synonyms + 2 + 3 + 12);
    EXPECT_TRUE(list.contains("UpperCase(Str:string):string"));
    EXPECT_TRUE(list.contains("Str_UpperCase(Str:string):string"));
    EXPECT_TRUE(list.contains("OS_Sleep(Seconds:float)"));
    EXPECT_TRUE(list.contains("InputString(Prompt:string[,Default:string]):string"));
    EXPECT_TRUE(list.contains("counter"));
    EXPECT_TRUE(list.contains("_local"));
    EXPECT_TRUE(list.contains("clRed"));
    EXPECT_TRUE(list.contains("PI"));
    EXPECT_TRUE(list.contains(u"π"_qs));
    EXPECT_FALSE(list.contains(""));
    EXPECT_FALSE(list.contains("odd"));
    for (const char *w : {"repeat", "break", "breakif", "continue", "continueif", "stop", "array", "function",
                          "Int", "float", "string", "else"})
        EXPECT_TRUE(list.contains(w)) << w;
    for (int i = 1; i < list.size(); ++i)
        EXPECT_LE(QString::compare(list[i - 1], list[i], Qt::CaseInsensitive), 0) << list[i].toStdString();

    EXPECT_EQ(ScriptEditor::completionInsertText("UpperCase(Str:string):string"), "UpperCase");
    EXPECT_EQ(ScriptEditor::completionInsertText("Exit()"), "Exit");
    EXPECT_EQ(ScriptEditor::completionInsertText("(odd)"), "(odd)");
    EXPECT_EQ(ScriptEditor::completionInsertText("counter"), "counter");
    EXPECT_EQ(ed.completionMatches("upperc"), (QStringList{"UpperCase(Str:string):string"}));
}

TEST(EditorCompletion, ChoosingAnEntryInsertsOnlyItsName)
{
    ScriptEditor ed;
    load(ed, {"y = Upp", "z = 1"});
    ed.BuildCompletionList(QStringList{"counter"}, QStringList{});
    QsciScintilla *e = sci(ed);
    e->setFocus();

    // Working mode: no list.
    ed.setCaret(0, 7);
    QTest::keyClick(e, Qt::Key_Space, Qt::ControlModifier);
    EXPECT_FALSE(ed.isCompletionActive());

    ed.setWorkingMode(false);
    ed.setCaret(0, 7);
    QTest::keyClick(e, Qt::Key_Space, Qt::ControlModifier);
    ASSERT_TRUE(ed.isCompletionActive());
    QTest::keyClick(e, Qt::Key_Return);
    EXPECT_FALSE(ed.isCompletionActive());
    EXPECT_EQ(ed.lines()[0], "y = UpperCase");

    // A fill-up character completes too, and is typed after the name.
    ed.setCaret(1, 5);
    QTest::keyClicks(e, " + cou");
    QTest::keyClick(e, Qt::Key_Space, Qt::ControlModifier);
    ASSERT_TRUE(ed.isCompletionActive());
    QTest::keyClick(e, '(');
    EXPECT_EQ(ed.lines()[1], "z = 1 + counter(");

    // A full stop opens the list by itself.
    QTest::keyClick(e, '.');
    QApplication::processEvents();
    EXPECT_TRUE(ed.isCompletionActive());
    QTest::keyClick(e, Qt::Key_Escape);
    EXPECT_FALSE(ed.isCompletionActive());
}

// The completion list as it is shown, or null when none is shown.
QListWidget *shownCompletionList()
{
    // A list the component let go waits, empty, for its deletion.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (QWidget *w : QApplication::allWidgets())
        if (auto *list = qobject_cast<QListWidget *>(w); list && list->isVisible() && list->count() > 0)
            return list;
    return nullptr;
}

// Rows of the list the learner can read whole.
int readableRows(QListWidget *list)
{
    const QRect view = list->viewport()->rect();
    int rows = 0;
    for (int i = 0; i < list->count(); ++i) {
        const QRect r = list->visualItemRect(list->item(i));
        if (r.height() > 0 && view.contains(r.adjusted(0, 0, -r.width() + 1, 0)))
            ++rows;
    }
    return rows;
}

TEST(EditorCompletion, TheListShowsFifteenRowsAndASingleMatchReadably)
{
    tesmora::test::Window t("a = 1\nb = 2\n");
    t.showActive();
    t.key(Qt::Key_F4);
    ASSERT_TRUE(t.ed().SynEditor()->hasFocus());
    t.ed().setCaret(1, 5);
    t.key(Qt::Key_Return);
    // Many matches: fifteen rows, 300 px wide.
    t.type("s");
    t.key(Qt::Key_Space, Qt::ControlModifier);
    QListWidget *list = shownCompletionList();
    ASSERT_NE(list, nullptr);
    ASSERT_GT(list->count(), 15);
    EXPECT_EQ(readableRows(list), 15);
    EXPECT_NEAR(list->width(), 300, 40);
    t.key(Qt::Key_Escape);
    // One match: its row can be read, and Enter inserts its name.
    t.key(Qt::Key_Backspace);
    t.type("ReplaceSt");
    t.key(Qt::Key_Space, Qt::ControlModifier);
    list = shownCompletionList();
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->count(), 1);
    EXPECT_TRUE(list->item(0)->text().startsWith("ReplaceStr(Str:string,OldSubstr:string,"));
    EXPECT_EQ(readableRows(list), 1);
    const QRect row = list->visualItemRect(list->item(0));
    EXPECT_GE(list->viewport()->height(), row.height());
    tesmora::test::shoot(list->window(), QStringLiteral("completion_one_match"));
    // The list over the editor as the screen shows them (a real display only).
    const QString shots = qEnvironmentVariable("TESMORA_SHOTS");
    if (!shots.isEmpty()) {
        QTest::qWait(300);
        const QPixmap screen = t.w->screen()->grabWindow(0);
        if (!screen.isNull())
            screen.save(shots + QStringLiteral("/completion_one_match_screen.png"));
    }
    t.key(Qt::Key_Return);
    EXPECT_EQ(t.ed().lines().value(2), "ReplaceStr");
}

// ---------------------------------------------------------------------------
// Indicator strip

TEST(IndicatorStrip, GeometryMapping)
{
    // Marks sit at the component's 1-based line times height / lines,
    // halves to even.
    EXPECT_EQ(ScriptEditor::indicatorY(0, 100, 10), 10);
    EXPECT_EQ(ScriptEditor::indicatorY(9, 100, 10), 100);
    EXPECT_EQ(ScriptEditor::indicatorY(0, 100, 8), 12); // 12.5
    EXPECT_EQ(ScriptEditor::indicatorY(2, 100, 8), 38); // 37.5
    EXPECT_EQ(ScriptEditor::indicatorY(1, 300, 7), 86); // 85.71
    // A click leads back to the line.
    EXPECT_EQ(ScriptEditor::indicatorLine(50, 100, 10), 4);
    EXPECT_EQ(ScriptEditor::indicatorLine(25, 100, 10), 1); // 2.5 -> 2
    EXPECT_EQ(ScriptEditor::indicatorLine(35, 100, 10), 3); // 3.5 -> 4
    EXPECT_EQ(ScriptEditor::indicatorLine(0, 100, 10), 0);
    EXPECT_EQ(ScriptEditor::indicatorLine(100, 100, 10), 9);
    EXPECT_EQ(ScriptEditor::indicatorLine(140, 100, 10), 9);
    for (int line = 0; line < 37; ++line)
        EXPECT_EQ(ScriptEditor::indicatorLine(ScriptEditor::indicatorY(line, 500, 37), 500, 37), line);
}

TEST(IndicatorStrip, PaintsMarksAndSkipsShortScripts)
{
    ScriptEditor ed;
    ed.resize(300, 200);
    ed.show();
    ed.setScriptText({"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"});
    ed.setWorkingMode(true);
    QApplication::processEvents();
    ASSERT_EQ(ed.Image_indicator()->height(), 200);
    EXPECT_EQ(ed.Image_indicator()->width(), 15);
    ed.setBreakpoint(3, true); // y = 80
    ed.setCaret(0, 0);
    ed.toggleBookmark(5);       // y = 20
    ed.Set_CurrentLine_Mark(6); // y = 140
    const QImage img = ed.Image_indicator()->image();
    const QColor sky(0xA6, 0xCA, 0xF0);
    EXPECT_EQ(pixel(img, 7, 60), sky);
    // Breakpoint: a red bar across the strip, rows y-1 .. y.
    EXPECT_EQ(pixel(img, 0, 79), QColor(Qt::red));
    EXPECT_EQ(pixel(img, 14, 80), QColor(Qt::red));
    EXPECT_EQ(pixel(img, 7, 81), sky);
    EXPECT_EQ(pixel(img, 7, 78), sky);
    // Bookmark: black, x 0..6, rows y-4 .. y+3.
    EXPECT_EQ(pixel(img, 0, 16), QColor(Qt::black));
    EXPECT_EQ(pixel(img, 6, 23), QColor(Qt::black));
    EXPECT_EQ(pixel(img, 7, 20), sky);
    EXPECT_EQ(pixel(img, 3, 24), sky);
    // Current line: red x 8..14 with yellow x 10..12, rows y-2 .. y+1.
    EXPECT_EQ(pixel(img, 8, 136), QColor(Qt::red));
    EXPECT_EQ(pixel(img, 14, 143), QColor(Qt::red));
    EXPECT_EQ(pixel(img, 9, 140), QColor(Qt::red));
    EXPECT_EQ(pixel(img, 10, 138), QColor(Qt::yellow));
    EXPECT_EQ(pixel(img, 12, 141), QColor(Qt::yellow));
    EXPECT_EQ(pixel(img, 13, 140), QColor(Qt::red));
    EXPECT_EQ(pixel(img, 7, 140), sky);

    // Four lines or fewer: the strip keeps its old picture.
    ed.setScriptText({"a", "b", "c", "d"});
    ed.setBreakpoint(0, true);
    ed.Set_CurrentLine_Mark(1);
    ed.PaintIndicatorStrip();
    EXPECT_EQ(ed.Image_indicator()->image(), img);
}

TEST(IndicatorStrip, ClickScrollsWithoutMovingTheExecutionPoint)
{
    ScriptEditor ed;
    ed.resize(300, 200);
    ed.show();
    QStringList lines;
    for (int i = 0; i < 100; ++i)
        lines.append(QStringLiteral("x%1 = %1").arg(i));
    ed.setScriptText(lines);
    QApplication::processEvents();
    ed.Set_CurrentLine_Mark(2);
    QTest::mouseClick(ed.Image_indicator(), Qt::LeftButton, Qt::NoModifier, QPoint(7, 150));
    EXPECT_EQ(ed.caretLine(), 74);
    EXPECT_EQ(ed.currentLineMarkLine(), 2);
    const int top = ed.topLine();
    EXPECT_LE(top, 74);
    EXPECT_GT(top + sci(ed)->SendScintilla(QsciScintillaBase::SCI_LINESONSCREEN), 74);
}

// ---------------------------------------------------------------------------
// Right mouse button, popup menu, find and replace

TEST(EditorPopup, RightClickHandsTheWordToHelp)
{
    ScriptEditor ed;
    load(ed, {"y = sleep(2)   ", "# Привет мир"});
    QSignalSpy help(&ed, &ScriptEditor::wordHelpRequested);

    rightClick(ed, charPoint(ed, 0, 6));
    ASSERT_EQ(help.count(), 1);
    EXPECT_EQ(help.at(0).at(0).toString(), "sleep");
    rightClick(ed, charPoint(ed, 1, 4));
    ASSERT_EQ(help.count(), 2);
    EXPECT_EQ(help.at(1).at(0).toString(), u"Привет"_qs);
    EXPECT_FALSE(ed.PopupMenu_SynEdit()->isVisible());

    // No word there: the popup menu, whose editing items are off in working mode.
    rightClick(ed, charPoint(ed, 0, 3));
    EXPECT_EQ(help.count(), 2);
    QMenu *menu = ed.PopupMenu_SynEdit();
    EXPECT_TRUE(menu->isVisible());
    const QList<QAction *> items = menu->actions();
    ASSERT_EQ(items.size(), 4);
    EXPECT_EQ(items[0]->text(), "Copy (Ctrl C)");
    EXPECT_EQ(items[3]->text(), "Delete");
    EXPECT_TRUE(items[0]->isEnabled());
    EXPECT_FALSE(items[1]->isEnabled());
    EXPECT_FALSE(items[2]->isEnabled());
    EXPECT_FALSE(items[3]->isEnabled());
    menu->hide();

    // Inside a selection: the popup menu, not help.
    ed.setWorkingMode(false);
    EXPECT_TRUE(items[1]->isEnabled());
    sci(ed)->setSelection(0, 0, 0, 9);
    rightClick(ed, charPoint(ed, 0, 6));
    EXPECT_EQ(help.count(), 2);
    EXPECT_TRUE(menu->isVisible());
    menu->hide();
    EXPECT_EQ(ed.wordAt(0, 4), "sleep");
    EXPECT_EQ(ed.wordAt(0, 9), "");
}

TEST(EditorFind, FindAndReplace)
{
    ScriptEditor ed;
    load(ed, {u"Мир = 1"_qs, "mir = 2", u"x = мир + Мир2 + Мир"_qs});
    // Forward from the caret, then on from the found text.
    ed.setCaret(0, 0);
    ASSERT_TRUE(ed.findNext(u"Мир"_qs, true, true, false));
    EXPECT_EQ(sci(ed)->selectedText(), u"Мир"_qs);
    EXPECT_EQ(ed.caretLine(), 0);
    ASSERT_TRUE(ed.findNext(u"Мир"_qs, true, true, false));
    EXPECT_EQ(ed.caretLine(), 2);
    EXPECT_EQ(ed.caretColumn(), 13);
    // Whole words skip "Мир2".
    ed.setCaret(2, 0);
    ASSERT_TRUE(ed.findNext(u"Мир"_qs, true, true, true));
    EXPECT_EQ(ed.caretColumn(), 20);
    EXPECT_FALSE(ed.findNext(u"Мир"_qs, true, true, true));
    // Backwards, and without regard to case.
    int lf, xf, lt, xt;
    ASSERT_TRUE(ed.findNext(u"МИР"_qs, false, false, false));
    sci(ed)->getSelection(&lf, &xf, &lt, &xt);
    EXPECT_EQ((std::vector<int>{lf, xf, lt, xt}), (std::vector<int>{2, 10, 2, 13}));
    ASSERT_TRUE(ed.findNext(u"МИР"_qs, false, false, false));
    sci(ed)->getSelection(&lf, &xf, &lt, &xt);
    EXPECT_EQ((std::vector<int>{lf, xf, lt, xt}), (std::vector<int>{2, 4, 2, 7}));
    EXPECT_FALSE(ed.findNext(u"МИР"_qs, false, true, false));
    EXPECT_FALSE(ed.findNext("", true, true, false));

    // Replacing needs edit mode.
    EXPECT_FALSE(ed.replaceNext("mir", "world", true, false));
    ed.setWorkingMode(false);
    ed.setCaret(0, 0);
    ASSERT_TRUE(ed.replaceNext("mir", "world", true, false));
    EXPECT_EQ(ed.lines()[1], "world = 2");
    EXPECT_EQ(ed.replaceAll(u"мир"_qs, "w", false, true), 3);
    EXPECT_EQ(ed.lines(), (QStringList{"w = 1", "world = 2", u"x = w + Мир2 + w"_qs}));
    EXPECT_EQ(ed.replaceAll("nothing", "w", false, false), 0);
    sci(ed)->undo();
    EXPECT_EQ(ed.lines()[0], u"Мир = 1"_qs);
}

TEST(EditorKeys, EnhancedEndKey)
{
    tesmora::ScriptEditor ed;
    ed.setScriptText({"x = 1"});
    ed.setWorkingMode(false);
    // Trailing blanks typed after the statement.
    ed.SynEditor()->setCursorPosition(0, 5);
    ed.SynEditor()->insert("   ");
    ed.SynEditor()->setCursorPosition(0, 0);
    QTest::keyClick(ed.SynEditor(), Qt::Key_End);
    int line = 0, index = 0;
    ed.SynEditor()->getCursorPosition(&line, &index);
    EXPECT_EQ(index, 5); // after the last non-blank character
    QTest::keyClick(ed.SynEditor(), Qt::Key_End);
    ed.SynEditor()->getCursorPosition(&line, &index);
    EXPECT_EQ(index, 8); // then the end of the line
}
