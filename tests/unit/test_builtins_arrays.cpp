// Array and matrix functions, Check and Exists, driven the way scripts call
// them: each case runs a small script and inspects its variables, arrays and
// error.
#include "builtin_calls.h"
#include "core/interpreter.h"
#include "core/message_catalogue.h"
#include "core/numbers.h"
#include "library/builtin_families.h"
#include "library/function_tables.h"
#include "script_host.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

using namespace tesmora;
using tesmora::test::array;
using tesmora::test::floats;
using tesmora::test::msg;
using tesmora::test::ScriptRun;

namespace {

// Answers the Check question from a list and records what was asked.
struct TestDialogs : DialogProvider {
    QList<bool> answers;
    QStringList questions;
    bool inputString(const QString &, const QString &, QString &) override { return false; }
    bool inputText(const QString &, const QString &, QString &) override { return false; }
    int message(const QString &, const QString &, int) override { return 1; }
    int menu(const QString &, const QStringList &, int) override { return 0; }
    bool checkQuestion(const QString &text) override
    {
        questions << text;
        return answers.isEmpty() ? true : answers.takeFirst();
    }
};

// Runs the lines followed by a final "stop" line.
std::unique_ptr<ScriptRun> run(QStringList lines, DialogProvider *dialogs = nullptr, int language = 0)
{
    lines << QStringLiteral("stop");
    auto r = std::make_unique<ScriptRun>(lines, InterpreterServices{.dialogProvider = dialogs});
    r->in.updateSettings([&](ProgramSettings &s) { s.language = language; });
    r->start();
    return r;
}

// The error a one-line script gives (the line is line 0).
QString errorOf(const QString &line)
{
    return run({line})->error();
}

// The error of the last line of a script.
QString errorOf(const QStringList &lines)
{
    return run(lines)->error();
}

std::vector<std::int64_t> ints(const ScriptRun &r, const QString &name)
{
    const t_arr_specification *a = array(r, name);
    EXPECT_NE(a, nullptr) << name.toStdString();
    if (!a || a->data_type != wkInt)
        return {};
    return a->P->i;
}

QStringList strings(const ScriptRun &r, const QString &name)
{
    const t_arr_specification *a = array(r, name);
    EXPECT_NE(a, nullptr) << name.toStdString();
    QStringList out;
    if (a && a->data_type == wkString)
        for (const QString &s : a->P->s)
            out << s;
    return out;
}

void expectNear(const std::vector<double> &got, const std::vector<double> &want, double tolerance,
                const char *what)
{
    ASSERT_EQ(got.size(), want.size()) << what;
    for (size_t k = 0; k < got.size(); ++k)
        EXPECT_NEAR(got[k], want[k], tolerance) << what << " element " << k;
}

// No temporary array survives a finished line.
bool noTemporaries(const ScriptRun &r)
{
    for (int n = 1; n <= r.in.arrays().count(); ++n)
        if (r.in.arrays().at(n).name.startsWith(QLatin1String("tARR"), Qt::CaseInsensitive))
            return false;
    return true;
}

const QStringList kTwoByThree = {"array a[2,3]float=((1,2,3),(4,5,6))"};

} // namespace

TEST(ArraySizes, LengthAndDimensions)
{
    auto r = run({"array a[2,3]float", "array c[2,3,4]int", "array z[0..4]string", "n = Array_Length(a)",
                  "d1 = Dim1(a)", "d2 = Dim2(a)", "d3 = Dim3(a)", "d4 = Dim4(a)", "c3 = Dim3(c)",
                  "cn = Array_Length(c)", "zn = Array_Length(z)", "z1 = Dim1(z)", "z2 = Arr_dim2(z)",
                  "s = arr_DIM1(c)"});
    ASSERT_EQ(r->error(), "");
    EXPECT_EQ(r->var("n"), "6");
    EXPECT_EQ(r->kind("n"), wkFloat);
    EXPECT_EQ(r->var("d1"), "2");
    EXPECT_EQ(r->var("d2"), "3");
    EXPECT_EQ(r->var("d3"), "0");
    EXPECT_EQ(r->var("d4"), "0");
    EXPECT_EQ(r->var("c3"), "4");
    EXPECT_EQ(r->var("cn"), "24");
    // A range 0..4 has five elements.
    EXPECT_EQ(r->var("zn"), "5");
    EXPECT_EQ(r->var("z1"), "5");
    EXPECT_EQ(r->var("z2"), "0");
    EXPECT_EQ(r->var("s"), "2");

    // A number is not an array.
    EXPECT_EQ(errorOf("n = Array_Length(5)"),
              QStringLiteral("Function \"Array_Length\". Parameter № 1 must be \"array\". \r\rLine 0."));
    EXPECT_EQ(errorOf("n = Dim1('a')"),
              QStringLiteral("Function \"Dim1\". Parameter № 1 must be \"array\". \r\rLine 0."));
    // An element of an integer array is a value, not an array.
    EXPECT_EQ(errorOf(QStringList{"array k[2]int=(4,5)", "n = Array_Length(k[1])"}), msg(186, {"4"}, 1));
}

TEST(ArrayConstruction, Array2To4HoldTheirNumbers)
{
    auto r = run({"x = 2", "p = Array2(3, -4)", "v = Array3(1, 2.5, x * x)",
                  "q = Array4(x, 1/4, 0.00001, -1e20)", "w = Array3(Array_Length(p), Dim1(v), x)"});
    ASSERT_EQ(r->error(), "");
    EXPECT_EQ(floats(*r, "p"), (std::vector<double>{3, -4}));
    EXPECT_EQ(dims(*r, "p"), (std::vector<int>{2, 0, 0, 0}));
    EXPECT_EQ(floats(*r, "v"), (std::vector<double>{1, 2.5, 4}));
    EXPECT_EQ(floats(*r, "q"), (std::vector<double>{2, 0.25, 0.00001, -1e20}));
    EXPECT_EQ(floats(*r, "w"), (std::vector<double>{2, 3, 2}));
    EXPECT_TRUE(noTemporaries(*r));
    // p, v, q, w and nothing else.
    EXPECT_EQ(r->in.arrays().count(), 4);

    EXPECT_EQ(errorOf("p = Array2(1)"), msg(81, {"Array2", 1, 2}, 0));
    EXPECT_EQ(errorOf("p = Array3(1, 'b', 3)"),
              QStringLiteral("Function \"Array3\". Parameter № 2 must be \"float\". \r\rLine 0."));
    EXPECT_EQ(errorOf("p = Array4(1, 2, 3, 4, 5)"), msg(120, {"Array4", 4}, 0));
}

TEST(ArrayConstruction, ResultsCountAgainstTheArrayLimit)
{
    QStringList lines;
    for (int i = 1; i <= kMaxDeclaredArrays; ++i)
        lines << QStringLiteral("array a%1[2]float=(%1,1)").arg(i);
    lines << "s = Array_Sort(a1)";
    EXPECT_EQ(errorOf(lines), msg(138, {kMaxDeclaredArrays}, kMaxDeclaredArrays));

    // With one array less the result fits and takes the target's name.
    lines.removeAt(kMaxDeclaredArrays - 1);
    auto r = run(lines);
    EXPECT_EQ(r->error(), "");
    EXPECT_EQ(floats(*r, "s"), (std::vector<double>{1, 1}));
    EXPECT_EQ(r->in.arrays().count(), kMaxDeclaredArrays);
}

TEST(ArrayMinMax, MinimaAndMaximaPerColumn)
{
    auto r = run({"array a[2,2]float=((1,5),(3,2))", "m = Arr_MinMax(a)", "array v[5]float=(4,-1,7,7,0)",
                  "mv = MinMax(v)", "array c[3,1]int=((5),(-2),(9))", "mc = Arr_MinMax(c)",
                  "array one[1,3]float=((8,-8,0))", "mo = Arr_MinMax(one)"});
    ASSERT_EQ(r->error(), "");
    EXPECT_EQ(floats(*r, "m"), (std::vector<double>{1, 2, 3, 5}));
    EXPECT_EQ(dims(*r, "m"), (std::vector<int>{2, 2, 0, 0}));
    EXPECT_EQ(floats(*r, "mv"), (std::vector<double>{-1, 7}));
    EXPECT_EQ(dims(*r, "mv"), (std::vector<int>{2, 0, 0, 0}));
    // Integer arrays are read as numbers; the result is a float array.
    EXPECT_EQ(floats(*r, "mc"), (std::vector<double>{-2, 9}));
    EXPECT_EQ(dims(*r, "mc"), (std::vector<int>{2, 1, 0, 0}));
    // A single row: minimum and maximum are that row.
    EXPECT_EQ(floats(*r, "mo"), (std::vector<double>{8, -8, 0, 8, -8, 0}));

    EXPECT_EQ(errorOf(QStringList{"array t[2,2,2]float", "m = Arr_MinMax(t)"}), msg(165, {"t"}, 1));
    EXPECT_EQ(errorOf(QStringList{"array s[2]string=('a','b')", "m = Arr_MinMax(s)"}), msg(185, {"s"}, 1));
}

TEST(ArrayRowsAndColumns, RowAndColumnCopies)
{
    auto r =
        run(kTwoByThree + QStringList{"r = Array_Row(a, 2)", "c = Array_Col(a, 3)", "h = Matrix_Row(a, 1.5)",
                                      "k = Array_Row(a, 2.5)", "array s[2,2]string=(('x','y'),('u','v'))",
                                      "sr = Array_Row(s, 1)", "sc = Array_Col(s, 2)",
                                      "array n[3,2]int=((1,2),(3,4),(5,6))", "nr = Array_Row(n, 3)",
                                      "nc = Matrix_Col(n, 1)", "sr[1] = 'changed'"});
    ASSERT_EQ(r->error(), "");
    EXPECT_EQ(floats(*r, "r"), (std::vector<double>{4, 5, 6}));
    EXPECT_EQ(floats(*r, "c"), (std::vector<double>{3, 6}));
    // Row numbers are rounded, halves to even.
    EXPECT_EQ(floats(*r, "h"), (std::vector<double>{4, 5, 6}));
    EXPECT_EQ(floats(*r, "k"), (std::vector<double>{4, 5, 6}));
    // The result keeps the array's type; string cells are copies.
    EXPECT_EQ(strings(*r, "sr"), (QStringList{"changed", "y"}));
    EXPECT_EQ(strings(*r, "s"), (QStringList{"x", "y", "u", "v"}));
    EXPECT_EQ(strings(*r, "sc"), (QStringList{"y", "v"}));
    EXPECT_EQ(ints(*r, "nr"), (std::vector<std::int64_t>{5, 6}));
    EXPECT_EQ(ints(*r, "nc"), (std::vector<std::int64_t>{1, 3, 5}));

    EXPECT_EQ(errorOf(kTwoByThree + QStringList{"r = Array_Row(a, 0)"}), msg(163, {"array_row"}, 1));
    EXPECT_EQ(errorOf(kTwoByThree + QStringList{"r = Array_Row(a, 3)"}), msg(163, {"array_row"}, 1));
    EXPECT_EQ(errorOf(kTwoByThree + QStringList{"r = Array_Col(a, 4)"}), msg(163, {"array_col"}, 1));
    EXPECT_EQ(errorOf(kTwoByThree + QStringList{"r = Array_Col(a, -1)"}), msg(163, {"array_col"}, 1));
    // Rows and columns need at least two rows and two columns.
    EXPECT_EQ(errorOf(QStringList{"array v[3]float", "r = Array_Row(v, 1)"}), msg(156, {"v"}, 1));
    EXPECT_EQ(errorOf(QStringList{"array v[1,3]float", "r = Array_Row(v, 1)"}), msg(156, {"v"}, 1));
    EXPECT_EQ(errorOf(QStringList{"array v[3,1]float", "r = Array_Col(v, 1)"}), msg(156, {"v"}, 1));
    EXPECT_EQ(errorOf(QStringList{"array v[2,2,2]float", "r = Array_Col(v, 1)"}), msg(156, {"v"}, 1));
}

TEST(ArrayRowsAndColumns, SearchByName)
{
    const QStringList fruit = {
        "array f[3,3]string=(('apple','red','1'),('lime','green','2'),('lime','yellow','3'))"};
    auto r =
        run(fruit +
            QStringList{"g = Array_Row_By_Name(f, 'lime', 1, 2)", "e = Array_Row_By_Name(f, 'Lime', 1, 2)",
                        "row = Array_Row_By_Name(f, 'yellow', 2)", "none = Array_Row_By_Name(f, 'kiwi')",
                        "neg = Array_Row_By_Name(f, 'apple', 1, -5)", "t = Array_Row_By_Name(f, '3', 3, 1)",
                        "n = Array_RowNumber_By_Name(f, 'lime')", "n0 = Array_RowNumber_By_Name(f, 'LIME')",
                        "n2 = Array_RowNumber_By_Name(f, 'yellow', 2)"});
    ASSERT_EQ(r->error(), "");
    // The first matching row counts; the match is exact and case-sensitive.
    EXPECT_EQ(r->var("g"), "green");
    EXPECT_EQ(r->kind("g"), wkString);
    EXPECT_EQ(r->var("e"), "");
    EXPECT_EQ(r->kind("e"), wkString);
    EXPECT_EQ(strings(*r, "row"), (QStringList{"lime", "yellow", "3"}));
    EXPECT_EQ(strings(*r, "none"), (QStringList{"", "", ""}));
    EXPECT_EQ(strings(*r, "neg"), (QStringList{"apple", "red", "1"}));
    EXPECT_EQ(r->var("t"), "lime");
    EXPECT_EQ(r->var("n"), "2");
    EXPECT_EQ(r->var("n0"), "0");
    EXPECT_EQ(r->var("n2"), "3");

    EXPECT_EQ(errorOf(fruit + QStringList{"g = Array_Row_By_Name(f, 'lime', 4)"}),
              msg(163, {"array_row_by_name"}, 1));
    EXPECT_EQ(errorOf(fruit + QStringList{"g = Array_Row_By_Name(f, 'lime', 0)"}),
              msg(163, {"array_row_by_name"}, 1));
    EXPECT_EQ(errorOf(fruit + QStringList{"g = Array_Row_By_Name(f, 'lime', 1, 4)"}),
              msg(163, {"array_row_by_name"}, 1));
    EXPECT_EQ(errorOf(fruit + QStringList{"g = Array_RowNumber_By_Name(f, 'lime', 5)"}),
              msg(163, {"array_rownumber_by_name"}, 1));
    // Only string arrays are searched.
    EXPECT_EQ(errorOf(kTwoByThree + QStringList{"g = Array_RowNumber_By_Name(a, '1')"}),
              msg(163, {"array_rownumber_by_name"}, 1));
    EXPECT_EQ(errorOf(QStringList{"array s[3]string", "g = Array_Row_By_Name(s, 'x')"}), msg(156, {"s"}, 1));
    EXPECT_EQ(errorOf(QStringList{"array s[3,1]string", "g = Array_RowNumber_By_Name(s, 'x')"}),
              msg(156, {"s"}, 1));
}

TEST(ArrayFilter, KeepsMatchingRowsInOrder)
{
    const QStringList people = {
        "array p[4,2]string=(('Jackson','1'),('Smith','son'),('SONNY','3'),('Hansson','4'))"};
    auto r =
        run(people + QStringList{"q = Array_Filter(p, 'son')", "exact = Array_Filter(p, 'son', 1, '')",
                                 "upper = Array_Filter(p, 'SON', 1, 'I')", "col2 = Firter_Array(p, 'SO', 2)",
                                 "none = Array_Filter(p, '')", "miss = Array_Filter(p, 'xyz')",
                                 "nm = Array_Length(miss)", "nd = Dim2(miss)"});
    ASSERT_EQ(r->error(), "");
    EXPECT_EQ(strings(*r, "q"), (QStringList{"Jackson", "1", "SONNY", "3", "Hansson", "4"}));
    EXPECT_EQ(dims(*r, "q"), (std::vector<int>{3, 2, 0, 0}));
    EXPECT_EQ(strings(*r, "exact"), (QStringList{"Jackson", "1", "Hansson", "4"}));
    EXPECT_EQ(strings(*r, "upper"), (QStringList{"Jackson", "1", "SONNY", "3", "Hansson", "4"}));
    EXPECT_EQ(strings(*r, "col2"), (QStringList{"Smith", "son"}));
    // An empty filter or no match gives an array of no rows.
    EXPECT_TRUE(strings(*r, "none").isEmpty());
    EXPECT_EQ(dims(*r, "none"), (std::vector<int>{0, 2, 0, 0}));
    EXPECT_TRUE(strings(*r, "miss").isEmpty());
    EXPECT_EQ(r->var("nm"), "0");
    EXPECT_EQ(r->var("nd"), "2");

    EXPECT_EQ(errorOf(kTwoByThree + QStringList{"q = Array_Filter(a, '1')"}), msg(149, {"a"}, 1));
    EXPECT_EQ(errorOf(QStringList{"array s[3]string", "q = Array_Filter(s, 'x')"}), msg(156, {"s"}, 1));
    EXPECT_EQ(errorOf(QStringList{"array s[1,2]string", "q = Array_Filter(s, 'x')"}), msg(156, {"s"}, 1));
    EXPECT_EQ(errorOf(people + QStringList{"q = Array_Filter(p, 'x', 3)"}), msg(163, {"Array_Filter"}, 1));
    EXPECT_EQ(errorOf(people + QStringList{"q = Array_Filter(p, 'x', 0)"}), msg(163, {"Array_Filter"}, 1));
}

TEST(ArraySort, StableAscendingAndReversedDescending)
{
    const QStringList fruit = {"array s[4,2]string=(('pear','b'),('plum','c'),('apple','a'),('plum','d'))"};
    auto r =
        run(fruit + QStringList{"up = Array_Sort(s)", "down = Array_Sort(s, 1, 1)",
                                "by2 = Sort_Array(s, 2, 5)", "half = Array_Sort(s, 1, 0.4)",
                                "array v[5]float=(3,-1,2.5,-1,10)", "vu = Array_Sort(v)",
                                "vd = Array_Sort(v, 1, -1)", "array k[4,2]float=((2,1),(1,2),(2,3),(1,4))",
                                "ku = Array_Sort(k)", "kd = Array_Sort(k, 1, 1)",
                                "array c[3]string=('b','B','a')", "cu = Array_Sort(c)",
                                "array i[3,2]int=((30,1),(10,2),(20,3))", "iu = Array_Sort(i, 1, 1)"});
    ASSERT_EQ(r->error(), "");
    EXPECT_EQ(strings(*r, "up"), (QStringList{"apple", "a", "pear", "b", "plum", "c", "plum", "d"}));
    EXPECT_EQ(strings(*r, "down"), (QStringList{"plum", "d", "plum", "c", "pear", "b", "apple", "a"}));
    EXPECT_EQ(strings(*r, "by2"), (QStringList{"plum", "d", "plum", "c", "pear", "b", "apple", "a"}));
    EXPECT_EQ(strings(*r, "half"), (QStringList{"apple", "a", "pear", "b", "plum", "c", "plum", "d"}));
    EXPECT_EQ(dims(*r, "up"), (std::vector<int>{4, 2, 0, 0}));
    // The source is not changed.
    EXPECT_EQ(strings(*r, "s"), (QStringList{"pear", "b", "plum", "c", "apple", "a", "plum", "d"}));

    EXPECT_EQ(floats(*r, "vu"), (std::vector<double>{-1, -1, 2.5, 3, 10}));
    EXPECT_EQ(floats(*r, "vd"), (std::vector<double>{10, 3, 2.5, -1, -1}));
    // Equal keys: original order ascending, reverse original order descending.
    EXPECT_EQ(floats(*r, "ku"), (std::vector<double>{1, 2, 1, 4, 2, 1, 2, 3}));
    EXPECT_EQ(floats(*r, "kd"), (std::vector<double>{2, 3, 2, 1, 1, 4, 1, 2}));
    // Texts by code unit: capitals before small letters.
    EXPECT_EQ(strings(*r, "cu"), (QStringList{"B", "a", "b"}));
    EXPECT_EQ(ints(*r, "iu"), (std::vector<std::int64_t>{30, 1, 20, 3, 10, 2}));

    EXPECT_EQ(errorOf(fruit + QStringList{"x = Array_Sort(s, 3)"}), msg(166, {"Array_Sort", 2}, 1));
    EXPECT_EQ(errorOf(fruit + QStringList{"x = Array_Sort(s, 0)"}), msg(163, {"Array_Sort"}, 1));
    EXPECT_EQ(errorOf(QStringList{"array v[3]float", "x = Array_Sort(v, 2)"}), msg(167, {"Array_Sort"}, 1));
    EXPECT_EQ(errorOf(QStringList{"array t[2,2,2]float", "x = Array_Sort(t)"}), msg(165, {"t"}, 1));
}

TEST(ArrayNames, ExistsAndArrayDelete)
{
    auto r = run({"x = 5", "array a[3]float", "array b[2]int", "ex = Exists(x)", "ea = Exists(a)",
                  "eu = Exists(y)", "Array_Delete(a)", "gone = Exists(a)", "Array_Delete(nothing)",
                  "Array_Delete(x)", "still = Exists(x)", "Delete_Array(b)", "eb = Exists(b)"});
    ASSERT_EQ(r->error(), "");
    EXPECT_EQ(r->var("ex"), "true");
    EXPECT_EQ(r->kind("ex"), wkBool);
    EXPECT_EQ(r->var("ea"), "true");
    EXPECT_EQ(r->var("eu"), "false");
    EXPECT_EQ(r->var("gone"), "false");
    EXPECT_EQ(r->var("still"), "true");
    EXPECT_EQ(r->var("eb"), "false");
    EXPECT_EQ(r->in.arrays().count(), 0);

    // Local names of a script function.
    auto f =
        run({"r1 = f(1)", "r2 = Exists(_v)", "stop", "function f(_v)", "  _w = Exists(_v)", "  return _w"});
    EXPECT_EQ(f->error(), "");
    EXPECT_EQ(f->var("r1"), "true");
    EXPECT_EQ(f->var("r2"), "false");

    EXPECT_EQ(errorOf("e = Exists(1 + 2)"), msg(117, {"Exists"}, 0));
    EXPECT_EQ(errorOf("e = Exists('x')"), msg(117, {"Exists"}, 0));
    EXPECT_EQ(errorOf("Array_Delete(2)"), msg(117, {"Array_Delete"}, 0));
    EXPECT_EQ(errorOf("e = Exists()"), msg(81, {"Exists", 0, 1}, 0));
    EXPECT_EQ(errorOf(QStringList{"x = 1", "e = Exists(x, y)"}), msg(120, {"Exists", 1}, 1));
}

TEST(MatrixArithmetic, ElementWiseAndScalarProduct)
{
    const QStringList ab = {"array a[2,2]float=((1,2),(3,4))", "array b[2,2]float=((10,20),(30,40))"};
    auto r = run(ab + QStringList{"s = Matrix_Sum(a, b)", "d = Matrix_Subtr(a, b)",
                                  "p = Matrix_Scalar_Product(a, b)", "array i[2,2]int=((1,1),(1,1))",
                                  "si = Sum_Matrix(a, i)", "pii = Scalar_Product(i, i)",
                                  "array r[0..1,2]float=((5,5),(5,5))", "sr = Matrix_Sum(a, r)",
                                  "x = Matrix_Scalar_Product(Array3(1,2,3), Array3(4,5,6))"});
    ASSERT_EQ(r->error(), "");
    EXPECT_EQ(floats(*r, "s"), (std::vector<double>{11, 22, 33, 44}));
    EXPECT_EQ(floats(*r, "d"), (std::vector<double>{-9, -18, -27, -36}));
    EXPECT_EQ(dims(*r, "d"), (std::vector<int>{2, 2, 0, 0}));
    EXPECT_EQ(r->var("p"), "300");
    EXPECT_EQ(floats(*r, "si"), (std::vector<double>{2, 3, 4, 5}));
    EXPECT_EQ(r->var("pii"), "4");
    // Lower bounds do not matter, only the dimensions; the result counts from 1.
    EXPECT_EQ(floats(*r, "sr"), (std::vector<double>{6, 7, 8, 9}));
    EXPECT_EQ(array(*r, "sr")->first[0], 0);
    EXPECT_EQ(r->var("x"), "32");

    // Same number of elements, different shape.
    EXPECT_EQ(errorOf(ab + QStringList{"array v[4]float", "s = Matrix_Sum(a, v)"}), msg(168, {"a", "v"}, 3));
    EXPECT_EQ(errorOf(ab + QStringList{"array v[2,3]float", "s = Matrix_Subtr(v, b)"}),
              msg(168, {"v", "b"}, 3));
    EXPECT_EQ(errorOf(ab + QStringList{"array w[1,4]float", "p = Matrix_Scalar_Product(a, w)"}),
              msg(168, {"a", "w"}, 3));
    EXPECT_EQ(errorOf(QStringList{"array t[2]string", "array u[2]string", "s = Matrix_Sum(t, u)"}),
              msg(185, {"t"}, 2));
}

TEST(MatrixArithmetic, VectorProductAndMultiplication)
{
    auto r =
        run({"v = Matrix_Vector_Product(Array3(1,2,3), Array3(2,1,-2))",
             "e = Vector_Product(Array3(1,0,0), Array3(0,1,0))", "array a[2,4]float=((1,2,3,4),(5,6,7,8))",
             "array b[4,2]float=((1,2),(3,4),(5,6),(7,8))", "c = Matrix_multiplication(a, b)",
             "array m[2,3]float", "array n[3,4]float", "mn = Matrix_multiplication(m, n)",
             "array col[3,1]int=((1),(2),(3))", "array row[1,3]int=((4,5,6))",
             "outer = Matrix_multiplication(col, row)", "inner = Matrix_multiplication(row, col)"});
    ASSERT_EQ(r->error(), "");
    EXPECT_EQ(floats(*r, "v"), (std::vector<double>{-7, 8, -3}));
    EXPECT_EQ(floats(*r, "e"), (std::vector<double>{0, 0, 1}));
    EXPECT_EQ(floats(*r, "c"), (std::vector<double>{50, 60, 114, 140}));
    EXPECT_EQ(dims(*r, "c"), (std::vector<int>{2, 2, 0, 0}));
    EXPECT_EQ(dims(*r, "mn"), (std::vector<int>{2, 4, 0, 0}));
    EXPECT_EQ(floats(*r, "outer"), (std::vector<double>{4, 5, 6, 8, 10, 12, 12, 15, 18}));
    EXPECT_EQ(floats(*r, "inner"), (std::vector<double>{32}));
    EXPECT_EQ(dims(*r, "inner"), (std::vector<int>{1, 1, 0, 0}));

    EXPECT_EQ(errorOf(QStringList{"array u[4]float", "v = Matrix_Vector_Product(Array3(1,2,3), u)"}),
              msg(164, {"u"}, 1));
    EXPECT_EQ(errorOf(QStringList{"array u[3,1]float", "v = Matrix_Vector_Product(u, Array3(1,2,3))"}),
              msg(164, {"u"}, 1));
    EXPECT_EQ(
        errorOf(QStringList{"array m[2,3]float", "array n[2,3]float", "x = Matrix_multiplication(m, n)"}),
        msg(157, {}, 2));
    EXPECT_EQ(errorOf(QStringList{"array m[2,3]float", "array v[3]float", "x = Matrix_multiplication(m, v)"}),
              msg(156, {"v"}, 2));
    EXPECT_EQ(errorOf(QStringList{"array m[2,2]string", "x = Matrix_multiplication(m, m)"}),
              msg(185, {"m"}, 1));
}

TEST(MatrixArithmetic, MultNumberChangesTheArrayInPlace)
{
    auto r = run({"array a[2,2]float=((1,2),(3,4))", "Matrix_mult_number(a, 2.5)", "array i[4]int=(1,3,5,-3)",
                  "Matrix_mult_number(i, 0.5)", "array z[0..2]float=(1,1,1)", "Matrix_mult_number(z, -1)"});
    ASSERT_EQ(r->error(), "");
    EXPECT_EQ(floats(*r, "a"), (std::vector<double>{2.5, 5, 7.5, 10}));
    // Integer cells are rounded, halves to even.
    EXPECT_EQ(ints(*r, "i"), (std::vector<std::int64_t>{0, 2, 2, -2}));
    EXPECT_EQ(floats(*r, "z"), (std::vector<double>{-1, -1, -1}));
    EXPECT_EQ(array(*r, "z")->first[0], -1);

    // A by-reference array parameter changes the caller's array.
    auto f = run({"array a[2]float=(1,2)", "Twice(a)", "stop", "function Twice(var _m)",
                  "  Matrix_mult_number(_m, 2)", "  return"});
    EXPECT_EQ(f->error(), "");
    EXPECT_EQ(floats(*f, "a"), (std::vector<double>{2, 4}));

    // It gives no value.
    EXPECT_EQ(errorOf(QStringList{"array a[2]float", "x = Matrix_mult_number(a, 2)"}), msg(85, {}, 1));
    EXPECT_EQ(errorOf(QStringList{"array s[2]string", "Matrix_mult_number(s, 2)"}), msg(185, {"s"}, 1));
}

TEST(MatrixArithmetic, TranspositionAndDuplication)
{
    auto r =
        run(kTwoByThree + QStringList{"t = Matrix_transposition(a)", "array z[0..2]float=(7,8,9)",
                                      "dz = Matrix_duplication(z)", "dz[1] = 70", "da = Array_Duplication(a)",
                                      "array s[2,2]string=(('a','b'),('c','d'))",
                                      "ts = Transposition_Matrix(s)", "ds = Matrix_duplication(s)",
                                      "ds[1,1] = 'x'", "array q[2,1,2]int", "dq = Matrix_duplication(q)"});
    ASSERT_EQ(r->error(), "");
    EXPECT_EQ(floats(*r, "t"), (std::vector<double>{1, 4, 2, 5, 3, 6}));
    EXPECT_EQ(dims(*r, "t"), (std::vector<int>{3, 2, 0, 0}));
    // The copy counts its indices from 1 and is independent of the source.
    EXPECT_EQ(floats(*r, "dz"), (std::vector<double>{70, 8, 9}));
    EXPECT_EQ(array(*r, "dz")->first[0], 0);
    EXPECT_EQ(floats(*r, "z"), (std::vector<double>{7, 8, 9}));
    EXPECT_EQ(floats(*r, "da"), (std::vector<double>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(dims(*r, "da"), (std::vector<int>{2, 3, 0, 0}));
    // String and integer arrays keep their type.
    EXPECT_EQ(strings(*r, "ts"), (QStringList{"a", "c", "b", "d"}));
    EXPECT_EQ(strings(*r, "ds"), (QStringList{"x", "b", "c", "d"}));
    EXPECT_EQ(strings(*r, "s"), (QStringList{"a", "b", "c", "d"}));
    EXPECT_EQ(ints(*r, "dq"), (std::vector<std::int64_t>{0, 0, 0, 0}));
    EXPECT_EQ(dims(*r, "dq"), (std::vector<int>{2, 1, 2, 0}));

    EXPECT_EQ(errorOf(QStringList{"array v[3]float", "t = Matrix_transposition(v)"}), msg(156, {"v"}, 1));
}

TEST(MatrixGaussJordan, DeterminantAndInverseOfKnownMatrices)
{
    auto r =
        run({"array m[3,3]float=((2,5,7),(6,3,4),(5,-2,-3))", "d = Matrix_Determinant(m)",
             "inv = Matrix_inversion(m)", "mi = Matrix_multiplication(m, inv)",
             // A zero on the diagonal needs the pivot search.
             "array p[3,3]float=((0,0,1),(0,1,0),(1,0,0))", "dp = GaussJordan_Determinant(p)",
             "ip = Inversion_GaussJordan(p)", "array s[2,2]float=((0,2),(3,0))", "ds = Matrix_Determinant(s)",
             "is = Matrix_inversion(s)", "array one[1,1]float=((4))", "d1 = Matrix_Determinant(one)",
             "i1 = Matrix_inversion(one)", "array k[2,2]int=((1,2),(3,4))", "dk = Matrix_Determinant(k)",
             "ik = Matrix_inversion(k)", "array h[4,4]float=((4,-2,1,3),(3,6,-4,2),(2,1,8,-5),(1,-3,2,7))",
             "ih = Matrix_inversion(h)", "eh = Matrix_multiplication(ih, h)", "dh = Matrix_Determinant(h)"});
    ASSERT_EQ(r->error(), "");
    const double d = r->var("d").toDouble();
    EXPECT_NEAR(d, -1.0, 1e-9);
    expectNear(floats(*r, "inv"), {1, -1, 1, -38, 41, -34, 27, -29, 24}, 1e-9, "inverse");
    expectNear(floats(*r, "mi"), {1, 0, 0, 0, 1, 0, 0, 0, 1}, 1e-9, "m x inverse");
    EXPECT_EQ(dims(*r, "inv"), (std::vector<int>{3, 3, 0, 0}));
    EXPECT_DOUBLE_EQ(r->var("dp").toDouble(), -1.0);
    EXPECT_EQ(floats(*r, "ip"), (std::vector<double>{0, 0, 1, 0, 1, 0, 1, 0, 0}));
    EXPECT_DOUBLE_EQ(r->var("ds").toDouble(), -6.0);
    expectNear(floats(*r, "is"), {0, 1.0 / 3, 0.5, 0}, 1e-15, "inverse of s");
    EXPECT_EQ(r->var("d1"), "4");
    EXPECT_EQ(floats(*r, "i1"), (std::vector<double>{0.25}));
    // Integer matrices are read as numbers; the inverse is a float array.
    EXPECT_NEAR(r->var("dk").toDouble(), -2.0, 1e-12);
    expectNear(floats(*r, "ik"), {-2, 1, 1.5, -0.5}, 1e-12, "inverse of k");
    expectNear(floats(*r, "eh"), {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, 1e-12, "inverse x h");
    // det h by exact cofactor expansion.
    EXPECT_NEAR(r->var("dh").toDouble(), 1654.0, 1e-9);
}

TEST(MatrixGaussJordan, SingularAndMisshapenMatrices)
{
    const QStringList singular = {"array m[2,2]float=((1,2),(2,4))"};
    auto r = run(singular +
                 QStringList{"d = Matrix_Determinant(m)", "array z[3,3]float", "dz = Matrix_Determinant(z)"});
    ASSERT_EQ(r->error(), "");
    EXPECT_EQ(r->var("d"), "0");
    EXPECT_EQ(r->var("dz"), "0");
    EXPECT_EQ(errorOf(singular + QStringList{"i = Matrix_inversion(m)"}), msg(159, {"m"}, 1));
    // Pivots below 2^-52 count as zero, however the matrix is scaled.
    EXPECT_EQ(errorOf(QStringList{"array t[2,2]float=((1e-17,0),(0,1e-17))", "i = Matrix_inversion(t)"}),
              msg(159, {"t"}, 1));
    EXPECT_EQ(errorOf(QStringList{"array n[2,3]float", "i = Matrix_inversion(n)"}), msg(158, {"n"}, 1));
    EXPECT_EQ(errorOf(QStringList{"array n[3,2]float", "d = Matrix_Determinant(n)"}), msg(158, {"n"}, 1));
    EXPECT_EQ(errorOf(QStringList{"array v[3]float", "d = Matrix_Determinant(v)"}), msg(156, {"v"}, 1));
    EXPECT_EQ(errorOf(QStringList{"array c[2,2,2]float", "i = Matrix_inversion(c)"}), msg(156, {"c"}, 1));
    EXPECT_EQ(errorOf(QStringList{"array s[1,1]string", "d = Matrix_Determinant(s)"}), msg(185, {"s"}, 1));
}

TEST(CheckFunction, EqualValuesPassSilently)
{
    TestDialogs dialogs;
    auto r = run({"Check(2, 2.0000000000001)", "Check(1/3, 0.333333333333333)", "Check('abc', 'abc')",
                  "Check(true, true)", "array a[2]float=(1,2)", "array b[2]float=(1,2.0000000000001)",
                  "Check(a, b)", "array s[2]string=('x','')", "array t[2]string=('x','')", "Check(s, t)",
                  "array i[2]int=(5,6)", "Check(i[2], 6)", "Equal_test(a[1], 1)", "done = 1"},
                 &dialogs);
    EXPECT_EQ(r->error(), "");
    EXPECT_TRUE(dialogs.questions.isEmpty()) << dialogs.questions.join(" | ").toStdString();
    EXPECT_EQ(r->var("done"), "1");
}

TEST(CheckFunction, DifferentValuesAsk)
{
    TestDialogs dialogs;
    auto r =
        run({"Check('a', 'A')", "Check(2, 2.00000000001)", "Check(1, '1x')", "array a[2]float=(1,2)",
             "array b[3]float=(1,2,3)", "array c[2]int=(1,2)", "array d[2]float=(1,2.001)", "Check(a, b)",
             "Check(a, c)", "Check(a, d)", "Check(a, 1)", "Check(true, false)", "done = 1"},
            &dialogs);
    EXPECT_EQ(r->error(), "");
    EXPECT_EQ(r->var("done"), "1");
    const QStringList expected = {"a <> A\r\rContinue?",  "2 <> 2.00000000001\r\rContinue?",
                                  "1 <> 1x\r\rContinue?", "a <> b\r\rContinue?",
                                  "a <> c\r\rContinue?",  "a <> d\r\rContinue?",
                                  "a <> 1\r\rContinue?",  "true <> false\r\rContinue?"};
    EXPECT_EQ(dialogs.questions, expected);
    // Every question marks its line first.
    for (int line : {0, 1, 2, 7, 8, 9, 10, 11})
        EXPECT_TRUE(r->host.marks.contains(line)) << line;

    // In Russian.
    TestDialogs ru;
    auto rr = run({"Check(1, 2)"}, &ru, 1);
    EXPECT_EQ(ru.questions, QStringList{QString::fromUtf8("1 <> 2\r\rПродолжить?")});
}

TEST(CheckFunction, AnsweringNoStopsTheRun)
{
    TestDialogs dialogs;
    dialogs.answers = {true, false};
    auto r = run({"x = 1", "Check(x, 2)", "y = 1", "Check(y, 3)", "z = 1"}, &dialogs);
    EXPECT_EQ(r->error(), "");
    EXPECT_EQ(dialogs.questions.size(), 2);
    EXPECT_EQ(r->var("y"), "1");
    EXPECT_EQ(r->kind("z"), wkNone);
    EXPECT_EQ(r->in.currentLine(), 3);
    EXPECT_EQ(r->in.runState(), rn_Stopped);
    EXPECT_TRUE(r->host.errors.isEmpty());

    // Without a dialog provider the answer is yes.
    auto silent = run({"Check(1, 2)", "z = 1"});
    EXPECT_EQ(silent->error(), "");
    EXPECT_EQ(silent->var("z"), "1");

    EXPECT_EQ(errorOf("Check(1)"), msg(81, {"Check", 1, 2}, 0));
}

TEST(ArrayHelp, EveryRowHasTextsWithARunnableExample)
{
    QList<int> rows;
    for (int row = 28; row <= 56; ++row)
        if (row != 46)
            rows << row;
    const auto table = functionTable(FunctionTable::Embedded);
    for (int row : rows) {
        const QString en = functionDescription(FunctionTable::Embedded, row, 0);
        const QString ru = functionDescription(FunctionTable::Embedded, row, 1);
        const QString name = table[static_cast<size_t>(row)].name();
        ASSERT_FALSE(en.isEmpty()) << row;
        ASSERT_FALSE(ru.isEmpty()) << row;
        EXPECT_NE(en, ru) << row;
        // Lines are separated by CR LF only.
        EXPECT_EQ(en.count(QLatin1Char('\n')), en.count(QLatin1String("\r\n"))) << row;
        EXPECT_EQ(ru.count(QLatin1Char('\n')), ru.count(QLatin1String("\r\n"))) << row;
        EXPECT_EQ(en.count(QLatin1Char('\r')), en.count(QLatin1String("\r\n"))) << row;
        // The example follows a line "Example:" and calls the function.
        const QStringList enLines = en.split(QStringLiteral("\r\n"));
        const QStringList ruLines = ru.split(QStringLiteral("\r\n"));
        const qsizetype at = enLines.indexOf(QStringLiteral("Example:"));
        ASSERT_GE(at, 1) << row;
        EXPECT_GE(ruLines.indexOf(QString::fromUtf8("Пример:")), 1) << row;
        const QStringList example = enLines.mid(at + 1);
        ASSERT_FALSE(example.isEmpty()) << row;
        EXPECT_TRUE(example.join(QLatin1Char('\n')).contains(name + QLatin1Char('('), Qt::CaseInsensitive))
            << row;
        // The example runs without an error and without asking.
        TestDialogs dialogs;
        auto r = run(example, &dialogs);
        EXPECT_EQ(r->error(), "") << row << ": " << example.join(" / ").toStdString();
        EXPECT_TRUE(dialogs.questions.isEmpty()) << row;
        EXPECT_TRUE(noTemporaries(*r)) << row;
    }
}

// Runs under both the C locale and a Russian one (a second ctest entry).
TEST(ArrayNumbers, RegionalSettings)
{
    if (qEnvironmentVariableIsSet("TESMORA_EXPECT_RU_LOCALE")) {
        ASSERT_EQ(systemDecimalSeparator(), QLatin1Char(','));
    }
    // Fractional results are written with the system separator, and the
    // variables that receive them read back as the same numbers.
    auto r = run({"array m[2,2]float=((1,0),(0,0.5))", "d = Matrix_Determinant(m)", "e = d + 1",
                  "p = Matrix_Scalar_Product(m, m)", "q = p * 4", "v = Array2(d, 1/8)", "w = v[1] + v[2]"});
    ASSERT_EQ(r->error(), "");
    EXPECT_EQ(r->var("d"), QStringLiteral("0") + systemDecimalSeparator() + QStringLiteral("5"));
    EXPECT_EQ(r->var("e"), "1.5");
    EXPECT_EQ(r->var("p"), QStringLiteral("1") + systemDecimalSeparator() + QStringLiteral("25"));
    EXPECT_EQ(r->var("q"), "5");
    EXPECT_EQ(floats(*r, "v"), (std::vector<double>{0.5, 0.125}));
    EXPECT_EQ(r->var("w"), "0.625");
}
