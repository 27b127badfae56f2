#include "core/brackets.h"
#include "script_host.h"

#include <gtest/gtest.h>

using namespace tesmora;
using tesmora::test::ScriptRun;

namespace {

WordList words(ScriptRun &r, const QString &text)
{
    WordList w;
    r.in.SplitWords(text, w);
    EXPECT_TRUE(r.in.errorText().isEmpty()) << text.toStdString();
    return w;
}

} // namespace

// Scans over texts, over word lists, and the calls and references built on them.
TEST(Brackets, TextsWordListsAndCalls)
{
    // Texts: quoted parts hide brackets and commas; the other quote character
    // inside a quoted part is plain text.
    const QString call = QStringLiteral("f('a)b', (1, \"x)\"), [2], \"it's\")");
    EXPECT_EQ(matchingBracket(call, 1), call.size() - 1);
    EXPECT_EQ(matchingBracket(call, 9), call.indexOf(QStringLiteral("\")")) + 1);
    EXPECT_EQ(matchingBracket(call, call.indexOf('[')), call.indexOf(']'));
    bool quoteOpen = true;
    EXPECT_EQ(matchingBracket(QStringLiteral("f((1)"), 1, &quoteOpen), -1);
    EXPECT_FALSE(quoteOpen);
    EXPECT_EQ(matchingBracket(QStringLiteral("f('a)"), 1, &quoteOpen), -1);
    EXPECT_TRUE(quoteOpen);
    EXPECT_EQ(indexOutsideQuotes(QStringLiteral("a ',' \"]\" b, c"), 0, u",]"), 11);
    EXPECT_EQ(indexOutsideQuotes(QStringLiteral("a ','"), 0, u","), -1);

    ScriptRun r({"stop"});
    // Word lists: ( 1 , 2 ) , [ 3 , 4 ] , 'x,y' , c
    const WordList list = words(r, QStringLiteral("(1, 2), [3, 4], 'x,y', c"));
    ASSERT_EQ(list.last, 14);
    EXPECT_EQ(topLevelComma(list, 0), 5);
    EXPECT_EQ(topLevelComma(list, 6), 11);
    EXPECT_EQ(topLevelComma(list, 12), 13);
    EXPECT_EQ(topLevelComma(list, 14), -1);
    EXPECT_EQ(matchingBracketWord(list, 0), 4);
    EXPECT_EQ(matchingBracketWord(list, 10), 6);
    // An unopened ")" hides the later commas from the argument split, while
    // an index run passes over it; an unopened "]" ends the run.
    const WordList stray = words(r, QStringLiteral("1), 2]"));
    EXPECT_EQ(topLevelComma(stray, 0), -1);
    EXPECT_EQ(indexRunEnd(stray, 0, false), 2);
    EXPECT_EQ(indexRunEnd(stray, 3, false), 4);
    EXPECT_EQ(indexRunEnd(words(r, QStringLiteral("(1")), 0, false), 2);
    // Index runs: nested references and groups stay in one run; ".." ends a
    // run only where ranges are allowed.
    const WordList runs = words(r, QStringLiteral("1..2, B[1, 2], (3, 4)] + 1"));
    EXPECT_EQ(indexRunEnd(runs, 0, true), 1);
    EXPECT_EQ(indexRunEnd(runs, 0, false), 3);
    EXPECT_EQ(indexRunEnd(runs, 4, false), 10);
    EXPECT_EQ(indexRunEnd(runs, 11, false), 16);
    // A string word that is a lone quote suspends the count of a power's
    // operand scan, so the bracket before it has no match.
    const WordList quoted = words(r, QStringLiteral("( \"'\" + ( 1 ) )"));
    EXPECT_EQ(matchingBracketWord(quoted, 3), 5);
    EXPECT_EQ(matchingBracketWord(quoted, 0), -1);
    EXPECT_EQ(matchingBracketWord(words(r, QStringLiteral("( ( 1 )")), 0), -1);

    // The same scans in statements: arguments holding brackets and commas
    // in strings, element references with calls inside, nested indices.
    ScriptRun run({"array A[3]float = (10, 20, 30)", "array I[2]float = (3, 1)",
                   "n = LenStr('a,(b]') + Pos(',', 'x,y')", "s = SubStr('(a,b)', A[I[2]] / 10 + 1, 2)",
                   "m = A[I[Pos(')', '(,)') - 1]] + A[LenStr('[,]')]", "for k = Pos(',', ',,'), A[1] / 5, 2",
                   "  t = k", "stop"});
    run.start();
    EXPECT_TRUE(run.host.errors.isEmpty()) << run.error().toStdString();
    EXPECT_EQ(run.var("n"), "7");
    EXPECT_EQ(run.var("s"), "a,");
    EXPECT_EQ(run.var("m"), "40");
    EXPECT_EQ(run.var("t"), "1");

    ScriptRun unbalanced({"x = LenStr('a'", "stop"});
    unbalanced.start();
    EXPECT_FALSE(unbalanced.host.errors.isEmpty());
    ScriptRun openIndex({"array A[3]float", "x = A[1 + 1", "stop"});
    openIndex.start();
    EXPECT_TRUE(openIndex.error().startsWith("Bracket mismatch.")) << openIndex.error().toStdString();
}
