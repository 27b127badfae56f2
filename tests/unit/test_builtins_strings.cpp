// String and conversion functions, driven the way scripts call them: an
// expression text goes through word classification, argument preparation,
// the check against the catalogue and the function itself.
#include "builtin_calls.h"
#include "core/interpreter.h"
#include "core/message_catalogue.h"
#include "core/numbers.h"
#include "library/builtin_families.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace tesmora;
using namespace tesmora::test;

TEST(StringCalls, CatalogueNamesSynonymsAndArgumentChecks)
{
    Interpreter in;
    // Synonym and any letter case find the same row.
    EXPECT_EQ(text(in, "Str_UpperCase('ab')"), "AB");
    EXPECT_EQ(text(in, "uppercase('ab')"), "AB");
    EXPECT_EQ(text(in, "UPPERCASE(\"ab\")"), "AB");
    // Under a synonym, messages name the function by its catalogue spelling.
    EXPECT_EQ(error(in, "UpperCase(5)"),
              QStringLiteral("Function \"UpperCase\". Parameter № 1 must be \"string\". \r\rLine 0."));
    EXPECT_EQ(error(in, "Str_UpperCase(5)"),
              QStringLiteral("Function \"UpperCase\". Parameter № 1 must be \"string\". \r\rLine 0."));
    EXPECT_EQ(error(in, "Pos('a')"), msg(81, {"Pos", 1, 2}));
    EXPECT_EQ(error(in, "Str_Pos('a')"), msg(81, {"Pos", 1, 2}));
    EXPECT_EQ(error(in, "LenStr('a','b')"), msg(120, {"LenStr", 1}));
    EXPECT_EQ(error(in, "Pos('a','b',1,1,1)"), msg(120, {"Pos", 4}));
    EXPECT_EQ(error(in, "Str_From_Float(2, 'ab')"), msg(118, {"Float_ToStr", "ab"}));
    EXPECT_EQ(error(in, "Char(TRUE)"),
              QStringLiteral("Function \"Char\". Parameter № 1 must be \"int\". \r\rLine 0."));
    // Arguments are whole expressions, evaluated before the call.
    in.SetVariable("s", "word", wkString);
    EXPECT_EQ(text(in, "UpperCase(s + '!')"), "WORD!");
    EXPECT_EQ(number(in, "LenStr(UpperCase(s)) * 2"), 8);
}

TEST(StringCalls, CaseConversionCoversEveryAlphabetAndKeepsLength)
{
    Interpreter in;
    EXPECT_EQ(text(in, "UpperCase('abc xyz 09_!')"), "ABC XYZ 09_!");
    EXPECT_EQ(text(in, "UpperCase('привет, ёж')"), "ПРИВЕТ, ЁЖ");
    EXPECT_EQ(text(in, "LowerCase('ПРИВЕТ ЁЖ ÄÖÜ ΑΒΓ')"), "привет ёж äöü αβγ");
    EXPECT_EQ(text(in, "UpperCase('')"), "");
    // Character by character: a letter without a one-letter capital stays.
    EXPECT_EQ(text(in, "UpperCase('straße')"), "STRAßE");
    EXPECT_EQ(number(in, "LenStr(UpperCase('straße'))"), 6);
    // Letters outside the Basic Multilingual Plane (Deseret) too.
    EXPECT_EQ(text(in, QString::fromUtf8("LowerCase('\xF0\x90\x90\x80')")),
              QString::fromUtf8("\xF0\x90\x90\xA8"));
}

TEST(StringCalls, TrimRemovesBlanksAndControlCharactersAtBothEnds)
{
    Interpreter in;
    EXPECT_EQ(text(in, "Trim('   two  words  ')"), "two  words");
    EXPECT_EQ(text(in, "Trim(Char(9) + Char(13) + Char(10) + 'x' + Char(0) + Char(32))"), "x");
    EXPECT_EQ(text(in, "Trim('    ')"), "");
    EXPECT_EQ(text(in, "Trim('')"), "");
    // A no-break space (160) is above 32 and stays.
    EXPECT_EQ(text(in, "Trim(Char(160) + 'a ')"), QString(QChar(160)) + "a");
    EXPECT_EQ(text(in, "Str_Trim(' a')"), "a");
}

TEST(StringCalls, PosFindsFirstOccurrenceFromStartWithOptionalCase)
{
    Interpreter in;
    EXPECT_EQ(number(in, "Pos('b','abcb')"), 2);
    EXPECT_EQ(number(in, "Pos('b','abcb',3)"), 4);
    EXPECT_EQ(number(in, "Pos('B','abc')"), 2);
    EXPECT_EQ(number(in, "Pos('B','abc',1,1)"), 0);
    EXPECT_EQ(number(in, "Pos('b','abc',1,0)"), 2);
    EXPECT_EQ(number(in, "Pos('Б','абв')"), 2);
    EXPECT_EQ(number(in, "Pos('Б','абв',1,1)"), 0);
    EXPECT_EQ(number(in, "Pos('cd','abcd')"), 3);
    EXPECT_EQ(number(in, "Pos('x','abc')"), 0);
    // An empty text is never found; a start past the end finds nothing.
    EXPECT_EQ(number(in, "Pos('','abc')"), 0);
    EXPECT_EQ(number(in, "Pos('c','abc',4)"), 0);
    EXPECT_EQ(number(in, "Pos('c','abc',3)"), 3);
    // The start is rounded, halves to even: 2.5 -> 2, 3.5 -> 4.
    EXPECT_EQ(number(in, "Pos('b','abcb',2.5)"), 2);
    EXPECT_EQ(number(in, "Pos('b','abcb',3.5)"), 4);
    // A start before the first character searches the whole text.
    EXPECT_EQ(number(in, "Pos('c','abc',0)"), 3);
    EXPECT_EQ(number(in, "Pos('c','abc',-5)"), 3);
    const Outcome o = eval(in, "Str_Pos('c','abcabc',4)");
    EXPECT_EQ(o.value.text(), "6");
    EXPECT_EQ(error(in, "Pos(1,'abc')"),
              QStringLiteral("Function \"Pos\". Parameter № 1 must be \"string\". \r\rLine 0."));
}

TEST(StringCalls, SubStrTakesPositionsOrWords)
{
    Interpreter in;
    EXPECT_EQ(text(in, "SubStr('Hello world',7)"), "world");
    EXPECT_EQ(text(in, "SubStr('Hello world',1,5)"), "Hello");
    EXPECT_EQ(text(in, "SubStr('key=value;','=',';')"), "value");
    EXPECT_EQ(text(in, "SubStr('abc','x')"), "");
    // Start: rounded, at least 1; a start past the end gives the empty text.
    EXPECT_EQ(text(in, "SubStr('abcdef',0,2)"), "ab");
    EXPECT_EQ(text(in, "SubStr('abcdef',-3,2)"), "ab");
    EXPECT_EQ(text(in, "SubStr('abcdef',2.5,2)"), "bc");
    EXPECT_EQ(text(in, "SubStr('abcdef',3.5,2)"), "de");
    EXPECT_EQ(text(in, "SubStr('abc',4)"), "");
    EXPECT_EQ(text(in, "SubStr('abc',3)"), "c");
    // Count: none when not positive, clipped at the end.
    EXPECT_EQ(text(in, "SubStr('abc',1,0)"), "");
    EXPECT_EQ(text(in, "SubStr('abc',1,-2)"), "");
    EXPECT_EQ(text(in, "SubStr('abc',2,100)"), "bc");
    // Start word: the text after its first occurrence (case matters).
    EXPECT_EQ(text(in, "SubStr('a=b=c','=')"), "b=c");
    EXPECT_EQ(text(in, "SubStr('a=b=c','=','=')"), "b");
    EXPECT_EQ(text(in, "SubStr('Name: Bob','name: ')"), "");
    EXPECT_EQ(text(in, "SubStr('Name: Bob','Name: ')"), "Bob");
    EXPECT_EQ(text(in, "SubStr('abc','c')"), "");
    // An empty start word starts at the first character.
    EXPECT_EQ(text(in, "SubStr('abc','',2)"), "ab");
    // Finish word: searched from the start on; missing or empty: to the end.
    EXPECT_EQ(text(in, "SubStr('x;a=b','=',';')"), "b");
    EXPECT_EQ(text(in, "SubStr('abcabc',2,'a')"), "bc");
    EXPECT_EQ(text(in, "SubStr('abcabc',2,'z')"), "bcabc");
    EXPECT_EQ(text(in, "SubStr('abcabc',2,'')"), "bcabc");
    EXPECT_EQ(text(in, "SubStr('abcabc',2,'b')"), "");
    EXPECT_EQ(text(in, "Str_SubStr('Привет, мир', ', ')"), "мир");
    // A truth value is neither a position nor a word.
    EXPECT_EQ(error(in, "SubStr('abc',TRUE)"), msg(129, {"true"}));
    EXPECT_EQ(error(in, "SubStr('abc',1,FALSE)"), msg(129, {"false"}));
    EXPECT_EQ(error(in, "SubStr('abc')"), msg(81, {"SubStr", 1, 2}));
}

TEST(StringCalls, ReplaceStrReplacesLeftToRightWithoutOverlap)
{
    Interpreter in;
    EXPECT_EQ(text(in, "ReplaceStr('A book, a pen','a ','the ')"), "the book, the pen");
    EXPECT_EQ(text(in, "ReplaceStr('A book, a pen','a ','the ',1,1)"), "A book, the pen");
    EXPECT_EQ(text(in, "ReplaceStr('A book, a pen','a ','the ',0)"), "the book, a pen");
    EXPECT_EQ(text(in, "ReplaceStr('aXa','a','b',-1)"), "bXa");
    EXPECT_EQ(text(in, "ReplaceStr('aXa','a','b',2)"), "bXb");
    // Occurrences do not overlap and replaced text is not searched again.
    EXPECT_EQ(text(in, "ReplaceStr('aaa','aa','b')"), "ba");
    EXPECT_EQ(text(in, "ReplaceStr('ab','a','aa')"), "aab");
    EXPECT_EQ(text(in, "ReplaceStr('abc','b','')"), "ac");
    EXPECT_EQ(text(in, "ReplaceStr('abc','x','y')"), "abc");
    EXPECT_EQ(text(in, "ReplaceStr('abc','','y')"), "abc");
    EXPECT_EQ(text(in, "ReplaceStr('Кот и кот','КОТ','пёс')"), "пёс и пёс");
    EXPECT_EQ(text(in, "Str_Replace('Кот и кот','кот','пёс',1,1)"), "Кот и пёс");
    // Case-blind search keeps the case of the text around the matches.
    EXPECT_EQ(text(in, "ReplaceStr('xAbCx','abc','-')"), "x-x");
}

TEST(StringCalls, LenStrCountsUtf16CodeUnits)
{
    Interpreter in;
    EXPECT_EQ(number(in, "LenStr('abc')"), 3);
    EXPECT_EQ(number(in, "LenStr('')"), 0);
    EXPECT_EQ(number(in, "LenStr('привет')"), 6);
    EXPECT_EQ(number(in, QString::fromUtf8("LenStr('\xF0\x9F\x98\x80')")), 2);
    EXPECT_EQ(eval(in, "Str_Length('abcd')").value.text(), "4");
}

TEST(StringCalls, StrToFloatReadsPointOrFirstComma)
{
    Interpreter in;
    Outcome o = eval(in, "Str_ToFloat('12,5')");
    EXPECT_EQ(o.value.kind, wkFloat);
    EXPECT_DOUBLE_EQ(o.value.float_val, 12.5);
    EXPECT_EQ(o.value.text(), "12.5");
    EXPECT_DOUBLE_EQ(number(in, "Str_ToFloat('-2.5e3')"), -2500);
    EXPECT_DOUBLE_EQ(number(in, "Str_ToFloat('+7')"), 7);
    EXPECT_DOUBLE_EQ(number(in, "Str_ToFloat('.5')"), 0.5);
    EXPECT_DOUBLE_EQ(number(in, "Str_ToFloat('5.')"), 5);
    EXPECT_DOUBLE_EQ(number(in, "Convert_Str_ToFloat('1E-400')"), 0);
    // The text of the number is the argument with its comma made a point.
    EXPECT_EQ(eval(in, "Str_ToFloat('1,50')").value.text(), "1.50");
    EXPECT_DOUBLE_EQ(number(in, "Str_ToFloat('0,5') * 4"), 2);
    // Not a number: message 130, or the text error when asked to.
    EXPECT_EQ(error(in, "Str_ToFloat('abc')"), msg(130, {"abc"}));
    EXPECT_EQ(error(in, "Str_ToFloat('abc',0)"), msg(130, {"abc"}));
    o = eval(in, "Str_ToFloat('abc',1)");
    EXPECT_TRUE(o.error.isEmpty());
    EXPECT_EQ(o.value.kind, wkString);
    EXPECT_EQ(o.value.text(), "error");
    EXPECT_EQ(eval(in, "Str_ToFloat('',5)").value.text(), "error");
    EXPECT_EQ(error(in, "Str_ToFloat('')"), msg(130, {""}));
    EXPECT_EQ(error(in, "Str_ToFloat('.')"), msg(130, {"."}));
    EXPECT_EQ(error(in, "Str_ToFloat(',')"), msg(130, {","}));
    // Only the first comma becomes a point.
    EXPECT_EQ(error(in, "Str_ToFloat('1,5,3')"), msg(130, {"1,5,3"}));
    EXPECT_EQ(error(in, "Str_ToFloat('1 000')"), msg(130, {"1 000"}));
    // A number beyond the range fails even when errors are suppressed.
    EXPECT_EQ(error(in, "Str_ToFloat('1e400',1)"), msg(130, {"1e400"}));
    EXPECT_EQ(error(in, "Str_ToFloat('-1,5e999',1)"), msg(130, {"-1,5e999"}));
}

TEST(StringCalls, HexToIntAcceptsHexDigitsUpToInt32)
{
    Interpreter in;
    EXPECT_EQ(number(in, "Hex_ToInt('ff')"), 255);
    EXPECT_EQ(number(in, "Hex_ToInt('01FF')"), 511);
    EXPECT_EQ(number(in, "Hex_ToInt('aBcD')"), 0xABCD);
    // Blanks are removed around "$" + Str: after the digits, not before them.
    EXPECT_EQ(number(in, "Hex_ToInt('10 ')"), 16);
    EXPECT_EQ(error(in, "Hex_ToInt(' 10')"), msg(130, {"$ 10"}));
    EXPECT_EQ(number(in, "Hex_ToInt('7FFFFFFF')"), 2147483647.0);
    EXPECT_EQ(number(in, "Hex_ToInt('0000000000000001')"), 1);
    EXPECT_EQ(eval(in, "Convert_Hex_ToInt('100')").value.text(), "256");
    EXPECT_EQ(error(in, "Hex_ToInt('01ZZ')"), msg(130, {"$01ZZ"}));
    EXPECT_EQ(error(in, "Hex_ToInt('')"), msg(130, {"$"}));
    EXPECT_EQ(error(in, "Hex_ToInt('   ')"), msg(130, {"$   "}));
    EXPECT_EQ(error(in, "Hex_ToInt('80000000')"), msg(130, {"$80000000"}));
    EXPECT_EQ(error(in, "Hex_ToInt('f f')"), msg(130, {"$f f"}));
    EXPECT_EQ(error(in, "Hex_ToInt('$ff')"), msg(130, {"$$ff"}));
    EXPECT_EQ(error(in, "Hex_ToInt('-1')"), msg(130, {"$-1"}));
    // Only the Latin letters A-F are digits (a ligature that upper-cases to FF is not).
    EXPECT_EQ(error(in, "Hex_ToInt('\uFB00')"), msg(130, {QString::fromUtf8("$\uFB00")}));
    EXPECT_EQ(error(in, "Hex_ToInt('g')"), msg(130, {"$g"}));
}

TEST(StringCalls, FormatSpecifiersWithFlagsWidthAndPrecision)
{
    Interpreter in;
    EXPECT_EQ(text(in, "Format('%s = %5.2f', 'x', 3.14159)"), "x =  3.14");
    // D: rounded, halves to even.
    EXPECT_EQ(text(in, "Format('%d items', 2.5)"), "2 items");
    EXPECT_EQ(text(in, "Format('%d', 3.5)"), "4");
    EXPECT_EQ(text(in, "Format('%d', -2.5)"), "-2");
    EXPECT_EQ(text(in, "Format('%d', -2.7)"), "-3");
    EXPECT_EQ(text(in, "Format('[%5d][%-5d][%05d][%.3d][%+d][% d]', 42, 42, 42, 7, 5, 5)"),
              "[   42][42   ][00042][007][+5][ 5]");
    EXPECT_EQ(text(in, "Format('[%05d][%6.3d]', -42, -7)"), "[-0042][  -007]");
    EXPECT_EQ(text(in, "Format('%D/%S/%F/%X', 1, 'a', 1, 255)"), "1/a/1.00/FF");
    // X: upper-case hexadecimal of the rounded 64-bit integer.
    EXPECT_EQ(text(in, "Format('%x %X %4x %.4X', 255, 4095, 10, 10)"), "FF FFF    A 000A");
    EXPECT_EQ(text(in, "Format('%x', -1)"), "FFFFFFFFFFFFFFFF");
    // F: two decimals unless a precision is given; "." always.
    EXPECT_EQ(text(in, "Format('%f', 3.14159)"), "3.14");
    EXPECT_EQ(text(in, "Format('%.3f|%.0f|%.0f', 2, 2.5, -2.5)"), "2.000|3|-3");
    EXPECT_EQ(text(in, "Format('%.2f|%.2f|%.2f', 2.675, 0.125, 0.005)"), "2.68|0.13|0.01");
    EXPECT_EQ(text(in, "Format('%8.3f|%-8.1f|%08.2f', 3.14159, 2.25, -3.14159)"),
              "   3.142|2.3     |-0003.14");
    EXPECT_EQ(text(in, "Format('%.1f|%.2f', -0.04, 999.996)"), "0.0|1000.00");
    EXPECT_EQ(text(in, "Format('%f', 1e20)"), "100000000000000000000.00");
    EXPECT_EQ(text(in, "Format('%.3f', 0.0001)"), "0.000");
    EXPECT_EQ(text(in, "Format('%+.1f', 1)"), "+1.0");
    // S: the argument's text, cut by a precision, padded to a width.
    EXPECT_EQ(text(in, "Format('[%-6s][%6s][%.2s]', 'ab', 'ab', 'abc')"), "[ab    ][    ab][ab]");
    EXPECT_EQ(text(in, "Format('%s and %s', 1.50, TRUE)"), "1.50 and true");
    EXPECT_EQ(text(in, "Format('%s', 1/4)"), "0.25");
    // Numbers may also come as texts that read as numbers.
    EXPECT_EQ(text(in, "Format('%d', '12')"), "12");
    EXPECT_EQ(error(in, "Format('%d', 'abc')"), msg(130, {"abc"}));
    // Arguments that were not given count as 0 and the empty text.
    EXPECT_EQ(text(in, "Format('%s-%s-%d-%.1f', 'a')"), "a--0-0.0");
    // %% is the percent sign and takes no argument.
    EXPECT_EQ(text(in, "Format('%d%% done, 100%% of %s', 50, 'x')"), "50% done, 100% of x");
    // A lone % at the end and text without specifiers stay as written.
    EXPECT_EQ(text(in, "Format('50%', 1)"), "50%");
    EXPECT_EQ(text(in, "Format('plain', 1)"), "plain");
    EXPECT_EQ(text(in, "Str_Format('%s', '')"), "");
    // Ten values at most.
    EXPECT_EQ(text(in, "Format('%d%d%d%d%d%d%d%d%d%d', 1, 2, 3, 4, 5, 6, 7, 8, 9, 0)"), "1234567890");
    EXPECT_EQ(error(in, "Format('%d', 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11)"), msg(120, {"Format", 11}));
    EXPECT_EQ(error(in, "Format('%d')"), msg(81, {"Format", 1, 2}));
}

TEST(StringCalls, FloatToStrUsesTheChosenSeparator)
{
    Interpreter in;
    EXPECT_EQ(text(in, "Float_ToStr(2.5, ',')"), "2,5");
    EXPECT_EQ(text(in, "Float_ToStr(2.5, '.')"), "2.5");
    EXPECT_EQ(text(in, "Float_ToStr(-2.5, ';')"), "-2;5");
    EXPECT_EQ(text(in, "Float_ToStr(1/3, '.')"), "0.333333333333333");
    EXPECT_EQ(text(in, "Float_ToStr(7, ',')"), "7");
    EXPECT_EQ(text(in, "Float_ToStr(0.000015, ',')"), "1,5E-5");
    EXPECT_EQ(text(in, "Float_ToStr(1e15)"), "1E15");
    EXPECT_EQ(text(in, "Float_ToStr(123456789012345)"), "123456789012345");
    // Without a separator: the system one.
    EXPECT_EQ(text(in, "Str_From_Float(0.5)"), QStringLiteral("0") + systemDecimalSeparator() + "5");
    EXPECT_EQ(error(in, "Float_ToStr(2.5, '')"), msg(118, {"Float_ToStr", ""}));
    EXPECT_EQ(error(in, "Float_ToStr(2.5, '::')"), msg(118, {"Float_ToStr", "::"}));
    EXPECT_EQ(error(in, "Float_ToStr('2.5')"),
              QStringLiteral("Function \"Float_ToStr\". Parameter № 1 must be \"float\". \r\rLine 0."));
}

TEST(StringCalls, OrdAndCharConvertBetweenCharactersAndCodes)
{
    Interpreter in;
    EXPECT_EQ(number(in, "Ord('A')"), 65);
    EXPECT_EQ(number(in, "Ord('abc')"), 97);
    EXPECT_EQ(number(in, "Ord('')"), 0);
    EXPECT_EQ(number(in, "Ord('Я')"), 1071);
    EXPECT_EQ(number(in, "Ord(TRUE)"), 1);
    EXPECT_EQ(number(in, "Ord(FALSE)"), 0);
    EXPECT_EQ(number(in, "Ord(1 < 2)"), 1);
    in.SetVariable("flag", "TRUE", wkBool);
    EXPECT_EQ(number(in, "Ord(flag)"), 1);
    EXPECT_EQ(eval(in, "Str_Ord('B')").value.text(), "66");
    EXPECT_EQ(error(in, "Ord(5)"), msg(129, {"5"}));
    EXPECT_EQ(error(in, "Ord(2.50)"), msg(129, {"2.50"}));

    EXPECT_EQ(text(in, "Char(65)"), "A");
    EXPECT_EQ(text(in, "Char(1071)"), "Я");
    EXPECT_EQ(text(in, "Char(65.5) + Char(66.5)"), "BB"); // halves to even
    EXPECT_EQ(text(in, "Char(65534)"), QString(QChar(char16_t(65534))));
    const QString nul = text(in, "Char(0)");
    ASSERT_EQ(nul.size(), 1);
    EXPECT_EQ(nul.at(0).unicode(), 0);
    EXPECT_EQ(error(in, "Char(65535)"), msg(118, {"str_char", "65535"}));
    EXPECT_EQ(error(in, "Str_Char(-1)"), msg(118, {"str_char", "-1"}));
    EXPECT_EQ(error(in, "Char(65535.4)"), msg(118, {"str_char", GeneralNumberTextSystem(65535.4)}));
    EXPECT_EQ(error(in, "Char(1e30)"), msg(118, {"str_char", "1E30"}));
    for (int code : {1, 32, 127, 255, 1025, 0xD7FF, 0xE000, 65534})
        EXPECT_EQ(number(in, QStringLiteral("Ord(Char(%1))").arg(code)), code);
}

TEST(StringCalls, Base64OfUtf16LittleEndianWithMimeLines)
{
    Interpreter in;
    EXPECT_EQ(text(in, "Base64_Encode('')"), "");
    EXPECT_EQ(text(in, "Base64_Encode('A')"), "QQA=");
    EXPECT_EQ(text(in, "Base64_Encode('Hi')"), "SABpAA==");
    EXPECT_EQ(text(in, "Base64_Encode('Я')"), "LwQ=");
    EXPECT_EQ(text(in, "Base64_Decode('SABpAA==')"), "Hi");
    // 57 bytes make one line of 76 characters; longer codes break with CR LF.
    in.SetVariable("s", QString(60, QLatin1Char('a')), wkString); // 120 bytes -> 160 characters
    const QString code = text(in, "Base64_Encode(s)");
    const QStringList lines = code.split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0].size(), 76);
    EXPECT_EQ(lines[1].size(), 76);
    EXPECT_EQ(lines[2].size(), 8);
    static const QRegularExpression alphabet(QStringLiteral("^[A-Za-z0-9+/=\r\n]*$"));
    EXPECT_TRUE(alphabet.match(code).hasMatch());
    EXPECT_EQ(text(in, "Base64_Decode(Base64_Encode(s))"), QString(60, QLatin1Char('a')));
    // 114 bytes fill two lines exactly: one break between them, none at the end.
    in.SetVariable("s", QString(57, QLatin1Char('b')), wkString);
    const QString twoLines = text(in, "Base64_Encode(s)");
    EXPECT_EQ(twoLines.size(), 76 + 2 + 76);
    EXPECT_EQ(twoLines.indexOf(QStringLiteral("\r\n")), 76);
    EXPECT_FALSE(twoLines.endsWith(QLatin1Char('\n')));
    // Every text survives the round trip: Cyrillic, control characters,
    // surrogate pairs, a lone surrogate.
    const QStringList samples = {QStringLiteral("Привет, мир!"), QString::fromUtf8("a\xF0\x9F\x98\x80z"),
                                 QString(QChar(0)) + "x" + QChar(0xFFFE), QString(QChar(0xD800)),
                                 QString(100, QChar(0x0444))};
    for (const QString &sample : samples) {
        in.SetVariable("s", sample, wkString);
        EXPECT_EQ(text(in, "Base64_Decode(Base64_Encode(s))"), sample);
    }
    // Line breaks and blanks in the code are ignored; an odd final byte is dropped.
    EXPECT_EQ(text(in, "Base64_Decode('SAB' + Char(13) + Char(10) + 'pAA==')"), "Hi");
    EXPECT_EQ(text(in, "Base64_Decode('QQBC')"), "A");
    EXPECT_EQ(text(in, "Base64_Decode('')"), "");
}

// Runs under both the C locale and a Russian one (a second ctest entry):
// system-form texts follow the regional decimal separator, texts meant to be
// read back keep the point.
TEST(StringCalls, RegionalSettings)
{
    if (qEnvironmentVariableIsSet("TESMORA_EXPECT_RU_LOCALE")) {
        ASSERT_EQ(systemDecimalSeparator(), QLatin1Char(','));
    }
    const QString sep(systemDecimalSeparator());
    Interpreter in;
    EXPECT_EQ(text(in, "Float_ToStr(2.5)"), "2" + sep + "5");
    EXPECT_EQ(text(in, "Float_ToStr(2.5, '.')"), "2.5");
    EXPECT_EQ(text(in, "Float_ToStr(-0.125, '/')"), "-0/125");
    EXPECT_EQ(eval(in, "Str_ToFloat('12,5')").value.text(), "12.5");
    EXPECT_EQ(text(in, "Format('%.2f', 2.5)"), "2.50");
    EXPECT_EQ(error(in, "Char(-1.5)"), msg(118, {"str_char", "-1" + sep + "5"}));
}

TEST(StringCalls, HelpTextsInBothLanguagesWithWorkingExamples)
{
    checkHelpExamples({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 15, 16, 57, 58});
}
