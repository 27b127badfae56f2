// The main window's settings (read at start-up, written at close), the
// start-up switches with the auto-run timer, and the preferences menu.
#include "main_window.h"

#include "window_host.h"

#include "help_window.h"
#include "ide_settings.h"
#include "preferences_menu.h"
#include "script_editor.h"
#include "variables_view.h"

#include "platform/ini_file.h"

#include <QAction>
#include <QCursor>
#include <QFileDialog>
#include <QSplitter>
#include <QTimer>

namespace tesmora {

QString TForm_Interpretator::settingsFile() const
{
    return settingsFilePath(programFolder());
}

int TForm_Interpretator::variablesPanelHeight() const
{
    return bottomSplitter_->sizes().value(1);
}

void TForm_Interpretator::LoadIdeSettings()
{
    IniFile ini(settingsFile());
    ini.load();
    const IdeSettings s = readIdeSettings(ini);
    move(s.left, s.top);
    resize(s.width, s.height);
    Panel_Var->setLocalPanelWidth(s.localPanelWidth);
    // The variables panel may be as low as the settings' smallest height.
    Panel_Var->setMinimumHeight(5);
    const QList<int> sizes = bottomSplitter_->sizes();
    const int total = std::max(sizes.value(0) + sizes.value(1), s.bottomHeight + 1);
    bottomSplitter_->setSizes({total - s.bottomHeight, s.bottomHeight});
    if (s.state == QLatin1String("wsMaximized"))
        setWindowState(windowState() | Qt::WindowMaximized);
    else if (s.state == QLatin1String("wsMinimized"))
        setWindowState(windowState() | Qt::WindowMinimized);
    editorKind_ = s.editorKind;
    externalEditor_ = s.externalEditor;
    QFont font = SynEditor->editorFont();
    if (!s.fontName.isEmpty())
        font.setFamily(s.fontName);
    font.setPointSize(std::max(1, s.fontSize));
    SynEditor->setEditorFont(font);
    fontCharset_ = s.charset;
    Panel_Var->setRowHeightFromEditorFont(s.fontSize);
    helpWindow_->loadBounds(ini);
}

void TForm_Interpretator::SaveIdeSettings()
{
    IniFile ini(settingsFile());
    ini.load();
    IdeSettings s;
    const QRect normal = normalGeometry().isValid() ? normalGeometry() : geometry();
    s.left = normal.x();
    s.top = normal.y();
    s.width = normal.width();
    s.height = normal.height();
    s.localPanelWidth = Panel_Var->localPanelWidth();
    s.bottomHeight = variablesPanelHeight();
    s.editorKind = editorKind_;
    s.externalEditor = externalEditor_;
    s.fontName = SynEditor->editorFont().family();
    s.fontSize = SynEditor->editorFont().pointSize();
    s.charset = fontCharset_;
    const MainWindowState state = isMinimized()   ? MainWindowState::Minimized
                                  : isMaximized() ? MainWindowState::Maximized
                                                  : MainWindowState::Normal;
    writeIdeSettings(ini, s, state);
    helpWindow_->saveBounds(ini);
    if (!ini.save())
        host_->showErrorBox(QStringLiteral("Can not save data to INI - file."));
}

void TForm_Interpretator::applyStartSwitches(const QString &switches, int scriptLines)
{
    if (switches.contains(QLatin1String("/F")))
        setWindowState(windowState() | Qt::WindowMaximized);
    else if (switches.contains(QLatin1String("/M")))
        setWindowState(windowState() | Qt::WindowMinimized);
    if (switches.contains(QLatin1String("/R")) && scriptLines > 1) {
        interp_.requestCloseAfterRun();
        startTimer_->start();
    }
}

void TForm_Interpretator::createStartTimer()
{
    startTimer_ = new QTimer(this);
    startTimer_->setObjectName(QStringLiteral("Timer_Start"));
    startTimer_->setSingleShot(true);
    startTimer_->setInterval(500);
    connect(startTimer_, &QTimer::timeout, this, [this] { action(301)->trigger(); });
}

void TForm_Interpretator::createPreferencesMenu()
{
    preferences_ = new PreferencesMenu(action(335), this);
    connect(action(290), &QAction::triggered, this, [this] { preferences_->popup(QCursor::pos()); });
    connect(preferences_, &PreferencesMenu::editorKindChosen, this, [this](const QString &kind) {
        editorKind_ = kind;
        preferences_->showEditorKind(kind == QLatin1String("ekInternal"));
    });
    connect(preferences_, &PreferencesMenu::languageChosen, this,
            [this](int language) { setLanguage(language); });
    connect(preferences_, &PreferencesMenu::specifyEditorRequested, this,
            [this] { specifyExternalEditor(); });
}

void TForm_Interpretator::specifyExternalEditor()
{
    const QString path = chooseExternalEditor
                             ? chooseExternalEditor()
                             : QFileDialog::getOpenFileName(this, QString(), QStringLiteral("/usr/bin"));
    if (path.isEmpty())
        return;
    externalEditor_ = path;
    preferences_->showExternalEditor(path);
    // Written at once, so the choice survives a program that does not close normally.
    IniFile ini(settingsFile());
    ini.load();
    ini.setValue(QStringLiteral("MainForm"), QStringLiteral("ExternalEditorFile"), path);
    if (!ini.save())
        host_->showErrorBox(QStringLiteral("Can not save data to INI - file."));
}

void TForm_Interpretator::syncPreferencesMenu()
{
    preferences_->showEditorKind(editorKind_ == QLatin1String("ekInternal"));
    preferences_->showLanguage(interp_.language());
    preferences_->showExternalEditor(externalEditor_);
}

} // namespace tesmora
