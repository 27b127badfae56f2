// Run control: Start, Step, Step over, Continue, Fast and Pause, and the run
// loop that executes one line after another on the user-interface thread.
#include "interpreter.h"

#include <QDateTime>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <new>
#include <stdexcept>

namespace tesmora {

namespace {

// Window events are processed between lines, but not more often than this:
// processing them after every line would dominate the cost of a fast run.
constexpr qint64 kEventIntervalNs = 5'000'000;

// The clock the run loops read after every line, in nanoseconds. A coarse
// clock where the system has one: it moves in steps of a few milliseconds
// but costs a fraction of a precise reading, which would otherwise take a
// quarter of a plain line's time. The events are then looked at every 5 to
// about 10 ms.
qint64 eventClockNs()
{
#ifdef CLOCK_MONOTONIC_COARSE
    timespec t{};
    if (clock_gettime(CLOCK_MONOTONIC_COARSE, &t) == 0)
        return static_cast<qint64>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
#endif
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

void Interpreter::RaiseFailure(const std::exception &e)
{
    if (dynamic_cast<const std::bad_alloc *>(&e) || dynamic_cast<const std::length_error *>(&e))
        RaiseMessage(363);
    else
        RaiseError(QString::fromUtf8(e.what()));
}

bool Interpreter::pastDeadline() const
{
    return limits_.deadline > 0 && QDateTime::currentMSecsSinceEpoch() > limits_.deadline;
}

void Interpreter::RunOneLine()
{
    if (CurrentLine == 0) {
        Variables.clear();
        variablesReplaced();
        VariableOrder.clear();
        ResetArrays();
    }
    ErrorText.clear();
    TryErrorText.clear();
    const int line = CurrentLine;
    TryCaught = false;
    if (limits_.maxLines > 0 && ExecutedLines >= limits_.maxLines) {
        ErrorText = QStringLiteral("Run stopped after %1 executed lines.").arg(limits_.maxLines);
        RunState = rn_Stopped;
        return;
    }
    if (pastDeadline()) {
        ErrorText = QStringLiteral("Run stopped: its time is over.");
        RunState = rn_Stopped;
        return;
    }
    ++ExecutedLines;

    TWordKind kind = wkNone;
    try {
        // A run stopped right after a RETURN inside a function called in
        // run mode (Pause, or a breakpoint set on the RETURN line meanwhile)
        // stands on the RETURN with its value kept: going on finishes it.
        kind = returnKept() ? wkReturn : ExecuteLine();
        LastLineKind = kind;
    } catch (const std::exception &e) {
        if (!TryMode) {
            RaiseFailure(e);
            RunState = rn_Stopped;
            return;
        }
    }
    if (!TryErrorText.isEmpty()) {
        SetVariable(QStringLiteral("Error"), TryErrorText + QStringLiteral(" Line=") + QString::number(line),
                    wkString);
        TryCaught = true;
    }
    if (ErrorText.isEmpty() || TryMode) {
        if (kind == wkReturn) {
            if (RunState == rn_Step ||
                (ContinueFunctionLevel > 0 && ContinueFunctionLevel >= CurrentFunctionLevel)) {
                try {
                    FinishReturn();
                } catch (const std::exception &e) {
                    if (!TryMode) {
                        RaiseFailure(e);
                        RunState = rn_Stopped;
                        return;
                    }
                }
                if (failed() && !TryMode)
                    return;
            }
            if (CurrentFunctionLevel == 0)
                handlerRunning_ = false;
        }
        // Temporary arrays live for the line that made them. A line of an
        // outer level may still be evaluating (a function called in run mode,
        // or stepped into), so only this level's and deeper ones go.
        DeleteTemporaryArrays(CurrentFunctionLevel);
    }
}

void Interpreter::A_StepExecute(RunSender sender)
{
    if (sender == RunSender::StepAction) {
        RunState = rn_Step;
        StepOverLine = StepOverDepth = -1;
        WorkMode = true;
        CloseAfterRun = false;
    }
    const int n = static_cast<int>(ScriptLines.size());
    if (CurrentLine >= n)
        return;
    RunOneLine();
    afterLine(sender);
}

bool Interpreter::runLearntLine(RunSender sender)
{
    // Only a fast run, between lines that start afresh: no pending error,
    // no line 0 (which clears the run state), nothing that Continue or Step
    // over watch.
    if (!FastMode || RunState != rn_Run || CurrentLine <= 0 || CurrentLine >= ScriptLines.size() ||
        ContinueFunctionLevel > 0 || StepOverLine >= 0 || !ErrorText.isEmpty() || returnKept())
        return false;
    const LineInfo &info = lineInfo(CurrentLine);
    if (!info.simple || lineIndent(CurrentLine) != BlockStack[static_cast<size_t>(BlockDepth)].indent)
        return false;
    if ((limits_.maxLines > 0 && ExecutedLines >= limits_.maxLines) || pastDeadline())
        return false;
    // What RunOneLine and ExecuteLine do around the line, for a line that
    // TRY does not guard. A RETURN here has no Continue or Step to finish it.
    // The line counts before it runs: the lines of a function it calls
    // count after it.
    TryErrorText.clear();
    TryCaught = false;
    ++ExecutedLines;
    TWordKind kind = wkNone;
    try {
        // Only a line that calls a script function keeps what it reads.
        if (callsScriptFunction(*info.simple)) {
            // Its record is made in the list an earlier such line left: the
            // record is only read while the line runs.
            LineRecord own;
            own.values.swap(spareRecord_);
            const LineRecordScope scope(LineValues, std::move(own));
            kind = runSimpleLine(info.simple);
            LineValues.values.clear();
            spareRecord_.swap(LineValues.values);
        } else {
            kind = runSimpleLine(info.simple);
        }
    } catch (const std::exception &e) {
        RaiseFailure(e);
        RunState = rn_Stopped;
        afterLine(sender);
        return true;
    }
    if (kind == wkNone) {
        // Declined before doing anything: the general way runs it.
        --ExecutedLines;
        return false;
    }
    LastLineKind = kind;
    if (ErrorText.isEmpty()) {
        if (kind == wkReturn && CurrentFunctionLevel == 0)
            handlerRunning_ = false;
        DeleteTemporaryArrays(CurrentFunctionLevel);
    }
    afterLine(sender);
    return true;
}

void Interpreter::afterLine(RunSender sender)
{
    if (!FastMode || RunState == rn_Stopped || RunState == rn_Step)
        host_->markCurrentLine(CurrentLine);
    const int n = static_cast<int>(ScriptLines.size());
    if (CurrentLine > n - 1) {
        // Past the last line (a text of blank lines): nothing is left to run.
        CurrentLine = std::max(n - 1, 0);
        RunState = rn_Stopped;
    }
    if (failed())
        ShowError();
    const bool stopMark = host_->hasBreakpoint(CurrentLine);
    if (lineInfo(CurrentLine).stopLine || stopMark)
        RunState = rn_Stopped;
    if (FastMode && sender != RunSender::StepAction) {
        if (RunState == rn_Stopped || CurrentLine == 0 || TryCaught) {
            host_->markCurrentLine(CurrentLine);
            host_->refreshVariables();
        }
    } else {
        host_->markCurrentLine(CurrentLine);
        host_->refreshVariables();
    }
    if (RunState == rn_Stopped || RunState == rn_Step)
        host_->setRunningActions(false);
}

void Interpreter::DrainBetweenLines()
{
    while (!betweenLines_.empty()) {
        const std::function<void()> work = std::move(betweenLines_.front());
        betweenLines_.pop_front();
        work();
    }
}

void Interpreter::RunLoop(int startLine, RunSender sender)
{
    struct Depth {
        int &d;
        explicit Depth(int &depth) : d(depth) { ++d; }
        ~Depth() { --d; }
    } depth(runLoopDepth_);
    // A script function called in run mode nests a loop: the run goes on
    // and its time keeps counting.
    const bool nested = sender == RunSender::MainWindow;
    if (!nested)
        RunStartTime = QDateTime::currentMSecsSinceEpoch();
    CurrentLine = startLine;
    // A loop inside another one (a function called while lines run) has
    // its script expanded and its events looked at by the outer loop.
    const bool outermost = runLoopDepth_ == 1;
    if (outermost)
        expandIncludesForRun();
    // Fast mode first: the toolbar shows it as soon as the run begins.
    if (sender == RunSender::StartAction || sender == RunSender::StartTimer)
        FastMode = true;
    else if (sender == RunSender::ContinueAction)
        FastMode = false;
    // The actions of a running script are already set while an outer loop
    // runs (every call of a script function nests one).
    if (outermost)
        host_->setRunningActions(true);
    host_->clearStatusPanels();

    // Every later line is checked for a breakpoint after the line before it;
    // the first line of a run from the start and the first body line of a
    // called function are checked here. Continue and Step over execute their
    // first line whatever it carries.
    const bool fromStart = nested || sender == RunSender::StartAction || sender == RunSender::StartTimer;
    const bool held = fromStart && CurrentLine < ScriptLines.size() && host_->hasBreakpoint(CurrentLine);
    if (held) {
        RunState = rn_Stopped;
        host_->markCurrentLine(CurrentLine);
    }

    // One clock for all nested loops: a deep recursion of short functions
    // still looks at the window's events (Pause, closing) as often.
    bool firstLine = outermost;
    bool atStop = CurrentLine >= ScriptLines.size() || lineInfo(CurrentLine).beginsStop;
    while (!held && !atStop) {
        if (firstLine || eventClockNs() - eventsSeenAt_ >= kEventIntervalNs) {
            host_->processEvents();
            DrainBetweenLines();
            eventsSeenAt_ = eventClockNs();
            firstLine = false;
        }
        if (!runLearntLine(sender))
            A_StepExecute(sender);
        // Step over ends when its line is done: the block depth is back
        // where it was, or below it (a RETURN, BREAK or the end of a block).
        if (StepOverLine >= 0 && RunState == rn_Continue && BlockDepth <= StepOverDepth) {
            StepOverLine = StepOverDepth = -1;
            RunState = rn_Step;
        }
        if (failed() || (RunState != rn_Run && RunState != rn_Continue) || CurrentLine >= ScriptLines.size())
            break;
        // One look at the line that comes next serves both of its marks.
        const LineInfo &next = lineInfo(CurrentLine);
        if (next.stopLine)
            break;
        atStop = next.beginsStop;
        if (BlockStack[static_cast<size_t>(BlockDepth)].pt == pt_ReturnScriptFunction)
            break;
        if (host_->pauseKeyDown()) {
            A_PauseExecute();
            host_->markCurrentLine(CurrentLine);
        }
    }
    // An error has already stopped the clock when its box opened.
    if (!nested && RunStopTime < RunStartTime)
        RunStopTime = QDateTime::currentMSecsSinceEpoch();
    if (outermost)
        host_->setRunningActions(RunState == rn_Run || RunState == rn_Continue);
}

void Interpreter::expandIncludesForRun()
{
    const qsizetype before = ScriptLines.size();
    ExpandIncludes();
    if (ScriptLines.size() != before) {
        // A block whose file appeared since preparation: keep the tables in step.
        ComputeIndents();
        ComputeLineStarts();
        host_->setEditorText(ScriptLines);
    }
}

void Interpreter::A_StartExecute(RunSender sender)
{
    host_->attachToolbar(false);
    ResetRun();
    RunState = rn_Run;
    WorkMode = true;
    host_->repaintEditor();
    host_->markCurrentLine(0);
    try {
        RunLoop(0, sender);
    } catch (const std::exception &e) {
        RaiseFailure(e);
        ShowError();
    }
    host_->enableWindow(true);
    if (ErrorText.isEmpty() && BlockDepth == 0) {
        host_->playSystemSound(SystemSound::Asterisk);
        if (CurrentLine >= 0 && CurrentLine < ScriptLines.size() &&
            ScriptLines.at(CurrentLine).trimmed().toUpper() == QLatin1String("STOP") && CloseAfterRun)
            host_->closeMainWindowAfter(2000);
    }
    if (!ErrorText.isEmpty())
        host_->playSystemSound(SystemSound::Hand);
    // The mark shows the line that executes next, whatever fast mode left it.
    host_->markCurrentLine(CurrentLine);
    host_->repaintEditor();
    host_->refreshVariables();
    A_PauseExecute();
    DrainBetweenLines();
}

void Interpreter::A_Continue_runExecute(RunSender sender)
{
    host_->attachToolbar(false);
    // From the first line a run begins afresh, as a run from the start
    // does there: blocks of an earlier run no longer apply.
    if (CurrentLine == 0)
        clearBlocks();
    const int n = static_cast<int>(ScriptLines.size());
    while (CurrentLine < n && lineIndent(CurrentLine) == -1)
        ++CurrentLine;
    const int indent = lineIndent(CurrentLine);
    if (BlockStack[static_cast<size_t>(BlockDepth)].indent != indent) {
        RaiseMessage(52, {indent});
        ShowError();
        return;
    }
    ContinueFunctionLevel = 0;
    for (int d = BlockDepth; d >= 1; --d) {
        if (BlockStack[static_cast<size_t>(d)].FunctionLevel != 0) {
            ContinueFunctionLevel = BlockStack[static_cast<size_t>(d)].FunctionLevel;
            break;
        }
    }
    RunState = rn_Continue;
    WorkMode = true;
    CloseAfterRun = false;
    try {
        RunLoop(CurrentLine, sender);
    } catch (const std::exception &e) {
        RaiseFailure(e);
        ShowError();
    }
    if (ErrorText.isEmpty() && BlockDepth == 0)
        host_->playSystemSound(SystemSound::Asterisk);
    if (!ErrorText.isEmpty())
        host_->playSystemSound(SystemSound::Hand);
    host_->markCurrentLine(CurrentLine);
    host_->refreshVariables();
    A_PauseExecute();
    DrainBetweenLines();
}

void Interpreter::A_StepOverExecute()
{
    StepOverLine = CurrentLine;
    StepOverDepth = BlockDepth;
    A_Continue_runExecute(RunSender::StepOverAction);
}

void Interpreter::a_FastExecute()
{
    FastMode = !FastMode;
    host_->setRunningActions(RunState == rn_Run || RunState == rn_Continue);
}

void Interpreter::A_PauseExecute()
{
    host_->discardQueuedKeys();
    RunState = rn_Stopped;
    host_->attachToolbar(true);
    host_->setRunningActions(false);
    host_->repaintEditor();
    host_->playSystemSound(SystemSound::Asterisk);
}

void Interpreter::RequestExit()
{
    exitRequested_ = true;
    RunState = rn_Stopped;
}

void Interpreter::RunClickHandler(const QString &functionName)
{
    const RunPosition saved = SaveRunPosition();
    RunState = rn_Run;
    ReturnedBlock = TBlockLevel();
    handlerRunning_ = true;
    WordList noArguments;
    TWordStatus result;
    try {
        CallScriptFunction(functionName, noArguments, result);
    } catch (const std::exception &e) {
        RaiseError(QString::fromUtf8(e.what()));
    }
    handlerRunning_ = false;
    host_->refreshVariables();
    if (WorkMode && failed()) {
        host_->refreshVariables();
        const QString text = ErrorText;
        ErrorText.clear();
        host_->showErrorBox(text);
    }
    RestoreRunPosition(saved);
    // The handler's body ran as a run of its own and left the toolbar in the
    // running set; a click while no script runs gives back the stopped set.
    host_->setRunningActions(RunState == rn_Run || RunState == rn_Continue);
}

void Interpreter::clearBlocks()
{
    BlockStack.fill(TBlockLevel());
    BlockDepth = 0;
    CurrentFunctionLevel = 0;
    ContinueFunctionLevel = 0;
    ReturnedBlock = TBlockLevel();
}

void Interpreter::ResetRun()
{
    RunState = rn_Stopped;
    clearBlocks();
    StepOverLine = StepOverDepth = -1;
    handlerRunning_ = false;
    TryMode = TryCaught = false;
    ErrorText.clear();
    TryErrorText.clear();
    CurrentLine = 0;
    Variables.clear();
    variablesReplaced();
    VariableOrder.clear();
    LastAssignedVariable = 0;
    Arrays = ArrayTable();
    RunStartTime = RunStopTime = 0;
}

qint64 Interpreter::RunElapsedMs(qint64 now) const
{
    if (RunStartTime <= 0)
        return 0;
    const bool running = RunState == rn_Run || RunState == rn_Continue;
    const qint64 end = running || RunStopTime < RunStartTime ? now : RunStopTime;
    return std::max<qint64>(0, end - RunStartTime);
}

} // namespace tesmora
