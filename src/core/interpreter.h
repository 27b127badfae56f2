// The interpreter state: one object per program run, passed explicitly.
#pragma once

#include "ports/executors.h"
#include "ports/host.h"
#include "ports/interpreter_services.h"
#include "ports/javascript_engine.h"
#include "ports/media.h"
#include "message_catalogue.h"
#include "run_state.h"
#include "script_caches.h"
#include "ports/words.h"
#include "library/arrays.h"

#include <QHash>
#include <QVarLengthArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <random>
#include <stdexcept>
#include <utility>
#include <vector>

namespace tesmora {

// A failure of the runtime inside a line (a conversion, a range, an integer
// remainder by zero). Run control turns it into an error with its own text.
struct FunctionDescriptor;
class FunctionCall;

struct RuntimeFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Who started a run: decides fast mode and the Step bookkeeping.
enum class RunSender { StartAction, StepAction, StepOverAction, ContinueAction, StartTimer, MainWindow };

constexpr int kMaxScriptLines = 1000;
// Evaluations nest through function calls in arguments, array indices and
// script functions called in run mode; each level takes stack, so their depth
// is bounded well inside the 8 MiB stack of the user-interface thread.
constexpr int kMaxEvaluationDepth = 250;
// The longest string a script may build (message 360 beyond it).
constexpr qsizetype kMaxStringLength = 50'000'000;

// Limits of every run, set by the program that builds the interpreter (the
// runner's --max-lines and --max-seconds; tests and the fuzzer).
struct RunLimits {
    // > 0: a run ends with an error after that many executed lines.
    qint64 maxLines = 0;
    // > 0: the moment (ms since the epoch) after which a run ends, also in
    // the middle of a JavaScript evaluation.
    qint64 deadline = 0;
};

// The settings of a program, given at construction and changed as a whole
// through applySettings.
struct ProgramSettings {
    // The program folder, ending in "/".
    QString programFolder;
    // 0 English, 1 Russian: the catalogue column and every caption.
    int language = 0;
    // Parameters of the program (script name first), declared as the string
    // array cmdLineParams at the start of every run when not empty.
    QStringList cmdLineParams;
    // The current script file name as loaded (shown in the caption).
    QString scriptFileName;
    // Working mode (the editor read-only, errors shown in a box) rather than
    // edit mode.
    bool workMode = false;
};

struct ConstantInfo {
    int line = -1; // -1: not found
    QString name;
    QString value;
};

class Interpreter : private InterpreterRunState {
    // Storage of the lists whose replacement changes how texts split; written
    // only through setScriptFunctions and setConstantList below.
    QStringList scriptFunctionNames_;
    QStringList scriptFunctionHeaders_;
    QStringList constantList_;
    std::uint64_t scriptGeneration_ = 1;

    // The settings; the member functions reach them by these names.
    ProgramSettings settings_;
    QString &ProgramFolder{settings_.programFolder};
    int &Language{settings_.language};
    QStringList &cmdLineParams{settings_.cmdLineParams};
    QString &ScriptFileName{settings_.scriptFileName};
    bool &WorkMode{settings_.workMode};

    // ---- State (read through the accessors below) ------------------------
    QStringList ScriptLines;
    std::array<int, kMaxScriptLines + 1> LineIndent{};
    std::array<int, kMaxScriptLines + 1> LineStart{};
    // Read-only views; see setScriptFunctions and setConstantList.
    const QStringList &ScriptFunctionNames{scriptFunctionNames_};
    const QStringList &ScriptFunctionHeaders{scriptFunctionHeaders_};
    const QStringList &ConstantList{constantList_};

    // ---- Run control state ------------------------------------------------
    bool CloseAfterRun = false;
    bool FastMode = false;
    qint64 RunStartTime = 0; // ms since the epoch
    qint64 RunStopTime = 0;  // when the last run ended (ms since the epoch)
    // Every execution of a line counts (see RunLimits::maxLines).
    qint64 ExecutedLines = 0;
    // Evaluations in progress, one inside another (at most kMaxEvaluationDepth).
    int EvaluationDepth = 0;

  public:
    class ScratchList; // a word list borrowed from a pool (below)

    explicit Interpreter(const InterpreterServices &services = {}, const RunLimits &limits = {},
                         const ProgramSettings &settings = {});
    Interpreter(const Interpreter &) = delete;
    Interpreter &operator=(const Interpreter &) = delete;

    // The services are fixed for the interpreter's life.
    Host &host() { return *host_; }
    const InterpreterServices &services() const { return services_; }
    const RunLimits &runLimits() const { return limits_; }

    // True while a click handler runs (see RunClickHandler).
    bool HandlerRunning() const { return handlerRunning_; }
    // True once the deadline of the run limits has passed.
    bool pastDeadline() const;

    // Set by the built-in Exit (RequestExit): the run has ended and the
    // program closes through its normal close path.
    bool exitRequested() const { return exitRequested_; }

    // ---- Settings ---------------------------------------------------------
    const ProgramSettings &settings() const { return settings_; }
    void applySettings(const ProgramSettings &settings) { settings_ = settings; }
    // Changes some of the settings: `change` edits a copy, applied as a whole.
    template <class Change> void updateSettings(Change &&change)
    {
        ProgramSettings changed = settings_;
        change(changed);
        applySettings(changed);
    }
    const QString &programFolder() const { return settings_.programFolder; }
    int language() const { return settings_.language; }
    const QString &scriptFileName() const { return settings_.scriptFileName; }
    bool workMode() const { return settings_.workMode; }

    // ---- Script and run state (read) ----------------------------------------
    const QStringList &scriptLines() const { return ScriptLines; }
    // LineStart of line j: the offset of the line in the editor's text.
    int lineStart(int j) const
    {
        return j >= 0 && j <= kMaxScriptLines ? LineStart[static_cast<size_t>(j)] : 0;
    }
    int currentLine() const { return CurrentLine; }
    const QList<Tvariable> &variables() const { return Variables; }
    // Display positions of the variables, one per variable; the variables
    // view fills them.
    const QList<int> &variableOrder() const { return VariableOrder; }
    const std::array<TBlockLevel, kMaxBlockLevel + 1> &blockStack() const { return BlockStack; }
    int blockDepth() const { return BlockDepth; }
    int currentFunctionLevel() const { return CurrentFunctionLevel; }
    const QString &errorText() const { return ErrorText; }
    bool tryMode() const { return TryMode; }
    std::uint8_t runState() const { return RunState; }
    bool running() const { return RunState == rn_Run || RunState == rn_Continue; }
    // 1-based index of the variable assigned last (0: none).
    int lastAssignedVariable() const { return LastAssignedVariable; }
    const QStringList &scriptFunctionNames() const { return scriptFunctionNames_; }
    const QStringList &scriptFunctionHeaders() const { return scriptFunctionHeaders_; }
    const QStringList &constantList() const { return constantList_; }
    // The script arrays, a table of their own owned by the interpreter.
    ArrayTable &arrays() { return Arrays; }
    const ArrayTable &arrays() const { return Arrays; }
    // What the line being executed has read and called so far (see LineRecord).
    LineRecord &lineValues() { return LineValues; }
    bool fastMode() const { return FastMode; }
    bool closesAfterRun() const { return CloseAfterRun; }
    qint64 runStartTime() const { return RunStartTime; }
    qint64 executedLines() const { return ExecutedLines; }

    // ---- Messages and errors -------------------------------------------
    QString MessageText(int id, const MessageArgs &args = {}) const;
    void ShowMessageById(int id, const MessageArgs &args = {});
    QString TranslatePhrase(const QString &englishText) const;
    // target := message + CR CR + "Line N."
    void RaiseError(const QString &message, QString &target);
    void RaiseError(const QString &message) { RaiseError(message, ErrorText); }
    void RaiseMessage(int id, const MessageArgs &args = {}) { RaiseError(MessageText(id, args)); }
    // A failure caught around a line or a built-in: a failed allocation is
    // message 363, any other failure keeps its own text.
    void RaiseFailure(const std::exception &e);
    bool failed() const { return !ErrorText.isEmpty(); }
    void ShowError();
    // Hands over (and clears) the pending error.
    QString takeError() { return std::exchange(ErrorText, QString()); }
    // Makes `text` the pending error as it stands, with no line appended
    // (an error taken with takeError put back; empty clears it).
    void setPendingError(const QString &text) { ErrorText = text; }

    // ---- Variables and constants --------------------------------------
    int FindVariable(const QString &name) const;
    // FindVariable of a variable word's name, sparing the search when the
    // index the word was split with still names it.
    int variableOfWord(const TWordStatus &word) const;
    // A variable of function level `level` is named `name` (any letter case).
    bool hasVariableAtLevel(const QString &name, int level) const;
    int SetVariable(const QString &name, const QString &text, TWordKind kind, int level = -1);
    QString GetVariableText(const QString &name) const;
    // The variables view shows variable `index` (0-based) as assigned last.
    void noteAssignment(int index) { LastAssignedVariable = index + 1; }
    void setVariableOrder(const QList<int> &order) { VariableOrder = order; }
    ConstantInfo Constant_Lookup(const QString &name) const;
    // The numeric value of a constant's value text.
    static double constantValue(const QString &valueText);
    int FindArray(const QString &name) const { return Arrays.FindArray(name, CurrentFunctionLevel); }

    // ---- Script identity --------------------------------------------------
    // Every replacement of the script text, its function list or the constant
    // list goes through these; each starts a new script generation, on which
    // the split and line caches are keyed.
    void setScriptLines(const QStringList &lines);
    void setScriptFunctions(const QStringList &names, const QStringList &headers);
    void setConstantList(const QStringList &lines);
    std::uint64_t scriptGeneration() const { return scriptGeneration_; }

    // ---- Random numbers -------------------------------------------------
    // One generator per interpreter, seeded from the clock when a number is
    // first drawn unless seedRandom chose the sequence (tests do).
    std::mt19937_64 &randomGenerator();
    void seedRandom(std::uint64_t seed);

    // ---- Preparation ----------------------------------------------------
    void LoadScript(const QString &fileName);
    void ExpandIncludes();
    void PrepareScript();
    void ComputeIndents();
    void ComputeLineStarts();
    static QString StripComment(const QString &line);
    QString JoinContinuationLines() const;
    // The path an INCLUDE name (upper-cased) refers to.
    QString includePath(const QString &name) const;
    // The text of a file split into lines (encoding by byte-order mark, else
    // UTF-8 or the legacy code page the bytes were written in). A file that
    // is not text leaves `lines` untouched.
    enum class FileRead { Read, Unreadable, NotText };
    static FileRead readScriptFile(const QString &path, QStringList &lines);

    // ---- Words ----------------------------------------------------------
    void NextWord(const QString &text, int &position, TWordStatus &word);
    void SplitWords(const QString &text, WordList &words);
    void RewritePowers(WordList &words, int priority);

    // ---- Evaluation -----------------------------------------------------
    // Reduces words[0..words.last] to one value word (empty when the
    // expression is empty or the evaluation stopped). The list is not changed.
    void EvaluateWords(const WordList &words, TWordStatus &result);
    // Evaluates words[from..to] as a word list of its own.
    void EvaluateRange(const WordList &words, int from, int to, TWordStatus &result);
    // The same by the reduction passes alone, without the direct evaluation
    // of simple ranges and of reduced lists that EvaluateRange uses (the two
    // must agree); evaluations inside it (arguments of calls) are as usual.
    void EvaluateRangeByPasses(const WordList &words, int from, int to, TWordStatus &result);
    // Splits and evaluates a text.
    void EvaluateText(const QString &text, TWordStatus &result);
    // One reduction round over words[start..end] (the evaluator's passes);
    // false when the evaluation must stop.
    bool ReduceRange(WordList &words, int start, int &end);
    // Runs the function a function word calls; `value` receives its result.
    void CallFunctionWord(const TWordStatus &word, TWordStatus &value);
    // The parts of a call text "name(arguments)", taken apart once per text.
    struct CallShape {
        bool split = false; // it has a "(" with no "=" before it
        QString name;       // before the "(", trimmed (empty unless split)
        QString argText;    // between the brackets, trimmed
        QString lowerName;  // as messages and the header lookup name it
        // The built-in the name stands for in each table (null: none), and
        // of the embedded one whether it takes its arguments by name and its
        // implementation: looked up once per call text.
        const FunctionDescriptor *embedded = nullptr;
        const FunctionDescriptor *graph = nullptr;
        const FunctionDescriptor *dialog = nullptr;
        bool argumentsByName = false;
        void (*embeddedFn)(FunctionCall &) = nullptr;
    };
    // The call itself, once its arguments are ready.
    void executeFunctionWord(const TWordStatus &word, const CallShape &shape, QString &name, WordList &args,
                             TWordStatus &value);
    // Evaluates the arguments of a call, split by its shape.
    void PrepareCallParameters(const CallShape &shape, bool scriptFunction, QString &name, ScratchList &args);
    // One argument, words[from..to], into `out`; false when the preparation
    // stops (an error, or a script function stepped into).
    bool prepareArgument(const WordList &words, int from, int to, bool byName, const QString &name,
                         TWordStatus &out);
    // Ends the argument list after its prepared arguments: the first word of
    // no kind (an empty argument) ends it.
    static void endArguments(WordList &args);
    // The arguments of a call whose argument text was split before, when
    // each is a simple range: computed from the split's own words, as
    // prepareArgument would compute them (simple_expressions.cpp). False,
    // with nothing recorded, otherwise.
    bool prepareSimpleArguments(const QString &argText, ScratchList &argList);
    // The arguments read into `a` from `words`, whose variable words resolve
    // through `variableDep` and `found`, recorded as prepareArgument records
    // them; false, with nothing recorded, when one is not simple this time.
    bool computeArguments(const SimpleArguments &a, const std::vector<TWordStatus> &words,
                          const std::vector<std::int8_t> &variableDep, const int *found,
                          ScratchList &argList);
    // Checks the arguments against the Formula of built-in `d` (nothing to
    // check when null); `name` becomes its name. Returns the return type text.
    QString CheckCallParameters(const FunctionDescriptor *d, QString &name, WordList &args);
    void ExecuteEmbeddedFunction(void (*fn)(FunctionCall &), const QString &name, WordList &args,
                                 TWordStatus &result);
    void CallJavaScriptFunction(int funcIndex, const QString &name, WordList &args, TWordStatus &result);
    // Runs a source on the JavaScript engine; false, with the error raised,
    // when there is no engine, the source fails or it was interrupted (Pause,
    // closing the window, the run's deadline).
    bool RunJavaScript(const QString &source, QString &value);
    // A prepared call; `source` writes its source text when the engine asks.
    bool RunJavaScript(const JavaScriptCall &call, QString &value,
                       const std::function<QString()> &source = {});
    // JavaScriptExpression of JavaScript row `row` with `count` arguments,
    // made once.
    const QString &javaScriptExpression(int row, int count);

    // ---- Statements and script functions ------------------------------------
    // Executes the statement at CurrentLine; returns the kind of its first word.
    TWordKind ExecuteLine() { return ExecuteLine(LineRecord()); }
    // The same, taking what `resume` recorded before reading or calling anew
    // (the calling line of a script function that has returned).
    TWordKind ExecuteLine(LineRecord resume);
    // Calls a script function. In run mode the body runs here and `result`
    // receives the value of its RETURN. In step mode the call only opens the
    // function's level (CurrentFunctionLevel rises by one, CurrentLine moves
    // to the body) and returns without a value: the statement that called it
    // must stop at once, and it runs again after the RETURN, taking what it
    // had read and called, and the returned value, from the line record kept
    // in the level. A FunctionLevelWatch tells a caller which of the two
    // happened.
    void CallScriptFunction(const QString &callText, WordList &args, TWordStatus &result);
    // The same, with the function's lower-cased name known (a name that
    // stays as it is while the function runs).
    void CallScriptFunction(const QString &callText, const QString &name, WordList &args,
                            TWordStatus &result);
    // One evaluation level deeper for the lifetime of the object: calls nest
    // evaluations (arguments, indices, script functions in run mode).
    class DeeperEvaluation {
      public:
        explicit DeeperEvaluation(Interpreter &in) : depth_(++in.EvaluationDepth) {}
        ~DeeperEvaluation() { --depth_; }
        DeeperEvaluation(const DeeperEvaluation &) = delete;
        DeeperEvaluation &operator=(const DeeperEvaluation &) = delete;

      private:
        int &depth_;
    };
    // Taken before an evaluation: afterwards, steppedIn() tells whether it
    // stepped into a script function (and so must end the statement).
    class FunctionLevelWatch {
      public:
        explicit FunctionLevelWatch(const Interpreter &in) : in_(in), level_(in.CurrentFunctionLevel) {}
        bool steppedIn() const { return in_.CurrentFunctionLevel != level_; }

      private:
        const Interpreter &in_;
        int level_;
    };
    // Where a run stands. A click handler runs as a call from there; restoring
    // the position afterwards closes the blocks, locals and arrays the
    // handler left open (it may end in an error or at a stop line), so the
    // run can go on as if the click had not happened.
    struct RunPosition {
        int line = 0;
        int blockDepth = 0;
        int functionLevel = 0;
        std::uint8_t runState = rn_Stopped;
        bool tryMode = false;
    };
    RunPosition SaveRunPosition() const;
    void RestoreRunPosition(const RunPosition &position);
    // Closes the blocks above `blockDepth` and the locals and arrays of the
    // function levels above `functionLevel`.
    void closeLevelsAbove(int blockDepth, int functionLevel);
    // Runs the script function `functionName` as a click handler: a call
    // without arguments from where the run stands (or stood), after which the
    // run goes on from there. An error of the handler is shown, not kept.
    void RunClickHandler(const QString &functionName);
    void BindParameter(const QString &functionName, const QString &formalName, const TWordStatus &actual,
                       bool byReference);
    void FinishReturn();

    // ---- Arrays ---------------------------------------------------------
    void DeclareArray(const WordList &words);
    void LoadArrayValues(int n, const QString &listText);
    // Flat position of the element referenced at words[nameIdx]; false on error.
    bool LocateElement(const WordList &words, int nameIdx, int &flatPos, int &arrayNo, int &closeIdx);
    void AssignArrayElement(const WordList &words);
    // Replaces the element reference at words[nameIdx] by one value word.
    void ReadArrayElement(WordList &words, int nameIdx);
    void DeleteArray(int n) { Arrays.DeleteArray(n); }
    // Declares an array from a declaration text; returns its table number (0 on error).
    int CreateArrayFromText(const QString &declaration);
    void AssignArrayResult(const QString &targetName, const QString &sourceName);
    void BindArrayParameter(const QString &formalName, const QString &actualName, bool byReference,
                            const QString &functionName);
    // Releases the arrays of the current level; returns the temporary name
    // under which the returned array (named `returnedName`) continues, or "".
    QString ReleaseFunctionArrays(const QString &returnedName);
    // Removes the temporary arrays of function level `fromLevel` and deeper.
    void DeleteTemporaryArrays(int fromLevel = 0);
    void ResetArrays();
    // "tARR" + counter (incremented) + time "hhnnsszzz".
    QString NewTemporaryArrayName();

    // ---- Run control ----------------------------------------------------
    // A value copy of the whole run state (run_state_snapshot.cpp); restoring
    // it puts the run back exactly where it stood. `previous`, when given,
    // lends its array cells that have not changed since.
    RunStateSnapshot captureState(const RunStateSnapshot *previous = nullptr) const;
    void restoreState(const RunStateSnapshot &snapshot);
    void RunOneLine();
    void A_StepExecute(RunSender sender);
    // A line learnt as simple, run without the general layers while a fast
    // run goes on; false (nothing done) for any other line.
    bool runLearntLine(RunSender sender);
    // What every executed line ends with: its error shown, a breakpoint or
    // stop line after it stopping the run, the window told.
    void afterLine(RunSender sender);
    void RunLoop(int startLine, RunSender sender);
    void A_StartExecute(RunSender sender = RunSender::StartAction);
    void A_Continue_runExecute(RunSender sender = RunSender::ContinueAction);
    void A_StepOverExecute();
    void a_FastExecute();
    void A_PauseExecute();
    // Stops the run after the current line, with no sound or window change
    // (a Check answered with stop).
    void StopRun() { RunState = rn_Stopped; }
    // Moves the point of execution to `line` without running anything (the
    // learner's choice in the editor, a new script, the line an error of the
    // editor's own is reported on).
    void moveToLine(int line) { CurrentLine = line; }
    // Names are looked up and created at script-function level `level`,
    // without a call (tools and tests that work on one level).
    void setFunctionLevel(int level) { CurrentFunctionLevel = level; }
    // A run that ends normally at its stop line closes the program (the /R
    // switch); Step and Continue cancel it.
    void requestCloseAfterRun() { CloseAfterRun = true; }
    // The current run counts its time from `at` (ms since the epoch); every
    // run loop starts the clock at its own start.
    void startRunClock(qint64 at) { RunStartTime = at; }
    // Stops the run for good and asks the host to close the program (Exit).
    void RequestExit();
    // Ends any run completely: no open blocks or function levels, no returned
    // block, no pending Step over, no variables or arrays, stopped at line 0.
    // A new or reloaded script starts from here.
    void ResetRun();
    // The length of the current run, or of the last one once it has ended
    // (0 before the first run).
    qint64 RunElapsedMs(qint64 now) const;

    // ---- Work between lines ----------------------------------------------
    // Work that arrives while lines are being executed (a click on the
    // canvas, delivered inside event processing, possibly in the middle of a
    // line) waits in a queue: run control drains it between lines and when
    // a run ends, so the interpreter is never re-entered within a line.
    bool LinesRunning() const { return runLoopDepth_ > 0; }
    void QueueBetweenLines(std::function<void()> work) { betweenLines_.push_back(std::move(work)); }
    void DrainBetweenLines();

    // LineIndent of line j (also past the table, for texts grown at run start).
    int lineIndent(int j) const
    {
        if (j >= 0 && j <= kMaxScriptLines)
            return LineIndent[static_cast<size_t>(j)];
        return indentPastTable(j);
    }

    using LineInfo = tesmora::LineInfo;
    const LineInfo &lineInfo(int i) const { return lineTable_.get(ScriptLines, i, scriptGeneration_); }

  private:
    int indentPastTable(int j) const;
    void splitUncached(const QString &text, WordList &words);
    // The variable index of each name (-1: not a variable), or nullptr when
    // some name no longer resolves as it did when the text was split. Checked
    // once while the names in scope stay the same (namesKey).
    const int *resolveDeps(const QList<SplitCache::Dep> &deps, DepsMemo &memo) const;
    bool depsHold(const QList<SplitCache::Dep> &deps, int *found, int added) const;
    // `hint` if the name's variable is still there, else -1.
    int stillVariableAt(const QString &name, int hint) const;
    NamesKey namesKey() const
    {
        return {namesStamp_, Arrays.layout(), Variables.size(), CurrentFunctionLevel};
    }
    // Whether names resolve as they did under `key`: the same level, arrays
    // and count of variables, and none removed since from below that count.
    // A call's own variables are the last ones, so a line of the caller
    // keeps what it found across the calls it makes.
    bool namesHoldSince(const NamesKey &key) const
    {
        if (key.stamp < replacedAt_ || key.variables != Variables.size() ||
            key.level != CurrentFunctionLevel || key.arrays != Arrays.layout())
            return false;
        const auto n = static_cast<size_t>(key.variables);
        return n >= removedBelow_.size() || removedBelow_[n] <= key.stamp;
    }
    // Variables were removed or the whole run state replaced: names may
    // resolve differently although no count changed. Each removes or
    // replaces through one of these (after the removal).
    void variableRemovedAt(int i);
    void variablesReplaced();
    // A clock of removals: each one moves it on.
    std::uint64_t namesStamp_ = 1;
    // The stamp of the last replacement of all variables.
    std::uint64_t replacedAt_ = 1;
    // removedBelow_[n]: the stamp of the last removal of a variable at an
    // index below n (0: none).
    std::vector<std::uint64_t> removedBelow_;
    // Every global (level 0) variable stands before this index.
    int globalsEnd_ = 0;
    // FindVariable by a look at every variable, the reference for the
    // shorter searches.
    int findVariableByScan(const QString &name) const;
    SplitCache splitCache_;
    QList<SplitCache::Dep> *recordDeps_ = nullptr;
    mutable LineTable lineTable_;

    // `direct` false: by the reduction rounds alone (see EvaluateRangeByPasses).
    void evaluateOwned(WordList &w, TWordStatus &result, bool direct = true);
    // evaluateOwned of a copy of words[from..to].
    void evaluateCopy(const WordList &words, int from, int to, TWordStatus &result, bool direct);
    // Evaluates a simple range directly (simple_expressions.cpp); false,
    // with nothing changed, when the range is not one.
    bool evaluateSimple(const WordList &words, int from, int to, TWordStatus &result);
    // The same for a list whose names and calls have become values (the
    // first passes done): false, with nothing changed, when the reduction
    // rounds must reduce it.
    bool computeValueWords(const WordList &words, TWordStatus &result);
    // A line split into `w` that assigns a simple range to a variable is
    // kept in its line entry, to run as such the next times (runSimpleLine;
    // false, with nothing changed, when it cannot run so this time).
    void learnSimpleLine(const LineInfo &info, const WordList &w);
    // The current block is a function whose RETURN ran and whose caller has
    // not taken the value yet.
    bool returnKept() const
    {
        return CurrentLine > 0 && BlockStack[static_cast<size_t>(BlockDepth)].pt == pt_ReturnScriptFunction;
    }
    TWordKind runSimpleLine(const std::shared_ptr<const SimpleLine> &learnt);
    // A learnt "array[indices] = simple range"; wkNone (nothing done) where
    // the general way must run it.
    TWordKind runElementLine(const SimpleLine &line, const int *found);
    // A learnt "name = name + text" made by appending to the target's text;
    // false (nothing done) where the program must run.
    bool appendInPlace(const SimpleLine &line, const int *found, int target);
    // A line "name = F(arguments)" calling a script function with simple
    // arguments is learnt too: it runs without being split, its arguments
    // computed directly (true when the line has that shape, learnt or not).
    bool learnCallLine(const LineInfo &info, const WordList &w);
    // The built-in function that a learnt line computes itself (LenStr and
    // sqrt of one argument, pow of two), as a CallArgument's method; -1 for
    // any other.
    static int learntBuiltin(const CallShape &shape);
    TWordKind runCallLine(const SimpleLine &line, const int *found);
    bool appendCallArguments(SimpleLine &line, QVarLengthArray<CallArgument, 4> &calls);

  public:
    // A word list borrowed from a pool for the duration of one evaluation or
    // statement, so that hot paths do not build and destroy 100 words each time.
    class ScratchList {
      public:
        explicit ScratchList(Interpreter &in);
        ~ScratchList();
        ScratchList(const ScratchList &) = delete;
        ScratchList &operator=(const ScratchList &) = delete;
        WordList &operator*() { return *w_; }
        WordList *operator->() { return w_; }
        // Entries up to `i` may be filled past `last` (a call's arguments):
        // they are emptied too when the list goes back to the pool.
        void reach(int i) { reach_ = std::max(reach_, i); }

      private:
        Interpreter &in_;
        WordList *w_;
        int reach_ = -1;
    };

  private:
    std::vector<std::unique_ptr<WordList>> scratch_;
    size_t scratchUsed_ = 0;
    std::deque<std::function<void()>> betweenLines_;
    int runLoopDepth_ = 0;
    // When the run loops last looked at the window's events (eventClockNs).
    qint64 eventsSeenAt_ = 0;
    // An empty list with room, for the record of the next learnt call line.
    QList<TWordStatus> spareRecord_;
    // Expands INCLUDE blocks whose files appeared since preparation.
    void expandIncludesForRun();
    bool exitRequested_ = false;
    // No open blocks, function levels or returned block.
    void clearBlocks();
    void FindNextLine(bool continueRequest, bool continueStatement);
    // False when the value steps into a script function: the RETURN line
    // runs again when that function returns.
    bool ReturnStatement(const WordList &words);
    // The block depth of the innermost script function's level, or -1.
    int functionBlock() const;
    // The call at block depth d returns `value`: its blocks and locals go.
    void completeReturn(int d, const TWordStatus &value);
    // The line of the header of script function `name` (lower case), or
    // -1; functionHeaders_.formals then holds its formal list.
    int functionHeaderLine(const QString &name);
    QHash<int, QString> javaScriptExpressions_;
    const CallShape &callShape(const QString &callText);
    static void resolveBuiltins(CallShape &shape);
    QHash<QString, CallShape> callShapes_;
    struct FormalWord {
        bool comma = false;
        bool byReference = false; // the word "var"
        QString name;
    };
    struct FunctionHeaderCache {
        std::uint64_t generation = 0;
        qsizetype lineCount = -1;
        QHash<QString, int> lines;
        int formalsLine = -1;
        QString formals;
        bool formalWordsKnown = false;
        QList<FormalWord> formalWords;
    } functionHeaders_;
    // Binds the arguments of a call to the formals of the header just looked
    // up (functionHeaderLine) at the new function level; false on error.
    bool bindParameters(const QString &functionName, const WordList &args);
    // The words of that header's formal list (null when it does not split).
    const QList<FormalWord> *formalWords();
    // The function level at `depth` keeps what the calling line has read and
    // called so far, for the line's run after the RETURN.
    void keepCallerRecord(int depth);
    // Run mode: runs the body of the function opened at block `depth` up to
    // its RETURN, closes the level and gives the returned value.
    void runFunctionBody(int depth, TWordStatus &result);
    // Drops the leading TRY word, switches TryMode on and empties Error
    // (unless the line is resuming after a RETURN); false when Error cannot
    // be set.
    bool beginTry(WordList &words, bool resuming);
    // The statement in `words` by its shape, then by its first word; returns
    // the kind ExecuteLine reports.
    TWordKind executeStatement(const WordList &words, int indent, const QString &text);
    // The next line, unless the statement failed or stepped into a script
    // function (it then runs again after the function's RETURN).
    void nextLineUnlessSteppedIn(const FunctionLevelWatch &watch);
    void AssignmentStatement(const WordList &words);
    // The value of the words after "="; under TRY an error or a runtime
    // failure moves to TryErrorText and the value becomes 0.
    void evaluateAssignedValue(const WordList &words, TWordStatus &value);
    // The rest of an assignment once its value is known: the value is
    // checked, assigned to the target word's variable, and the run goes on
    // with the next line.
    void assignEvaluated(const TWordStatus &target, const TWordStatus &value);
    // An array value renames the array to the target; a simple value goes
    // into the target variable, created when new. False on error.
    bool assignValue(const TWordStatus &target, const TWordStatus &value);
    // REPEAT, BREAK, BREAKIF, CONTINUE and CONTINUEIF.
    void LoopStatement(const WordList &words, int indent);
    void ForStatement(const WordList &words);
    void IfStatement(const WordList &words);
    // The block of an IF line whose condition came to `yes`, or its ELSE.
    void enterIf(bool yes);
    // Index of the innermost FOR or REPEAT level, or -1.
    int findLoop() const;
    void leaveLoop(int loopLevel);
    void pushBlock(const TBlockLevel &level);
    void popBlock();
    void classifyIdentifier(const QString &text, int &position, int identStart, TWordStatus &word);
    InterpreterServices services_;
    RunLimits limits_;
    NullHost nullHost_;
    Host *host_;
};

// Work done for the learner outside the lines of a run (filling the click
// array, a pictogram's menu) may raise errors of its own. Meanwhile the
// run's pending error is set aside; it is back when this ends. takeError
// hands over (and clears) the error the work raised so far.
class ErrorSetAside {
  public:
    explicit ErrorSetAside(Interpreter &in) : in_(in), saved_(in.takeError()) {}
    ~ErrorSetAside() { in_.setPendingError(saved_); }
    ErrorSetAside(const ErrorSetAside &) = delete;
    ErrorSetAside &operator=(const ErrorSetAside &) = delete;
    QString takeError() { return in_.takeError(); }

  private:
    Interpreter &in_;
    QString saved_;
};

// Graphics constants (rotation codes and colour names), in their fixed order.
const QStringList &graphicsConstantLines();

} // namespace tesmora
