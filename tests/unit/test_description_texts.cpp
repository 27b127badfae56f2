// The readers of description texts: their textual rules, their blind
// spots and their behaviour on hostile input.
#include "core/interpreter.h"
#include "core/message_catalogue.h"
#include "graphics/description_texts.h"
#include "script_host.h" // PrintTo for QString

#include <gtest/gtest.h>

#include <cmath>

using namespace tesmora;

namespace {

QString msg(int id, const MessageArgs &args)
{
    return formatMessage(catalogueText(id, 0), args) + QStringLiteral("\r\rLine 0.");
}

// The value of `key`, which must be read without an error.
QString value(const QString &text, const QString &key)
{
    Interpreter in;
    const QString v = Json_GetValue(in, text, key);
    EXPECT_TRUE(in.errorText().isEmpty()) << key.toStdString() << ": " << in.errorText().toStdString();
    return v;
}

struct FloatOutcome {
    double value;
    QString error;
};

FloatOutcome readFloat(const QString &text, const QString &key)
{
    Interpreter in;
    const double v = Json_GetFloat(in, text, key);
    return {v, in.errorText()};
}

} // namespace

TEST(SpecStrings, ScalarsObjectsAndQuotes)
{
    const QString spec = QStringLiteral(R"({"name":"Outdoor thermometer","min":-20})");
    EXPECT_EQ(value(spec, "name"), "Outdoor thermometer");
    EXPECT_EQ(value(spec, "min"), "-20");
    EXPECT_EQ(value(R"({"inner_rect":{"x1":4,"y1":11}})", "inner_rect"), R"({"x1":4,"y1":11})");
    // Objects do not nest: the first closing brace ends the object.
    EXPECT_EQ(value(R"({"a":{"b":{"c":1}},"d":2})", "a"), R"({"b":{"c":1})");
    // Spaces after the colon are skipped; surrounding white space is trimmed.
    EXPECT_EQ(value(R"({"r":   30 , "x":1})", "r"), "30");
    EXPECT_EQ(value("{\"r\": \t7\t}", "r"), "7");
    // Characters between the key and the colon are passed over.
    EXPECT_EQ(value(R"({"r" junk : 5})", "r"), "5");
    // A quoted scalar with a comma is cut there and keeps its opening quote.
    EXPECT_EQ(value(R"({"format":"0,00 ºC","r":1})", "format"), "\"0");
    // Only one pair of quotes is removed; a lone quote gives the empty text.
    EXPECT_EQ(value(R"({"t":""x""})", "t"), "\"x\"");
    EXPECT_EQ(value(R"({"t":"})", "t"), "");
    // The first occurrence anywhere counts, nested or not.
    EXPECT_EQ(value(R"({"ranges":[{"min":0}],"min":-20})", "min"), "0");
    // A value followed by neither "," nor "}" is empty; so is an empty value.
    EXPECT_EQ(value(R"({"name":"x")", "name"), "");
    EXPECT_EQ(value(R"({"name":,"r":1})", "name"), "");
    EXPECT_EQ(value(R"({"r":5)", "r"), "");
    // A key at the very end of the text, with or without its colon.
    EXPECT_EQ(value(R"({"a":1,"r")", "r"), "");
    EXPECT_EQ(value(R"({"a":1,"r":)", "r"), "");
    EXPECT_EQ(value(R"({"a":1,"r": )", "r"), "");
    // An object whose closing brace is missing gives the empty text.
    EXPECT_EQ(value(R"({"rect":{"x1":4)", "rect"), "");
}

TEST(SpecStrings, MissingKeysAndPendingErrors)
{
    Interpreter in;
    // Keys are case-sensitive.
    EXPECT_EQ(Json_GetValue(in, R"({"min":1})", "Min"), "");
    EXPECT_EQ(in.errorText(), msg(178, {"Min"}));
    // Nothing further is read or reported while an error is pending.
    EXPECT_EQ(Json_GetValue(in, R"({"min":1})", "min"), "");
    EXPECT_EQ(Json_GetFloat(in, R"({"min":1})", "min"), 0.0);
    EXPECT_EQ(Json_GetFloat(in, R"({"min":1})", "max"), 0.0);
    EXPECT_EQ(in.errorText(), msg(178, {"Min"}));
    // A key without its closing quote is not the key.
    in.takeError();
    Json_GetValue(in, R"({"min:1})", "min");
    EXPECT_EQ(in.errorText(), msg(178, {"min"}));
    // The Russian column.
    Interpreter ru;
    ru.updateSettings([&](ProgramSettings &s) { s.language = 1; });
    Json_GetValue(ru, "{}", "name");
    EXPECT_EQ(ru.errorText(), formatMessage(catalogueText(178, 1), {"name"}) + "\r\r" +
                                  formatMessage(catalogueText(2, 1), {0}));
}

TEST(SpecStrings, FloatsUseTheDotWhateverTheLocale)
{
    EXPECT_EQ(readFloat(R"({"min":12.5})", "min").value, 12.5);
    const FloatOutcome cut = readFloat(R"({"min":12,5})", "min");
    EXPECT_EQ(cut.value, 12.0);
    EXPECT_TRUE(cut.error.isEmpty());
    EXPECT_EQ(readFloat(R"({"min":"-3.25"})", "min").value, -3.25);
    EXPECT_EQ(readFloat(R"({"min":1e308})", "min").value, 1e308);
    EXPECT_EQ(readFloat(R"({"min": 2E-3 })", "min").value, 0.002);
    // Texts that are not numbers: message 179 with the value and the key, and 0.
    for (const char *bad : {"abc", "nan", "inf", "1e309", "12,5x", "1.2.3", "0x10", "--1"}) {
        const QString spec = QStringLiteral(R"({"min":"%1"})").arg(QLatin1String(bad));
        const QString text = value(spec, "min");
        const FloatOutcome o = readFloat(spec, "min");
        EXPECT_EQ(o.value, 0.0) << bad;
        EXPECT_EQ(o.error, msg(179, {text, "min"})) << bad;
    }
    EXPECT_EQ(readFloat(R"({"min":abc})", "min").error, msg(179, {"abc", "min"}));
    // An empty value text is not a number either.
    EXPECT_EQ(readFloat(R"({"min":,"max":1})", "min").error, msg(179, {"", "min"}));
    // A missing key gives message 178 only.
    const FloatOutcome missing = readFloat(R"({"max":1})", "min");
    EXPECT_EQ(missing.value, 0.0);
    EXPECT_EQ(missing.error, msg(178, {"min"}));
}

TEST(SpecStrings, ObjectArraysCollectEveryBraceGroupToTheEnd)
{
    EXPECT_EQ(Json_GetObjectArray(R"({"ranges": [{"min":0},{"min":5}]})", "ranges"),
              QStringList({R"({"min":0})", R"({"min":5})"}));
    // The closing bracket is not looked for: objects of later keys are collected too.
    EXPECT_EQ(Json_GetObjectArray(R"({"ranges": [{"min":0}],"rect":{"x1":1}})", "ranges"),
              QStringList({R"({"min":0})", R"({"x1":1})"}));
    EXPECT_EQ(Json_GetObjectArray(R"({"ranges": [{"min":0},{"min":5}],"rect":{"x1":1}})", "ranges"),
              QStringList({R"({"min":0})", R"({"min":5})", R"({"x1":1})"}));
    // Groups are trimmed; a line break before "[" gives an empty list.
    EXPECT_EQ(Json_GetObjectArray("{\"s\":[ { \"a\":1 } ]}", "s"), QStringList({"{ \"a\":1 }"}));
    EXPECT_TRUE(Json_GetObjectArray("{\"ranges\":\n[{\"min\":0}]}", "ranges").isEmpty());
    // Missing key, a value that is not an array, a missing colon: empty, no message.
    EXPECT_TRUE(Json_GetObjectArray(R"({"x":[{"a":1}]})", "ranges").isEmpty());
    EXPECT_TRUE(Json_GetObjectArray(R"({"ranges":{"a":1}})", "ranges").isEmpty());
    EXPECT_TRUE(Json_GetObjectArray(R"({"ranges")", "ranges").isEmpty());
    EXPECT_TRUE(Json_GetObjectArray(R"({"ranges":)", "ranges").isEmpty());
    // Unbalanced braces: a group without its closing brace ends the list.
    EXPECT_EQ(Json_GetObjectArray(R"({"s":[{"a":1},{"b":2)", "s"), QStringList({R"({"a":1})"}));
    EXPECT_EQ(Json_GetObjectArray(R"({"s":[}{"a":1})", "s"), QStringList({R"({"a":1})"}));
    EXPECT_TRUE(Json_GetObjectArray(R"({"s":[{{{)", "s").isEmpty());
}

TEST(SpecStrings, LargeAndHostileTexts)
{
    // 10,000 ranges are all collected, in order.
    QString spec = QStringLiteral(R"({"type":"panel","ranges":[)");
    for (int i = 0; i < 10000; ++i)
        spec += QStringLiteral(R"({"color":"red","min":%1,"max":%2},)").arg(i).arg(i + 1);
    spec += "]}";
    const QStringList ranges = Json_GetObjectArray(spec, "ranges");
    ASSERT_EQ(ranges.size(), 10000);
    EXPECT_EQ(ranges.last(), R"({"color":"red","min":9999,"max":10000})");
    EXPECT_EQ(value(ranges.at(42), "max"), "43");
    // A 1 MB text: the key at its very end, and a missing key.
    QString big(1 << 20, QLatin1Char('x'));
    big += R"("r":17})";
    EXPECT_EQ(value(big, "r"), "17");
    Interpreter in;
    EXPECT_EQ(Json_GetValue(in, big, "q"), "");
    EXPECT_EQ(in.errorText(), msg(178, {"q"}));
    // A 1 MB run of open braces after "[" collects nothing.
    EXPECT_TRUE(Json_GetObjectArray(R"({"s":[)" + QString(1 << 20, QLatin1Char('{')), "s").isEmpty());
    // Empty texts and empty keys.
    EXPECT_TRUE(Json_GetObjectArray("", "s").isEmpty());
    Interpreter empty;
    EXPECT_EQ(Json_GetValue(empty, "", "s"), "");
    EXPECT_EQ(empty.errorText(), msg(178, {"s"}));
}
