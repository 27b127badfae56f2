// The script editor of the main window: the text component `SynEditor` with
// its gutter marks (breakpoints, bookmarks, the current-line mark), the
// language highlighter, the completion list, find and replace, and the mark
// indicator strip `Image_indicator` at its right edge.
//
// Lines are 0-based in every call of this class (as in the gutter and in every
// message); an EditorMark keeps the component's 1-based line, as SavedMarks do.
#pragma once

#include <QImage>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <Qsci/qsciscintilla.h>

class QMenu;
class QAction;

namespace tesmora {

class Interpreter;
class ScriptLexer;
class ScriptEditor;
class ScriptFindDialog;

// One editor mark: image index, bookmark number (-1 for a breakpoint, 0..9 for
// a bookmark, 15 for the current-line mark) and its 1-based editor line.
struct EditorMark {
    int imageIndex = 0;
    int bookmarkNumber = 0;
    int line = 0;
    bool operator==(const EditorMark &o) const
    {
        return imageIndex == o.imageIndex && bookmarkNumber == o.bookmarkNumber && line == o.line;
    }
};

// The text component: a QsciScintilla that hands Tab, the bookmark keys,
// Ctrl+Space and the right mouse button to its ScriptEditor.
class ScriptTextEdit : public QsciScintilla {
    Q_OBJECT
  public:
    explicit ScriptTextEdit(ScriptEditor *owner);

  protected:
    void keyPressEvent(QKeyEvent *e) override;
    void keyReleaseEvent(QKeyEvent *e) override;
    void contextMenuEvent(QContextMenuEvent *e) override;
    bool focusNextPrevChild(bool) override { return false; }

  private:
    ScriptEditor *owner_;
};

// The mark indicator strip: shows the picture PaintIndicatorStrip painted and
// reports clicks.
class IndicatorStrip : public QWidget {
    Q_OBJECT
  public:
    explicit IndicatorStrip(QWidget *parent = nullptr);
    const QImage &image() const { return image_; }
    void setImage(const QImage &image);
    QSize sizeHint() const override;

  signals:
    void clicked(int y);
    void resized();

  protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;

  private:
    QImage image_;
};

class ScriptEditor : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kBreakpointImage = 10;
    static constexpr int kCurrentLineMark = 15;
    static constexpr int kStripWidth = 15;
    static constexpr int kTabWidth = 2;
    static constexpr int kSavedMarksCapacity = 100;
    // Markers 0..9 (bookmarks), 10 (breakpoint) and 15 (current line).
    static constexpr unsigned kMarkMask = 0x3FFu | (1u << kBreakpointImage) | (1u << kCurrentLineMark);
    // Gutter and active-line colours of the two modes.
    static QColor workingGutterColor() { return QColor(0xA6, 0xCA, 0xF0); }
    static QColor editGutterColor() { return QColor(0xC0, 0xFF, 0xC0); }
    static QColor activeLineColor() { return QColor(0xC0, 0xFF, 0xFF); }

    explicit ScriptEditor(QWidget *parent = nullptr);
    ~ScriptEditor() override;

    QsciScintilla *SynEditor() const { return editor_; }
    ScriptLexer *highlighter() const { return lexer_; }
    // The interface language of the editor's own dialogs (0 English, 1 Russian).
    void setLanguage(int language) { language_ = language; }
    int language() const { return language_; }
    IndicatorStrip *Image_indicator() const { return strip_; }

    // ---- Text ---------------------------------------------------------------
    // Replaces the text; marks stay on their line numbers (those beyond the new
    // text are dropped). The undo history starts afresh.
    void setScriptText(const QStringList &lines);
    // The lines with trailing blanks trimmed.
    QStringList lines() const;
    QString text() const { return lines().join(QLatin1Char('\n')); }
    int lineCount() const;
    bool isModified() const;
    void setModified(bool modified);
    void setReadOnly(bool readOnly);
    bool isReadOnly() const;
    int topLine() const;
    void setTopLine(int line);
    // Caret line and column (column in characters).
    int caretLine() const;
    int caretColumn() const;
    void setCaret(int line, int column);

    // ---- Modes and appearance ---------------------------------------------------
    // Working mode: read-only, sky-blue gutter, light-cyan active line, strip
    // repainted; edit mode: editable, light-green gutter, no active line.
    void setWorkingMode(bool working);
    bool workingMode() const { return working_; }
    void setEditorFont(const QFont &font);
    QFont editorFont() const { return font_; }
    void setGutterFont(const QFont &font);

    // ---- Marks --------------------------------------------------------------------
    void Set_CurrentLine_Mark(int line);
    void SynEdit_Set_CurrentLine(int line);
    // Examines the marks of `line` (-1: the caret line) into marks_1.
    void UpdateStopMark(int line = -1);
    bool StopMark() const { return stopMark_; }
    const QList<EditorMark> &marks_1() const { return marks1_; }
    bool hasBreakpoint(int line) const;
    void setBreakpoint(int line, bool on);
    // Line of the current-line mark, or -1.
    int currentLineMarkLine() const;
    // Every mark, by line and then by image index.
    QList<EditorMark> marks() const;
    // The marks for SavedMarks (at most 100).
    QList<EditorMark> saveMarks() const;
    // Replaces every mark by `marks`, stopping at the first entry whose line is
    // below 1.
    void restoreMarks(const QList<EditorMark> &marks);
    void clearMarks();
    // Bookmarks 0..9: Ctrl+Shift+digit sets (or, on its own line, clears);
    // Ctrl+digit jumps.
    void toggleBookmark(int number);
    void gotoBookmark(int number);
    int bookmarkLine(int number) const;

    // A click in the gutter on 0-based `line` (Ctrl held: move the execution
    // point). Called by the component's margin click.
    void gutterClicked(int line, Qt::KeyboardModifiers modifiers);

    // ---- Indicator strip -----------------------------------------------------------
    void PaintIndicatorStrip();
    // Strip position of a mark on 0-based `line` and the line a strip click at
    // `y` leads to.
    static int indicatorY(int line, int stripHeight, int lineCount);
    static int indicatorLine(int y, int stripHeight, int lineCount);
    void indicatorClicked(int y);

    // ---- Completion ----------------------------------------------------------------------
    void BuildCompletionList(const Interpreter &interp);
    void BuildCompletionList(const QStringList &variableNames, const QStringList &constantList);
    const QStringList &completionList() const { return completion_; }
    // The text an entry inserts: everything from its first "(" on is dropped.
    static QString completionInsertText(const QString &entry);
    // Entries matching `prefix` (without regard to case).
    QStringList completionMatches(const QString &prefix) const;
    void showCompletion();
    bool isCompletionActive() const;

    // ---- Editing ------------------------------------------------------------------------
    void IndentSelectedLines(bool shift);
    // Identifier under a character position (empty when there is none).
    QString wordAt(int line, int column) const;

    // ---- Find and replace --------------------------------------------------------------
    void showFindDialog();
    void showReplaceDialog();
    // Search from the selection (forward from its end, backward from its
    // start); a hit is selected. False (and a beep) when nothing is found.
    bool findNext(const QString &text, bool down, bool matchCase, bool wholeWord);
    // Replaces the next occurrence from the selection start on.
    bool replaceNext(const QString &text, const QString &replacement, bool matchCase, bool wholeWord);
    // Replaces every occurrence; returns how many (0 beeps).
    int replaceAll(const QString &text, const QString &replacement, bool matchCase, bool wholeWord);

    // ---- Popup menu and word help ---------------------------------------------------------
    QMenu *PopupMenu_SynEdit() const { return popup_; }
    // The right mouse button at `viewportPos` of the text area: word help, or
    // the popup menu at `globalPos`.
    void rightClick(const QPoint &viewportPos, const QPoint &globalPos);

  signals:
    // Ctrl+click in the gutter: the current line of run control becomes `line`
    // (the editor then moves its current-line mark there).
    void executionPointRequested(int line);
    // The right mouse button on a word.
    void wordHelpRequested(const QString &word);
    // A mark was set or removed from the editor itself.
    void marksChanged();

  protected:
    void showEvent(QShowEvent *e) override;
    bool event(QEvent *e) override;

  private:
    friend class ScriptTextEdit;
    friend class ScriptFindDialog;
    void configureEditor();
    void defineMarkers();
    void applyGutterColors();
    void updateLineNumbers();
    void updateGutterWidth();
    void updateBraceHighlight();
    void handleCharAdded(int ch);
    void handleCompletionSelection(const char *selection, int position);
    void refilterCompletion();
    // Gives the shown list its rows and width: every row readable, at most
    // kCompletionRows of them, no sideways scrolling.
    void fitCompletionList();
    QString completionPrefix() const;
    // Does the full stop just typed stand where a name can follow (not in a
    // comment, a string or a number)?
    bool fullStopOpensCompletion() const;
    bool handleKey(QKeyEvent *e);
    // A key while the completion list is open, before the component has it.
    void noteCompletionKey(const QKeyEvent *e);
    void addMarker(int line, int marker);
    static int physicalDigit(const QKeyEvent *e);
    bool searchFrom(const QString &text, long from, long to, bool matchCase, bool wholeWord);
    ScriptFindDialog *findDialog(bool replace);

    ScriptTextEdit *editor_;
    ScriptLexer *lexer_;
    int language_ = 0;
    IndicatorStrip *strip_;
    QMenu *popup_;
    QAction *actCopy_;
    QAction *actCut_;
    QAction *actPaste_;
    QAction *actDelete_;
    QPointer<ScriptFindDialog> findDialog_;
    QPointer<ScriptFindDialog> replaceDialog_;
    QFont font_;
    QFont gutterFont_;
    QStringList completion_;
    QList<EditorMark> marks1_;
    bool stopMark_ = false;
    bool working_ = true;
    bool refilterPending_ = false;
    // The list popped up by itself and the learner has neither moved in it
    // nor typed: Enter then breaks the line instead of choosing.
    bool completionUntouched_ = false;
};

} // namespace tesmora
