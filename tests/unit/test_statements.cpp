#include "script_host.h"

#include <gtest/gtest.h>

using namespace tesmora;
using tesmora::test::ScriptRun;

namespace {
QString firstLine(const QString &error)
{
    return error.section(QLatin1Char('\r'), 0, 0);
}
} // namespace

TEST(Statements, AssignmentRules)
{
    {
        ScriptRun r({"x = 1.50", "y = x + 0", "z = 1/3", "s = 'a'", "b = 1 < 2", "X = x", "stop"});
        r.start();
        EXPECT_TRUE(r.host.errors.isEmpty());
        EXPECT_EQ(r.var("x"), "1.50");
        EXPECT_EQ(r.var("y"), "1.5");
        EXPECT_EQ(r.var("z"), "0.333333333333333");
        EXPECT_EQ(r.kind("s"), wkString);
        EXPECT_EQ(r.kind("b"), wkBool);
        EXPECT_EQ(r.in.variables().size(), 5);
    }
    {
        ScriptRun r({"PI = 3", "stop"});
        r.start();
        EXPECT_EQ(r.error(), "Constant \"PI\" cannot be assigned to.\r\rLine 0.");
    }
    {
        ScriptRun r({"x = Sleep2()", "stop"});
        r.start();
        EXPECT_TRUE(r.error().startsWith("Unrecognised function"));
    }
    {
        ScriptRun r({"x", "stop"});
        r.start();
        EXPECT_EQ(r.error(), "Incorrect use of variable \"x\".\r\rLine 0.");
        ScriptRun r2({"y = 1", "y", "stop"});
        r2.start();
        EXPECT_EQ(r2.error(), "Incorrect use of variable \"y\".\r\rLine 1.");
        ScriptRun r3({"foo(1)", "stop"});
        r3.start();
        EXPECT_EQ(r3.error(), "Unknown function name \"foo\".\r\rLine 0.");
        ScriptRun r4({"q[1] = 2", "stop"});
        r4.start();
        EXPECT_EQ(r4.error(), "Identifier \"q\" is not described as an array.\r\rLine 0.");
        ScriptRun r5({"x = 1", "x = 1 +", "stop"});
        r5.start();
        EXPECT_EQ(firstLine(r5.error()), "Expression parsing error.");
        ScriptRun r6({"else", "stop"});
        r6.start();
        EXPECT_EQ(r6.error(), "Incorrect expression in string: else\r\rLine 0.");
    }
    {
        // An operator alone on the right side is not a value.
        ScriptRun r({"x = +", "stop"});
        r.start();
        EXPECT_EQ(firstLine(r.error()),
                  "Invalid expression \"+\" in the right part of the assignment operator.");
    }
}

TEST(Statements, TryCapturesAssignmentErrors)
{
    ScriptRun r(
        {"TRY x = 1/0", "e1 = Error", "try y = q + 1", "e2 = Error", "TRY z = 2", "e3 = Error", "stop"});
    r.start();
    EXPECT_TRUE(r.host.errors.isEmpty()) << r.error().toStdString();
    EXPECT_EQ(r.var("x"), "0");
    EXPECT_EQ(r.var("e1"), "Devision by zero. Line=0");
    EXPECT_EQ(r.var("y"), "0");
    EXPECT_EQ(r.var("e2"), "Unrecognised identifier \"q\".\r\rLine 2. Line=2");
    EXPECT_EQ(r.var("e3"), "");
    EXPECT_EQ(r.kind("Error"), wkString);

    // TRY before a statement that is not an assignment captures nothing.
    ScriptRun r2({"TRY foo", "stop"});
    r2.start();
    EXPECT_EQ(r2.error(), "Incorrect use of variable \"foo\".\r\rLine 0.");
    // A runtime failure under TRY is captured as well.
    ScriptRun r3({"TRY x = 6.0 & 3", "stop"});
    r3.start();
    EXPECT_TRUE(r3.host.errors.isEmpty());
    EXPECT_EQ(r3.var("x"), "0");
    EXPECT_TRUE(r3.var("Error").endsWith(" Line=0"));
}

TEST(Statements, ForLoops)
{
    auto loop = [](const QString &header) {
        auto *r = new ScriptRun({"n = 0", header, "  n = n + 1", "stop"});
        r->start();
        return r;
    };
    std::unique_ptr<ScriptRun> r(loop("for i = 1, 3"));
    EXPECT_EQ(r->var("n"), "3");
    EXPECT_EQ(r->var("i"), "3");
    r.reset(loop("FOR i = 3, 1"));
    EXPECT_EQ(r->var("n"), "0");
    EXPECT_EQ(r->var("i"), "3");
    r.reset(loop("for i = 3, 1, -1"));
    EXPECT_EQ(r->var("n"), "3");
    EXPECT_EQ(r->var("i"), "1");
    r.reset(loop("for i = 0.5, 3"));
    EXPECT_EQ(r->var("n"), "3");
    EXPECT_EQ(r->var("i"), "3");

    ScriptRun nested({"for i = 1, 2", "  for i = 1, 2", "    x = 1", "stop"});
    nested.start();
    EXPECT_EQ(nested.error(),
              "Error in Loop Variable. Identifire \"i\" is external loop variable name.\r\rLine 1.");
    ScriptRun moved({"for i = 1, 10", "  i = 100", "stop"});
    moved.start();
    EXPECT_EQ(moved.error(), "\"FOR\" counter value error in expression 100.\r\rLine 1.");
    ScriptRun bad({"for 1 = 1, 2", "stop"});
    bad.start();
    EXPECT_EQ(firstLine(bad.error()), "Operator <for> must be followed by loop variable identifier.");
    ScriptRun noComma({"for i = 1", "stop"});
    noComma.start();
    EXPECT_EQ(firstLine(noComma.error()), "Start value of loop variable must be followed by comma.");
    ScriptRun noEq({"for i 1, 2", "stop"});
    noEq.start();
    EXPECT_EQ(firstLine(noEq.error()), "Loop variable identifier must be followed by equal sign =.");
    ScriptRun badStart({"for i = 'a', 2", "stop"});
    badStart.start();
    EXPECT_TRUE(firstLine(badStart.error()).startsWith("Error in start value"));
    ScriptRun badLimit({"for i = 1, 'a'", "stop"});
    badLimit.start();
    EXPECT_TRUE(firstLine(badLimit.error()).startsWith("Error in final value"));
    ScriptRun badStep({"for i = 1, 2, 'a'", "stop"});
    badStep.start();
    EXPECT_TRUE(firstLine(badStep.error()).startsWith("Error in increment value"));

    // A step of 0.5 rounds to 0: the loop repeats until stopped.
    ScriptRun zero({"n = 0", "for i = 1, 2, 0.5", "  n = n + 1", "stop"}, {}, {.maxLines = 50});
    zero.start();
    EXPECT_EQ(zero.error(), "Run stopped after 50 executed lines.");
    EXPECT_EQ(zero.var("i"), "1");
}

TEST(Statements, RepeatBreakAndContinue)
{
    ScriptRun r({"n = 0", "repeat", "  n = n + 1", "  breakif n > 5", "m = n", "stop"});
    r.start();
    EXPECT_EQ(r.var("m"), "6");

    ScriptRun b({"n = 0", "for i = 1, 10", "  if i = 4", "    break", "  n = n + 1", "done = 1", "stop"});
    b.start();
    EXPECT_TRUE(b.host.errors.isEmpty());
    EXPECT_EQ(b.var("n"), "3");
    EXPECT_EQ(b.var("i"), "4");
    EXPECT_EQ(b.var("done"), "1");

    ScriptRun c({"n = 0", "for i = 1, 5", "  if i % 2 = 0", "    continue", "  n = n + i", "stop"});
    c.start();
    EXPECT_TRUE(c.host.errors.isEmpty()) << c.error().toStdString();
    EXPECT_EQ(c.var("n"), "9");

    ScriptRun ci({"n = 0", "for i = 1, 5", "  continueif i > 2", "  n = n + i", "stop"});
    ci.start();
    EXPECT_EQ(ci.var("n"), "3");

    ScriptRun direct({"for i = 1, 3", "  continue", "stop"});
    direct.start();
    EXPECT_EQ(direct.error(), "Incorrect use of operator \"continue\".\r\rLine 1.");

    ScriptRun outside({"break", "stop"});
    outside.start();
    EXPECT_TRUE(firstLine(outside.error()).startsWith("Only inside \"REPEAT\" loop"));
    ScriptRun outsideC({"continueif true", "stop"});
    outsideC.start();
    EXPECT_TRUE(firstLine(outsideC.error()).contains("<ContinueIf>"));
    ScriptRun notBool({"repeat", "  breakif 1", "stop"});
    notBool.start();
    EXPECT_EQ(firstLine(notBool.error()), "Operator <BreakIf> must be followed by boolean expression.");
    ScriptRun extra({"repeat 3", "stop"});
    extra.start();
    EXPECT_EQ(firstLine(extra.error()), "Operator <repeat> is followed by unexpected text.");
}

TEST(Statements, ConditionalsAndIndentation)
{
    ScriptRun t({"x = 5", "if x > 3", "  a = 1", "", "# comment", "else", "  a = 2", "b = a", "stop"});
    t.start();
    EXPECT_EQ(t.var("b"), "1");
    ScriptRun f({"x = 1", "if x > 3", "  a = 1", "else", "  a = 2", "  c = 3", "b = a", "stop"});
    f.start();
    EXPECT_EQ(f.var("b"), "2");
    EXPECT_EQ(f.var("c"), "3");
    ScriptRun none({"x = 1", "if x > 3", "  a = 1", "b = 2", "stop"});
    none.start();
    EXPECT_EQ(none.var("a"), "");
    EXPECT_EQ(none.var("b"), "2");
    ScriptRun nested({"x = 1", "if x > 3", "  a = 1", "else", "  if x = 1", "    a = 5", "  else",
                      "    a = 6", "b = a", "stop"});
    nested.start();
    EXPECT_EQ(nested.var("b"), "5");
    // ELSE in any case and with a comment after it is ELSE, in every pass
    // of a loop; a statement that merely begins with "else" is not.
    ScriptRun loop({"a = 0", "b = 0", "elsewhere = 0", "for i = 1, 6", "  if i % 2 = 0", "    a = a + 1",
                    "  eLsE # odd", "    b = b + 1", "  if i > 4", "    a = a + 10",
                    "  elsewhere = elsewhere + 1", "stop"});
    loop.start();
    EXPECT_EQ(loop.error(), "");
    EXPECT_EQ(loop.var("a"), "23");
    EXPECT_EQ(loop.var("b"), "3");
    EXPECT_EQ(loop.var("elsewhere"), "6");
    ScriptRun cond({"if 1", "  a = 1", "stop"});
    cond.start();
    EXPECT_EQ(firstLine(cond.error()), "Operator <if> must be followed by boolean expression.");

    // An odd indentation fails when the scan reaches it, even in a branch
    // that is not executed.
    ScriptRun odd({"x = 1", "if x > 3", "   a = 1", "b = 2", "stop"});
    odd.start();
    EXPECT_EQ(odd.error(), "Incorrect indent 3 in the line 2.\r\rLine 1.");
    // A stray indented line after a plain statement is passed over.
    ScriptRun stray({"x = 1", "  y = 2", "z = 3", "stop"});
    stray.start();
    EXPECT_TRUE(stray.host.errors.isEmpty());
    EXPECT_EQ(stray.var("y"), "");
    EXPECT_EQ(stray.var("z"), "3");
    // Continue on a line whose indentation does not fit the block: message 52.
    ScriptRun wrong({"x = 1", "  y = 2", "stop"});
    wrong.in.moveToLine(1);
    wrong.in.A_Continue_runExecute();
    EXPECT_EQ(wrong.error(), "Error indent 2.\r\rLine 1.");
    // A continuation line joins its statement.
    ScriptRun cont({"x = 1", "  > + 2", "stop"});
    cont.start();
    EXPECT_EQ(cont.var("x"), "3");
}

TEST(Statements, BlockStackLimit)
{
    QStringList lines = {"x = 0"};
    QString indent;
    for (int i = 0; i < 101; ++i) {
        lines << indent + "if x = 0";
        indent += "  ";
    }
    lines << indent + "x = 1"
          << "stop";
    ScriptRun r(lines);
    r.start();
    EXPECT_FALSE(r.error().isEmpty());
    EXPECT_TRUE(r.error().contains("100"));
    EXPECT_EQ(r.var("x"), "0");
}

namespace {

// The error a line gives when it runs for the first time in a script of its
// own, without its line number.
QString firstRunError(const QStringList &lines)
{
    ScriptRun r(lines);
    r.start();
    return r.error().section(QStringLiteral("\r\rLine"), 0, 0);
}

} // namespace

// A line that assigns arithmetic or joined texts runs directly once it has
// been split; when its variables change kind, a name resolves differently
// or a value is one the evaluator reports on, it must still give exactly
// what a first run of the line gives.
TEST(Statements, ALineRunDirectlyGivesWhatItsFirstRunGives)
{
    {
        // A variable becomes a text after the line ran twice.
        ScriptRun r({"a = 1", "t = 0", "for i = 1, 4", "  c = a + i * 2", "  t = t + c", "  if i = 2",
                     "    a = 'x'", "stop"});
        r.start();
        EXPECT_EQ(r.var("t"), "8");
        EXPECT_EQ(r.var("c"), "5");
        EXPECT_EQ(r.error().section(QStringLiteral("\r\rLine"), 0, 0),
                  firstRunError({"a = 'x'", "i = 3", "c = a + i * 2", "stop"}));
        EXPECT_FALSE(r.error().isEmpty());
    }
    {
        // A division by zero and a remainder by zero on a later pass.
        ScriptRun d({"s = 0", "for i = 1, 5", "  s = s + 10 / (3 - i)", "stop"});
        d.start();
        EXPECT_EQ(d.var("s"), "15");
        EXPECT_EQ(d.error().section(QStringLiteral("\r\rLine"), 0, 0),
                  firstRunError({"s = 15", "i = 3", "s = s + 10 / (3 - i)", "stop"}));
        ScriptRun m({"s = 0", "for i = 1, 5", "  s = s + i % (2 - i)", "stop"});
        m.start();
        EXPECT_EQ(m.var("s"), "0");
        EXPECT_EQ(m.error().section(QStringLiteral("\r\rLine"), 0, 0),
                  firstRunError({"s = 0", "i = 2", "s = s + i % (2 - i)", "stop"}));
    }
    {
        // Texts keep the kind of their first part; = between kinds is false.
        ScriptRun r({"s = ''", "n = 0", "for i = 1, 3", "  s = s + \"ab\"", "  b = s = 'abababab'",
                     "  e = s + 'ab' = 'abababab'", "  n = n + LenStr(s)", "stop"});
        r.start();
        EXPECT_TRUE(r.host.errors.isEmpty()) << r.error().toStdString();
        EXPECT_EQ(r.var("s"), "ababab");
        EXPECT_EQ(r.kind("s"), wkString);
        EXPECT_EQ(r.var("b"), "false");
        EXPECT_EQ(r.var("e"), "true");
        EXPECT_EQ(r.var("n"), "12");
    }
    {
        // The same line at two levels of a recursive function: each level's
        // own variables.
        ScriptRun r({"x = F(4)", "stop", "function F(_n)", "  _r = 0", "  if _n > 0", "    _r = F(_n - 1)",
                     "  _r = _r * 10 + _n", "  return _r"});
        r.start();
        EXPECT_TRUE(r.host.errors.isEmpty()) << r.error().toStdString();
        EXPECT_EQ(r.var("x"), "1234");
    }
}
