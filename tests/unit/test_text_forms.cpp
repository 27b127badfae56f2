#include "core/interpreter.h"
#include "library/text_forms.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace tesmora;

namespace {

QString blanks(int n)
{
    return QString(n, QLatin1Char(' '));
}

// Declares an array from a statement and returns its record.
const t_arr_specification &declare(Interpreter &in, const QString &statement)
{
    WordList w;
    in.takeError();
    in.SplitWords(statement, w);
    in.DeclareArray(w);
    EXPECT_TRUE(in.errorText().isEmpty()) << in.errorText().toStdString();
    const int n = in.FindArray(w[1].text());
    EXPECT_GT(n, 0);
    static t_arr_specification none;
    return n > 0 ? in.arrays().at(n) : none;
}

} // namespace

TEST(NumText, OrdinaryMagnitudesKeepNineDecimalsCut)
{
    // Cut, not rounded.
    EXPECT_EQ(NumText(10, 0.123456789123), "0.12345678");
    // The dangling point goes, then the text is padded.
    EXPECT_EQ(NumText(10, 123456789.5), " 123456789");
    // Whole values lose their point; fractions keep blanks for the zeros.
    EXPECT_EQ(NumText(12, 5), blanks(11) + "5");
    EXPECT_EQ(NumText(12, 2.5), " 2.5" + blanks(8));
    EXPECT_EQ(NumText(12, -5), blanks(10) + "-5");
    EXPECT_EQ(NumText(12, -123.25), "-123.25" + blanks(5));
    EXPECT_EQ(NumText(11, 0.5), "0.5" + blanks(8));
    EXPECT_EQ(NumText(12, 1234567.891), "1234567.891 ");
    EXPECT_EQ(NumText(10, 1234567.891), "1234567.89");
    EXPECT_EQ(NumText(12, 0.00012345), " 0.00012345 ");
    // Wider than the field: cut to the width, no padding.
    EXPECT_EQ(NumText(10, 9999999998.0), "9999999998");
    EXPECT_EQ(NumText(10, -123456789.5), "-123456789");
    EXPECT_EQ(NumText(12, -998999999.25), "-998999999.2");
    // A cut that leaves only zeros after the point drops the point.
    EXPECT_EQ(NumText(12, 100.0000000001), blanks(9) + "100");
    for (const int w : {10, 11, 12})
        for (const double x : {0.3, 7.0, -42.125, 123456.5, 0.0002})
            EXPECT_EQ(NumText(w, x).size(), w) << w << " " << x;
}

TEST(NumText, OtherMagnitudesUseFiveSignificantDigits)
{
    EXPECT_EQ(NumText(12, 0), blanks(11) + "0");
    EXPECT_EQ(NumText(12, 1e10), blanks(7) + "1E010");
    EXPECT_EQ(NumText(12, 0.00001), blanks(6) + "1E-005");
    EXPECT_EQ(NumText(12, 0.00005), blanks(6) + "5E-005");
    EXPECT_EQ(NumText(12, -0.00005), blanks(5) + "-5E-005");
    // 0.0001 itself lies outside the positive range: fixed, 5 digits.
    EXPECT_EQ(NumText(12, 0.0001), blanks(6) + "0.0001");
    EXPECT_EQ(NumText(12, -0.0001), blanks(5) + "-0.0001");
    // The range limits: ten nines above, nine nines below.
    EXPECT_EQ(NumText(12, 9999999999.0), blanks(7) + "1E010");
    EXPECT_EQ(NumText(12, -999999999.0), blanks(6) + "-1E009");
    EXPECT_EQ(NumText(12, -1234567890.0), " -1.2346E009");
    EXPECT_EQ(NumText(12, 123456e10), "  1.2346E015");
    EXPECT_EQ(NumText(12, 2.5e-7), "    2.5E-007");
    EXPECT_EQ(NumText(12, 1e100), blanks(7) + "1E100");
    EXPECT_EQ(NumText(12, 1e-300), blanks(6) + "1E-300");
    // Longer than the width: not cut.
    EXPECT_EQ(NumText(4, 1e10), "1E010");
}

TEST(TextForms, BoolText)
{
    EXPECT_EQ(BoolText(true), "true");
    EXPECT_EQ(BoolText(false), "false");
}

TEST(TextForms, ArrayShortText)
{
    Interpreter in;
    EXPECT_EQ(ArrayShortText(declare(in, "array a[2,2]float=((1,2),(3,4))")), "((1,2)(3,4))");
    EXPECT_EQ(ArrayShortText(declare(in, "array b[3]float=(0.5, 0.123456789123, 1e10)")),
              "(0.5,0.12345678,1E010)");
    EXPECT_EQ(ArrayShortText(declare(in, "array c[2]string=('', 'x')")), "('','x')");
    // Quotes inside strings are not doubled.
    EXPECT_EQ(ArrayShortText(declare(in, "array d[2]string=(\"it's\", 'a b')")), "('it's','a b')");
    EXPECT_EQ(ArrayShortText(declare(in, "array e[2,1,2]int=(((1,2)),((3,4)))")), "(((1,2))((3,4)))");
    EXPECT_EQ(ArrayShortText(declare(in, "array f[0..1]int=(0, 7)")), "(0,7)");
    EXPECT_EQ(ArrayShortText(declare(in, "array g[0]float")), "()");

    // Number arrays: "..." right after the element (and comma) that crossed
    // 200 characters; the 50 values 1000000..1000049 take 8 characters each.
    QStringList values;
    for (int k = 0; k < 50; ++k)
        values << QString::number(1000000 + k);
    const QString n = ArrayShortText(declare(in, "array n[50]int=(" + values.join(",") + ")"));
    // "(" + 25 elements of 8 characters = 201 characters.
    EXPECT_EQ(n, "(" + values.mid(0, 25).join(",") + ",...");

    // String arrays: cut to 200 characters, then "...".
    QStringList words;
    for (int k = 0; k < 30; ++k)
        words << QStringLiteral("'word%1'").arg(k, 3, 10, QLatin1Char('0'));
    const QString s = ArrayShortText(declare(in, "array s[30]string=(" + words.join(",") + ")"));
    const QString full = "(" + words.join(",") + ")";
    EXPECT_EQ(s, full.left(200) + "...");
    EXPECT_EQ(s.size(), 203);

    // Just below the limit the text closes normally.
    const QString shortNumbers =
        ArrayShortText(declare(in, "array m[20]int=(" + values.mid(0, 20).join(",") + ")"));
    EXPECT_EQ(shortNumbers, "(" + values.mid(0, 20).join(",") + ")");
}

TEST(TextForms, ArrayListing)
{
    Interpreter in;
    // One-dimensional float array with a range: the single label [0-2].
    EXPECT_EQ(ArrayListing(declare(in, "array r[0..2]float=(1, 2.5, 30)"), 0),
              "Array\rr\rThe number of elements: 3.\r[0-2]  " + blanks(11) + "1, 2.5" + blanks(8) + "," +
                  blanks(10) + "30\r\n");
    // The header in Russian.
    EXPECT_TRUE(ArrayListing(declare(in, "array q[1]int"), 1)
                    .startsWith(QString::fromUtf8("Массив\rq\rКоличество элементов: 1.\r")));

    // [3,4] integer array: rows labelled [1,1-4], [2,1-4], [3,1-4].
    EXPECT_EQ(ArrayListing(declare(in, "array m[3,4]int=((1,2,3,4),(5,6,7,8),(9,10,11,12))"), 0),
              "Array\rm\rThe number of elements: 12.\r"
              "[1,1-4]  1,2,3,4\r\n"
              "[2,1-4]  5,6,7,8\r\n"
              "[3,1-4]  9,10,11,12\r\n");
    // Leading indices are positions; the last dimension shows its bounds.
    EXPECT_EQ(ArrayListing(declare(in, "array k[5..6,2,0..1]int=(((1,2),(3,4)),((5,6),(7,8)))"), 0),
              "Array\rk\rThe number of elements: 8.\r"
              "[1,1,0-1]  1,2\r\n[1,2,0-1]  3,4\r\n[2,1,0-1]  5,6\r\n[2,2,0-1]  7,8\r\n");

    // String arrays: one line per element with every position.
    EXPECT_EQ(ArrayListing(declare(in, "array s[2,2]string=(('a','b'),('','d'))"), 0),
              "Array\rs\rThe number of elements: 4.\r"
              "[1,1]: 'a'\r\n[1,2]: 'b'\r\n[2,1]: ''\r\n[2,2]: 'd'\r\n");
    EXPECT_EQ(ArrayListing(declare(in, "array t[0..1]string=('x','y')"), 0),
              "Array\rt\rThe number of elements: 2.\r[1]: 'x'\r\n[2]: 'y'\r\n");

    // An array without elements has only its header.
    EXPECT_EQ(ArrayListing(declare(in, "array z[0]float"), 0), "Array\rz\rThe number of elements: 0.\r");
}
