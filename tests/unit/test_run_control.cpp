#include "script_host.h"

#include <gtest/gtest.h>

using namespace tesmora;
using tesmora::test::ScriptRun;

namespace {
QString firstLine(const QString &error)
{
    return error.section(QLatin1Char('\r'), 0, 0);
}

const QStringList kAreaScript = {"y = Area(3, 4)",        "z = y + 1",      "stop",
                                 "function Area(_w, _h)", "  _p = _w * _h", "  return _p"};
} // namespace

TEST(ScriptFunctions, RunModeParametersAndReturn)
{
    ScriptRun r(kAreaScript);
    r.start();
    EXPECT_TRUE(r.host.errors.isEmpty()) << r.error().toStdString();
    EXPECT_EQ(r.var("y"), "12");
    EXPECT_EQ(r.var("z"), "13");
    // The locals are gone after RETURN.
    EXPECT_EQ(r.in.variables().size(), 2);
    EXPECT_EQ(r.in.currentFunctionLevel(), 0);
    EXPECT_EQ(r.in.blockDepth(), 0);

    ScriptRun swap({"x = 1", "y = 2", "Swap(x, y)", "stop", "function Swap(var _a, var _b)", "  _t = _a",
                    "  _a = _b", "  _b = _t", "  return"});
    swap.start();
    EXPECT_TRUE(swap.host.errors.isEmpty()) << swap.error().toStdString();
    EXPECT_EQ(swap.var("x"), "2");
    EXPECT_EQ(swap.var("y"), "1");

    ScriptRun byValue({"x = 1", "Swap(x, 3)", "stop", "function Swap(var _a, var _b)", "  return"});
    byValue.start();
    EXPECT_EQ(byValue.error(), "Error in formal parameters of script function \"swap\".\r\rLine 1.");

    ScriptRun formal({"x = f(1)", "stop", "function f(w)", "  return w"});
    formal.start();
    EXPECT_TRUE(firstLine(formal.error()).startsWith("Invalid formal parameters identifier \"w\"."));

    ScriptRun count({"x = f(1, 2)", "stop", "function f(_a)", "  return _a"});
    count.start();
    EXPECT_EQ(firstLine(count.error()), "The number of formal and actual parameters does not match.");
    ScriptRun fewer({"x = f()", "stop", "function f(_a)", "  return _a"});
    fewer.start();
    EXPECT_EQ(firstLine(fewer.error()), "The number of formal and actual parameters does not match.");
    // Under TRY a call that cannot bind its parameters never enters the
    // function: the run goes on with the next line at the caller's level,
    // and an empty argument of that call is not seen by a later, shorter
    // call.
    ScriptRun tried(
        {"try x = f(, 3)", "e = Error", "try y = f(7)", "z = 1", "stop", "function f(_a, _b)", "  return _b"},
        {}, RunLimits{10'000, 0});
    tried.start();
    EXPECT_TRUE(tried.host.errors.isEmpty()) << tried.error().toStdString();
    EXPECT_EQ(tried.var("e"), "The number of formal and actual parameters does not match.\r\rLine 0. Line=0");
    EXPECT_EQ(tried.var("Error"),
              "The number of formal and actual parameters does not match.\r\rLine 2. Line=2");
    EXPECT_EQ(tried.var("z"), "1");
    EXPECT_EQ(tried.in.currentFunctionLevel(), 0);
    EXPECT_EQ(tried.in.blockDepth(), 0);
    EXPECT_EQ(tried.in.FindVariable("_a"), -1);

    ScriptRun inner(
        {"x = f(g(1))", "stop", "function f(_a)", "  return _a", "function g(_a)", "  return _a"});
    inner.start();
    EXPECT_EQ(firstLine(inner.error()),
              "The parameters of the script function \"f\" cannot contain another script function \"g(1)\".");
    ScriptRun viaVar({"t = g(1)", "x = f(t)", "stop", "function f(_a)", "  return _a + 1", "function g(_a)",
                      "  return _a * 5"});
    viaVar.start();
    EXPECT_EQ(viaVar.var("x"), "6");

    ScriptRun noReturn({"x = f()", "stop", "function f()", "  _a = 1"});
    noReturn.start();
    EXPECT_EQ(firstLine(noReturn.error()), "Error in the \"Script Function\" structure.");
    ScriptRun mainReturn({"return 1", "stop"});
    mainReturn.start();
    EXPECT_EQ(firstLine(mainReturn.error()), "Incorrect exit out of script function.");
    ScriptRun global({"x = f()", "stop", "function f()", "  g = 1", "  return 1"});
    global.start();
    EXPECT_TRUE(firstLine(global.error()).startsWith("It is forbidden to create a global variable \"g\""));
    // A global that exists may be assigned inside a function.
    ScriptRun known({"g = 0", "x = f()", "stop", "function f()", "  g = 7", "  return 1"});
    known.start();
    EXPECT_EQ(known.var("g"), "7");
}

TEST(ScriptFunctions, RecursionAndNameMatching)
{
    ScriptRun fact({"x = Fact(10)", "stop", "function Fact(_n)", "  if _n <= 1", "    return 1",
                    "  _r = Fact(_n - 1)", "  return _n * _r"});
    fact.start();
    EXPECT_TRUE(fact.host.errors.isEmpty()) << fact.error().toStdString();
    EXPECT_EQ(fact.var("x"), "3628800");

    // Deep recursion ends at the block-stack limit with an error, not a crash.
    ScriptRun deep({"x = Down(200)", "stop", "function Down(_n)", "  if _n = 0", "    return 0",
                    "  _r = Down(_n - 1)", "  return _r"});
    deep.start();
    EXPECT_TRUE(deep.error().contains("100"));

    // A function whose name ends like another one runs its own body.
    ScriptRun names({"x = f(1)", "stop", "function af(_a)", "  return 100", "function f(_a)", "  return 1"});
    names.start();
    EXPECT_EQ(names.var("x"), "1");
    ScriptRun missing({"x = f(1)", "stop", "function (_a)", "  return 1"});
    missing.in.setScriptFunctions(missing.in.scriptFunctionNames() + QStringList{"F"},
                                  missing.in.scriptFunctionHeaders());
    missing.start();
    EXPECT_EQ(firstLine(missing.error()), "Function name \"f\" was'n found in script text.");
}

TEST(RunControl, StepModeEntersFunctionsAndReexecutesTheCall)
{
    ScriptRun r(kAreaScript);
    r.step();
    EXPECT_EQ(r.in.currentLine(), 4); // inside the body
    EXPECT_EQ(r.in.runState(), rn_Step);
    EXPECT_EQ(r.in.currentFunctionLevel(), 1);
    EXPECT_EQ(r.var("_w"), "3");
    EXPECT_EQ(r.var("y"), "");
    r.step();
    EXPECT_EQ(r.in.currentLine(), 5);
    r.step(); // RETURN: the calling line runs again with the value
    EXPECT_EQ(r.in.currentLine(), 1);
    EXPECT_EQ(r.var("y"), "12");
    EXPECT_EQ(r.in.currentFunctionLevel(), 0);
    r.step();
    EXPECT_EQ(r.var("z"), "13");
    EXPECT_EQ(r.in.currentLine(), 2);
    // Step on the stop line executes STOP.
    r.step();
    EXPECT_EQ(r.in.runState(), rn_Stopped);
    EXPECT_EQ(r.in.currentLine(), 2);
    EXPECT_TRUE(r.host.errors.isEmpty());
}

TEST(RunControl, StepOverAndContinueFromInsideAFunction)
{
    ScriptRun over(kAreaScript);
    over.in.A_StepOverExecute();
    EXPECT_EQ(over.in.currentLine(), 1);
    EXPECT_EQ(over.var("y"), "12");
    EXPECT_EQ(over.in.runState(), rn_Stopped);
    EXPECT_TRUE(over.host.errors.isEmpty());

    ScriptRun cont(kAreaScript);
    cont.step(); // into Area
    cont.in.A_Continue_runExecute();
    EXPECT_TRUE(cont.host.errors.isEmpty()) << cont.error().toStdString();
    EXPECT_EQ(cont.var("y"), "12");
    EXPECT_EQ(cont.var("z"), "13");
    EXPECT_EQ(cont.in.currentLine(), 2);
    EXPECT_EQ(cont.in.currentFunctionLevel(), 0);
    // Start switches fast mode on, Continue off.
    EXPECT_FALSE(cont.in.fastMode());
    cont.start();
    EXPECT_TRUE(cont.in.fastMode());
}

TEST(RunControl, StopsErrorsBreakpointsAndPause)
{
    // A script that ends normally: asterisk at the end of the run and at Pause.
    ScriptRun ok({"x = 1", "y = 2", "stop"});
    ok.start();
    EXPECT_EQ(ok.host.sounds, QStringList({"asterisk", "asterisk"}));
    EXPECT_EQ(ok.in.currentLine(), 2);
    EXPECT_EQ(ok.in.runState(), rn_Stopped);
    // Start on a script whose first line is stop executes nothing.
    ScriptRun first({"stop", "x = 1"});
    first.start();
    EXPECT_EQ(first.in.variables().size(), 0);
    EXPECT_EQ(first.in.executedLines(), 0);
    // An error: the box and the error sound.
    ScriptRun bad({"x = 1", "y = q", "z = 3", "stop"});
    bad.start();
    EXPECT_EQ(bad.host.errors, QStringList({"Unrecognised identifier \"q\".\r\rLine 1."}));
    EXPECT_TRUE(bad.host.sounds.contains("hand"));
    EXPECT_EQ(bad.in.currentLine(), 1);
    EXPECT_EQ(bad.var("x"), "1");
    // A breakpoint stops the run before its line; Continue executes it.
    ScriptRun bp({"x = 1", "y = 2", "z = 3", "stop"});
    bp.host.breakpoints.insert(1);
    bp.start();
    EXPECT_EQ(bp.in.currentLine(), 1);
    EXPECT_EQ(bp.var("y"), "");
    bp.host.breakpoints.clear();
    bp.in.A_Continue_runExecute();
    EXPECT_EQ(bp.var("z"), "3");
    EXPECT_EQ(bp.in.currentLine(), 3);
    // A line beginning with "stop" ends the run before it is executed.
    ScriptRun watch({"x = 1", "stopwatch = 1", "y = 2", "stop"});
    watch.start();
    EXPECT_EQ(watch.in.currentLine(), 1);
    EXPECT_EQ(watch.var("stopwatch"), "");
    // STOP inside the program.
    ScriptRun stopStmt({"x = 1", "if x = 1", "  STOP", "y = 2", "stop"});
    stopStmt.start();
    EXPECT_EQ(stopStmt.in.currentLine(), 2);
    EXPECT_EQ(stopStmt.var("y"), "");
    // The Pause key: one more line runs before the run stops.
    ScriptRun key({"n = 0", "repeat", "  n = n + 1", "stop"});
    key.host.pauseKey = true;
    key.start();
    EXPECT_EQ(key.in.runState(), rn_Stopped);
    EXPECT_EQ(key.in.executedLines(), 2);
}

TEST(RunControl, ResetAtLineZeroAndCloseAfterRun)
{
    ScriptRun r({"x = 1", "stop"});
    r.in.SetVariable("old", "1", wkFloat);
    r.in.updateSettings([&](ProgramSettings &s) { s.cmdLineParams = QStringList({"script.txt", "a b"}); });
    r.start();
    EXPECT_EQ(r.var("old"), "");
    ASSERT_EQ(r.in.arrays().count(), 1);
    EXPECT_EQ(r.in.arrays().at(1).name, "cmdLineParams");
    EXPECT_EQ(r.in.arrays().at(1).count, 2);

    struct Closing : tesmora::test::ScriptHost {
        int closed = 0;
        void closeMainWindowAfter(int ms) override
        {
            EXPECT_EQ(ms, 2000);
            ++closed;
        }
    };
    Closing host;
    Interpreter in({.host = &host});
    in.setScriptLines({"x = 1", "stop"});
    in.PrepareScript();
    in.requestCloseAfterRun();
    in.A_StartExecute(RunSender::StartTimer);
    EXPECT_EQ(host.closed, 1);
    in.setScriptLines({"x = q", "stop"});
    in.PrepareScript();
    in.A_StartExecute(RunSender::StartTimer);
    EXPECT_EQ(host.closed, 1);
}

TEST(RunControl, PauseDuringARunTakesEffectAfterOneMoreLine)
{
    ScriptRun r({"n = 0", "repeat", "  n = n + 1", "stop"}, {}, {.maxLines = 20});
    r.host.pauseTarget = &r.in;
    r.host.pauseAtEvents = 1; // the first event processing of the run
    r.start();
    EXPECT_EQ(r.in.runState(), rn_Stopped);
    EXPECT_EQ(r.in.executedLines(), 1);
    // The line ran once more, but a statement does not complete once the run
    // is stopped: it stays the current line and runs again on Continue.
    EXPECT_EQ(r.var("n"), "");
    EXPECT_EQ(r.in.currentLine(), 0);
    // Continue goes on from where the run stopped, up to the line limit.
    r.host.pauseTarget = nullptr;
    r.in.A_Continue_runExecute();
    EXPECT_EQ(r.error(), "Run stopped after 20 executed lines.");
}

TEST(ScriptFunctions, ArrayParametersAndArrayResults)
{
    ScriptRun r({"array a[3]float=(1,2,3)", "s = Sum(a)", "b = Make(2)", "Double(a)", "c = a[3]", "stop",
                 "function Sum(_x)", "  _x[1] = 100", "  return _x[1] + _x[2] + _x[3]", "function Make(_n)",
                 "  array _r[_n]int=(5,6)", "  return _r", "function Double(var _v)", "  for _i = 1, 3",
                 "    _v[_i] = _v[_i] * 2", "  return"});
    r.start();
    ASSERT_TRUE(r.host.errors.isEmpty()) << r.error().toStdString();
    // By value: the function's changes stay inside it.
    EXPECT_EQ(r.var("s"), "105");
    // By reference: the caller's array changes.
    EXPECT_EQ(r.var("c"), "6");
    const int b = r.in.FindArray("b");
    ASSERT_GT(b, 0);
    EXPECT_EQ(r.in.arrays().at(b).data_type, wkInt);
    EXPECT_EQ(r.in.arrays().at(b).count, 2);
    // Only the main program's arrays remain (no parameters: no cmdLineParams).
    EXPECT_EQ(r.in.arrays().count(), 2);
}

TEST(RunControl, TemporaryArraysDoNotPileUpInLoops)
{
    // Each pass makes two temporary arguments; more than 25 arrays at a time
    // would be refused.
    ScriptRun r({"for i = 1, 40", "  k = Matrix_Sum(Array2(1,2), Array2(i,4))", "x = k[1]", "stop"});
    r.start();
    ASSERT_TRUE(r.host.errors.isEmpty()) << r.error().toStdString();
    EXPECT_EQ(r.var("x"), "41");
    // A temporary of the calling line survives while a function it calls runs.
    ScriptRun f({"k = Matrix_Sum(Array2(1,2), Make(5))", "x = k[1]", "stop", "function Make(_a)",
                 "  for _i = 1, 3", "    _t = Array2(_i, _i)", "  return Array2(_a, _a)"});
    f.start();
    ASSERT_TRUE(f.host.errors.isEmpty()) << f.error().toStdString();
    EXPECT_EQ(f.var("x"), "6");
    ScriptRun s(f.in.scriptLines());
    for (int i = 0; i < 12; ++i) {
        s.step();
        if (s.in.runState() == rn_Stopped)
            break;
    }
    EXPECT_TRUE(s.host.errors.isEmpty()) << s.error().toStdString();
    EXPECT_EQ(s.var("x"), "6");
}

// In step mode every kind of statement that calls a script function stops
// where the function's body begins and runs again, with the value, after
// RETURN; a value-less result is then reported as in run mode.
TEST(RunControl, EveryStatementStepsIntoAFunctionAndResumes)
{
    const QStringList function = {"stop", "function F(_a)", "  _b = _a + 1", "  return _b"};
    const struct {
        QStringList lines;
        const char *variable;
        const char *value;
    } cases[] = {
        {QStringList{"Sleep(F(-1))", "x = 1"} + function, "x", "1"},
        {QStringList{"TRY y = F(2)"} + function, "y", "3"},
        {QStringList{"array A[2]float", "A[1] = F(3)", "x = A[1]"} + function, "x", "4"},
        {QStringList{"array A[F(1)]float", "x = Array_Length(A)"} + function, "x", "2"},
        {QStringList{"repeat", "  breakif F(0) > 0", "x = 5"} + function, "x", "5"},
    };
    for (const auto &c : cases) {
        ScriptRun r(c.lines);
        const int header = static_cast<int>(c.lines.indexOf("function F(_a)"));
        for (int guard = 0; guard < 20 && r.in.currentFunctionLevel() == 0; ++guard)
            r.step();
        const std::string script = c.lines.join(" | ").toStdString();
        EXPECT_EQ(r.in.currentLine(), header + 1) << script; // the first line of the body
        r.step();
        EXPECT_EQ(r.in.currentLine(), header + 2) << script;
        for (int guard = 0; guard < 20 && r.in.runState() != rn_Stopped; ++guard)
            r.step();
        EXPECT_TRUE(r.host.errors.isEmpty()) << script << ": " << r.error().toStdString();
        EXPECT_EQ(r.var(c.variable), c.value) << script;
    }

    ScriptRun valueless({"x = G()", "stop", "function G()", "  return"});
    valueless.step();
    EXPECT_EQ(valueless.in.currentLine(), 3);
    valueless.step();
    EXPECT_EQ(firstLine(valueless.error()),
              "The right side of the assignment operator does not contain any value.");
}

namespace {
// The variables of a run as "name=value" lines, in table order.
QStringList variableTexts(const ScriptRun &r)
{
    QStringList out;
    for (const Tvariable &v : r.in.variables())
        out << v.VarName + "=" + v.text();
    return out;
}
// Step until the run stops (at most `limit` steps).
void stepToTheEnd(ScriptRun &r, int limit = 60)
{
    for (int i = 0; i < limit; ++i) {
        r.step();
        if (r.in.runState() == rn_Stopped)
            return;
    }
}
} // namespace

// A line with several script-function calls gives under Step, under Step
// over and after a stop inside one of its calls what Start gives: built-in
// calls before a script call are not made again (the random sequence after
// the line is the same), and Step over finishes a line in one step.
TEST(RunControl, LinesWithSeveralCallsGiveStartsResultsWhateverTheStepping)
{
    const QStringList script = {"count = 0",                          // 0
                                "r = Random(1000) + Inc(1) + Inc(2)", // 1
                                "after = Random(1000)",               // 2
                                "y = count + Inc(5) * count",         // 3
                                "z = 1",                              // 4
                                "stop",                               // 5
                                "function Inc(_a)",                   // 6
                                "  count = count + 1",                // 7
                                "  RETURN _a + count"};               // 8
    ScriptRun started(script);
    started.in.seedRandom(7);
    started.start();
    ASSERT_TRUE(started.host.errors.isEmpty()) << started.error().toStdString();
    const QStringList expected = variableTexts(started);
    EXPECT_EQ(started.var("count"), "3");
    EXPECT_EQ(started.var("y"), "18"); // 2 + 8 * 2: both reads of count before the call

    ScriptRun stepped(script);
    stepped.in.seedRandom(7);
    stepToTheEnd(stepped);
    EXPECT_TRUE(stepped.host.errors.isEmpty()) << stepped.error().toStdString();
    EXPECT_EQ(variableTexts(stepped), expected);

    // Step over every line, also the ones inside the calls.
    ScriptRun over(script);
    over.in.seedRandom(7);
    over.step(); // count = 0
    over.in.A_StepOverExecute();
    EXPECT_EQ(over.in.currentLine(), 2);
    over.step(); // after = ...
    over.step(); // into Inc(5)
    ASSERT_EQ(over.in.currentLine(), 7);
    over.in.A_StepOverExecute();
    EXPECT_EQ(over.in.currentLine(), 8);
    // RETURN: the calling line finishes in the same step.
    over.in.A_StepOverExecute();
    EXPECT_EQ(over.in.currentLine(), 4);
    over.in.A_StepOverExecute();
    EXPECT_EQ(over.in.currentLine(), 5);
    EXPECT_TRUE(over.host.errors.isEmpty()) << over.error().toStdString();
    EXPECT_EQ(variableTexts(over), expected);

    // Start stops at a breakpoint inside the first call of line 1; Step on
    // from there.
    ScriptRun held(script);
    held.in.seedRandom(7);
    held.host.breakpoints = {8};
    held.start();
    ASSERT_EQ(held.in.currentLine(), 8);
    ASSERT_EQ(held.in.currentFunctionLevel(), 1);
    held.host.breakpoints.clear();
    stepToTheEnd(held);
    EXPECT_TRUE(held.host.errors.isEmpty()) << held.error().toStdString();
    EXPECT_EQ(variableTexts(held), expected);
}

// A line that assigns a script function's result runs without being split
// from its third run on. Stopped inside such a call (a breakpoint reached in
// a later pass), the line must run again from what it had read when the
// function returns: Continue and Step both finish the run as Start does,
// each call made once.
TEST(RunControl, CallLinesStoppedInsideResumeFromWhatTheyRead)
{
    const QStringList script = {"s = 0",                // 0
                                "n = 0",                // 1
                                "for i = 1, 6",         // 2
                                "  s = Add(s * 2, i)",  // 3
                                "u = s",                // 4
                                "stop",                 // 5
                                "function Add(_a, _b)", // 6
                                "  n = n + 1",          // 7
                                "  _c = _a + _b",       // 8
                                "  return _c"};         // 9
    ScriptRun started(script);
    started.start();
    ASSERT_TRUE(started.host.errors.isEmpty()) << started.error().toStdString();
    EXPECT_EQ(started.var("s"), "120");
    EXPECT_EQ(started.var("n"), "6");
    const QStringList expected = variableTexts(started);

    // The run asks about line 9 after lines 8 and 9 of every call: the
    // seventh ask comes before the RETURN of the fourth call, the eighth
    // after it (a breakpoint set on the RETURN while it ran: the run stops
    // with the value kept for the caller).
    for (const int ask : {7, 8}) {
        for (const bool stepOn : {false, true}) {
            ScriptRun held(script);
            held.host.lateBreakpoint = 9;
            held.host.lateBreakpointFrom = ask;
            held.start();
            ASSERT_EQ(held.in.currentLine(), 9);
            ASSERT_EQ(held.in.currentFunctionLevel(), 1);
            EXPECT_EQ(held.var("_a"), ask == 7 ? "22" : "");
            EXPECT_EQ(held.var("n"), "4");
            held.host.lateBreakpoint = -1;
            if (stepOn)
                stepToTheEnd(held);
            else
                held.in.A_Continue_runExecute();
            EXPECT_TRUE(held.host.errors.isEmpty()) << held.error().toStdString();
            EXPECT_EQ(variableTexts(held), expected) << ask << (stepOn ? " step" : " continue");
        }
    }
}

// A fast run takes learnt lines (plain assignments, conditions, returns and
// calls of script functions) by a shorter way than Continue, which leaves
// fast mode and takes every line the general way. Cut by the limit of
// executed lines after any line, both stop at the same line with the same
// variables and the same message, and a breakpoint reached in a later pass
// stops both alike.
TEST(RunControl, FastRunsCountAndStopAsContinueDoes)
{
    const QStringList script = {"s = 0",                  // 0
                                "for i = 1, 4",           // 1
                                "  s = Twice(s + i, i)",  // 2
                                "  if s > 20",            // 3
                                "    s = s - 7",          // 4
                                "r = Fib(4)",             // 5
                                "stop",                   // 6
                                "function Twice(_a, _b)", // 7
                                "  _c = _a * 2 - _b",     // 8
                                "  return _c",            // 9
                                "function Fib(_n)",       // 10
                                "  if _n < 2",            // 11
                                "    return _n",          // 12
                                "  _x = Fib(_n - 1)",     // 13
                                "  return _x + Fib(_n - 2)"};
    ScriptRun whole(script);
    whole.start();
    ASSERT_TRUE(whole.host.errors.isEmpty()) << whole.error().toStdString();
    EXPECT_EQ(whole.var("s"), "19");
    EXPECT_EQ(whole.var("r"), "3");
    const qint64 total = whole.in.executedLines();
    for (qint64 limit = 1; limit <= total; ++limit) {
        RunLimits limits;
        limits.maxLines = limit;
        ScriptRun fast(script, {}, limits);
        fast.start();
        ScriptRun slow(script, {}, limits);
        slow.in.A_Continue_runExecute();
        EXPECT_EQ(fast.in.executedLines(), limit);
        EXPECT_EQ(fast.in.currentLine(), slow.in.currentLine()) << limit;
        EXPECT_EQ(fast.error(), slow.error()) << limit;
        EXPECT_EQ(variableTexts(fast), variableTexts(slow)) << limit;
    }
    for (const int ask : {1, 3, 6}) {
        ScriptRun fast(script);
        fast.host.lateBreakpoint = 9;
        fast.host.lateBreakpointFrom = ask;
        fast.start();
        ScriptRun slow(script);
        slow.host.lateBreakpoint = 9;
        slow.host.lateBreakpointFrom = ask;
        slow.in.A_Continue_runExecute();
        ASSERT_EQ(fast.in.currentLine(), 9) << ask;
        EXPECT_EQ(slow.in.currentLine(), 9) << ask;
        EXPECT_EQ(variableTexts(fast), variableTexts(slow)) << ask;
        EXPECT_EQ(fast.in.executedLines(), slow.in.executedLines()) << ask;
    }
}
