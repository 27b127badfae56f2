// The main window: the learner's whole working surface.
#pragma once

#include "core/interpreter.h"
#include "graphics/canvas.h"
#include "script_editor.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <memory>

class QAction;
class QLabel;
class QSplitter;
class QTimer;
class QTranslator;
class QWidget;

namespace tesmora {

class CanvasExecutor;
class CanvasPanel;
class HelpMenu;
class CanvasPointer;
class HelpWindow;
class PreferencesMenu;
class SymbolKeyboard;
class TAbout;
class ScriptEditor;
class StepHistory;
class ToolbarStrip;
class VariablesView;
class WindowDialogs;
class WindowHost;

// The adapters of the desktop that the program builds and gives the window
// (not owned; any may be null). The window adds its own host, canvas
// executor and dialogs, and builds the interpreter with all of them.
struct DesktopAdapters {
    JavaScriptEngine *js = nullptr;
    MediaPlayer *media = nullptr;
    ShellOpener *shell = nullptr;
};

class TForm_Interpretator : public QMainWindow {
    Q_OBJECT
  public:
    TForm_Interpretator(const QStringList &arguments, const DesktopAdapters &desktop,
                        QWidget *parent = nullptr);
    ~TForm_Interpretator() override;

    Interpreter &interpreter() { return interp_; }
    ScriptEditor *editor() const { return SynEditor; }
    VariablesView *variablesView() const { return Panel_Var; }
    CanvasPanel *canvasPanel() const { return canvasPanel_; }
    HelpWindow *helpWindow() const;
    HelpMenu *helpMenu() const { return helpMenu_; }
    QAction *action(int tag) const { return actions_.value(tag); }
    bool editMode() const { return editMode_; }
    // "ekInternal" or "ekExternal", and the external editor's command.
    void setEditorKind(const QString &kind, const QString &externalEditor)
    {
        editorKind_ = kind;
        externalEditor_ = externalEditor;
    }
    bool unsavedChanges() const { return unsavedChanges_; }
    const QString &scriptFileName() const { return scriptFileName_; }

    // The file dialogs and message boxes can be replaced (tests, automation).
    std::function<QString(const QString &proposed)> chooseOpenFile;
    std::function<QString(const QString &proposed)> chooseSaveFile;
    std::function<bool(const QString &question)> answerQuestion;
    std::function<void(const QString &text)> reportError;
    std::function<QString()> chooseExternalEditor;

    // ---- Modes and files ----------------------------------------------------
    void SetActionStatus_WorkMode(bool running);
    void SetActionStatus_EditMode();
    void EnterEditMode();
    // Work (take the edited text over) or Cancel (discard it). `editedText`
    // is the text an external editor returned.
    void EnterWorkingMode(bool takeOverEdits, const QStringList *editedText = nullptr);
    void LoadScriptFile(const QString &path);
    // The script is no longer the file it came from: no name, a new-script caption.
    void forgetScriptFileName();
    void A_Load_scriptExecute();
    void A_New_scriptExecute();
    void SaveScript();
    void ApplyInterfaceLanguage();
    void setLanguage(int language);
    // The start-up sequence; runs once when the window is first shown.
    void StartUp();

    // ---- Settings and preferences ---------------------------------------------
    void LoadIdeSettings();
    void SaveIdeSettings();
    QString settingsFile() const;
    int variablesPanelHeight() const;
    const QString &editorKind() const { return editorKind_; }
    const QString &externalEditor() const { return externalEditor_; }
    PreferencesMenu *preferencesMenu() const { return preferences_; }
    // The one-shot timer that starts an auto-run ("/R").
    QTimer *startTimer() const { return startTimer_; }

    // ---- Small windows ----------------------------------------------------------
    // Opens the About window modally (help menu item "About Tesmora").
    void showAboutWindow();
    TAbout *aboutWindow() const { return about_; }
    QWidget *symbolKeyboard() const { return Panel_Additional_Keyboard; }
    // The user guide the About window's link opens.
    QString userGuidePath() const;

    // The interpreter's host: what runs show in this window.
    WindowHost &host() const { return *host_; }
    const QList<QLabel *> &statusPanels() const { return statusPanels_; }

    // The dialogs of scripts (InputString, InputText, Message, Menu, Check).
    WindowDialogs *dialogs() const { return dialogs_.get(); }

    // ---- Step back (main_window_step_back.cpp) ---------------------------------
    StepHistory &stepHistory() const { return *stepHistory_; }

  protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

  private:
    void createActions();
    void createLayout();
    void createToolbar();
    QWidget *createScriptPanel();
    void createSplitters(QWidget *scriptPanel);
    void createStatusPanels();
    void connectPanels();
    void setKeyboardOrder();
    // Names for assistive technology in the interface language.
    void applyAccessibleNames();
    QAction *addAction(int tag, const char *name, const QKeySequence &key = {});
    void runExternalEditor();
    void chooseEditorFont();
    void createPreferencesMenu();
    void createStartTimer();
    void createSmallWindows(SymbolKeyboard *keyboard);
    void syncPreferencesMenu();
    void specifyExternalEditor();
    void applyStartSwitches(const QString &switches, int scriptLines);
    void writeHandOverCopy();
    // Step and Step over: forward through the states stepped back over, then
    // new lines; Step back: the state before the last step.
    void stepForward(bool over);
    void stepBack();
    void showRecordedState(const QStringList &statusTexts);
    QStringList statusTexts() const;
    void updateStepBackAction();
    bool running() const { return interp_.running(); }
    void setShown(int tag, bool visible, bool enabled);
    QString programFolder() const { return interp_.programFolder(); }

    // The services come first: the interpreter is built with them.
    InterpreterServices servicesWith(const DesktopAdapters &desktop) const;
    QStringList arguments_;
    std::unique_ptr<WindowHost> host_;
    std::unique_ptr<WindowDialogs> dialogs_;
    std::unique_ptr<DialogExecutor> dialogFunctions_;
    Canvas canvas_;
    std::unique_ptr<CanvasExecutor> graphics_;
    Interpreter interp_;
    std::unique_ptr<StepHistory> stepHistory_;
    std::unique_ptr<QTranslator> qtTranslator_;

    ScriptEditor *SynEditor = nullptr;
    VariablesView *Panel_Var = nullptr;
    QWidget *Panel_Right = nullptr;
    CanvasPanel *canvasPanel_ = nullptr;
    CanvasPointer *canvasPointer_ = nullptr;
    QWidget *Panel_Additional_Keyboard = nullptr;
    QSplitter *rightSplitter_ = nullptr;
    QSplitter *bottomSplitter_ = nullptr;
    ToolbarStrip *toolbar_ = nullptr;
    QList<QLabel *> statusPanels_;
    QHash<int, QAction *> actions_;
    QPointer<HelpWindow> helpWindow_;
    PreferencesMenu *preferences_ = nullptr;
    TAbout *about_ = nullptr;
    QTimer *startTimer_ = nullptr;
    HelpMenu *helpMenu_ = nullptr;

    QString scriptFileName_;
    bool unsavedChanges_ = false;
    bool unsavedAtEdit_ = false; // the flag when Edit was pressed; Cancel restores it
    bool editMode_ = false;
    bool startedUp_ = false;
    bool closeRefusedOnce_ = false;
    QList<EditorMark> SavedMarks;
    QString editorKind_ = QStringLiteral("ekInternal");
    QString externalEditor_;
    int fontCharset_ = 1;
};

} // namespace tesmora
