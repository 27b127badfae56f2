#include "core/interpreter.h"

#include <gtest/gtest.h>

using namespace tesmora;

namespace {

QStringList split(Interpreter &in, const QString &text, QString *error = nullptr)
{
    WordList w;
    in.SplitWords(text, w);
    if (error)
        *error = in.errorText();
    in.takeError();
    QStringList out;
    for (int i = 0; i <= w.last; ++i)
        out << w[i].text();
    return out;
}

Interpreter &withArrayA(Interpreter &in)
{
    t_arr_specification rec;
    rec.name = "A";
    rec.dim = {3, 3, 0, 0};
    rec.count = 9;
    in.arrays().append(rec);
    return in;
}

} // namespace

TEST(SplitWords, ListsAndLimits)
{
    Interpreter in;
    WordList w;
    in.SplitWords("", w);
    EXPECT_EQ(w.last, -1);
    in.SplitWords("x = 1 + y", w);
    EXPECT_EQ(w.last, 4);
    EXPECT_TRUE(w[5].isEmpty());

    // 100 words are accepted, 101 are refused with message 45.
    QStringList parts;
    for (int i = 0; i < 50; ++i)
        parts << "1";
    const QString hundred = parts.join(" + ").append(" +");
    QString err;
    EXPECT_EQ(split(in, hundred, &err).size(), 100);
    EXPECT_TRUE(err.isEmpty());
    const QString more = hundred + " 1";
    split(in, more, &err);
    EXPECT_EQ(err, "Expression <" + more + " is too complicated.\r\rLine 0.");

    // The value list of an array declaration is one word.
    WordList d;
    in.SplitWords("array A[3]float = (1, 2, 3)", d);
    ASSERT_EQ(d.last, 7);
    EXPECT_EQ(d[0].kind, wkArrayDescription);
    EXPECT_EQ(d[5].kind, wkFloatDescription);
    EXPECT_EQ(d[6].text(), "=");
    EXPECT_EQ(d[7].kind, wkArrayInitValues);
    EXPECT_EQ(d[7].text(), "(1, 2, 3)");
    // The list may hold anything, even text the word reader would refuse.
    in.SplitWords("array S[2]string = ('a?', \"b\")", d);
    EXPECT_TRUE(in.errorText().isEmpty());
    EXPECT_EQ(d[d.last].text(), "('a?', \"b\")");

    // Errors of the word reader stop the split.
    split(in, "x = 'abc", &err);
    EXPECT_TRUE(err.startsWith("Unterminated string"));
}

TEST(SplitWords, PowersAndRootsBecomePowCalls)
{
    Interpreter in;
    withArrayA(in);
    EXPECT_EQ(split(in, QString::fromUtf8("x²")), QStringList({"pow(x,2)"}));
    EXPECT_EQ(split(in, QString::fromUtf8("(a+b)³")), QStringList({"pow((a+b),3)"}));
    EXPECT_EQ(split(in, QString::fromUtf8("A[i,2]²")), QStringList({"pow(A[i,2],2)"}));
    EXPECT_EQ(split(in, QString::fromUtf8("√(a+b)")), QStringList({"pow((a+b),0.5)"}));
    EXPECT_EQ(split(in, QString::fromUtf8("∛27")), QStringList({"pow(27,0.333333333333333)"}));
    EXPECT_EQ(split(in, QString::fromUtf8("∜x")), QStringList({"pow(x,0.25)"}));
    EXPECT_EQ(split(in, QString::fromUtf8("√A[1,2]")), QStringList({"pow(A[1,2],0.5)"}));
    EXPECT_EQ(split(in, QString::fromUtf8("2*x²+1")), QStringList({"2", "*", "pow(x,2)", "+", "1"}));
    // Powers first, then roots.
    EXPECT_EQ(split(in, QString::fromUtf8("√x²")), QStringList({"pow(pow(x,2),0.5)"}));
    EXPECT_EQ(split(in, QString::fromUtf8("y = x² + z³")),
              QStringList({"y", "=", "pow(x,2)", "+", "pow(z,3)"}));
    // A string operand loses its quotes.
    EXPECT_EQ(split(in, QString::fromUtf8("'ab'²")), QStringList({"pow(ab,2)"}));
    WordList w;
    in.SplitWords(QString::fromUtf8("1 + x²"), w);
    EXPECT_EQ(w.last, 2);
    EXPECT_EQ(w[2].kind, wkEmbeddedFunction);
    EXPECT_EQ(w[2].oper_prioritet, 0);
    EXPECT_TRUE(w[3].isEmpty());
}

TEST(SplitWords, PowerAndRootErrors)
{
    Interpreter in;
    QString err;
    split(in, QString::fromUtf8("sqrt(x)²"), &err);
    EXPECT_EQ(err, QString::fromUtf8("Ambiguous exponentiation operator \"²\".\r\rLine 0."));
    split(in, QString::fromUtf8("a)²"), &err);
    EXPECT_EQ(err, QString::fromUtf8("Bracket mismatch before power oper\u0430tor \"²\".\r\rLine 0."));
    split(in, QString::fromUtf8("√(a"), &err);
    EXPECT_EQ(err, QString::fromUtf8("Bracket mismatch after root o per\u0430tor \"√\".\r\rLine 0."));
    split(in, QString::fromUtf8("³ + 1"), &err);
    EXPECT_FALSE(err.isEmpty());
    split(in, QString::fromUtf8("x = 1 + √"), &err);
    EXPECT_FALSE(err.isEmpty());
}
