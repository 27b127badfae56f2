// Step back: the toolbar's way back through the states of a stepped run, and
// forward again through them before new lines run.
#include "main_window.h"

#include "canvas_panel.h"
#include "step_history.h"
#include "window_host.h"

#include <QAction>
#include <QLabel>

namespace tesmora {

QStringList TForm_Interpretator::statusTexts() const
{
    QStringList texts;
    for (const QLabel *panel : statusPanels_)
        texts << panel->text();
    return texts;
}

void TForm_Interpretator::stepForward(bool over)
{
    QStringList texts = statusTexts();
    if (stepHistory_->stepForward(texts)) {
        showRecordedState(texts);
        return;
    }
    // A step at the end of the text executes nothing: nothing to go back to.
    if (interp_.currentLine() < interp_.scriptLines().size())
        stepHistory_->recordBeforeStep(texts);
    if (over)
        interp_.A_StepOverExecute();
    else
        interp_.A_StepExecute(RunSender::StepAction);
    updateStepBackAction();
}

void TForm_Interpretator::stepBack()
{
    QStringList texts = statusTexts();
    if (stepHistory_->stepBack(texts))
        showRecordedState(texts);
}

void TForm_Interpretator::showRecordedState(const QStringList &texts)
{
    host_->markCurrentLine(interp_.currentLine());
    host_->setCaretLine(interp_.currentLine());
    host_->refreshVariables();
    for (int i = 0; i < statusPanels_.size() && i < texts.size(); ++i)
        statusPanels_[i]->setText(texts[i]);
    canvasPanel_->canvasChanged();
    SetActionStatus_WorkMode(running());
}

void TForm_Interpretator::updateStepBackAction()
{
    if (!editMode_)
        setShown(364, true, !running() && stepHistory_->canStepBack());
}

} // namespace tesmora
