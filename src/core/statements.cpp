// ExecuteLine: one statement, the block stack and the search for the next line.
#include "brackets.h"
#include "interpreter.h"

#include "numbers.h"

#include <cmath>

namespace tesmora {

namespace {

int sign(double x)
{
    return x > 0 ? 1 : (x < 0 ? -1 : 0);
}

bool isNumeric(const TWordStatus &w)
{
    return w.kind == wkFloat || w.kind == wkInt;
}

} // namespace

int Interpreter::indentPastTable(int j) const
{
    if (j < 0 || j >= ScriptLines.size())
        return 0;
    const QString s = StripComment(ScriptLines.at(j));
    if (s.trimmed().isEmpty())
        return -1;
    int k = 0;
    while (k < s.size() && s.at(k) == QLatin1Char(' '))
        ++k;
    return (k < s.size() && s.at(k) == QLatin1Char('>')) ? -1 : k;
}

void Interpreter::pushBlock(const TBlockLevel &level)
{
    if (BlockDepth >= kMaxBlockLevel)
        throw RuntimeFailure(
            QStringLiteral("Too many nested blocks and function calls: at most %1 can be open at "
                           "a time.")
                .arg(kMaxBlockLevel)
                .toStdString());
    ++BlockDepth;
    BlockStack[static_cast<size_t>(BlockDepth)] = level;
}

void Interpreter::popBlock()
{
    BlockStack[static_cast<size_t>(BlockDepth)] = TBlockLevel();
    if (BlockDepth > 0)
        --BlockDepth;
}

int Interpreter::findLoop() const
{
    int d = BlockDepth;
    while (d > 0 && BlockStack[static_cast<size_t>(d)].pt != pt_For &&
           BlockStack[static_cast<size_t>(d)].pt != pt_Repeat)
        --d;
    const TProcessingType pt = BlockStack[static_cast<size_t>(d)].pt;
    return (pt == pt_For || pt == pt_Repeat) ? d : -1;
}

void Interpreter::leaveLoop(int loopLevel)
{
    CurrentLine = BlockStack[static_cast<size_t>(BlockDepth)].nLine;
    for (int d = loopLevel; d <= BlockDepth; ++d)
        BlockStack[static_cast<size_t>(d)] = TBlockLevel();
    BlockDepth = loopLevel - 1;
}

TWordKind Interpreter::ExecuteLine(LineRecord resume)
{
    const bool resuming = !resume.values.isEmpty();
    const LineRecordScope scope(LineValues, std::move(resume));
    if (CurrentLine == 0) {
        for (int l = 0; l <= 50; ++l)
            BlockStack[static_cast<size_t>(l)] = TBlockLevel();
        BlockDepth = 0;
        CurrentFunctionLevel = 0;
    }
    if (CurrentLine < 0 || CurrentLine >= ScriptLines.size())
        return wkNone;
    const LineInfo &info = lineInfo(CurrentLine);
    if (info.blank) {
        ++CurrentLine;
        return wkNone;
    }
    const int indent = lineIndent(CurrentLine);
    if (indent != BlockStack[static_cast<size_t>(BlockDepth)].indent) {
        RaiseMessage(52, {indent});
        return wkNone;
    }
    if (info.simple && !resuming) {
        if (const TWordKind kind = runSimpleLine(info.simple); kind != wkNone)
            return kind;
    }
    // A copy: the statement may call script functions whose lines replace
    // entries of the line table.
    const QString text = info.statement;
    TryMode = false;
    ScratchList scratch(*this);
    WordList &w = *scratch;
    SplitWords(text, w);
    if (failed())
        return wkNone;
    if (info.simpleTries < 2 && !info.simple)
        learnSimpleLine(info, w);
    // Only a line with a call can step into a script function; a function
    // called in run mode may stop inside, too (Pause, a breakpoint).
    LineValues.recording = !ScriptFunctionNames.isEmpty() && text.contains(QLatin1Char('('));
    if (w.last >= 0 && w[0].kind == wkTry && !beginTry(w, resuming))
        return wkTry;
    LastAssignedVariable = w.last >= 0 ? w[0].var_index : 0;
    Arrays.lastDeclaredName.clear();
    Arrays.lastAssignedArray = 0;
    return executeStatement(w, indent, text);
}

// The steps of a statement below are inline: each is called from one place
// in this file, on the path every executed line takes.
inline bool Interpreter::beginTry(WordList &w, bool resuming)
{
    TryMode = true;
    for (int i = 0; i < w.last; ++i)
        w[i] = std::move(w[i + 1]);
    w[w.last].clear();
    --w.last;
    // Running again after a RETURN, the line emptied Error already.
    if (resuming)
        return true;
    SetVariable(QStringLiteral("Error"), QString(), wkString);
    return !failed();
}

inline TWordKind Interpreter::executeStatement(const WordList &w, int indent, const QString &text)
{
    const TWordKind kind = w.last >= 0 ? w[0].kind : wkNone;
    if (w.last >= 2 && w[1].text() == QLatin1String("=")) {
        if (kind == wkConst) {
            RaiseMessage(80, {w[0].text()});
            return kind;
        }
        if (kind == wkVariableName || kind == wkUnknownIdentifier || kind == wkArrayName) {
            AssignmentStatement(w);
            return kind;
        }
    }
    const FunctionLevelWatch watch(*this);
    if (kind == wkArrayName && w.last >= 4) {
        AssignArrayElement(w);
        nextLineUnlessSteppedIn(watch);
        return kind;
    }
    if (w.last == 0 && isFunctionKind(kind)) {
        TWordStatus value;
        EvaluateWords(w, value);
        if (RunState != rn_Stopped)
            nextLineUnlessSteppedIn(watch);
        return kind;
    }
    switch (kind) {
    case wkVariableName:
    case wkUnknownIdentifier:
        if (w.last >= 1 && w[1].kind == wkOpeningSquareBracket)
            RaiseMessage(92, {w[0].text()});
        else if (w.last >= 1 && w[1].kind == wkOpeningBracket)
            RaiseMessage(95, {w[0].text()});
        else
            RaiseMessage(93, {w[0].text()});
        return kind;
    case wkFor:
        ForStatement(w);
        return kind;
    case wkRepeat:
    case wkBreak:
    case wkBreakIf:
    case wkContinue:
    case wkContinueIf:
        LoopStatement(w, indent);
        return kind;
    case wkIf:
        IfStatement(w);
        return kind;
    case wkReturn:
        return ReturnStatement(w) ? kind : wkNone;
    case wkArrayDescription:
        DeclareArray(w);
        nextLineUnlessSteppedIn(watch);
        return kind;
    case wkStop:
        RunState = rn_Stopped;
        return kind;
    default:
        RaiseMessage(94, {text});
        return kind;
    }
}

void Interpreter::nextLineUnlessSteppedIn(const FunctionLevelWatch &watch)
{
    if (!failed() && !watch.steppedIn())
        FindNextLine(false, false);
}

inline void Interpreter::AssignmentStatement(const WordList &w)
{
    TWordStatus value;
    const FunctionLevelWatch watch(*this);
    evaluateAssignedValue(w, value);
    if (failed() || RunState == rn_Stopped || watch.steppedIn())
        return;
    assignEvaluated(w[0], value);
}

void Interpreter::assignEvaluated(const TWordStatus &target, const TWordStatus &value)
{
    if (!TryMode) {
        if (value.isEmpty()) {
            RaiseMessage(85);
            return;
        }
        if (!isValueKind(value.kind) && value.kind != wkArrayName) {
            RaiseMessage(77, {value.text()});
            return;
        }
    }
    if (assignValue(target, value))
        FindNextLine(false, false);
}

inline void Interpreter::evaluateAssignedValue(const WordList &w, TWordStatus &value)
{
    if (!TryMode) {
        EvaluateRange(w, 2, w.last, value);
        return;
    }
    try {
        EvaluateRange(w, 2, w.last, value);
    } catch (const std::exception &e) {
        RaiseFailure(e);
    }
    if (failed()) {
        TryErrorText = ErrorText;
        ErrorText.clear();
    }
    if (!TryErrorText.isEmpty()) {
        value.clear();
        value.kind = wkFloat;
        value.setText(QStringLiteral("0"));
    }
}

inline bool Interpreter::assignValue(const TWordStatus &target, const TWordStatus &value)
{
    if (value.kind == wkArrayName) {
        if (FindVariable(target.text()) >= 0) {
            RaiseMessage(78);
            return false;
        }
        AssignArrayResult(target.text(), value.text());
        return !failed();
    }
    if (target.kind == wkArrayName) {
        RaiseMessage(79);
        return false;
    }
    int idx = variableOfWord(target);
    if (idx < 0) {
        idx = SetVariable(target.text(), QString(), wkNone);
        if (failed())
            return false;
    }
    Tvariable &v = Variables[idx];
    SetVariableText(v, value);
    v.kind = value.kind;
    LastAssignedVariable = idx + 1;
    return true;
}

void Interpreter::LoopStatement(const WordList &w, int indent)
{
    const TWordKind kind = w[0].kind;
    if (kind == wkRepeat) {
        if (w.last > 0) {
            RaiseMessage(62);
            return;
        }
        TBlockLevel level;
        level.nLine = CurrentLine;
        level.indent = indent + 2;
        level.pt = pt_Repeat;
        pushBlock(level);
        FindNextLine(false, false);
        return;
    }
    const bool isBreak = kind == wkBreak || kind == wkBreakIf;
    bool yes = true;
    if (kind == wkBreakIf || kind == wkContinueIf) {
        TWordStatus value;
        const FunctionLevelWatch watch(*this);
        if (w.last >= 1)
            EvaluateRange(w, 1, w.last, value);
        if (failed() || watch.steppedIn())
            return;
        if (w.last < 1 || value.kind != wkBool) {
            RaiseMessage(isBreak ? 63 : 64);
            return;
        }
        yes = value.text() == QLatin1String("true");
    }
    const int loop = findLoop();
    if (loop < 0) {
        RaiseMessage(isBreak ? 65 : 66);
        return;
    }
    if (isBreak) {
        if (yes)
            leaveLoop(loop);
        FindNextLine(false, false);
    } else {
        // CONTINUE leaves the conditional it stands in; CONTINUEIF stands
        // directly in the loop body.
        FindNextLine(yes, kind == wkContinue);
    }
}

void Interpreter::ForStatement(const WordList &w)
{
    if (w.last < 1 || (w[1].kind != wkVariableName && w[1].kind != wkUnknownIdentifier)) {
        RaiseMessage(55);
        return;
    }
    if (w[1].kind == wkUnknownIdentifier) {
        SetVariable(w[1].text(), QString(), wkFloat);
        if (failed())
            return;
    }
    const int vi = FindVariable(w[1].text());
    if (w.last < 2 || w[2].text() != QLatin1String("=")) {
        RaiseMessage(56);
        return;
    }
    // A bound that steps into a script function ends the statement here;
    // the line runs again when the function returns.
    const FunctionLevelWatch watch(*this);
    const int c1 = topLevelComma(w, 3);
    TWordStatus start;
    EvaluateRange(w, 3, c1 < 0 ? w.last : c1 - 1, start);
    if (failed() || watch.steppedIn())
        return;
    if (!isNumeric(start)) {
        RaiseMessage(57);
        return;
    }
    if (c1 < 0) {
        RaiseMessage(58);
        return;
    }
    const int c2 = topLevelComma(w, c1 + 1);
    TWordStatus limit;
    EvaluateRange(w, c1 + 1, c2 < 0 ? w.last : c2 - 1, limit);
    if (failed() || watch.steppedIn())
        return;
    if (!isNumeric(limit)) {
        RaiseMessage(59);
        return;
    }
    double step = 1;
    if (c2 >= 0 && c2 < w.last) {
        TWordStatus stepWord;
        EvaluateRange(w, c2 + 1, w.last, stepWord);
        if (failed() || watch.steppedIn())
            return;
        if (!isNumeric(stepWord)) {
            RaiseMessage(60);
            return;
        }
        step = stepWord.float_val;
    }
    for (int d = 0; d <= BlockDepth; ++d) {
        if (BlockStack[static_cast<size_t>(d)].LoopIndex == vi + 1) {
            RaiseMessage(61, {Variables.at(vi).VarName});
            return;
        }
    }
    Tvariable &v = Variables[vi];
    SetVariableText(v, start);
    // The loop variable holds a number from here on, whatever it held before.
    v.kind = start.kind;
    LastAssignedVariable = vi + 1;
    const int s = sign(step);
    if (s * limit.float_val >= s * start.float_val) {
        TBlockLevel level;
        level.nLine = CurrentLine;
        level.indent = lineIndent(CurrentLine) + 2;
        level.pt = pt_For;
        level.LoopIndex = vi + 1;
        level.LoopLimit = static_cast<std::int32_t>(
            std::clamp(RoundHalfEven(limit.float_val), -2147483648.0, 2147483647.0));
        level.LoopIncrement =
            static_cast<std::int32_t>(std::clamp(RoundHalfEven(step), -2147483648.0, 2147483647.0));
        pushBlock(level);
    }
    FindNextLine(false, false);
}

void Interpreter::IfStatement(const WordList &w)
{
    TWordStatus cond;
    const FunctionLevelWatch watch(*this);
    if (w.last >= 1)
        EvaluateRange(w, 1, w.last, cond);
    if (failed() || watch.steppedIn())
        return; // an error, or a function stepped into: the line runs again

    if (w.last < 1 || cond.kind != wkBool) {
        RaiseMessage(54);
        return;
    }
    enterIf(cond.bool_val);
}

void Interpreter::enterIf(bool yes)
{
    const int header = CurrentLine;
    const int headerIndent = lineIndent(header);
    int elseLine = 0;
    for (int j = header + 1; j < ScriptLines.size(); ++j) {
        const int ind = lineIndent(j);
        if (ind == -1 || ind > headerIndent)
            continue;
        if (ind == headerIndent && lineInfo(j).elseLine)
            elseLine = j;
        break;
    }
    if (yes) {
        TBlockLevel level;
        level.nLine = header;
        level.nELSE = elseLine;
        level.indent = headerIndent + 2;
        level.pt = pt_If;
        pushBlock(level);
    } else if (elseLine > 0) {
        CurrentLine = elseLine;
        TBlockLevel level;
        level.nLine = elseLine;
        level.nELSE = elseLine;
        level.indent = lineIndent(elseLine) + 2;
        level.pt = pt_ElseIf;
        pushBlock(level);
    }
    FindNextLine(false, false);
}

void Interpreter::FindNextLine(bool continueRequest, bool continueStatement)
{
    const int n = static_cast<int>(ScriptLines.size());
    for (;;) {
        if (!continueRequest) {
            const int b = BlockStack[static_cast<size_t>(BlockDepth)].indent;
            for (int j = CurrentLine + 1; j < n; ++j) {
                const int ind = lineIndent(j);
                if (ind == -1)
                    continue;
                if (ind % 2 != 0) {
                    RaiseMessage(26, {ind, j});
                    return;
                }
                if (ind > b)
                    continue;
                if (ind == b) {
                    CurrentLine = j;
                    return;
                }
                break;
            }
        }
        if (continueStatement) {
            const TProcessingType pt = BlockStack[static_cast<size_t>(BlockDepth)].pt;
            if (pt != pt_If && pt != pt_ElseIf) {
                RaiseMessage(97, {QStringLiteral("continue")});
                return;
            }
            popBlock();
        }
        TBlockLevel &level = BlockStack[static_cast<size_t>(BlockDepth)];
        switch (level.pt) {
        case pt_For: {
            Tvariable &v = Variables[level.LoopIndex - 1];
            const ParsedNumber value = VariableNumber(v);
            const int s = sign(level.LoopIncrement);
            // In floating point: -1 * -2147483648 does not fit an int.
            const double limit = level.LoopLimit;
            if (!value.ok() || s * limit + 0.0001 < s * value.value) {
                RaiseMessage(68, {v.text()});
                return;
            }
            const double next = RoundHalfEven(value.value + level.LoopIncrement);
            if (s * limit < s * next) {
                CurrentLine = level.nLine;
                popBlock();
                continueRequest = false;
                continueStatement = false;
                continue;
            }
            if (NumberTextIsExact(next))
                v.setNumberOfText(next); // what SetVariableNumber keeps of it
            else
                v.setText(QString::number(static_cast<qint64>(next)));
            CurrentLine = level.nLine + 1;
            return;
        }
        case pt_Repeat:
            CurrentLine = level.nLine + 1;
            return;
        case pt_If:
        case pt_ElseIf:
            if (level.nELSE > CurrentLine)
                CurrentLine = level.nELSE;
            popBlock();
            continue;
        case pt_ScriptFunction:
            RaiseMessage(69, {QStringLiteral("Script Function")});
            return;
        default:
            CurrentLine = n;
            return;
        }
    }
}

} // namespace tesmora
