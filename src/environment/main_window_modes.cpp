// Edit and working mode, loading, new scripts, saving with INCLUDE blocks,
// the external editor, closing and the start-up sequence.
#include "main_window.h"
#include "step_history.h"

#include "canvas_panel.h"
#include "help_menu.h"
#include "ide_settings.h"
#include "script_editor.h"
#include "script_file_dialog.h"
#include "script_files.h"
#include "variables_view.h"

#include "window_host.h"

#include "platform/paths.h"

#include <QAction>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QProcess>
#include <QSplitter>
#include <QTimer>
#include <QTranslator>

namespace tesmora {

void TForm_Interpretator::EnterEditMode()
{
    stepHistory_->clear(); // the text may change: no way back into it
    SavedMarks = SynEditor->marks();
    if (SavedMarks.size() > 100)
        SavedMarks = SavedMarks.mid(0, 100);
    unsavedAtEdit_ = unsavedChanges_;
    if (editorKind_ == QLatin1String("ekInternal")) {
        SynEditor->setWorkingMode(false);
        interp_.updateSettings([&](ProgramSettings &s) { s.workMode = false; });
        SynEditor->BuildCompletionList(interp_);
        SetActionStatus_EditMode();
        SynEditor->setFocus();
        SynEditor->setModified(false);
        return;
    }
    if (externalEditor_.isEmpty()) {
        host_->showMessageNow(interp_.MessageText(180));
        return;
    }
    if (!QFileInfo(externalEditor_.section(QLatin1Char(' '), 0, 0)).exists() &&
        !QFileInfo(externalEditor_).exists()) {
        host_->showMessageNow(interp_.MessageText(170, {externalEditor_}));
        return;
    }
    runExternalEditor();
}

void TForm_Interpretator::runExternalEditor()
{
    const QString tmp = programFolder() + QStringLiteral("Scripts/$$$1.tmp");
    QDir().mkpath(programFolder() + QStringLiteral("Scripts"));
    QString error;
    QString text = interp_.scriptLines().join(QStringLiteral("\r\n"));
    if (!writeUtf8WithBom(tmp, text, error)) {
        host_->showErrorBox(error);
        return;
    }
    const QDateTime before = QFileInfo(tmp).lastModified();
    // The setting may carry arguments after the program; an existing path
    // with blanks is taken whole.
    QStringList args;
    QString program = externalEditor_;
    if (!QFileInfo::exists(program)) {
        args = QProcess::splitCommand(externalEditor_);
        program = args.isEmpty() ? QString() : args.takeFirst();
    }
    if (QFileInfo(program).fileName().compare(QLatin1String("notepad++.exe"), Qt::CaseInsensitive) == 0)
        args << QStringLiteral("-alwaysOnTop") << QStringLiteral("-multiInst") << QStringLiteral("-lada")
             << QStringLiteral("-n%1").arg(interp_.currentLine() + 1);
    args << tmp;
    QProcess process;
    QEventLoop loop;
    connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    connect(&process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    process.start(program, args);
    // Wait for the editor without freezing the window.
    if (process.waitForStarted(5000) && process.state() != QProcess::NotRunning)
        loop.exec();
    else {
        host_->showMessageNow(interp_.MessageText(170, {externalEditor_}));
        return;
    }
    const QDateTime after = QFileInfo(tmp).lastModified();
    if (std::llround(before.msecsTo(after) / 1000.0) <= 0)
        return;
    bool ok = false;
    const QString edited = readEditedFile(tmp, &ok);
    if (!ok)
        return;
    QStringList lines = edited.split(QStringLiteral("\r\n"));
    if (lines.size() > 1 && lines.last().isEmpty())
        lines.removeLast();
    for (QString &l : lines)
        l.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
    unsavedChanges_ = true;
    EnterWorkingMode(true, &lines);
}

void TForm_Interpretator::EnterWorkingMode(bool takeOverEdits, const QStringList *editedText)
{
    const int top = SynEditor->topLine();
    SynEditor->setWorkingMode(true);
    interp_.updateSettings([&](ProgramSettings &s) { s.workMode = true; });
    SetActionStatus_WorkMode(false);
    if (editedText || SynEditor->isModified()) {
        const QStringList edited = editedText ? *editedText : SynEditor->lines();
        if (edited.size() > kMaxScriptLines) {
            host_->showErrorBox(interp_.MessageText(27, {kMaxScriptLines}));
            return;
        }
        if (takeOverEdits) {
            interp_.setScriptLines(edited);
            unsavedChanges_ = true;
            interp_.PrepareScript();
        } else {
            SynEditor->setScriptText(interp_.scriptLines());
            // The restored text is as unsaved as it was when Edit was pressed.
            unsavedChanges_ = unsavedAtEdit_;
            SynEditor->restoreMarks(SavedMarks);
            SynEditor->SynEdit_Set_CurrentLine(interp_.currentLine());
        }
        SynEditor->setModified(false);
        interp_.ComputeIndents();
        interp_.ComputeLineStarts();
        const int markLine = SynEditor->currentLineMarkLine();
        if (markLine >= 0)
            interp_.moveToLine(markLine);
        writeHandOverCopy();
    } else if (!takeOverEdits) {
        SynEditor->restoreMarks(SavedMarks);
    }
    SynEditor->PaintIndicatorStrip();
    SynEditor->setTopLine(top);
}

void TForm_Interpretator::writeHandOverCopy()
{
    QDir().mkpath(programFolder() + QStringLiteral("Scripts"));
    QString error;
    writeUtf8WithBom(programFolder() + QStringLiteral("Scripts/$$$.tmp"),
                     joinScriptLines(interp_.scriptLines()), error);
}

void TForm_Interpretator::LoadScriptFile(const QString &path)
{
    // Whatever ran before ends here; the views show the new script at once.
    stepHistory_->clear();
    interp_.ResetRun();
    interp_.LoadScript(path);
    scriptFileName_ = interp_.scriptFileName();
    const QString loadError = interp_.takeError();
    // A script cut to its first lines keeps no name, so Save asks for one and
    // the longer file is never overwritten by its beginning.
    const bool cut = cutOnPreparation(interp_.scriptLines(), kMaxScriptLines);
    interp_.PrepareScript();
    if (cut)
        forgetScriptFileName();
    canvasPanel_->hidePanel();
    SynEditor->clearMarks();
    interp_.moveToLine(0);
    host_->markCurrentLine(0);
    host_->repaintEditor();
    EnterWorkingMode(true);
    unsavedChanges_ = false;
    SynEditor->setModified(false);
    host_->refreshVariables();
    // A file that could not be read is reported over the window in working mode.
    if (!loadError.isEmpty()) {
        const bool wasWorking = interp_.workMode();
        interp_.updateSettings([&](ProgramSettings &s) { s.workMode = true; });
        interp_.setPendingError(loadError);
        interp_.ShowError();
        interp_.updateSettings([&](ProgramSettings &s) { s.workMode = wasWorking; });
    }
}

void TForm_Interpretator::forgetScriptFileName()
{
    scriptFileName_.clear();
    interp_.updateSettings([](ProgramSettings &s) { s.scriptFileName.clear(); });
    host_->setCaption(interp_.MessageText(1) + QStringLiteral("   "));
}

void TForm_Interpretator::A_Load_scriptExecute()
{
    // Unsaved changes are confirmed first: No keeps the current script.
    if ((unsavedChanges_ || SynEditor->isModified()) && !host_->askYesNo(interp_.MessageText(28)))
        return;
    QString path = chooseOpenFile ? chooseOpenFile(scriptFileName_)
                                  : ScriptFileDialog::choose(ScriptFileDialog::Open,
                                                             programFolder() + QStringLiteral("Scripts"),
                                                             scriptFileName_, this);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".txt");
    // A picture or a program chosen by mistake is refused here, before the
    // current script is given up; it would otherwise fail only at Start.
    QStringList probe;
    if (Interpreter::readScriptFile(resolveCaseInsensitive(path), probe) == Interpreter::FileRead::NotText) {
        host_->showErrorBox(interp_.MessageText(367, {path}) + QStringLiteral("\r\r") +
                            interp_.MessageText(368));
        return;
    }
    rightSplitter_->setSizes({1, 0});
    rightSplitter_->handle(1)->setVisible(false);
    LoadScriptFile(path);
}

void TForm_Interpretator::A_New_scriptExecute()
{
    if ((unsavedChanges_ || SynEditor->isModified()) && !host_->askYesNo(interp_.MessageText(28)))
        return;
    LoadScriptFile(QString());
    EnterEditMode();
}

void TForm_Interpretator::SaveScript()
{
    QString path = chooseSaveFile ? chooseSaveFile(scriptFileName_)
                                  : ScriptFileDialog::choose(ScriptFileDialog::Save,
                                                             programFolder() + QStringLiteral("Scripts"),
                                                             scriptFileName_, this);
    if (path.isEmpty())
        return;
    const SavePlan plan = planScriptSave(interp_.scriptLines(),
                                         [this](const QString &name) { return interp_.includePath(name); });
    QString error;
    for (const IncludeWriteBack &inc : plan.includes) {
        QString text = joinScriptLines(inc.lines);
        text.chop(2);
        if (!writeUtf8WithBom(inc.path, text, error)) {
            host_->showErrorBox(error);
            return;
        }
    }
    if (plan.unterminatedLine >= 0) {
        interp_.moveToLine(plan.unterminatedLine);
        interp_.RaiseMessage(173, {plan.unterminatedName});
        interp_.ShowError();
    }
    const QFileInfo fi(path);
    if (fi.suffix().isEmpty())
        path = path.endsWith(QLatin1Char('.')) ? path + QStringLiteral("txt") : path + QStringLiteral(".txt");
    if (!writeUtf8WithBom(path, joinScriptLines(plan.mainLines), error)) {
        host_->showErrorBox(error);
        return;
    }
    scriptFileName_ = path;
    interp_.updateSettings([&](ProgramSettings &s) { s.scriptFileName = path; });
    host_->setCaption(interp_.MessageText(1) + QStringLiteral("   ") + scriptFileName_);
    unsavedChanges_ = false;
    SynEditor->setModified(false);
}

void TForm_Interpretator::closeEvent(QCloseEvent *event)
{
    bool refuse = false;
    if (running()) {
        interp_.A_PauseExecute();
        refuse = true;
    }
    if ((unsavedChanges_ || SynEditor->isModified()) && !host_->askYesNo(interp_.MessageText(29)))
        refuse = true;
    if (refuse) {
        event->ignore();
        return;
    }
    SaveIdeSettings();
    event->accept();
}

void TForm_Interpretator::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!startedUp_) {
        startedUp_ = true;
        QTimer::singleShot(0, this, [this] { StartUp(); });
    }
}

void TForm_Interpretator::StartUp()
{
    startedUp_ = true; // once, whether called directly or on the first showing
    setLanguage(QLocale::system().language() == QLocale::Russian ? 1 : 0);
    helpMenu_->BuildFunctionReferenceMenus();
    interp_.updateSettings([&](ProgramSettings &s) { s.workMode = true; });

    const StartOptions options = parseCommandLine(arguments_, programFolder());
    interp_.updateSettings([&](ProgramSettings &s) { s.cmdLineParams = arguments_; });
    LoadScriptFile(options.scriptFile);
    interp_.moveToLine(0);
    host_->markCurrentLine(0);
    unsavedChanges_ = false;
    SynEditor->setModified(false);
    ApplyInterfaceLanguage();
    LoadIdeSettings();
    applyStartSwitches(options.switches, static_cast<int>(interp_.scriptLines().size()));
    syncPreferencesMenu();
}

} // namespace tesmora
