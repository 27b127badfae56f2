// The help window (TForm_help): every explanation reaches the learner here.
// Callers fill HelpText and open the window modally; a text that contains
// "<fnt1>" is shown in markup mode, any other text in description mode.
#pragma once

#include "core/interpreter.h"

#include <QDialog>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>

class QAction;
class QMenu;
class QTextEdit;
class QTimer;

namespace tesmora {

class IniFile;

// The frame rectangle of a window moved, and shrunk if it is larger, so that
// it lies inside `area`.
QRect keptInside(QRect frame, const QRect &area);

class HelpWindow : public QDialog {
    Q_OBJECT
  public:
    explicit HelpWindow(QWidget *parent = nullptr);
    ~HelpWindow() override;

    // The shared buffer: the lines to show. Emptied when the window closes.
    QStringList HelpText;
    // Fills HelpText from a text whose lines end in CR LF, CR or LF. The text
    // is also kept as written, so that "Show unprintable characters" sees
    // its control characters exactly.
    void setHelpText(const QString &text);

    // Formats HelpText into the window and opens it modally; returns when
    // the window is closed. Nothing is opened when HelpText is empty.
    void ShowHelp();
    // The formatting part of ShowHelp alone (placement, text, caret, timer);
    // false when HelpText is empty.
    bool prepareDisplay();

    // Help for a word right-clicked in the editor: catalogue functions,
    // script functions, constants, tutorial topics; else the detail view of
    // a variable or array; else nothing.
    void ShowWordHelp(const QString &word, const Interpreter &in);
    // The help text ShowWordHelp would show for a word (empty when no
    // source knows it; variables and arrays are not included).
    QString WordHelpText(const QString &word, const Interpreter &in) const;

    // Tutorial topics: given a word, their name and text in `language`, or
    // an empty name when there is none. By default the topic table.
    struct Topic {
        QString name;
        QString text;
    };
    using TopicLookup = std::function<Topic(const QString &word, int language)>;
    void setTopicLookup(TopicLookup lookup) { topicLookup_ = std::move(lookup); }
    // How error messages of the detail view are shown; default: an error box.
    void setMessageSink(std::function<void(const QString &)> sink) { messageSink_ = std::move(sink); }
    void reportMessage(const QString &text);

    // The language of the catalogue texts the window itself uses (0, 1).
    void setLanguage(int language) { language_ = language; }
    int language() const { return language_; }

    // First showing: left = main window left + left panel width, top = main
    // window top + 10, wide enough for the tutorials' tables and examples,
    // and kept inside the screen's work area. Bounds remembered from an
    // earlier run take the place of that rule (still kept on the screen).
    void setPlacementSource(QWidget *mainWindow, QWidget *leftPanel);
    bool placed() const { return placed_; }
    // The remembered bounds: section "FormHelp" of the settings file, keys
    // Left, Top (the frame's corner), Width and Height (the client size).
    // Written only once the window has been shown.
    void loadBounds(const IniFile &ini);
    void saveBounds(IniFile &ini) const;
    // The client width that shows the widest table or example line of the
    // tutorial topics without wrapping it.
    int tutorialClientWidth() const;

    // "Show unprintable characters" is hidden for good once a variable is
    // opened from a grid.
    void hideUnprintableItem();
    bool unprintableItemVisible() const;

    // The text the window shows (its lines joined as written).
    QString windowText() const { return windowText_; }
    bool markupMode() const { return markupMode_; }
    // The popup menu actions.
    void CopySelection();
    void ShowUnprintableCharacters();
    // AB'#$D#$A'C for "AB" CR LF "C": codes below 32 as #$ and upper-case
    // hexadecimal, apostrophes where plain text and codes meet.
    static QString UnprintableText(const QString &text);

    // One tick of the mouse tracking with the pointer at `globalPos`: once
    // the pointer has been inside the window, the window closes when it is
    // more than 50 px outside it.
    void trackMouse(const QPoint &globalPos);
    bool mouseEntered() const { return mouseEntered_; }

    QTextEdit *RE = nullptr;
    QMenu *PopupMenu_RE = nullptr;
    QAction *mi_Copy = nullptr;
    QAction *mi_ShowUnprintable = nullptr;
    QTimer *Timer1 = nullptr;

  signals:
    // Emitted when the window has been formatted and is about to run modally.
    void opened();

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

  private:
    void placeOnFirstShow();
    void showMarkup(const QString &text);
    void showDescription();
    void cleanUp();

    QString rawText_;      // the text given to setHelpText
    QStringList rawLines_; // HelpText as setHelpText made it
    QString windowText_;
    bool markupMode_ = false;
    bool placed_ = false;
    bool mouseEntered_ = false;
    bool unprintableHidden_ = false;
    QRect rememberedBounds_; // invalid: none
    int language_ = 0;
    QPointer<QWidget> mainWindow_;
    QPointer<QWidget> leftPanel_;
    TopicLookup topicLookup_;
    std::function<void(const QString &)> messageSink_;
};

} // namespace tesmora
