#include "core/interpreter.h"

#include <gtest/gtest.h>

using namespace tesmora;

namespace {

struct Read {
    QList<TWordStatus> words;
    QString error;
};

// Reads every word of `text` with NextWord.
Read readAll(Interpreter &in, const QString &text)
{
    Read r;
    int pos = 1;
    while (pos <= text.size()) {
        TWordStatus w;
        in.NextWord(text, pos, w);
        if (in.failed()) {
            r.error = in.errorText();
            in.takeError();
            break;
        }
        if (w.kind == wkNone)
            break;
        r.words << w;
    }
    return r;
}

QStringList texts(const Read &r)
{
    QStringList out;
    for (const auto &w : r.words)
        out << w.text();
    return out;
}

QList<TWordKind> kinds(const Read &r)
{
    QList<TWordKind> out;
    for (const auto &w : r.words)
        out << w.kind;
    return out;
}

} // namespace

TEST(NextWord, OperatorsAndTwoCharacterOperators)
{
    Interpreter in;
    EXPECT_EQ(texts(readAll(in, "a<>b")), QStringList({"a", "<>", "b"}));
    EXPECT_EQ(texts(readAll(in, "a<=b")), QStringList({"a", "<=", "b"}));
    EXPECT_EQ(texts(readAll(in, "a<<2")), QStringList({"a", "<<", "2"}));
    EXPECT_EQ(texts(readAll(in, "a>=b")), QStringList({"a", ">=", "b"}));
    EXPECT_EQ(texts(readAll(in, "a>>2")), QStringList({"a", ">>", "2"}));
    EXPECT_EQ(texts(readAll(in, "a=<b")), QStringList({"a", "=", "<", "b"}));
    EXPECT_EQ(texts(readAll(in, "a><b")), QStringList({"a", ">", "<", "b"}));
    const Read ops = readAll(in, QString::fromUtf8("+ - * / % & ^ | = √ ∛ ∜ ² ³ or And NOT"));
    const QList<int> prio = {14, 14, 15, 15, 15, 12, 11, 10, 6, 19, 19, 19, 20, 20, 1, 2, 3};
    ASSERT_EQ(ops.words.size(), prio.size());
    for (int i = 0; i < prio.size(); ++i) {
        EXPECT_EQ(ops.words[i].kind, wkOperator);
        EXPECT_EQ(ops.words[i].oper_prioritet, prio[i]) << i;
    }
    EXPECT_EQ(ops.words[14].text(), "OR");
    EXPECT_EQ(ops.words[15].text(), "AND");
}

TEST(NextWord, StringsBracketsAndDots)
{
    Interpreter in;
    Read r = readAll(in, "'a b' \"c'd\" ( ) [ ] , ..");
    EXPECT_EQ(kinds(r),
              QList<TWordKind>({wkString, wkStringDQ, wkOpeningBracket, wkClosingBracket,
                                wkOpeningSquareBracket, wkClosingSquareBracket, wkComma, wkDblDot}));
    EXPECT_EQ(r.words[0].text(), "a b");
    EXPECT_EQ(r.words[1].text(), "c'd");
    EXPECT_EQ(readAll(in, "''").words[0].text(), "");

    r = readAll(in, "x = 'abc");
    EXPECT_EQ(r.error, "Unterminated string: x = 'abc\r\rLine 0.");
    r = readAll(in, "\"abc");
    EXPECT_EQ(r.error, "Unterminated string: \"abc\r\rLine 0.");

    r = readAll(in, "1..5");
    EXPECT_EQ(texts(r), QStringList({"1", "..", "5"}));
    EXPECT_EQ(kinds(r), QList<TWordKind>({wkFloat, wkDblDot, wkFloat}));
    // "5." at the end: the number 5, then a stray dot.
    r = readAll(in, "x = 5.");
    EXPECT_EQ(texts(r), QStringList({"x", "=", "5"}));
    EXPECT_EQ(r.error, "Unexpected symbol \".\" in \"x = 5.\", position: 6.\r\rLine 0.");
}

TEST(NextWord, NumbersKeepTheirLiteralText)
{
    Interpreter in;
    Read r = readAll(in, "1.50 007 1e3 1e+5 2.5E-3 1");
    EXPECT_EQ(texts(r), QStringList({"1.50", "007", "1e3", "1e+5", "2.5E-3", "1"}));
    for (const auto &w : r.words)
        EXPECT_EQ(w.kind, wkFloat);
    EXPECT_DOUBLE_EQ(r.words[0].float_val, 1.5);
    EXPECT_DOUBLE_EQ(r.words[3].float_val, 1e5);
    EXPECT_DOUBLE_EQ(r.words[4].float_val, 0.0025);

    EXPECT_EQ(readAll(in, "1.2.3").error, "Invalid numeric value: 1.2\r\rLine 0.");
    EXPECT_EQ(readAll(in, "1e5e2").error, "Invalid numeric value: 1e5\r\rLine 0.");
    EXPECT_EQ(readAll(in, "2e").error, "Invalid numeric value: 2e\r\rLine 0.");
    r = readAll(in, "2x");
    EXPECT_EQ(texts(r), QStringList({"2", "x"}));
    EXPECT_EQ(kinds(r), QList<TWordKind>({wkFloat, wkUnknownIdentifier}));
}

TEST(NextWord, IdentifierCharacters)
{
    Interpreter in;
    EXPECT_EQ(texts(readAll(in, "x2")), QStringList({"x2"}));
    EXPECT_EQ(texts(readAll(in, QString::fromUtf8("α1 = 3"))),
              QStringList({QString::fromUtf8("α1"), "=", "3"}));
    EXPECT_EQ(texts(readAll(in, QString::fromUtf8("сумма = 1"))).first(), QString::fromUtf8("сумма"));
    EXPECT_EQ(texts(readAll(in, QString::fromUtf8("x₁ = 1"))).first(), QString::fromUtf8("x₁"));
    EXPECT_EQ(texts(readAll(in, QString::fromUtf8("ΩA_z"))), QStringList({QString::fromUtf8("ΩA_z")}));
    EXPECT_EQ(readAll(in, QString::fromUtf8("Öl")).error,
              QString::fromUtf8("Unexpected symbol \"Ö\" in \"Öl\", position: 1.\r\rLine 0."));
    EXPECT_EQ(readAll(in, QString::fromUtf8("ёж")).error,
              QString::fromUtf8("Unexpected symbol \"ё\" in \"ёж\", position: 1.\r\rLine 0."));
    EXPECT_EQ(readAll(in, "a ? b").error, "Unexpected symbol \"?\" in \"a ? b\", position: 3.\r\rLine 0.");
    // An identifier directly followed by a quote.
    EXPECT_EQ(readAll(in, "x = abc'd'").error,
              "Unexpected symbol \"'\" in \"x = abc'd'\", position: 9.\r\rLine 0.");
}

TEST(NextWord, KeywordsAndTheLookupOrder)
{
    Interpreter in;
    for (const char *kw : {"If", "if", "IF"})
        EXPECT_EQ(readAll(in, kw).words[0].kind, wkIf);
    const Read k = readAll(in, "for repeat break breakif continue continueif else return function array int "
                               "integer float datetime string try stop");
    EXPECT_EQ(kinds(k), QList<TWordKind>({wkFor, wkRepeat, wkBreak, wkBreakIf, wkContinue, wkContinueIf,
                                          wkElse, wkReturn, wkFunction, wkArrayDescription,
                                          wkIntegerDescription, wkIntegerDescription, wkFloatDescription,
                                          wkDatetimeDescription, wkStringDescription, wkTry, wkStop}));
    EXPECT_EQ(k.words[0].text(), "for");
    Read b = readAll(in, "True FALSE");
    EXPECT_EQ(b.words[0].kind, wkBool);
    EXPECT_TRUE(b.words[0].bool_val);
    EXPECT_EQ(b.words[0].float_val, 1.0);
    EXPECT_EQ(b.words[0].text(), "true");
    EXPECT_EQ(b.words[1].text(), "false");
    EXPECT_FALSE(b.words[1].bool_val);

    // A keyword cannot be a variable: "float" stays a keyword even then.
    in.SetVariable("float", "1", wkFloat);
    ASSERT_EQ(in.variables().size(), 1);
    EXPECT_EQ(readAll(in, "float").words[0].kind, wkFloatDescription);

    // Constants.
    Read c = readAll(in, QString::fromUtf8("pi π clred"));
    EXPECT_EQ(kinds(c), QList<TWordKind>({wkConst, wkConst, wkConst}));
    EXPECT_EQ(c.words[0].text(), "PI");
    EXPECT_DOUBLE_EQ(c.words[1].float_val, 3.14159265358979323846);
    EXPECT_EQ(c.words[2].text(), "clRed");
    EXPECT_EQ(c.words[2].float_val, 0x2040FF);

    // A variable hides a constant, an array and a function of the same name.
    in.SetVariable("pi", "3", wkFloat);
    in.SetVariable("sqrt", "3", wkFloat);
    Read v = readAll(in, "PI sqrt");
    EXPECT_EQ(kinds(v), QList<TWordKind>({wkVariableName, wkVariableName}));
    EXPECT_EQ(v.words[0].var_index, in.FindVariable("pi") + 1);
    EXPECT_EQ(v.words[0].text(), "PI");

    // Arrays come before functions.
    Interpreter a;
    t_arr_specification rec;
    rec.name = "Trim";
    rec.dim[0] = 3;
    rec.count = 3;
    a.arrays().append(rec);
    EXPECT_EQ(readAll(a, "trim").words[0].kind, wkArrayName);
    EXPECT_EQ(readAll(a, "unknown_thing").words[0].kind, wkUnknownIdentifier);
}

TEST(NextWord, FunctionWordsCarryTheirCallText)
{
    Interpreter in;
    Read r = readAll(in, "y = sqrt (x+1) * 2");
    ASSERT_EQ(r.words.size(), 5);
    EXPECT_EQ(r.words[2].kind, wkEmbeddedFunction);
    EXPECT_EQ(r.words[2].text(), "sqrt (x+1)");
    EXPECT_EQ(texts(readAll(in, "Trim('(' )")), QStringList({"Trim('(' )"}));
    EXPECT_EQ(texts(readAll(in, "UpperCase(\"a)\") + LenStr('b')")),
              QStringList({"UpperCase(\"a)\")", "+", "LenStr('b')"}));
    EXPECT_EQ(texts(readAll(in, "Pos(')', f(g(1)))")), QStringList({"Pos(')', f(g(1)))"}));

    r = readAll(in, QString::fromUtf8("sqrt²(x)"));
    EXPECT_EQ(r.words[0].text(), "sqrt(x)");
    EXPECT_EQ(r.words[0].power, 2);
    EXPECT_EQ(readAll(in, QString::fromUtf8("sqrt³ (x)")).words[0].power, 3);

    EXPECT_EQ(readAll(in, "sqrt(x").error, "Bracket mismatch after function name \"sqrt\".\r\rLine 0.");
    EXPECT_TRUE(
        readAll(in, "sqrt x").error.startsWith("Function name \"sqrt\" must be followed by open bracket"));
    EXPECT_TRUE(readAll(in, "Trim").error.startsWith("Function name \"Trim\" must be followed"));
    EXPECT_EQ(readAll(in, "Trim('a)").error, "Unterminated string: Trim('a)\r\rLine 0.");

    // Kinds of the catalogues; synonyms count.
    EXPECT_EQ(readAll(in, "Str_UpperCase('a')").words[0].kind, wkEmbeddedFunction);
    EXPECT_EQ(readAll(in, "Circle(1,2,3)").words[0].kind, wkGraphFunction);
    EXPECT_EQ(readAll(in, "Gra_Circle(1,2,3)").words[0].kind, wkGraphFunction);
    EXPECT_EQ(readAll(in, "InputString('a')").words[0].kind, wkDialogFunction);
    Read js = readAll(in, "math_abs(-1) charAt('ab', 1)");
    EXPECT_EQ(js.words[0].kind, wkJS_Function);
    EXPECT_EQ(js.words[0].func_index, 10023);
    EXPECT_EQ(js.words[1].func_index, 0);

    // A script function named like a built-in one is a script function; a
    // JavaScript-backed function wins over all.
    in.setScriptFunctions({"SQRT", "ABS", "MYFUNC"}, {});
    EXPECT_EQ(readAll(in, "sqrt(4)").words[0].kind, wkScriptFunction);
    EXPECT_EQ(readAll(in, "MyFunc()").words[0].kind, wkScriptFunction);
    Read abs = readAll(in, "abs(1)");
    EXPECT_EQ(abs.words[0].kind, wkJS_Function);
    EXPECT_EQ(abs.words[0].func_index, 23);
}
