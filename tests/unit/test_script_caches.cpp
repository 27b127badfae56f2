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
    words.w[0].str = QStringLiteral("w");
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
