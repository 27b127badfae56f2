// The split and line caches never serve words or statements made for a
// script that has since changed.
#include "core/interpreter.h"
#include "script_host.h"

#include <gtest/gtest.h>

using namespace tesmora;
using namespace tesmora::test;

TEST(ScriptCaches, ReplacedFunctionListsAndScriptsAreSplitAgain)
{
    // A script function shadowing a built-in, then renamed: the same line text
    // must reach the built-in on the next run, although the new function list
    // has the same length (its buffer may well be the same one).
    ScriptRun r({"x = Trim(' a ')", "stop", "function Trim(_s)", "  return 'mine'"});
    r.start();
    EXPECT_EQ(r.var("x"), "mine");
    r.in.setScriptLines({"x = Trim(' a ')", "stop", "function Trim2(_s)", "  return 'mine'"});
    r.in.PrepareScript();
    r.start();
    EXPECT_EQ(r.error(), "");
    EXPECT_EQ(r.var("x"), "a");

    // Another script with the same number of functions, of other names.
    r.in.setScriptLines({"y = Twice(4)", "stop", "function Twice(_n)", "  return _n * 2"});
    r.in.PrepareScript();
    r.start();
    EXPECT_EQ(r.var("y"), "8");
    r.in.setScriptLines({"y = Twice(4)", "stop", "function Thrice(_n)", "  return _n * 3"});
    r.in.PrepareScript();
    r.start();
    EXPECT_TRUE(r.error().startsWith("Unrecognised function \"Twice\".")) << r.error().toStdString();

    // A new constant list splits cached texts again.
    ScriptRun c({"k = clRed", "stop"});
    c.start();
    EXPECT_EQ(c.var("k"), "2113791");
    c.in.setConstantList({"clRed = 7"});
    c.start();
    EXPECT_EQ(c.var("k"), "7");
}

TEST(ScriptCaches, EditingOnlyAContinuationLineChangesTheStatement)
{
    ScriptRun r({"y = 1", "# between", "> + 2", "stop"});
    r.start();
    EXPECT_EQ(r.var("y"), "3");
    // The first line of the statement is untouched; only its continuation changes.
    QStringList edited = r.in.scriptLines();
    edited[2] = "> + 5";
    r.in.setScriptLines(edited);
    r.start();
    EXPECT_EQ(r.var("y"), "6");
    // A line after the statement that becomes a continuation joins it too.
    r.in.setScriptLines({"y = 1", "z = 0", "stop"});
    r.start();
    EXPECT_EQ(r.var("y"), "1");
    edited = r.in.scriptLines();
    edited[1] = "> + 9";
    r.in.setScriptLines(edited);
    r.start();
    EXPECT_EQ(r.var("y"), "10");
}

TEST(ScriptCaches, RecursionReusesEntriesWithEachLevelsVariables)
{
    // Every level of the recursion splits the same texts; a cached split must
    // still address the locals of the level that runs it.
    ScriptRun r({"f = Fact(10)", "s = Sum(0, 30)", "stop", "function Fact(_n)", "  _r = 1", "  if _n > 1",
                 "    _r = _n * Fact(_n - 1)", "  return _r", "function Sum(_a, _b)", "  _m = _a",
                 "  if _b > _a", "    _m = _a + Sum(_a + 1, _b)", "  return _m"});
    r.start();
    EXPECT_EQ(r.error(), "");
    EXPECT_EQ(r.var("f"), "3628800");
    EXPECT_EQ(r.var("s"), "465");
}

TEST(ScriptCaches, FullSplitCacheEvictsTheOldestEntries)
{
    SplitCache cache(8);
    WordList words;
    words.last = 0;
    words.w[0].setText(QStringLiteral("w"));
    EXPECT_EQ(cache.find(QStringLiteral("t0"), 5), nullptr); // adopts generation 5
    for (int i = 0; i < 9; ++i)
        cache.insert(QStringLiteral("t%1").arg(i), words, {});
    EXPECT_EQ(cache.find(QStringLiteral("t0"), 5), nullptr);
    EXPECT_EQ(cache.find(QStringLiteral("t1"), 5), nullptr);
    for (int i = 2; i < 9; ++i)
        EXPECT_NE(cache.find(QStringLiteral("t%1").arg(i), 5), nullptr) << i;
    const SplitCache::Entry *e = cache.find(QStringLiteral("t8"), 5);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->words.size(), 1u); // only the used words are kept
    // Another generation empties it.
    EXPECT_EQ(cache.find(QStringLiteral("t8"), 6), nullptr);
    EXPECT_EQ(cache.size(), 0);
}

TEST(ScriptCaches, NamesOfAFunctionResolveInEachCallAndDepth)
{
    // The same function lines run at two depths, with a local that exists
    // in some calls only, parameters bound from variables and changed in the
    // call: each call must read its own variables and no one else's.
    ScriptRun r({"Error = ''", // TRY in a function reports into an existing global
                 "r = 0", "n = 0", "for k = 1, 4", "  r = r + Pick(k, n)", "  n = n + 0.5", "stop",
                 "function Pick(_k, _m)", "  if _k % 2 = 0", "    _e = _k * 100", "  try _m = _e + _m",
                 "  _m = _m + 1", "  if _k < 3", "    _m = _m + Pick(_k + 2, _m)", "  return _m"});
    r.start();
    EXPECT_EQ(r.error(), "");
    // Without _e the TRY line stores 0: Pick(3, m) = 1, Pick(1, 0) = 1 +
    // Pick(3, 1) = 2; Pick(2, 0.5) = 201.5 + Pick(4, 201.5) = 201.5 + 602.5;
    // Pick(4, 1.5) = 402.5.
    EXPECT_EQ(r.var("r"), "1209.5");
    EXPECT_EQ(r.var("n"), "2");
    EXPECT_EQ(r.var("k"), "4");
}

TEST(ScriptCaches, RememberedNamesAndNumbersFollowEveryChange)
{
    // The same lines run before and after their names exist, at two function
    // levels, and with variables written by every kind of statement: each
    // read must see the variable and the number its text says now.
    ScriptRun r({"t = 0",
                 "a = 0",
                 "for k = 1, 3",
                 "  try u = v + 1",
                 "  if k = 2",
                 "    v = k * 10",
                 "for i = 1, 3",
                 "  try y = x + 1",
                 "  x = i * 10",
                 "  a = a + 1",
                 "  a = sqrt(49 * i * i)",
                 "  b = a * 2",
                 "  t = t + Twice(b)",
                 "  i = i + 0",
                 "s = 0",
                 "c = 0",
                 "z = 0",
                 "for k = 1, 2",
                 "  s = 0.1 + 0.2",
                 "  c = (s - 0.3) * 1000000000 * 100000000",
                 "  z = 0 * -1",
                 "  try w = 1 / z",
                 "stop",
                 "function Twice(_v)",
                 "  x = _v",
                 "  _w = _v + _v",
                 "  return _w"});
    r.start();
    EXPECT_EQ(r.error(), "");
    // v appears in the second pass, after the TRY line has run.
    EXPECT_EQ(r.var("u"), "21");
    // Pass 1: x does not exist yet (the TRY catches it); later passes read
    // the x that the function set globally in the pass before.
    EXPECT_EQ(r.var("y"), "29"); // x = 28 from Twice(28) in the second pass
    EXPECT_EQ(r.var("x"), "42");
    EXPECT_EQ(r.var("a"), "21");
    EXPECT_EQ(r.var("b"), "42");
    EXPECT_EQ(r.var("t"), "168"); // 2 * (14 + 28 + 42)
    // A number is the one its text shows: "0.3" and "0", not the exact
    // binary result (0.30000000000000004, -0) the text was made from, also
    // when the lines run again the short way (their variables exist).
    EXPECT_EQ(r.var("s"), "0.3");
    EXPECT_EQ(r.var("c"), "0");
    EXPECT_EQ(r.var("z"), "0");
    // 1 / +0 is reported (1 / -0 would be -INF, no error).
    EXPECT_EQ(r.var("w"), "0");
    EXPECT_TRUE(r.var("Error").startsWith("Devision by zero")) << r.var("Error").toStdString();
}

TEST(ScriptCaches, CallersKeepTheirNamesAndCalleesResolveTheirOwnAgain)
{
    // The caller's lines keep what their names resolved to across the calls
    // they make (a call's own variables come last and go when it returns).
    // The function makes the same number of locals in every call, in another
    // order in every other one: each line must read the variables of the
    // call it runs in.
    ScriptRun r({"g = 5", "s = 0", "for k = 1, 6", "  s = s + Mix(k)", "  t = s + k", "stop",
                 "function Mix(_k)", "  if _k % 2 = 1", "    _x = _k", "    _y = 1", "  else", "    _y = 2",
                 "    _x = _k", "  return _x * 100 + _y * 10 + g"});
    r.start();
    EXPECT_EQ(r.error(), "");
    // Odd k: 100k + 15, even k: 100k + 25.
    EXPECT_EQ(r.var("s"), "2220");
    EXPECT_EQ(r.var("t"), "2226");
    EXPECT_EQ(r.var("g"), "5");
}

TEST(ScriptCaches, TextsJoinedInPlaceKeepTheLengthLimit)
{
    // A line that joins a text to its own variable does it in place once it
    // is learnt; a text may still reach the limit exactly and not pass it.
    ScriptRun r({"big = 'ab'", "for i = 1, 24", "  big = big + big", "piece = SubStr(big, 1, 16445565)",
                 "for i = 1, 5", "  big = big + piece", "  piece = 'z'", "stop"});
    r.start();
    EXPECT_TRUE(
        r.error().startsWith("The string is too long: a string may hold at most 50000000 characters."))
        << r.error().toStdString();
    EXPECT_EQ(r.in.currentLine(), 5);
    EXPECT_EQ(r.var("i"), "5");
    EXPECT_EQ(r.var("big").size(), 50'000'000);
    EXPECT_TRUE(r.var("big").endsWith("bazzz"));
}

TEST(ScriptCaches, ElementLinesFindEachCallsOwnArrays)
{
    // The same element lines run in every call of a recursive function,
    // each call with a local array of its own size, and read a global one:
    // after the deeper calls return, a caller's line must find its own
    // array again, not the one a deeper call declared and dropped.
    ScriptRun r({"array a[3]float = (1, 2, 3)", "s = 0", "for k = 1, 3", "  s = s + Sum(k)", "stop",
                 "function Sum(_n)", "  array _t[_n]float", "  for _i = 1, _n",
                 "    _t[_i] = _i * 10 + a[_i]", "  _r = 0", "  for _i = 1, _n", "    _r = _r + _t[_i]",
                 "  if _n > 1", "    _r = _r + Sum(_n - 1)", "  _r = _r + _t[_n] * 1000", "  return _r"});
    r.start();
    EXPECT_EQ(r.error(), "");
    // Sum(n) = 11 n (n + 1) / 2 + Sum(n - 1) + 11000 n: 11011, 33044,
    // 66110.
    EXPECT_EQ(r.var("s"), "110165");
}
