#include "builtin_calls.h"
#include "core/numbers.h"
#include "library/function_tables.h"
#include "library/javascript_functions.h"
#include "platform/qjs_engine.h"

#include <QDateTime>
#include <gtest/gtest.h>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <vector>

using namespace tesmora;

namespace {

// QJSEngine needs an application object, as in the program.
[[maybe_unused]] ::testing::Environment *const kApplication =
    test::addApplicationEnvironment("test_javascript");

std::unique_ptr<QtJavaScriptEngine> makeEngine()
{
    return std::make_unique<QtJavaScriptEngine>();
}

const T_FunctionDescription &jsRow(int row)
{
    return functionTable(FunctionTable::JavaScript)[static_cast<size_t>(row)];
}

TWordStatus text(const QString &s, TWordKind kind = wkString)
{
    TWordStatus w;
    w.setText(s);
    w.kind = kind;
    return w;
}

// A number word as the evaluator leaves it: its text and its value.
TWordStatus number(const QString &s)
{
    TWordStatus w;
    w.setText(s);
    w.kind = wkFloat;
    w.float_val = s.toDouble();
    return w;
}

WordList words(std::initializer_list<TWordStatus> list)
{
    WordList l;
    for (const auto &w : list)
        l[++l.last] = w;
    return l;
}

const WordList kNoArgs;

} // namespace

TEST(JavaScriptCall, SourceTextsOfTheCatalogueExamples)
{
    EXPECT_EQ(BuildJavaScriptCall(0, words({text("Apple"), number("0")})), "(\"Apple\").charAt(0)");
    EXPECT_EQ(BuildJavaScriptCall(6, kNoArgs), "(new Date()).getFullYear()");
    EXPECT_EQ(BuildJavaScriptCall(5, words({text("2000/01/02 23:59:45")})),
              "(new Date(\"2000/01/02 23:59:45\")).getTime()");
    EXPECT_EQ(BuildJavaScriptCall(17, words({number("946684800000"), number("2020")})),
              "(new Date(946684800000)).setFullYear(2020)");
    EXPECT_EQ(BuildJavaScriptCall(35, words({number("5"), number("1"), number("2")})), "Math.min(5,1,2)");
    EXPECT_EQ(BuildJavaScriptCall(4, words({number("65"), number("66")})), "String.fromCharCode(65,66)");
    // The row itself serves as well as its number.
    EXPECT_EQ(BuildJavaScriptCall(jsRow(2), words({text("Apple"), text("p")})), "(\"Apple\").indexOf(\"p\")");
    // A row number outside the table has no source text.
    EXPECT_TRUE(BuildJavaScriptCall(40, words({number("1")})).isEmpty());
    EXPECT_TRUE(BuildJavaScriptCall(-1, kNoArgs).isEmpty());
}

TEST(JavaScriptCall, ArgumentsAreWrittenAsValues)
{
    // Both string kinds are quoted; inner double quotes are doubled.
    EXPECT_EQ(BuildJavaScriptCall(0, words({text("say \"hi\"", wkStringDQ), number("1")})),
              "(\"say \"\"hi\"\"\").charAt(1)");
    EXPECT_EQ(BuildJavaScriptCall(2, words({text("a'b"), text("'", wkStringDQ)})),
              "(\"a'b\").indexOf(\"'\")");
    EXPECT_EQ(BuildJavaScriptCall(0, words({text(""), number("0")})), "(\"\").charAt(0)");
    // Numbers are written by their value, so that leading zeros (010 is ten
    // here, an octal or a syntax error there) and trailing ones read back as
    // the same number; a string argument of a Math row is still quoted.
    EXPECT_EQ(BuildJavaScriptCall(23, words({number("-2.50")})), "Math.abs(-2.5)");
    EXPECT_EQ(BuildJavaScriptCall(23, words({number("010")})), "Math.abs(10)");
    EXPECT_EQ(BuildJavaScriptCall(23, words({number("08")})), "Math.abs(8)");
    EXPECT_EQ(BuildJavaScriptCall(23, words({number("0.1")})), "Math.abs(0.1)");
    EXPECT_EQ(BuildJavaScriptCall(23, words({text("-2")})), "Math.abs(\"-2\")");
    EXPECT_EQ(BuildJavaScriptCall(
                  36, words({number("5"), number("1"), number("2"), number("10"), number("-1.13")})),
              "Math.max(5,1,2,10,-1.13)");
    // Only the first argument of a string or date row is its object.
    EXPECT_EQ(BuildJavaScriptCall(13, words({number("1"), number("2"), number("3")})),
              "(new Date(1)).getMilliseconds(2,3)");
    // fromCharCode has no object: every argument is a method argument.
    EXPECT_EQ(BuildJavaScriptCall(4, words({number("65")})), "String.fromCharCode(65)");
}

TEST(JavaScriptCall, CallsWithoutArguments)
{
    EXPECT_EQ(BuildJavaScriptCall(14, kNoArgs), "(new Date()).getTimezoneOffset()");
    EXPECT_EQ(BuildJavaScriptCall(0, kNoArgs), "charAt()");
    EXPECT_EQ(BuildJavaScriptCall(4, kNoArgs), "String.fromCharCode()");
    EXPECT_EQ(BuildJavaScriptCall(24, kNoArgs), "Math.sin()");

    // A row without a fixed object type takes its first argument as object too.
    T_FunctionDescription plain;
    plain.Formula = u"toUpperCase()";
    plain.Obj = jso_None;
    EXPECT_EQ(BuildJavaScriptCall(plain, words({text("abc")})), "(\"abc\").toUpperCase()");
    EXPECT_EQ(BuildJavaScriptCall(plain, kNoArgs), "toUpperCase()");
    // The String. prefix depends on the name in any letter case.
    T_FunctionDescription upper;
    upper.Formula = u"FROMCHARCODE(n)";
    upper.Obj = jso_String;
    EXPECT_EQ(BuildJavaScriptCall(upper, words({number("65")})), "String.FROMCHARCODE(65)");
}

TEST(JavaScriptEngine, KeepsStateAndReportsValuesAsText)
{
    auto js = makeEngine();
    auto r = js->evaluate("var a = 5");
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.text, "undefined");
    r = js->evaluate("a + 1");
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.text, "6");
    EXPECT_TRUE(js->evaluate("function twice(x) { return 2 * x; }").ok);
    EXPECT_EQ(js->evaluate("twice(a)").text, "10");
    EXPECT_EQ(js->evaluate("'ab' + 'c'").text, "abc");
    EXPECT_EQ(js->evaluate("0.1 + 0.2").text, "0.30000000000000004");
    EXPECT_EQ(js->evaluate("1e21").text, "1e+21");
    EXPECT_EQ(js->evaluate("true").text, "true");
    // A second engine has its own globals.
    auto other = makeEngine();
    r = other->evaluate("a");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.text, "a is not defined");
}

TEST(JavaScriptEngine, FailuresCarryTheMessageAndLeaveTheEngineUsable)
{
    auto js = makeEngine();
    ASSERT_TRUE(js->evaluate("var k = 5").ok);

    auto r = js->evaluate("1+");
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.text.isEmpty());
    EXPECT_FALSE(r.text.startsWith("SyntaxError")); // the message alone, not the error's name
    r = js->evaluate("nothing * 2");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.text, "nothing is not defined");
    r = js->evaluate("null.x");
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.text.isEmpty());
    r = js->evaluate("throw new Error('boom')");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.text, "boom");
    r = js->evaluate("throw new Error()");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.text, "Error");

    // Thrown values that are not Error objects are failures too.
    r = js->evaluate("throw 42");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.text, "42");
    r = js->evaluate("throw \"x\"");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.text, "x");
    r = js->evaluate("throw undefined");
    EXPECT_FALSE(r.ok);
    // ... but an exception caught inside the source is not.
    r = js->evaluate("try { throw 1 } catch (e) {} 3");
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.text, "3");

    // The failures changed nothing: the engine and its globals still work.
    r = js->evaluate("k * 2");
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.text, "10");

    // A doubled quote in a string argument makes a source the engine rejects.
    r = js->evaluate(BuildJavaScriptCall(0, words({text("say \"hi\""), number("0")})));
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.text.isEmpty());
    EXPECT_TRUE(js->evaluate("k").ok);
}

TEST(JavaScriptEngine, StopCheckInterruptsAnEndlessSourceAndTheEngineGoesOn)
{
    auto js = makeEngine();
    ASSERT_TRUE(js->evaluate("var kept = 7").ok);
    // The check is asked while the loop runs; its third answer stops it.
    int asked = 0;
    auto r = js->evaluate("while (true) {}", [&] { return ++asked >= 3; });
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.interrupted);
    EXPECT_EQ(asked, 3);
    // The interruption is over: globals survive and new sources run to the end.
    r = js->evaluate("kept * 6", [] { return false; });
    EXPECT_TRUE(r.ok);
    EXPECT_FALSE(r.interrupted);
    EXPECT_EQ(r.text, "42");
    // A check that never says stop lets a long computation finish.
    r = js->evaluate("var s = 0; for (var i = 0; i < 3e6; ++i) s += i % 7; s", [] { return false; });
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.text, "8999994");
}

// Run with TZ=UTC, as the test suite does.
TEST(JavaScriptEngine, DateAndMathAsTheFunctionsRelyOn)
{
    auto js = makeEngine();
    auto value = [&](const char *src) {
        const auto r = js->evaluate(QString::fromUtf8(src));
        EXPECT_TRUE(r.ok) << src << ": " << r.text.toStdString();
        return r.text;
    };
    EXPECT_EQ(value("Math.round(2.5)"), "3");
    EXPECT_EQ(value("Math.round(-2.5)"), "-2");
    EXPECT_EQ(value("Math.round(-1.6)"), "-2");
    EXPECT_EQ(value("Math.round(0.49999999999999994)"), "0");
    EXPECT_EQ(value("(new Date(\"2000/01/02 23:59:45\")).getTime()"), "946857585000");
    EXPECT_EQ(value("(new Date(946684800000)).getMonth()"), "0");
    EXPECT_EQ(value("(new Date(946684800000 + 31 * 86400000)).getMonth()"), "1");
    EXPECT_EQ(value("(new Date(\"2000/01/02 12:00:00\")).getDay()"), "0"); // a Sunday
    EXPECT_EQ(value("(new Date(\"2000/01/03 12:00:00\")).getDay()"), "1");
    EXPECT_EQ(value("(new Date()).getTimezoneOffset()"), "0");
    EXPECT_EQ(value("(new Date(0)).setFullYear(2020)"), "1577836800000");
    // new Date() without argument is the current moment.
    const double now = value("(new Date()).getTime()").toDouble();
    EXPECT_NEAR(now, double(QDateTime::currentMSecsSinceEpoch()), 60000.0);
    EXPECT_EQ(value("String.fromCharCode(1052, 252)"), QString::fromUtf8("Мü"));
}

TEST(JavaScriptResult, ConversionByReturnType)
{
    TWordStatus w;
    // "str" keeps the answer as text, even when it looks like a number.
    ASSERT_TRUE(JavaScriptResultWord(jsRow(0), "p", w));
    EXPECT_EQ(w.kind, wkString);
    EXPECT_EQ(w.text(), "p");
    ASSERT_TRUE(JavaScriptResultWord(jsRow(4), "12", w));
    EXPECT_EQ(w.kind, wkString);
    EXPECT_EQ(w.text(), "12");
    ASSERT_TRUE(JavaScriptResultWord(jsRow(15), "", w));
    EXPECT_EQ(w.kind, wkString);
    EXPECT_TRUE(w.text().isEmpty());
    // Any other type is a text as well.
    T_FunctionDescription other;
    other.ReturnType = u"bool";
    ASSERT_TRUE(JavaScriptResultWord(other, "NaN", w));
    EXPECT_EQ(w.kind, wkString);
    EXPECT_EQ(w.text(), "NaN");

    // "int" and "float" read the engine's number and write it in the
    // interpreter's form.
    ASSERT_TRUE(JavaScriptResultWord(jsRow(1), "252", w));
    EXPECT_EQ(w.kind, wkFloat);
    EXPECT_EQ(w.float_val, 252.0);
    EXPECT_EQ(w.text(), "252");
    ASSERT_TRUE(JavaScriptResultWord(jsRow(2), "-1", w));
    EXPECT_EQ(w.float_val, -1.0);
    EXPECT_EQ(w.text(), "-1");
    ASSERT_TRUE(JavaScriptResultWord(jsRow(5), "946857585000", w));
    EXPECT_EQ(w.float_val, 946857585000.0);
    EXPECT_EQ(w.text(), "946857585000");
    ASSERT_TRUE(JavaScriptResultWord(jsRow(23), "3.5", w));
    EXPECT_EQ(w.kind, wkFloat);
    EXPECT_EQ(w.float_val, 3.5);
    EXPECT_EQ(w.text(), "3.5");
    // The value is the engine's number itself; only the text is shortened.
    ASSERT_TRUE(JavaScriptResultWord(jsRow(23), "0.30000000000000004", w));
    EXPECT_EQ(w.float_val, 0.1 + 0.2);
    EXPECT_EQ(w.text(), "0.3");
    ASSERT_TRUE(JavaScriptResultWord(jsRow(23), "1e+21", w));
    EXPECT_EQ(w.float_val, 1e21);
    EXPECT_EQ(w.text(), "1E21");
    ASSERT_TRUE(JavaScriptResultWord(jsRow(24), "1.2246467991473532e-16", w));
    EXPECT_EQ(w.float_val, 1.2246467991473532e-16);
    EXPECT_EQ(w.text(), "1.22464679914735E-16");

    // Answers that are not finite numbers do not convert and leave the word alone.
    TWordStatus keep = text("before");
    for (const char *bad : {"NaN", "Infinity", "-Infinity", "undefined", "abc", "", "1,5", "12px"}) {
        EXPECT_FALSE(JavaScriptResultWord(jsRow(33), QString::fromUtf8(bad), keep)) << bad;
        EXPECT_FALSE(JavaScriptResultWord(jsRow(7), QString::fromUtf8(bad), keep)) << bad;
    }
    EXPECT_EQ(keep.text(), "before");
    EXPECT_EQ(keep.kind, wkString);
}

// Every catalogued row, called with plausible arguments, gives a source the
// engine accepts and an answer that converts by the row's return type.
TEST(JavaScriptRows, EveryRowRunsInTheEngine)
{
    struct Case {
        int row;
        WordList args;
        QString expected; // the result word's text
    };
    const auto t0 = number("946684800000"); // 2000-01-01 00:00:00 UTC
    const auto t1 = number("946857585123"); // 2000-01-02 23:59:45.123 UTC, a Sunday
    const std::vector<Case> cases = {
        {0, words({text("Apple"), number("1")}), "p"},
        {1, words({text(QString::fromUtf8("München")), number("1")}), "252"},
        {2, words({text("Apple"), text("p")}), "1"},
        {2, words({text("abc"), text("z")}), "-1"},
        {4, words({number("65"), number("66")}), "AB"},
        {5, words({text("2000/01/02 23:59:45")}), "946857585000"},
        {6, words({t0}), "2000"},
        {7, words({t0}), "0"},
        {8, words({t1}), "2"},
        {9, words({t1}), "0"},
        {10, words({t1}), "23"},
        {11, words({t1}), "59"},
        {12, words({t1}), "45"},
        {13, words({t1}), "123"},
        {14, kNoArgs, "0"},
        {17, words({t0, number("2020")}), "1577836800000"},
        {18, words({t0, number("1")}), "949363200000"},
        {19, words({t0, number("15")}), "947894400000"},
        {20, words({t0, number("5")}), "946702800000"},
        {21, words({t0, number("30")}), "946686600000"},
        {22, words({t0, number("30")}), "946684830000"},
        {23, words({number("-2")}), "2"},
        {24, words({number("0")}), "0"},
        {25, words({number("0")}), "1"},
        {26, words({number("1")}), "1.5707963267949"},
        {27, words({number("1")}), "0"},
        {28, words({number("0")}), "0"},
        {29, words({number("1")}), "0.785398163397448"},
        {30, words({number("2.5")}), "3"},
        {30, words({number("-2.5")}), "-2"},
        {30, words({number("-1.6")}), "-2"},
        {31, words({number("1.2")}), "2"},
        {32, words({number("-1.2")}), "-2"},
        {33, words({number("1")}), "0"},
        {34, words({number("0")}), "1"},
        {35, words({number("5"), number("1"), number("2")}), "1"},
        {36, words({number("5"), number("1"), number("2"), number("10"), number("-1.13")}), "10"},
    };

    auto js = makeEngine();
    std::vector<bool> covered(functionTable(FunctionTable::JavaScript).size(), false);
    for (const auto &c : cases) {
        const auto &row = jsRow(c.row);
        const QString source = BuildJavaScriptCall(c.row, c.args);
        const auto r = js->evaluate(source);
        ASSERT_TRUE(r.ok) << "row " << c.row << ": " << source.toStdString() << " -> "
                          << r.text.toStdString();
        // The compiled call with values answers what the source text answers.
        const JavaScriptCall prepared = PrepareJavaScriptCall(row, c.args);
        EXPECT_FALSE(prepared.expression.isEmpty()) << "row " << c.row;
        EXPECT_EQ(js->call(prepared).text, r.text) << "row " << c.row;
        TWordStatus w;
        ASSERT_TRUE(JavaScriptResultWord(row, r.text, w)) << "row " << c.row << ": " << r.text.toStdString();
        EXPECT_EQ(w.text(), c.expected) << "row " << c.row << ": " << source.toStdString();
        EXPECT_EQ(w.kind, row.returnType() == "str" ? wkString : wkFloat) << "row " << c.row;
        covered[static_cast<size_t>(c.row)] = true;
    }

    // The locale-dependent texts: only their content is fixed.
    auto localeText = [&](int row, const TWordStatus &t) {
        const auto r = js->evaluate(BuildJavaScriptCall(row, words({t})));
        EXPECT_TRUE(r.ok) << r.text.toStdString();
        TWordStatus w;
        EXPECT_TRUE(JavaScriptResultWord(jsRow(row), r.text, w));
        EXPECT_EQ(w.kind, wkString);
        covered[static_cast<size_t>(row)] = true;
        return w.text();
    };
    EXPECT_TRUE(localeText(15, t1).contains("59:45"));
    EXPECT_TRUE(localeText(16, t0).contains("2000"));

    // A value outside a function's domain is an invalid numeric answer.
    const auto r = js->evaluate(BuildJavaScriptCall(33, words({number("0")})));
    ASSERT_TRUE(r.ok);
    TWordStatus w;
    EXPECT_FALSE(JavaScriptResultWord(jsRow(33), r.text, w));

    for (size_t i = 0; i < covered.size(); ++i) {
        if (!jsRow(static_cast<int>(i)).formula().isEmpty()) {
            EXPECT_TRUE(covered[i]) << "row " << i << " has no case";
        }
    }
}

TEST(JavaScriptCall, PreparedCallsAnswerAsTheirSourceTexts)
{
    auto js = makeEngine();
    // Texts whose source would read differently stay source texts only.
    for (const QString &odd : {QString("say \"hi\""), QString("a\\nb"), QString("two\nlines")}) {
        const JavaScriptCall c = PrepareJavaScriptCall(jsRow(0), words({text(odd), number("1")}));
        EXPECT_TRUE(c.expression.isEmpty()) << odd.toStdString();
        EXPECT_EQ(js->call(c).text, js->evaluate(c.source).text) << odd.toStdString();
    }
    EXPECT_TRUE(
        PrepareJavaScriptCall(jsRow(0), words({text("true", wkBool), number("0")})).expression.isEmpty());
    // Numbers pass by value: negative zero, large, tiny and inexact values.
    for (const char *n : {"-0", "1e21", "-1e-7", "0.30000000000000004", "-2.5", "123456789012345678"}) {
        TWordStatus w = number(n);
        for (int row : {23, 30, 31, 32, 26}) {
            const JavaScriptCall c = PrepareJavaScriptCall(jsRow(row), words({w}));
            ASSERT_FALSE(c.expression.isEmpty());
            EXPECT_EQ(js->call(c).text, js->evaluate(BuildJavaScriptCall(jsRow(row), words({w}))).text)
                << row << " " << n;
        }
    }
    const auto roundOf = [&](const char *n) {
        return js->call(PrepareJavaScriptCall(jsRow(30), words({number(n)})));
    };
    const QString before = roundOf("7.5").text;
    // A method redefined later is the one a compiled call runs.
    ASSERT_TRUE(js->evaluate("Math.round = function (x) { return x * 100 }").ok);
    EXPECT_NE(roundOf("7.5").text, before);
    EXPECT_EQ(roundOf("7.5").text, "750");
    // An endless method is interrupted by the stop check, and the engine goes on.
    ASSERT_TRUE(js->evaluate("Math.round = function (x) { while (true) {} }").ok);
    int asked = 0;
    const auto r =
        js->call(PrepareJavaScriptCall(jsRow(30), words({number("1")})), [&] { return ++asked >= 2; });
    EXPECT_TRUE(r.interrupted);
    EXPECT_EQ(js->evaluate("6 * 7").text, "42");
}

namespace {

// Values where the methods computed here could part from the engine's:
// halves, the edges of the double range, integers past 2^52, results that
// print in exponent notation, and a spread of magnitudes and signs.
std::vector<double> mathProbeValues()
{
    std::vector<double> v = {0.0,
                             -0.0,
                             0.5,
                             -0.5,
                             0.49999999999999994,
                             -0.49999999999999994,
                             1.5,
                             2.5,
                             -2.5,
                             -1.5,
                             4503599627370497.0,
                             -4503599627370497.0,
                             1e21,
                             1e-7,
                             1.5e-7,
                             5e-324,
                             2.2250738585072014e-308,
                             1e308,
                             -1e308,
                             3.141592653589793,
                             0.1,
                             1.0 / 3.0,
                             1.0,
                             -1.0,
                             2.0,
                             709.78,
                             -745.2,
                             1e-320,
                             123456789.123,
                             1e22,
                             -0.7,
                             0.9999999999999999};
    std::mt19937_64 random(20261210);
    std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
    std::uniform_int_distribution<int> exponent(-12, 25);
    for (int i = 0; i < 400; ++i)
        v.push_back(mantissa(random) * std::pow(10.0, exponent(random)));
    return v;
}

TWordStatus numberWord(double x)
{
    TWordStatus w;
    w.kind = wkFloat;
    w.float_val = x;
    w.setText(FormatNumber(x));
    return w;
}

} // namespace

TEST(JavaScriptMath, ComputedHereAsTheEngineComputesUntilASourceReplacesAMethod)
{
    auto js = makeEngine();
    ASSERT_TRUE(js->standardMethodsUnchanged());
    const std::vector<double> values = mathProbeValues();
    int compared = 0;
    for (const T_FunctionDescription &row : functionTable(FunctionTable::JavaScript)) {
        if (row.Obj != jso_Math)
            continue;
        for (size_t i = 0; i < values.size(); ++i) {
            WordList args = words({numberWord(values[i])});
            if (row.name() == QLatin1String("min") || row.name() == QLatin1String("max")) {
                args = words({numberWord(values[i]), numberWord(values[(i + 1) % values.size()]),
                              numberWord(values[(i + 7) % values.size()])});
            }
            const JavaScriptResult answer = js->call(PrepareJavaScriptCall(row, args));
            TWordStatus engine, here;
            const bool engineOk = answer.ok && JavaScriptResultWord(row, answer.text, engine);
            double value = 0.0;
            ASSERT_TRUE(NativeMathValue(row, args, value)) << row.name().toStdString();
            const bool hereOk = JavaScriptNumberWord(value, here);
            const std::string what = row.name().toStdString() + "(" + args[0].text().toStdString() + ")";
            ASSERT_EQ(hereOk, engineOk) << what << " engine: " << answer.text.toStdString();
            if (!engineOk)
                continue;
            EXPECT_EQ(here.text(), engine.text()) << what;
            EXPECT_EQ(std::memcmp(&here.float_val, &engine.float_val, sizeof(double)), 0) << what;
            ++compared;
        }
    }
    EXPECT_GT(compared, 14 * 300);
    // Prepared calls leave Math alone; a source that only reads it does too.
    EXPECT_TRUE(js->standardMethodsUnchanged());
    ASSERT_TRUE(js->evaluate(QStringLiteral("var m = Math.floor(2.5)")).ok);
    EXPECT_TRUE(js->standardMethodsUnchanged());
    // A replaced method, a replaced Math, or a method deleted: the engine answers.
    for (const char *change :
         {"Math.floor = function (x) { return 42 }", "Math = { floor: Math.floor }", "delete Math.sin"}) {
        auto changed = makeEngine();
        ASSERT_TRUE(changed->evaluate(QString::fromUtf8(change)).ok) << change;
        EXPECT_FALSE(changed->standardMethodsUnchanged()) << change;
        EXPECT_FALSE(changed->standardMethodsUnchanged()) << change;
    }
    // Put back as it was, Math is unchanged again.
    ASSERT_TRUE(js->evaluate(QStringLiteral("var keep = Math.floor; Math.floor = null")).ok);
    EXPECT_FALSE(js->standardMethodsUnchanged());
    ASSERT_TRUE(js->evaluate(QStringLiteral("Math.floor = keep")).ok);
    EXPECT_TRUE(js->standardMethodsUnchanged());
    // Texts and wrong counts are never computed here.
    double value = 0.0;
    EXPECT_FALSE(NativeMathValue(jsRow(32), words({text(QStringLiteral("2.5"))}), value));
    EXPECT_FALSE(NativeMathValue(jsRow(32), words({numberWord(1), numberWord(2)}), value));
    EXPECT_FALSE(NativeMathValue(jsRow(32), kNoArgs, value));
}

TEST(JavaScriptEngine, PreparedCallsSeeWhatEverySourceDefinedBeforeThem)
{
    auto js = makeEngine();
    const WordList args = words({text(QStringLiteral("abc")), numberWord(1)});
    const auto charAt = [&] { return js->call(PrepareJavaScriptCall(jsRow(0), args)).text; };
    EXPECT_EQ(charAt(), "b");
    EXPECT_EQ(charAt(), "b");
    // A source that redefines a method: every later call runs the new one,
    // and the state kept before it (a global) is still there.
    ASSERT_TRUE(js->evaluate(QStringLiteral("var seen = 0; String.prototype.charAt = "
                                            "function (i) { seen++; return 'z' + i }"))
                    .ok);
    EXPECT_EQ(charAt(), "z1");
    EXPECT_EQ(charAt(), "z1");
    EXPECT_EQ(js->evaluate(QStringLiteral("seen")).text, "2");
    // A call whose argument cannot pass as a value runs as its source text
    // (a doubled quote does not read in the engine's syntax).
    auto fresh = makeEngine();
    const WordList quoted = words({text(QStringLiteral("a\"b")), numberWord(1)});
    EXPECT_FALSE(fresh->call(PrepareJavaScriptCall(jsRow(0), quoted)).ok);
    EXPECT_EQ(fresh->call(PrepareJavaScriptCall(jsRow(0), args)).text, "b");
    ASSERT_TRUE(fresh->evaluate(QStringLiteral("String.prototype.charAt = function () { return 'q' }")).ok);
    EXPECT_EQ(fresh->call(PrepareJavaScriptCall(jsRow(0), args)).text, "q");
}

// charAt and charCodeAt of a text are computed here while the engine's
// string methods are its own: the answer is the engine's for every text and
// position, and a replaced method sends the call back to the engine.
TEST(JavaScriptStrings, ComputedHereAsTheEngineAnswersUntilASourceReplacesAMethod)
{
    auto js = makeEngine();
    ASSERT_TRUE(js->standardMethodsUnchanged());
    const QString texts[] = {QString(), QStringLiteral("Apple"), QStringLiteral("Тесмора"),
                             QString::fromUtf8("a\xF0\x9F\x98\x80z"), QStringLiteral("it's")};
    const double positions[] = {0,
                                1,
                                2,
                                4,
                                5,
                                6,
                                -1,
                                -0.5,
                                0.5,
                                2.9,
                                -0.0,
                                1e300,
                                -1e300,
                                std::numeric_limits<double>::quiet_NaN(),
                                std::numeric_limits<double>::infinity()};
    int compared = 0;
    for (const int row : {0, 1}) {
        for (const QString &t : texts) {
            for (const double p : positions) {
                const WordList args = words({text(t), numberWord(p)});
                QString here;
                ASSERT_TRUE(NativeStringAnswer(jsRow(row), args, here));
                const JavaScriptResult engine = js->evaluate(BuildJavaScriptCall(jsRow(row), args));
                ASSERT_TRUE(engine.ok);
                EXPECT_EQ(here, engine.text) << row << " " << t.toStdString() << " " << p;
                ++compared;
            }
        }
    }
    EXPECT_EQ(compared, 2 * 5 * 15);
    // Numbers as the object, texts as the position, other counts and other
    // rows go to the engine.
    QString answer;
    EXPECT_FALSE(NativeStringAnswer(jsRow(0), words({numberWord(5), numberWord(0)}), answer));
    EXPECT_FALSE(NativeStringAnswer(jsRow(0), words({text("ab"), text("1")}), answer));
    EXPECT_FALSE(NativeStringAnswer(jsRow(0), words({text("ab")}), answer));
    EXPECT_FALSE(NativeStringAnswer(jsRow(0), words({text("say \"hi\""), numberWord(1)}), answer));
    EXPECT_FALSE(NativeStringAnswer(jsRow(2), words({text("ab"), text("b")}), answer));
    // A replaced or deleted method, also through the String object: the
    // engine answers. A new global String does not touch the texts' methods.
    for (const char *change :
         {"String.prototype.charAt = function (i) { return 'z' }", "delete String.prototype.charCodeAt",
          "Object.getPrototypeOf('').charAt = null"}) {
        auto changed = makeEngine();
        ASSERT_TRUE(changed->evaluate(QString::fromUtf8(change)).ok) << change;
        EXPECT_FALSE(changed->standardMethodsUnchanged()) << change;
    }
    ASSERT_TRUE(js->evaluate(QStringLiteral("String = function () {}")).ok);
    EXPECT_TRUE(js->standardMethodsUnchanged());
}

// An engine asked for a prepared call whose expression it cannot run, and
// given no source text, asks for the source.
TEST(JavaScriptCall, AnExpressionThatDoesNotCompileAsksForItsSource)
{
    auto js = makeEngine();
    JavaScriptCall c;
    c.expression = QStringLiteral("(a0).charAt(");
    c.args.append({true, 0.0, QStringLiteral("Apple")});
    const JavaScriptResult r = js->call(c);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.needsSource);
    c.source = QStringLiteral("(\"Apple\").charAt(1)");
    EXPECT_EQ(js->call(c).text, "p");
}
