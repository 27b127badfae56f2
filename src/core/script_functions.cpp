// Script functions: calls, parameters, RETURN and the finishing of a return.
#include "interpreter.h"
#include "numbers.h"

#include <cmath>

namespace tesmora {

namespace {

// The line of the header "function NAME (" with exactly this (lower-case)
// name, or -1.
int findFunctionHeader(const QStringList &lines, const QString &name)
{
    for (int i = 1; i < lines.size(); ++i) {
        const QString line = Interpreter::StripComment(lines.at(i).toLower()).trimmed();
        if (!line.startsWith(QLatin1String("function ")))
            continue;
        const int open = static_cast<int>(line.indexOf(QLatin1Char('('), 9));
        if (open >= 0 && line.mid(9, open - 9).trimmed() == name)
            return i;
    }
    return -1;
}

// The formal list of a header line: between the first "(" and the last ")"
// after the word "function".
QString formalListText(const QString &headerLine)
{
    const QString text = Interpreter::StripComment(headerLine.mid(9));
    const int open = static_cast<int>(text.indexOf(QLatin1Char('(')));
    const int close = static_cast<int>(text.lastIndexOf(QLatin1Char(')')));
    return (open >= 0 && close > open) ? text.mid(open + 1, close - open - 1).trimmed() : QString();
}

bool isMissingArgument(const WordList &args, int i)
{
    return i >= kMaxWords || (args[i].kind == wkNone && args[i].text().isEmpty());
}

} // namespace

void Interpreter::CallScriptFunction(const QString &callText, WordList &args, TWordStatus &result)
{
    // Messages name the function as the call protocol sees it: lower-cased.
    // A copy: the body's calls may add shapes and so move the entries.
    const QString name = callShape(callText).lowerName;
    CallScriptFunction(callText, name, args, result);
}

void Interpreter::CallScriptFunction(const QString &callText, const QString &name, WordList &args,
                                     TWordStatus &result)
{
    result.clear();
    const int header = functionHeaderLine(name);
    if (header < 0) {
        RaiseMessage(50, {name});
        return;
    }
    TBlockLevel level;
    level.nLine = CurrentLine;
    level.nBodyFunctionLine = header;
    level.pt = pt_ScriptFunction;
    level.indent = lineIndent(header) + 2;
    level.FunctionExpression = callText;
    level.FunctionLevel = CurrentFunctionLevel + 1;
    const int callerDepth = BlockDepth;
    const int callerLevel = CurrentFunctionLevel;
    pushBlock(level);
    ++CurrentFunctionLevel;
    if (!bindParameters(name, args)) {
        // The run stops with the level pushed, its locals on view. Under TRY
        // it goes on with the next line: the function never started, so
        // its level closes again (left open, the line would run again and
        // again inside it).
        if (TryMode)
            closeLevelsAbove(callerDepth, callerLevel);
        return;
    }
    CurrentLine = header + 1;
    // In step mode the calling line stops here and runs again after the
    // RETURN, taking what it had read and called until this call.
    if (!running()) {
        keepCallerRecord(BlockDepth);
        return;
    }
    runFunctionBody(BlockDepth, result);
}

int Interpreter::functionHeaderLine(const QString &name)
{
    // Lines are only ever added at the end (a closing "stop") without a new
    // generation, so the generation and the line count identify the text.
    FunctionHeaderCache &c = functionHeaders_;
    if (c.generation != scriptGeneration_ || c.lineCount != ScriptLines.size()) {
        c.lines.clear();
        c.generation = scriptGeneration_;
        c.lineCount = ScriptLines.size();
        c.formalsLine = -2; // read the formals again
    }
    auto it = c.lines.constFind(name);
    if (it == c.lines.constEnd())
        it = c.lines.insert(name, findFunctionHeader(ScriptLines, name));
    const int header = it.value();
    if (header != c.formalsLine) {
        c.formals = header < 0 ? QString() : formalListText(ScriptLines.at(header));
        c.formalsLine = header;
        c.formalWordsKnown = false;
    }
    return header;
}

const QList<Interpreter::FormalWord> *Interpreter::formalWords()
{
    // What binding reads of the formal list's words does not depend on what
    // its names are at the time, so it is split once per header.
    FunctionHeaderCache &c = functionHeaders_;
    if (!c.formalWordsKnown) {
        ScratchList list(*this);
        SplitWords(c.formals, *list);
        if (failed())
            return nullptr;
        c.formalWords.clear();
        for (int i = 0; i <= list->last; ++i) {
            const TWordStatus &w = (*list)[i];
            c.formalWords.append({w.kind == wkComma,
                                  w.text().compare(QLatin1String("var"), Qt::CaseInsensitive) == 0,
                                  w.text()});
        }
        c.formalWordsKnown = true;
    }
    return &c.formalWords;
}

bool Interpreter::bindParameters(const QString &functionName, const WordList &args)
{
    const QList<FormalWord> *formals = formalWords();
    if (!formals)
        return false;
    bool byReference = false;
    int actual = 0;
    for (const FormalWord &f : *formals) {
        if (f.comma) {
            byReference = false;
        } else if (f.byReference) {
            byReference = true;
        } else if (isMissingArgument(args, actual)) {
            RaiseMessage(51);
            return false;
        } else {
            BindParameter(functionName, f.name, args[actual++], byReference);
            if (failed())
                return false;
        }
    }
    // More arguments than formals.
    if (!isMissingArgument(args, actual)) {
        RaiseMessage(51);
        return false;
    }
    return true;
}

void Interpreter::keepCallerRecord(int depth)
{
    BlockStack[static_cast<size_t>(depth)].CallerRecord = std::exchange(LineValues.values, {});
}

void Interpreter::runFunctionBody(int depth, TWordStatus &result)
{
    // The body's lines keep records of their own.
    LineRecord callerRecord = std::exchange(LineValues, LineRecord());
    RunLoop(CurrentLine, RunSender::MainWindow);
    LineValues = std::move(callerRecord);
    if (!running()) {
        // Stopped inside the body (Pause, a breakpoint, STOP): stepping
        // on, the calling line runs again after the RETURN.
        if (BlockDepth >= depth)
            keepCallerRecord(depth);
        return;
    }
    if (BlockDepth != depth || BlockStack[static_cast<size_t>(BlockDepth)].pt != pt_ReturnScriptFunction) {
        // The body ended at a stop line without RETURN: the run ends there.
        RunState = rn_Stopped;
        return;
    }
    TBlockLevel &done = BlockStack[static_cast<size_t>(BlockDepth)];
    result = done.WordStatus;
    CurrentLine = done.nLine;
    popBlock();
    --CurrentFunctionLevel;
}

void Interpreter::BindParameter(const QString &functionName, const QString &formalName,
                                const TWordStatus &actual, bool byReference)
{
    if (CurrentFunctionLevel > 0 && !IsCallOwnName(formalName)) {
        RaiseMessage(126, {formalName});
        return;
    }
    if (actual.kind == wkArrayName) {
        BindArrayParameter(formalName, actual.text(), byReference, functionName);
        return;
    }
    if (hasVariableAtLevel(formalName, CurrentFunctionLevel)) {
        RaiseMessage(128, {functionName});
        return;
    }
    if (byReference && actual.var_index == 0) {
        RaiseMessage(128, {functionName});
        return;
    }
    Tvariable v;
    v.VarName = formalName;
    SetVariableText(v, actual);
    v.kind = actual.kind;
    v.function_level = CurrentFunctionLevel;
    v.is_parameter_variable = byReference;
    v.parameter_var_index = byReference ? actual.var_index : 0;
    // An argument that is a variable's text keeps the number read from it.
    if (actual.var_index > 0 && actual.var_index <= Variables.size())
        v.shareKnownNumber(Variables.at(actual.var_index - 1));
    Variables.append(std::move(v));
    VariableOrder.append(0);
}

int Interpreter::functionBlock() const
{
    int d = BlockDepth;
    while (d >= 0 && BlockStack[static_cast<size_t>(d)].pt != pt_ScriptFunction)
        --d;
    return d;
}

bool Interpreter::ReturnStatement(const WordList &w)
{
    const int d = functionBlock();
    if (d < 0) {
        RaiseMessage(127);
        return true;
    }
    // The value first: in step mode it may step into another function, and
    // the blocks of this one must then stay as they are.
    TWordStatus value;
    const FunctionLevelWatch watch(*this);
    if (w.last == 1 && w[1].kind == wkArrayName)
        value = w[1];
    else if (w.last >= 1)
        EvaluateRange(w, 1, w.last, value);
    if (failed())
        return true;
    if (watch.steppedIn())
        return false;
    completeReturn(d, value);
    return true;
}

void Interpreter::completeReturn(int d, const TWordStatus &value)
{
    for (int k = d + 1; k <= BlockDepth; ++k)
        BlockStack[static_cast<size_t>(k)] = TBlockLevel();
    BlockDepth = d;
    TBlockLevel &level = BlockStack[static_cast<size_t>(d)];
    level.pt = pt_ReturnScriptFunction;
    level.WordStatus = value;

    if (CurrentFunctionLevel >= 1) {
        for (int i = static_cast<int>(Variables.size()) - 1; i >= 0; --i) {
            const Tvariable &v = Variables.at(i);
            if (v.function_level != CurrentFunctionLevel)
                continue;
            if (v.parameter_var_index > 0 && v.parameter_var_index <= Variables.size()) {
                Tvariable &caller = Variables[v.parameter_var_index - 1];
                caller.kind = v.kind;
                caller.copyValue(v);
            }
            Variables.removeAt(i);
            variableRemovedAt(i);
            if (i < VariableOrder.size())
                VariableOrder.removeAt(i);
        }
        // A finite number's text is digits: it names no array, so it is not
        // written for the look-up.
        double n = 0;
        const bool digits = level.WordStatus.textPendingFor(n) && std::isfinite(n);
        const QString kept = ReleaseFunctionArrays(digits ? QString() : level.WordStatus.text());
        if (!kept.isEmpty())
            level.WordStatus.setText(kept);
    }
}

Interpreter::RunPosition Interpreter::SaveRunPosition() const
{
    return {CurrentLine, BlockDepth, CurrentFunctionLevel, RunState, TryMode};
}

void Interpreter::RestoreRunPosition(const RunPosition &position)
{
    closeLevelsAbove(position.blockDepth, position.functionLevel);
    CurrentLine = position.line;
    RunState = position.runState;
    TryMode = position.tryMode;
}

void Interpreter::closeLevelsAbove(int blockDepth, int functionLevel)
{
    while (BlockDepth > blockDepth)
        popBlock();
    for (int i = static_cast<int>(Variables.size()) - 1; i >= 0; --i) {
        if (Variables.at(i).function_level <= functionLevel)
            continue;
        Variables.removeAt(i);
        variableRemovedAt(i);
        if (i < VariableOrder.size())
            VariableOrder.removeAt(i);
    }
    for (int n = Arrays.count(); n >= 1; --n)
        if (Arrays.at(n).function_level > functionLevel)
            Arrays.DeleteArray(n);
    CurrentFunctionLevel = functionLevel;
}

void Interpreter::FinishReturn()
{
    --ContinueFunctionLevel;
    ReturnedBlock = BlockStack[static_cast<size_t>(BlockDepth)];
    CurrentLine = ReturnedBlock.nLine;
    popBlock();
    --CurrentFunctionLevel;
    // The calling line runs again: what it read and called before the call,
    // then the returned value, come from its record; the rest is evaluated.
    LineRecord resume;
    resume.values = std::exchange(ReturnedBlock.CallerRecord, {});
    resume.values.append(ReturnedBlock.WordStatus);
    LastLineKind = ExecuteLine(std::move(resume));
    // The calling line was a RETURN of its own (return g(x) * 2), now
    // complete: its function returns in the same step.
    if (LastLineKind == wkReturn && !failed() && CurrentFunctionLevel > 0 &&
        BlockStack[static_cast<size_t>(BlockDepth)].pt == pt_ReturnScriptFunction)
        FinishReturn();
}

} // namespace tesmora
