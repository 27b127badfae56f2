// Date and time functions and Eval, driven the way scripts call them: an
// expression text goes through word classification, argument preparation,
// the check against the catalogue and the function itself. The JavaScript
// engine is the program's real one unless a test needs to see or steer what
// the engine is asked.
#include "builtin_calls.h"
#include "core/interpreter.h"
#include "core/numbers.h"
#include "library/builtin_families.h"
#include "platform/qjs_engine.h"

#include <QDateTime>
#include <QLocale>
#include <QTimeZone>
#include <gtest/gtest.h>
#include <cmath>
#include <cstdlib>
#include <memory>

using namespace tesmora;
using namespace tesmora::test;

namespace {

// QJSEngine needs an application object, as in the program.
[[maybe_unused]] ::testing::Environment *const kApplication =
    addApplicationEnvironment("test_builtins_datetime");

// An engine that records what it is asked and gives a fixed answer.
struct ScriptedEngine : JavaScriptEngine {
    JavaScriptResult answer{true, QStringLiteral("0")};
    QStringList sources;
    JavaScriptResult evaluate(const QString &source, const StopCheck & = {}) override
    {
        sources << source;
        return answer;
    }
};

// An interpreter with the program's JavaScript engine.
struct JsInterpreter {
    QtJavaScriptEngine engine;
    Interpreter in{{.js = &engine}};
};

// A fresh interpreter with the program's JavaScript engine, for help examples.
std::shared_ptr<Interpreter> jsInterpreter()
{
    const auto js = std::make_shared<JsInterpreter>();
    return {js, &js->in};
}

// An error text as raised on line 0.
QString raised(const QString &message)
{
    return message + QStringLiteral("\r\rLine 0.");
}

// Seconds since 1970 of a UTC calendar moment: what a date text means when
// no time zone is applied.
double utcSeconds(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return static_cast<double>(
        QDateTime(QDate(y, mo, d), QTime(h, mi, s), QTimeZone::utc()).toSecsSinceEpoch());
}

QString ms(double value)
{
    return QString::number(value, 'f', 0);
}

bool expectRussianLocale()
{
    return std::getenv("TESMORA_EXPECT_RU_LOCALE") != nullptr;
}

// The time zone offset (UTC minus local time, minutes) the test runs under:
// CTest fixes UTC; the entry that changes the zone says which offset it set.
int expectedZoneOffset()
{
    const char *v = std::getenv("TESMORA_EXPECT_TZ_OFFSET");
    return v ? std::atoi(v) : 0;
}

} // namespace

// ---- DateTimeToUNIXTime -------------------------------------------------

TEST(DateTimeToUnixTime, FixedCharacterPositionsWithoutTimeZone)
{
    JsInterpreter js;
    Interpreter &in = js.in;
    EXPECT_EQ(number(in, "DateTimeToUNIXTime('26.07.2019')"), 1564099200);
    EXPECT_EQ(eval(in, "DateTimeToUNIXTime('26.07.2019')").value.text(), "1564099200");
    EXPECT_EQ(number(in, "DateTimeToUNIXTime('26.07.2019 01:00:00')"), 1564102800);
    // The time is read only from a text of exactly 19 characters.
    EXPECT_EQ(number(in, "DateTimeToUNIXTime('26.07.2019 1:00:00')"), 1564099200);
    EXPECT_EQ(number(in, "DateTimeToUNIXTime('26.07.2019 01:00:000')"), 1564099200);
    EXPECT_EQ(number(in, "DateTimeToUNIXTime('26.07.2019 01:00:00 ')"), 1564099200);
    EXPECT_EQ(number(in, "DateTimeToUNIXTime('26.07.2019 - no time')"), 1564099200);
    // Only the positions count, not the separators between them.
    EXPECT_EQ(number(in, "DateTimeToUNIXTime('26/07/2019T01:02:03')"), utcSeconds(2019, 7, 26, 1, 2, 3));
    // Calendar moments anywhere in the date range, before 1970 included.
    EXPECT_EQ(number(in, "DateTimeToUNIXTime('01.01.1970 00:00:00')"), 0);
    EXPECT_EQ(number(in, "DateTimeToUNIXTime('31.12.1969 23:59:59')"), -1);
    EXPECT_EQ(number(in, "DateTimeToUNIXTime('29.02.2000 12:34:56')"), utcSeconds(2000, 2, 29, 12, 34, 56));
    EXPECT_EQ(number(in, "DateTimeToUNIXTime('01.01.0001')"), utcSeconds(1, 1, 1));
    EXPECT_EQ(number(in, "DateTimeToUNIXTime('31.12.9999 23:59:59')"), utcSeconds(9999, 12, 31, 23, 59, 59));
    EXPECT_EQ(number(in, "DateTimeToUNIXTime('19.01.2038 03:14:08')"), 2147483648.0);
    // Blanks around a part and a sign are part of a decimal integer.
    EXPECT_EQ(number(in, "DateTimeToUNIXTime(' 1.07.2019')"), utcSeconds(2019, 7, 1));
    EXPECT_EQ(number(in, "DateTimeToUNIXTime('+1.07.2019')"), utcSeconds(2019, 7, 1));
    // Synonym and a text in double quotes.
    EXPECT_EQ(number(in, "DT_Conv_DateTimeToUNIXTime(\"26.07.2019\")"), 1564099200);
    // A number is not a date text.
    EXPECT_EQ(error(in, "DateTimeToUNIXTime(5)"),
              raised("Function \"DateTimeToUNIXTime\". Parameter № 1 must be \"string\". "));
}

TEST(DateTimeToUnixTime, InvalidPartsStopWithTheirOwnText)
{
    JsInterpreter js;
    Interpreter &in = js.in;
    EXPECT_EQ(error(in, "DateTimeToUNIXTime('29.02.2019')"),
              raised("Day 29, month 2 and year 2019 do not form a valid date."));
    for (const char *bad : {"'32.01.2019'", "'00.01.2019'", "'26.13.2019'", "'26.00.2019'", "'26.07.0000'",
                            "'-1.07.2019'", "'31.04.2019 10:00:00'"}) {
        SCOPED_TRACE(bad);
        EXPECT_TRUE(error(in, QStringLiteral("DateTimeToUNIXTime(%1)").arg(bad))
                        .contains("do not form a valid date"));
    }
    EXPECT_EQ(error(in, "DateTimeToUNIXTime('26.07.2019 24:00:00')"),
              raised("Hours 24, minutes 0 and seconds 0 do not form a valid time."));
    EXPECT_EQ(error(in, "DateTimeToUNIXTime('26.07.2019 01:60:00')"),
              raised("Hours 1, minutes 60 and seconds 0 do not form a valid time."));
    EXPECT_EQ(error(in, "DateTimeToUNIXTime('26.07.2019 01:00:60')"),
              raised("Hours 1, minutes 0 and seconds 60 do not form a valid time."));
    // A part that is no decimal integer is named in the text.
    EXPECT_EQ(error(in, "DateTimeToUNIXTime('1.7.2019xx')"), raised("\"1.\" is not a decimal integer."));
    EXPECT_EQ(error(in, "DateTimeToUNIXTime('26.07.2019 01:0x:00')"),
              raised("\"0x\" is not a decimal integer."));
    EXPECT_EQ(error(in, "DateTimeToUNIXTime('26.07.$7E3')"), raised("\"$7E3\" is not a decimal integer."));
    EXPECT_EQ(error(in, "DateTimeToUNIXTime('aa.07.2019')"), raised("\"aa\" is not a decimal integer."));
    // A text too short to hold a four-digit year.
    EXPECT_EQ(
        error(in, "DateTimeToUNIXTime('26.07.19')"),
        raised("The date text \"26.07.19\" is too short: dd.mm.yyyy or dd.mm.yyyy hh:nn:ss is expected."));
    EXPECT_TRUE(error(in, "DateTimeToUNIXTime('')").contains("too short"));
}

TEST(DateTimeToUnixTime, WithoutArgumentTheCurrentLocalClock)
{
    JsInterpreter js;
    // The local clock reading counted as if it were UTC.
    auto localAsUtc = [] {
        const QDateTime now = QDateTime::currentDateTime();
        return static_cast<double>(QDate(1970, 1, 1).daysTo(now.date())) * 86400.0 +
               now.time().msecsSinceStartOfDay() / 1000.0;
    };
    const double before = std::floor(localAsUtc());
    const Outcome o = eval(js.in, "DateTimeToUNIXTime()");
    const double after = std::ceil(localAsUtc());
    ASSERT_TRUE(o.error.isEmpty()) << o.error.toStdString();
    EXPECT_EQ(o.value.kind, wkFloat);
    EXPECT_EQ(o.value.float_val, std::round(o.value.float_val));
    EXPECT_GE(o.value.float_val, before);
    EXPECT_LE(o.value.float_val, after);
}

// ---- UNIXTimeToDateTime -------------------------------------------------

TEST(UnixTimeToDateTime, SecondsShownAsTheyAreWithoutTimeZone)
{
    JsInterpreter js;
    Interpreter &in = js.in;
    EXPECT_EQ(text(in, "UNIXTimeToDateTime(0)"), "01.01.1970 00:00:00");
    EXPECT_EQ(text(in, "UNIXTimeToDateTime(1564102800)"), "26.07.2019 01:00:00");
    EXPECT_EQ(text(in, "UNIXTimeToDateTime(-1)"), "31.12.1969 23:59:59");
    EXPECT_EQ(text(in, "DT_Conv_UNIXTimeToDateTime(2147483647)"), "19.01.2038 03:14:07");
    EXPECT_EQ(text(in, "UNIXTimeToDateTime(-2147483648)"), "13.12.1901 20:45:52");
    // The argument is rounded to whole seconds, halves to even.
    EXPECT_EQ(text(in, "UNIXTimeToDateTime(2.5)"), "01.01.1970 00:00:02");
    EXPECT_EQ(text(in, "UNIXTimeToDateTime(3.5)"), "01.01.1970 00:00:04");
    EXPECT_EQ(text(in, "UNIXTimeToDateTime(-0.5)"), "01.01.1970 00:00:00");
    EXPECT_EQ(text(in, "UNIXTimeToDateTime(59.7)"), "01.01.1970 00:01:00");
    // 32-bit seconds only.
    EXPECT_EQ(
        error(in, "UNIXTimeToDateTime(2147483648)"),
        raised("The value 2147483648 is outside the range of UNIX time stamps (-2147483648 to 2147483647)."));
    EXPECT_TRUE(error(in, "UNIXTimeToDateTime(-2147483649)").contains("outside the range"));
    EXPECT_TRUE(error(in, "UNIXTimeToDateTime('0')").contains("must be \"int\""));
    // Every second comes back whole, though seconds / 86400 + 25569 is
    // rarely exact; the two conversions undo each other.
    for (qint64 s = 1564102800; s < 1564102800 + 3000; s += 7) {
        const QString expr = QStringLiteral("DateTimeToUNIXTime(UNIXTimeToDateTime(%1))").arg(s);
        ASSERT_EQ(number(in, expr), static_cast<double>(s)) << expr.toStdString();
    }
    for (qint64 s : {-86401LL, -3601LL, 951782400LL, 2147483647LL}) {
        const QString shown = text(in, QStringLiteral("UNIXTimeToDateTime(%1)").arg(s));
        EXPECT_EQ(shown, QDateTime::fromSecsSinceEpoch(s, QTimeZone::utc()).toString("dd.MM.yyyy HH:mm:ss"));
    }
}

TEST(UnixTimeToDateTime, WithoutArgumentTheCurrentLocalTime)
{
    JsInterpreter js;
    const QString before = QDateTime::currentDateTime().toString("dd.MM.yyyy HH:mm:ss");
    const QString shown = text(js.in, "UNIXTimeToDateTime()");
    const QString after = QDateTime::currentDateTime().toString("dd.MM.yyyy HH:mm:ss");
    EXPECT_TRUE(shown == before || shown == after) << shown.toStdString();
}

// ---- Date_Time_Format -------------------------------------------------

// 2019-07-26 13:05:09.007 UTC; with the engine's offset 0 that is also the
// local clock reading.
constexpr double kFriday = 1564146309007.0;

TEST(DateTimeFormat, NumberCodesQuotesAndTheTwelveHourClock)
{
    ScriptedEngine engine;
    Interpreter in({.js = &engine});
    auto fmt = [&](const QString &format, double msValue = kFriday) {
        return text(in, QStringLiteral("Date_Time_Format('%1', %2)").arg(format, ms(msValue)));
    };
    // 2019-03-05 04:06:08.009: every part has one digit.
    const double march = utcSeconds(2019, 3, 5, 4, 6, 8) * 1000 + 9;
    EXPECT_EQ(fmt("dd.mm.yyyy hh.nn.ss.zzz"), "26.07.2019 13.05.09.007");
    EXPECT_EQ(fmt("DD.MM.YYYY HH.NN.SS.ZZZ"), "26.07.2019 13.05.09.007");
    EXPECT_EQ(fmt("d.m.yy h.n.s.z", march), "5.3.19 4.6.8.9");
    EXPECT_EQ(fmt("dd.mm.yyyy hh.nn.ss.zzz", march), "05.03.2019 04.06.08.009");
    EXPECT_EQ(fmt("y yyy", march), "19 2019");
    EXPECT_EQ(fmt("yy", utcSeconds(2005, 1, 1) * 1000), "05");
    // m and mm mean minutes right after an hour code (separators, blanks
    // and quoted text between do not count), else the month.
    EXPECT_EQ(fmt("hh:mm"), "13:05");
    EXPECT_EQ(fmt("h m", march), "4 6");
    EXPECT_EQ(fmt("hh\"h\"mm"), "13h05");
    EXPECT_EQ(fmt("mm:ss"), "07:09");
    EXPECT_EQ(fmt("hh dd mm"), "13 26 07");
    EXPECT_EQ(fmt("hh.nn mm"), "13.05 07");
    EXPECT_EQ(fmt("hhxmm"), "13x07");
    // The 12-hour clock: an am/pm code anywhere (outside quotes) switches
    // every hour code; the marker keeps the letters as written.
    EXPECT_EQ(fmt("h:nn am/pm"), "1:05 pm");
    EXPECT_EQ(fmt("hh:nn AM/PM"), "01:05 PM");
    EXPECT_EQ(fmt("Am/Pm h"), "Pm 1");
    EXPECT_EQ(fmt("h a/p"), "1 p");
    EXPECT_EQ(fmt("h A/P"), "1 P");
    EXPECT_EQ(fmt("h:nn am/pm", march), "4:06 am");
    EXPECT_EQ(fmt("h:nn a/p", utcSeconds(2019, 1, 1, 0, 30) * 1000), "12:30 a");
    EXPECT_EQ(fmt("h:nn am/pm", utcSeconds(2019, 1, 1, 12, 0) * 1000), "12:00 pm");
    EXPECT_EQ(fmt("hh:nn A/P", utcSeconds(2019, 1, 1, 23, 59) * 1000), "11:59 P");
    EXPECT_EQ(fmt("hh \"am/pm\""), "13 am/pm");
    EXPECT_EQ(fmt("hh"), "13");
    // Quoted text in either quote is copied without its quotes; letters
    // that are no code are copied; an unclosed quote runs to the end.
    EXPECT_EQ(fmt("\"Date\" dd"), "Date 26");
    EXPECT_EQ(text(in, QStringLiteral("Date_Time_Format(\"'d=' d\", %1)").arg(ms(kFriday))), "d= 26");
    EXPECT_EQ(fmt("\"dd"), "dd");
    EXPECT_EQ(fmt("Week dd"), "Week 26");
    EXPECT_EQ(fmt("a b"), "a b");
    EXPECT_EQ(fmt("[dd]"), "[26]");
    EXPECT_EQ(fmt(""), "");
    // Before 1970 and far ahead.
    EXPECT_EQ(fmt("dd.mm.yyyy hh:nn:ss.zzz", -1), "31.12.1969 23:59:59.999");
    EXPECT_EQ(fmt("dd.mm.yyyy", utcSeconds(1899, 12, 30) * 1000), "30.12.1899");
    EXPECT_EQ(fmt("dd.mm.yyyy", utcSeconds(9999, 12, 31) * 1000), "31.12.9999");
}

TEST(DateTimeFormat, AHairBelowAWholeSecondShowsThatSecond)
{
    ScriptedEngine engine;
    Interpreter in({.js = &engine});
    // ms / 1000 / 86400 + 25569 is rarely exact: splitting it without
    // rounding would show many of these seconds one millisecond early.
    for (qint64 s = 1564102800; s < 1564102800 + 3000; s += 7) {
        const QString expr = QStringLiteral("Date_Time_Format('hh:nn:ss.zzz', %1)").arg(s * 1000);
        ASSERT_EQ(text(in, expr), QDateTime::fromSecsSinceEpoch(s, QTimeZone::utc()).toString("HH:mm:ss.zzz"))
            << expr.toStdString();
    }
    EXPECT_EQ(text(in, "Date_Time_Format('hh:nn:ss.zzz', 1564102799999.9999)"), "01:00:00.000");
    EXPECT_EQ(text(in, "Date_Time_Format('hh:nn:ss.zzz', 1564102799999.4)"), "00:59:59.999");
}

TEST(DateTimeFormat, TheOffsetComesFromTheJavaScriptEngine)
{
    ScriptedEngine engine;
    Interpreter in({.js = &engine});
    engine.answer = {true, QStringLiteral("-180")};
    EXPECT_EQ(text(in, "DT_Format_Date_Time('dd.mm.yyyy hh:nn', 0)"), "01.01.1970 03:00");
    EXPECT_EQ(engine.sources, QStringList{"(new Date()).getTimezoneOffset()"});
    engine.answer = {true, QStringLiteral("300")};
    EXPECT_EQ(text(in, "Date_Time_Format('dd.mm.yyyy hh:nn', 0)"), "31.12.1969 19:00");
    engine.answer = {true, QStringLiteral("-330")};
    EXPECT_EQ(text(in, "Date_Time_Format('hh:nn', 0)"), "05:30");

    // Without a moment the local clock is read and the engine is not asked.
    engine.sources.clear();
    const QString before = QDateTime::currentDateTime().toString("dd.MM.yyyy HH:mm");
    const QString now = text(in, "Date_Time_Format('dd.mm.yyyy hh:nn')");
    const QString after = QDateTime::currentDateTime().toString("dd.MM.yyyy HH:mm");
    EXPECT_TRUE(now == before || now == after) << now.toStdString();
    EXPECT_TRUE(engine.sources.isEmpty());

    // Failures of the engine and answers that are no integer.
    engine.answer = {false, QStringLiteral("Date is not defined")};
    EXPECT_EQ(error(in, "Date_Time_Format('hh', 0)"), raised("JavaScript: Date is not defined"));
    engine.answer = {true, QStringLiteral("-2.5")};
    EXPECT_EQ(error(in, "Date_Time_Format('hh', 0)"), raised("\"-2.5\" is not a decimal integer."));
    engine.answer = {true, QStringLiteral("0")};
    EXPECT_TRUE(error(in, "Date_Time_Format('hh', 1E20)").contains("out of range"));
    EXPECT_TRUE(error(in, "Date_Time_Format(5, 0)").contains("must be \"string\""));

    Interpreter bare;
    EXPECT_EQ(error(bare, "Date_Time_Format('hh', 0)"),
              raised("JavaScript: no JavaScript engine is available."));
    EXPECT_FALSE(text(bare, "Date_Time_Format('hh')").isEmpty());
}

// Runs under UTC and, in a second CTest entry, under a zone nine hours ahead.
TEST(DateTimeZone, MomentsAreShownInTheLocalTime)
{
    JsInterpreter js;
    Interpreter &in = js.in;
    const int offset = expectedZoneOffset();
    EXPECT_EQ(number(in, "getTimezoneOffset()"), offset);
    // getTime reads the text as local time; Date_Time_Format shows it back.
    EXPECT_EQ(text(in, "Date_Time_Format('DD.MM.YYYY HH:NN:SS', getTime('2019/07/26 13:05:09'))"),
              "26.07.2019 13:05:09");
    const QDateTime epochLocal =
        QDateTime(QDate(1970, 1, 1), QTime(0, 0), QTimeZone::utc()).addSecs(-offset * 60);
    EXPECT_EQ(text(in, "Date_Time_Format('dd.mm.yyyy hh:nn', 0)"), epochLocal.toString("dd.MM.yyyy HH:mm"));
    EXPECT_EQ(text(in, "Date_Time_Format('dd.mm.yyyy hh:nn', getTime('1970-01-01T00:00:00Z'))"),
              epochLocal.toString("dd.MM.yyyy HH:mm"));
    // The UNIX conversions apply no zone at all.
    EXPECT_EQ(text(in, "UNIXTimeToDateTime(0)"), "01.01.1970 00:00:00");
    EXPECT_EQ(number(in, "DateTimeToUNIXTime('26.07.2019')"), 1564099200);
    EXPECT_EQ(number(in, "DateTimeToUNIXTime('26.07.2019 01:00:00')"), 1564102800);
}

// Names, separators and the system's date and time forms; a second CTest
// entry runs this under a Russian locale.
TEST(DateTimeFormat, RegionalSettings)
{
    ScriptedEngine engine;
    Interpreter in({.js = &engine});
    auto fmt = [&](const QString &format, double msValue = kFriday) {
        return text(in, QStringLiteral("Date_Time_Format('%1', %2)").arg(format, ms(msValue)));
    };
    const double midnight = utcSeconds(2019, 7, 26) * 1000;
    if (expectRussianLocale()) {
        ASSERT_EQ(QLocale::system().language(), QLocale::Russian);
        EXPECT_EQ(fmt("ddd dddd"), "пт пятница");
        // Month names in a date with a day number, standalone otherwise.
        EXPECT_EQ(fmt("d mmmm yyyy"), "26 июля 2019");
        EXPECT_EQ(fmt("mmmm yyyy"), "июль 2019");
        EXPECT_EQ(fmt("dd mmm"), "26 июл.");
        EXPECT_EQ(fmt("dd/mm/yyyy"), "26.07.2019");
        EXPECT_EQ(fmt("hh:nn:ss"), "13:05:09");
        EXPECT_EQ(fmt("ddddd"), "26.07.2019");
        EXPECT_EQ(fmt("dddddd"), "пятница, 26 июля 2019 г.");
        EXPECT_EQ(fmt("t|tt"), "13:05|13:05:09");
        EXPECT_EQ(fmt("c"), "26.07.2019 13:05:09");
        EXPECT_EQ(fmt("c", midnight), "26.07.2019");
    } else {
        EXPECT_EQ(fmt("ddd dddd"), "Fri Friday");
        EXPECT_EQ(fmt("d mmmm yyyy"), "26 July 2019");
        EXPECT_EQ(fmt("mmm yyyy"), "Jul 2019");
        // The C locale's short date has no separator character: "/" stays.
        EXPECT_EQ(fmt("dd/mm/yyyy"), "26/07/2019");
        EXPECT_EQ(fmt("hh:nn:ss"), "13:05:09");
        EXPECT_EQ(fmt("ddddd"), "26 Jul 2019");
        EXPECT_EQ(fmt("dddddd"), "Friday, 26 July 2019");
        EXPECT_EQ(fmt("t|tt"), "13:05:09|13:05:09");
        EXPECT_EQ(fmt("c"), "26 Jul 2019 13:05:09");
        EXPECT_EQ(fmt("c", midnight), "26 Jul 2019");
    }
    // The AM/PM texts of the system, before noon and after.
    EXPECT_EQ(fmt("h ampm"), "1 " + QLocale::system().pmText());
    EXPECT_EQ(fmt("hh ampm", midnight), "12 " + QLocale::system().amText());
    EXPECT_EQ(fmt("dddd", utcSeconds(2019, 7, 28) * 1000), QLocale::system().dayName(7));
}

// ---- Eval -------------------------------------------------------------

TEST(Eval, OneEngineKeepsItsStateAndReportsFailures)
{
    JsInterpreter js;
    Interpreter &in = js.in;
    EXPECT_EQ(text(in, "Eval('2 + 3 * 4')"), "14");
    EXPECT_EQ(text(in, "Eval('var k = 5')"), "undefined");
    EXPECT_EQ(text(in, "Eval('k * 2')"), "10");
    EXPECT_EQ(text(in, "Eval('function sq(x) { return x * x }')"), "undefined");
    EXPECT_EQ(text(in, "JS_Evaluation('sq(k) + 1')"), "26");
    EXPECT_EQ(text(in, "Eval('\"a\" + \"b\"')"), "ab");
    EXPECT_EQ(text(in, "Eval(\"'x'.repeat(3)\")"), "xxx");
    EXPECT_EQ(text(in, "Eval('0.1 + 0.2')"), "0.30000000000000004");
    // The answer is a text even when it looks like a number.
    EXPECT_EQ(eval(in, "Eval('7')").value.kind, wkString);

    EXPECT_TRUE(error(in, "Eval('1+')").startsWith("JavaScript: "));
    EXPECT_EQ(error(in, "Eval('throw new Error(\"custom\")')"), raised("JavaScript: custom"));
    EXPECT_EQ(error(in, "Eval('throw 42')"), raised("JavaScript: 42"));
    const QString unknown = error(in, "Eval('nothingHere + 1')");
    EXPECT_TRUE(unknown.startsWith("JavaScript: ") && unknown.contains("nothingHere"))
        << unknown.toStdString();
    // The engine stays usable after a failure, with its definitions.
    EXPECT_EQ(text(in, "Eval('k')"), "5");
    // JavaScript-backed functions run in the same engine.
    EXPECT_EQ(text(in, "Eval('var Apple = 1')"), "undefined");
    EXPECT_EQ(number(in, "indexOf('Apple', 'p')"), 1);

    // Each interpreter has an engine of its own.
    JsInterpreter other;
    EXPECT_TRUE(error(other.in, "Eval('k')").startsWith("JavaScript: "));
    Interpreter bare;
    EXPECT_EQ(error(bare, "Eval('1')"), raised("JavaScript: no JavaScript engine is available."));
    EXPECT_EQ(error(in, "Eval(5)"), raised("Function \"Eval\". Parameter № 1 must be \"string\". "));
}

// ---- Help texts -------------------------------------------------------

TEST(DateTimeHelp, HelpTextsInBothLanguagesWithWorkingExamples)
{
    checkHelpExamples(FunctionTable::Embedded, {25, 26, 27, 63}, jsInterpreter);
}

TEST(JavaScriptHelp, EveryJavaScriptBackedFunctionHasWorkingExamples)
{
    const auto table = functionTable(FunctionTable::JavaScript);
    QList<int> rows;
    for (int row = 0; row < static_cast<int>(table.size()); ++row) {
        if (table[static_cast<size_t>(row)].formula().isEmpty()) {
            EXPECT_TRUE(functionDescription(FunctionTable::JavaScript, row, 0).isEmpty()) << row;
            continue;
        }
        rows << row;
    }
    EXPECT_EQ(rows.size(), 36);
    checkHelpExamples(FunctionTable::JavaScript, rows, jsInterpreter);
}
