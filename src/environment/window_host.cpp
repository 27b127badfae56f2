// The main window as the interpreter's host.
#include "window_host.h"

#include "dialog_windows.h"

#include "main_window.h"

#include "script_editor.h"
#include "script_lexer.h"
#include "variables_view.h"

#include "platform/system_sounds.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>

namespace tesmora {

WindowHost::WindowHost(TForm_Interpretator &window)
    : window_(window), sounds_(std::make_unique<SystemSounds>())
{
    qApp->installEventFilter(this);
}

WindowHost::~WindowHost()
{
    qApp->removeEventFilter(this);
}

void WindowHost::setEditorText(const QStringList &lines)
{
    window_.editor()->setScriptText(lines);
}

void WindowHost::setEditorReadOnly(bool readOnly)
{
    window_.editor()->setReadOnly(readOnly);
}

void WindowHost::repaintEditor()
{
    window_.editor()->update();
}

void WindowHost::rebuildHighlighterWords()
{
    window_.editor()->highlighter()->rebuildWordList(window_.interpreter());
}

void WindowHost::markCurrentLine(int line)
{
    window_.editor()->Set_CurrentLine_Mark(line);
}

void WindowHost::setCaretLine(int line)
{
    window_.editor()->SynEdit_Set_CurrentLine(line);
}

bool WindowHost::hasBreakpoint(int line) const
{
    window_.editor()->UpdateStopMark(line);
    return window_.editor()->StopMark();
}

void WindowHost::setCaption(const QString &caption)
{
    window_.setWindowTitle(caption);
}

void WindowHost::refreshVariables()
{
    window_.variablesView()->A_Show_variables(window_.interpreter());
}

void WindowHost::showGlobalGrid()
{
    window_.variablesView()->setVisible(true);
}

void WindowHost::setStatusPanel(int panel, const QString &text)
{
    const QList<QLabel *> &panels = window_.statusPanels();
    if (panel >= 0 && panel < panels.size())
        panels.at(panel)->setText(text);
}

void WindowHost::clearStatusPanels()
{
    // Every script-function call of a run starts a run loop: an empty panel
    // is left alone rather than laid out and repainted again.
    for (QLabel *l : window_.statusPanels())
        if (!l->text().isEmpty())
            l->clear();
}

void WindowHost::setWorkModeActions()
{
    window_.SetActionStatus_WorkMode(false);
}

void WindowHost::setRunningActions(bool isRunning)
{
    if (!isRunning)
        pausePressed_ = false;
    window_.SetActionStatus_WorkMode(isRunning);
}

void WindowHost::enableWindow(bool enabled)
{
    window_.setEnabled(enabled);
}

void WindowHost::repaintWindow()
{
    window_.update();
}

void WindowHost::closeMainWindow()
{
    QTimer::singleShot(0, &window_, &QWidget::close);
}

void WindowHost::closeMainWindowAfter(int ms)
{
    QTimer::singleShot(ms, &window_, &QWidget::close);
}

void WindowHost::processEvents()
{
    QCoreApplication::processEvents();
}

bool WindowHost::pauseKeyDown() const
{
    return pauseKey_ || pausePressed_;
}

void WindowHost::discardQueuedKeys()
{
    // Key events that are waiting now are dropped, not delivered.
    dropKeys_ = true;
    QCoreApplication::processEvents();
    dropKeys_ = false;
    pauseKey_ = pausePressed_ = false;
}

void WindowHost::playSystemSound(SystemSound sound)
{
    if (sound == SystemSound::Hand)
        sounds_->playHand();
    else
        sounds_->playAsterisk();
}

void WindowHost::showErrorBox(const QString &text)
{
    if (window_.reportError) {
        window_.reportError(text);
        return;
    }
    QMessageBox box(QMessageBox::Critical, untitledWindowTitle(window_.interpreter().language()), text,
                    QMessageBox::Ok, &window_);
    box.exec();
}

void WindowHost::showMessageNow(const QString &text)
{
    showErrorBox(text);
}

bool WindowHost::askYesNo(const QString &text)
{
    if (window_.answerQuestion)
        return window_.answerQuestion(text);
    QMessageBox box(QMessageBox::Question, untitledWindowTitle(window_.interpreter().language()), text,
                    QMessageBox::Yes | QMessageBox::No, &window_);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

bool WindowHost::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type t = event->type();
    if (t == QEvent::KeyPress || t == QEvent::KeyRelease) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Pause && !key->isAutoRepeat()) {
            pauseKey_ = t == QEvent::KeyPress;
            if (pauseKey_ && window_.interpreter().running())
                pausePressed_ = true;
        }
        if (dropKeys_)
            return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tesmora
