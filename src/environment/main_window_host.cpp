// The main window as the interpreter's host: editor marks, the variables
// view, the status bar, message boxes, sounds and the Pause key.
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

void TForm_Interpretator::setEditorText(const QStringList &lines)
{
    SynEditor->setScriptText(lines);
}

void TForm_Interpretator::setEditorReadOnly(bool readOnly)
{
    SynEditor->setReadOnly(readOnly);
}

void TForm_Interpretator::repaintEditor()
{
    SynEditor->update();
}

void TForm_Interpretator::rebuildHighlighterWords()
{
    SynEditor->highlighter()->rebuildWordList(interp_);
}

void TForm_Interpretator::markCurrentLine(int line)
{
    SynEditor->Set_CurrentLine_Mark(line);
}

void TForm_Interpretator::setCaretLine(int line)
{
    SynEditor->SynEdit_Set_CurrentLine(line);
}

bool TForm_Interpretator::hasBreakpoint(int line) const
{
    SynEditor->UpdateStopMark(line);
    return SynEditor->StopMark();
}

void TForm_Interpretator::setCaption(const QString &caption)
{
    setWindowTitle(caption);
}

void TForm_Interpretator::refreshVariables()
{
    Panel_Var->A_Show_variables(interp_);
}

void TForm_Interpretator::showGlobalGrid()
{
    Panel_Var->setVisible(true);
}

void TForm_Interpretator::setStatusPanel(int panel, const QString &text)
{
    if (panel >= 0 && panel < statusPanels_.size())
        statusPanels_.at(panel)->setText(text);
}

void TForm_Interpretator::clearStatusPanels()
{
    for (QLabel *l : std::as_const(statusPanels_))
        l->clear();
}

void TForm_Interpretator::setWorkModeActions()
{
    SetActionStatus_WorkMode(false);
}

void TForm_Interpretator::setRunningActions(bool isRunning)
{
    SetActionStatus_WorkMode(isRunning);
}

void TForm_Interpretator::enableWindow(bool enabled)
{
    setEnabled(enabled);
}

void TForm_Interpretator::repaintWindow()
{
    update();
}

void TForm_Interpretator::closeMainWindow()
{
    QTimer::singleShot(0, this, &QWidget::close);
}

void TForm_Interpretator::closeMainWindowAfter(int ms)
{
    QTimer::singleShot(ms, this, &QWidget::close);
}

void TForm_Interpretator::processEvents()
{
    QCoreApplication::processEvents();
}

bool TForm_Interpretator::pauseKeyDown() const
{
    return pauseKey_;
}

void TForm_Interpretator::discardQueuedKeys()
{
    // Key events that are waiting now are dropped, not delivered.
    dropKeys_ = true;
    QCoreApplication::processEvents();
    dropKeys_ = false;
    pauseKey_ = false;
}

void TForm_Interpretator::playSystemSound(SystemSound sound)
{
    if (sound == SystemSound::Hand)
        sounds_->playHand();
    else
        sounds_->playAsterisk();
}

void TForm_Interpretator::showErrorBox(const QString &text)
{
    if (reportError) {
        reportError(text);
        return;
    }
    QMessageBox box(QMessageBox::Critical, QString(), text, QMessageBox::Ok, this);
    box.exec();
}

void TForm_Interpretator::showMessageNow(const QString &text)
{
    showErrorBox(text);
}

bool TForm_Interpretator::askYesNo(const QString &text)
{
    if (answerQuestion)
        return answerQuestion(text);
    QMessageBox box(QMessageBox::Question, QString(), text, QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

bool TForm_Interpretator::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type t = event->type();
    if (t == QEvent::KeyPress || t == QEvent::KeyRelease) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Pause && !key->isAutoRepeat())
            pauseKey_ = t == QEvent::KeyPress;
        if (dropKeys_)
            return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace tesmora
