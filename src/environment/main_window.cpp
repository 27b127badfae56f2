// The main window: layout, actions, and the rules that show and enable them.
#include "main_window.h"

#include "canvas_panel.h"
#include "help_menu.h"
#include "canvas_pointer.h"
#include "graphics/graphics_executor.h"
#include "help_window.h"
#include "script_editor.h"
#include "step_history.h"
#include "symbol_keyboard.h"
#include "status_panel.h"
#include "toolbar_strip.h"
#include "variables_view.h"
#include "window_dialogs.h"
#include "window_host.h"
#include "window_look.h"

#include "graphics/dialog_functions.h"
#include "graphics/graphics_executor.h"

#include "platform/paths.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFontDialog>
#include <QFontInfo>
#include <QLabel>
#include <QLibraryInfo>
#include <QTranslator>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace tesmora {

namespace {

// Toolbar order and the actions' fixed keys.
struct ActionSpec {
    int tag;
    const char *name;
    QKeySequence key;
};

} // namespace

TForm_Interpretator::TForm_Interpretator(const QStringList &arguments, const DesktopAdapters &desktop,
                                         QWidget *parent)
    : QMainWindow(parent), arguments_(arguments), host_(std::make_unique<WindowHost>(*this)),
      dialogs_(std::make_unique<WindowDialogs>(this, *host_)),
      dialogFunctions_(std::make_unique<DialogFunctions>(*dialogs_)),
      graphics_(std::make_unique<CanvasExecutor>(canvas_)),
      interp_(servicesWith(desktop), RunLimits{},
              ProgramSettings{.programFolder = defaultProgramFolder(),
                              .language = 0,
                              .cmdLineParams = {},
                              .scriptFileName = {},
                              .workMode = true}),
      stepHistory_(std::make_unique<StepHistory>(interp_, canvas_))
{
    setObjectName(QStringLiteral("Form_Interpretator"));
    setWindowIcon(applicationIcon());
    dialogs_->setSettingsFile(interp_.programFolder() + QStringLiteral("tesmora.ini"));
    createActions();
    createLayout();
    createPreferencesMenu();
    createStartTimer();
    resize(1190, 760);
    host_->setCaption(interp_.MessageText(1) + QStringLiteral("   "));
}

TForm_Interpretator::~TForm_Interpretator() = default;

InterpreterServices TForm_Interpretator::servicesWith(const DesktopAdapters &desktop) const
{
    return {.host = host_.get(),
            .js = desktop.js,
            .graphics = graphics_.get(),
            .dialogs = dialogFunctions_.get(),
            .dialogProvider = dialogs_.get(),
            .media = desktop.media,
            .shell = desktop.shell};
}

HelpWindow *TForm_Interpretator::helpWindow() const
{
    return helpWindow_;
}

QAction *TForm_Interpretator::addAction(int tag, const char *name, const QKeySequence &key)
{
    auto *a = new QAction(this);
    a->setObjectName(QString::fromLatin1(name));
    a->setProperty("tag", tag);
    if (!key.isEmpty())
        a->setShortcut(key);
    a->setShortcutContext(Qt::WindowShortcut);
    actions_.insert(tag, a);
    return a;
}

void TForm_Interpretator::createActions()
{
    const ActionSpec specs[] = {
        {301, "A_Start", QKeySequence(Qt::Key_F10)},
        {303, "A_Step", QKeySequence(Qt::Key_F8)},
        {316, "A_StepOver", QKeySequence(Qt::Key_F7)},
        {364, "A_StepBack", QKeySequence(Qt::SHIFT | Qt::Key_F8)},
        {305, "A_Continue_run", QKeySequence(Qt::CTRL | Qt::Key_F10)},
        {307, "a_Fast", QKeySequence(Qt::CTRL | Qt::Key_T)},
        {330, "A_Pause", {}},
        {309, "A_Load_script", QKeySequence(Qt::CTRL | Qt::Key_L)},
        {311, "A_New_script", {}},
        {313, "A_Edit", QKeySequence(Qt::Key_F4)},
        {318, "A_Find", QKeySequence(Qt::CTRL | Qt::Key_F)},
        {292, "A_Replace", QKeySequence(Qt::CTRL | Qt::Key_R)},
        {321, "A_Work", QKeySequence(Qt::Key_F5)},
        {323, "A_Save", QKeySequence(Qt::CTRL | Qt::Key_S)},
        {290, "A_settings", {}},
        {333, "A_Additional_kbd", {}},
        {325, "A_Cancel_changes", {}},
        {337, "A_Help", {}},
        {335, "A_Font", {}},
    };
    for (const ActionSpec &s : specs)
        addAction(s.tag, s.name, s.key)->setIcon(actionIcon(s.tag));
    action(292)->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_R), QKeySequence(Qt::CTRL | Qt::Key_H)});
    action(307)->setCheckable(true);

    connect(action(301), &QAction::triggered, this, [this] {
        stepHistory_->clear();
        interp_.A_StartExecute(RunSender::StartAction);
    });
    connect(action(303), &QAction::triggered, this, [this] { stepForward(false); });
    connect(action(316), &QAction::triggered, this, [this] { stepForward(true); });
    connect(action(364), &QAction::triggered, this, [this] { stepBack(); });
    connect(action(305), &QAction::triggered, this, [this] {
        stepHistory_->dropForward();
        interp_.A_Continue_runExecute();
    });
    connect(action(307), &QAction::triggered, this, [this] {
        interp_.a_FastExecute();
        action(307)->setChecked(interp_.fastMode());
    });
    connect(action(330), &QAction::triggered, this, [this] { interp_.A_PauseExecute(); });
    connect(action(309), &QAction::triggered, this, [this] { A_Load_scriptExecute(); });
    connect(action(311), &QAction::triggered, this, [this] { A_New_scriptExecute(); });
    connect(action(313), &QAction::triggered, this, [this] { EnterEditMode(); });
    connect(action(318), &QAction::triggered, this, [this] { SynEditor->showFindDialog(); });
    connect(action(292), &QAction::triggered, this, [this] { SynEditor->showReplaceDialog(); });
    connect(action(321), &QAction::triggered, this, [this] { EnterWorkingMode(true); });
    connect(action(325), &QAction::triggered, this, [this] { EnterWorkingMode(false); });
    connect(action(323), &QAction::triggered, this, [this] { SaveScript(); });
    connect(action(333), &QAction::triggered, this,
            [this] { Panel_Additional_Keyboard->setVisible(!Panel_Additional_Keyboard->isVisible()); });
    connect(action(335), &QAction::triggered, this, [this] { chooseEditorFont(); });
}

void TForm_Interpretator::createLayout()
{
    createToolbar();
    QWidget *scriptPanel = createScriptPanel();
    Panel_Var = new VariablesView(this);
    createSplitters(scriptPanel);
    createStatusPanels();
    connectPanels();
    setKeyboardOrder();
}

void TForm_Interpretator::createToolbar()
{
    toolbar_ = new ToolbarStrip(this);
    for (int tag : {301, 303, 316, 364, 305, 307, 330, 309, 311, 313, 318, 292, 321, 323, 290, 333, 325, 337})
        toolbar_->toolBar()->addAction(action(tag));
    QToolBar *holder = addToolBar(QStringLiteral("Actions"));
    holder->setObjectName(QStringLiteral("ActionToolBar1"));
    holder->setMovable(false);
    holder->setFloatable(false);
    holder->addWidget(toolbar_);
    QWidget::addAction(action(335)); // Font has no button; its key works everywhere
}

QWidget *TForm_Interpretator::createScriptPanel()
{
    // The script panel: the editor with its indicator strip, and the symbol
    // keyboard slot below it (hidden).
    auto *scriptPanel = new QWidget(this);
    auto *scriptLayout = new QVBoxLayout(scriptPanel);
    scriptLayout->setContentsMargins(0, 0, 0, 0);
    scriptLayout->setSpacing(0);
    SynEditor = new ScriptEditor(scriptPanel);
    scriptLayout->addWidget(SynEditor, 1);
    auto *keyboard = new SymbolKeyboard(scriptPanel);
    Panel_Additional_Keyboard = keyboard;
    Panel_Additional_Keyboard->setVisible(false);
    scriptLayout->addWidget(Panel_Additional_Keyboard);
    createSmallWindows(keyboard);
    return scriptPanel;
}

void TForm_Interpretator::createSplitters(QWidget *scriptPanel)
{
    bottomSplitter_ = new QSplitter(Qt::Vertical, this);
    bottomSplitter_->setHandleWidth(6);
    bottomSplitter_->addWidget(scriptPanel);
    bottomSplitter_->addWidget(Panel_Var);
    bottomSplitter_->setStretchFactor(0, 1);
    bottomSplitter_->setStretchFactor(1, 0);
    bottomSplitter_->setSizes({480, 220});

    // The right-hand panel holds the graphics layers; it has no width and
    // its splitter is hidden until graphics are shown.
    rightSplitter_ = new QSplitter(Qt::Horizontal, this);
    rightSplitter_->setHandleWidth(5);
    rightSplitter_->addWidget(bottomSplitter_);
    canvasPanel_ = new CanvasPanel(canvas_, rightSplitter_, this, [this] { return interp_.language(); });
    Panel_Right = canvasPanel_;
    canvasPointer_ = new CanvasPointer(interp_, canvasPanel_);
    rightSplitter_->addWidget(Panel_Right);
    rightSplitter_->setStretchFactor(0, 1);
    rightSplitter_->setStretchFactor(1, 0);
    rightSplitter_->setSizes({1, 0});
    rightSplitter_->handle(1)->setVisible(false);
    rightSplitter_->setCollapsible(1, true);
    setCentralWidget(rightSplitter_);
}

void TForm_Interpretator::createStatusPanels()
{
    // The design widths, widened where the installed font needs more room
    // for the longest text a panel shows.
    const int widths[] = {50, 120, 120, 120, 120, 120, 50};
    const int textWidth = fontMetrics().horizontalAdvance(QStringLiteral("Processing Level=100")) + 12;
    const int lineWidth = fontMetrics().horizontalAdvance(QStringLiteral("Line=1000")) + 12;
    for (int i = 0; i < 7; ++i) {
        const int w = widths[i];
        auto *panel =
            new StatusPanel(i == 0 ? std::max(w, lineWidth) : (i < 6 ? std::max(w, textWidth) : w), this);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        statusBar()->addWidget(panel);
        statusPanels_ << panel;
    }
    statusBar()->setSizeGripEnabled(true);
}

void TForm_Interpretator::connectPanels()
{
    connect(SynEditor, &ScriptEditor::executionPointRequested, this, [this](int line) {
        if (running() || editMode_)
            return;
        interp_.moveToLine(line); // the editor moves its mark itself
        stepHistory_->dropForward();
    });
    helpWindow_ = new HelpWindow(this);
    helpWindow_->setPlacementSource(this, bottomSplitter_);
    Panel_Var->setHelpWindow(helpWindow_);
    Panel_Var->setStatusPanels(statusPanels_);
    Panel_Var->setGraphicsPanelWidth([this] { return Panel_Right->width(); });
    connect(SynEditor, &ScriptEditor::wordHelpRequested, this,
            [this](const QString &word) { helpWindow_->ShowWordHelp(word, interp_); });
    helpMenu_ = new HelpMenu(this, helpWindow_, [this] { return interp_.language(); });
    helpMenu_->onAbout = [this] { showAboutWindow(); };
    QWidget::addAction(helpMenu_->searchAction()); // F1 works everywhere in the window
    connect(action(337), &QAction::triggered, helpMenu_, &HelpMenu::popupAtCursor);
}

void TForm_Interpretator::setKeyboardOrder()
{
    // Tab (Ctrl+Tab out of the editor) walks the toolbar buttons in their
    // order, then the editor, the symbol keyboard and the variables view;
    // hidden buttons are passed over.
    QList<QWidget *> chain;
    for (QAction *a : toolbar_->toolBar()->actions())
        if (QWidget *button = toolbar_->toolBar()->widgetForAction(a)) {
            button->setFocusPolicy(Qt::TabFocus);
            chain << button;
        }
    chain << SynEditor->SynEditor() << Panel_Additional_Keyboard << Panel_Var;
    for (qsizetype i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain.at(i - 1), chain.at(i));
}

void TForm_Interpretator::applyAccessibleNames()
{
    const int language = interp_.language();
    for (QAction *a : toolbar_->toolBar()->actions())
        if (QWidget *button = toolbar_->toolBar()->widgetForAction(a)) {
            button->setAccessibleName(a->text());
            button->setAccessibleDescription(a->toolTip());
        }
    toolbar_->setAccessibleNames(accessiblePartName(WindowPart::Toolbar, language),
                                 accessiblePartName(WindowPart::ScrollLeft, language),
                                 accessiblePartName(WindowPart::ScrollRight, language));
    SynEditor->SynEditor()->setAccessibleName(accessiblePartName(WindowPart::Editor, language));
    SynEditor->Image_indicator()->setAccessibleName(accessiblePartName(WindowPart::IndicatorStrip, language));
    Panel_Var->setAccessibleName(accessiblePartName(WindowPart::Variables, language));
    Panel_Right->setAccessibleName(accessiblePartName(WindowPart::Graphics, language));
    statusBar()->setAccessibleName(accessiblePartName(WindowPart::StatusBar, language));
    Panel_Additional_Keyboard->setAccessibleName(accessiblePartName(WindowPart::SymbolKeyboard, language));
}

void TForm_Interpretator::setShown(int tag, bool visible, bool enabled)
{
    QAction *a = action(tag);
    a->setVisible(visible);
    a->setEnabled(enabled);
}

void TForm_Interpretator::SetActionStatus_WorkMode(bool running)
{
    SynEditor->setReadOnly(true);
    editMode_ = false;
    Panel_Additional_Keyboard->setVisible(false);
    const bool lines2 = interp_.scriptLines().size() >= 2;
    setShown(313, true, !running);                                // Edit
    setShown(301, !running && lines2, !running && lines2);        // Start
    setShown(305, true, !running && lines2);                      // Continue
    setShown(303, true, !running);                                // Step
    setShown(316, true, !running);                                // Step over
    setShown(364, true, !running && stepHistory_->canStepBack()); // Step back
    for (int tag : {309, 311, 323})                               // Load, New, Save
        setShown(tag, true, !running);
    setShown(307, true, running);                // Fast
    action(307)->setChecked(interp_.fastMode()); // shown also when stopped
    setShown(330, true, running);                // Pause
    action(290)->setEnabled(!running);           // Settings
    action(335)->setEnabled(!running);           // Font
    action(318)->setVisible(!running);           // Find
    setShown(292, false, false);                 // Replace
    action(321)->setVisible(false);              // Work
    action(325)->setVisible(false);              // Cancel
    setShown(333, false, !running);              // Kbd
    action(337)->setVisible(!running);           // Help
}

void TForm_Interpretator::SetActionStatus_EditMode()
{
    SynEditor->setReadOnly(false);
    editMode_ = true;
    Panel_Additional_Keyboard->setVisible(false);
    for (int tag : {313, 301, 305, 303, 316, 364, 309, 311, 323, 330})
        setShown(tag, false, false);
    action(307)->setVisible(false);
    action(290)->setEnabled(true);
    action(335)->setEnabled(true);
    action(318)->setVisible(true);
    setShown(292, true, true);
    action(321)->setVisible(true);
    action(325)->setVisible(true);
    action(321)->setEnabled(true);
    action(325)->setEnabled(true);
    setShown(333, true, true);
    action(337)->setVisible(true);
}

void TForm_Interpretator::setLanguage(int language)
{
    interp_.updateSettings([&](ProgramSettings &s) { s.language = language; });
    // Qt's own texts (dialog buttons) follow the interface language.
    if (qtTranslator_) {
        QCoreApplication::removeTranslator(qtTranslator_.get());
        qtTranslator_.reset();
    }
    if (language == 1) {
        auto t = std::make_unique<QTranslator>();
        if (t->load(QStringLiteral("qtbase_ru"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            QCoreApplication::installTranslator(t.get());
            qtTranslator_ = std::move(t);
        }
    }
    ApplyInterfaceLanguage();
}

void TForm_Interpretator::ApplyInterfaceLanguage()
{
    host_->setCaption(interp_.MessageText(1) + QStringLiteral("   ") + scriptFileName_);
    for (QAction *a : std::as_const(actions_)) {
        const int tag = a->property("tag").toInt();
        if ((tag < 290 || tag > 339) && tag != 364) // 364: Step back, added later
            continue;
        const QString caption = interp_.MessageText(tag);
        if (!caption.isEmpty())
            a->setText(caption);
        const QString hint = interp_.MessageText(tag + 1);
        if (!hint.isEmpty())
            a->setToolTip(hint);
    }
    // Tagged menu items: the image menu and the help and preferences menus.
    for (QAction *a : findChildren<QAction *>()) {
        const int tag = a->property("tag").toInt();
        if ((tag >= 101 && tag <= 104) || (tag >= 230 && tag <= 270))
            a->setText(interp_.MessageText(tag));
    }
    syncPreferencesMenu();
    applyAccessibleNames();
    Panel_Var->retranslate(interp_.language());
    helpWindow_->setLanguage(interp_.language());
    helpMenu_->retranslate(interp_.language());
    SynEditor->setLanguage(interp_.language());
    dialogs_->setLanguage(interp_.language());
}

namespace {

QFont fontAsInstalled(const QFont &font)
{
    // The dialog lists installed families only: a requested family that is
    // missing ("Courier New") is shown as the family it resolves to, with the
    // size in points, instead of the dialog's first family.
    const QFontInfo info(font);
    QFont shown(info.family());
    shown.setPointSizeF(info.pointSizeF());
    shown.setWeight(static_cast<QFont::Weight>(info.weight()));
    shown.setItalic(info.italic());
    return shown;
}

} // namespace

void TForm_Interpretator::chooseEditorFont()
{
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, fontAsInstalled(SynEditor->editorFont()), this);
    if (ok)
        SynEditor->setEditorFont(font);
}

} // namespace tesmora
