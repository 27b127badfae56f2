#include "core/interpreter.h"
#include "core/message_catalogue.h"
#include "library/arrays.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

#include <vector>

using namespace tesmora;

namespace {

// The error text of catalogue message `id` raised on line 0.
QString err(int id, const MessageArgs &args = {})
{
    return formatMessage(catalogueText(id, 0), args) + QStringLiteral("\r\rLine 0.");
}

// Runs one declaration or element assignment; returns the error text.
QString run(Interpreter &in, const QString &statement)
{
    in.takeError();
    WordList w;
    in.SplitWords(statement, w);
    if (!in.failed()) {
        if (w[0].kind == wkArrayDescription)
            in.DeclareArray(w);
        else
            in.AssignArrayElement(w);
    }
    const QString e = in.errorText();
    in.takeError();
    return e;
}

// Reads an element reference ("a[2,1]", possibly followed by more words).
WordList readRef(Interpreter &in, const QString &text, QString *error = nullptr)
{
    in.takeError();
    WordList w;
    in.SplitWords(text, w);
    if (!in.failed())
        in.ReadArrayElement(w, 0);
    if (error)
        *error = in.errorText();
    in.takeError();
    return w;
}

const t_arr_specification &arr(Interpreter &in, const QString &name)
{
    const int n = in.FindArray(name);
    EXPECT_GT(n, 0) << name.toStdString();
    static t_arr_specification none;
    return n > 0 ? in.arrays().at(n) : none;
}

std::vector<double> floats(const t_arr_specification &a)
{
    return a.P ? a.P->f : std::vector<double>{};
}
std::vector<std::int64_t> ints(const t_arr_specification &a)
{
    return a.P ? a.P->i : std::vector<std::int64_t>{};
}
QStringList strings(const t_arr_specification &a)
{
    QStringList out;
    if (a.P)
        for (const QString &s : a.P->s)
            out << s;
    return out;
}

QStringList tableNames(const Interpreter &in)
{
    QStringList out;
    for (int n = 1; n <= in.arrays().count(); ++n)
        out << in.arrays().at(n).name;
    return out;
}

} // namespace

TEST(ArrayDeclaration, ShapesTypesAndValueLists)
{
    Interpreter in;
    ASSERT_EQ(run(in, "array a[3,2]float=((1,2),(3,4),(5,6))"), "");
    const t_arr_specification &a = arr(in, "A");
    EXPECT_EQ(a.name, "a");
    EXPECT_EQ(a.count, 6);
    EXPECT_EQ(a.dim, (std::array<std::int32_t, 4>{3, 2, 0, 0}));
    EXPECT_EQ(a.first, (std::array<std::int32_t, 4>{0, 0, 0, 0}));
    EXPECT_EQ(a.data_type, wkFloat);
    EXPECT_EQ(a.dimensions(), 2);
    EXPECT_EQ(a.function_level, 0);
    EXPECT_FALSE(a.is_parameter_variable);
    EXPECT_EQ(floats(a), (std::vector<double>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(in.arrays().lastDeclaredName, "A");
    EXPECT_EQ(in.arrays().lastDeclaredLevel, 0);

    // a[2,1] is the third element.
    WordList w = readRef(in, "a[2,1]");
    EXPECT_EQ(w.last, 0);
    EXPECT_EQ(w[0].kind, wkFloat);
    EXPECT_EQ(w[0].float_val, 3.0);
    EXPECT_EQ(w[0].text(), "3");

    // Type words in any case; a new array holds zeros or empty strings.
    ASSERT_EQ(run(in, "ARRAY n[4]INTEGER"), "");
    EXPECT_EQ(arr(in, "n").data_type, wkInt);
    EXPECT_EQ(ints(arr(in, "n")), (std::vector<std::int64_t>(4, 0)));
    ASSERT_EQ(run(in, "Array s[2]String"), "");
    EXPECT_EQ(arr(in, "s").data_type, wkString);
    w = readRef(in, "s[2]");
    EXPECT_EQ(w[0].kind, wkString);
    EXPECT_EQ(w[0].text(), "");
    ASSERT_EQ(run(in, "array k[1,1,1,2]Int=((((7,8))))"), "");
    EXPECT_EQ(arr(in, "k").dimensions(), 4);
    EXPECT_EQ(ints(arr(in, "k")), (std::vector<std::int64_t>{7, 8}));
    w = readRef(in, "k[1,1,1,2]");
    EXPECT_EQ(w[0].kind, wkInt);
    EXPECT_EQ(w[0].float_val, 8.0);
    EXPECT_EQ(w[0].text(), "8");

    // Value kinds are not checked: text in a number array stores its number
    // field, a number in a string array keeps its text as written.
    ASSERT_EQ(run(in, "array m[4]float=('abc', 2.50, true, false)"), "");
    EXPECT_EQ(floats(arr(in, "m")), (std::vector<double>{0, 2.5, 1, 0}));
    ASSERT_EQ(run(in, "array t[4]string=(1.50, 'a,b', \"(q)\", 1e3)"), "");
    EXPECT_EQ(strings(arr(in, "t")), (QStringList{"1.50", "a,b", "(q)", "1e3"}));

    // Integer arrays round halves to even.
    ASSERT_EQ(run(in, "array r[5]int=(0.5, 1.5, 2.5, 3.5, 2.6)"), "");
    EXPECT_EQ(ints(arr(in, "r")), (std::vector<std::int64_t>{0, 2, 2, 4, 3}));
}

TEST(ArrayDeclaration, RangesAndPositions)
{
    Interpreter in;
    ASSERT_EQ(run(in, "array r[0..2]int=(10,11,12)"), "");
    const t_arr_specification &r = arr(in, "r");
    EXPECT_EQ(r.first[0], -1);
    EXPECT_EQ(r.dim[0], 3);
    EXPECT_EQ(r.count, 3);
    EXPECT_EQ(readRef(in, "r[0]")[0].text(), "10");
    EXPECT_EQ(readRef(in, "r[2]")[0].text(), "12");
    QString e;
    readRef(in, "r[3]", &e);
    EXPECT_EQ(e, err(153, {"r"}));

    // Mixed sizes and ranges: [2, 5..7] has indices 1..2 and 5..7.
    ASSERT_EQ(run(in, "array m[2, 5..7]float=((1,2,3),(4,5,6))"), "");
    const t_arr_specification &m = arr(in, "m");
    EXPECT_EQ(m.dim, (std::array<std::int32_t, 4>{2, 3, 0, 0}));
    EXPECT_EQ(m.first, (std::array<std::int32_t, 4>{0, 4, 0, 0}));
    EXPECT_EQ(readRef(in, "m[2,5]")[0].text(), "4");
    EXPECT_EQ(readRef(in, "m[1,7]")[0].text(), "3");
    readRef(in, "m[1,4]", &e);
    EXPECT_EQ(e, err(153, {"m"}));
    readRef(in, "m[3,5]", &e);
    EXPECT_EQ(e, err(153, {"m"}));

    // Fewer indices than dimensions: checked against the leading dimensions
    // with multipliers from those only, so m[2] is the second cell.
    EXPECT_EQ(readRef(in, "m[2]")[0].text(), "2");
    readRef(in, "m[3]", &e);
    EXPECT_EQ(e, err(153, {"m"}));
    // More indices than dimensions meet dim 0; a fifth index always fails.
    readRef(in, "m[1,5,1]", &e);
    EXPECT_EQ(e, err(153, {"m"}));
    ASSERT_EQ(run(in, "array q[1,1,1,1]float"), "");
    readRef(in, "q[1,1,1,1,1]", &e);
    EXPECT_EQ(e, err(153, {"q"}));

    // A 4-dimensional array is row-major with the last index fastest.
    ASSERT_EQ(
        run(in, "array h[2,2,2,2]int=((((1,2),(3,4)),((5,6),(7,8))),(((9,10),(11,12)),((13,14),(15,16))))"),
        "");
    EXPECT_EQ(readRef(in, "h[2,1,2,1]")[0].text(), "11");
    EXPECT_EQ(readRef(in, "h[1,2,1,2]")[0].text(), "6");
}

TEST(ArrayDeclaration, EmptyDimensionsHaveNoElements)
{
    Interpreter in;
    QString e;
    ASSERT_EQ(run(in, "array z[0]float"), "");
    EXPECT_EQ(arr(in, "z").count, 0);
    readRef(in, "z[0]", &e);
    EXPECT_EQ(e, err(153, {"z"}));
    readRef(in, "z[1]", &e);
    EXPECT_EQ(e, err(153, {"z"}));

    // A zero in a later dimension empties the whole array, even where the
    // leading index alone would be in range.
    ASSERT_EQ(run(in, "array w[3,0]int"), "");
    EXPECT_EQ(arr(in, "w").count, 0);
    readRef(in, "w[1]", &e);
    EXPECT_EQ(e, err(153, {"w"}));
    readRef(in, "w[1,1]", &e);
    EXPECT_EQ(e, err(153, {"w"}));

    // A reversed range is a dimension below 1.
    ASSERT_EQ(run(in, "array v[5..3]string"), "");
    EXPECT_EQ(arr(in, "v").count, 0);
    readRef(in, "v[4]", &e);
    EXPECT_EQ(e, err(153, {"v"}));

    // The only value list of an empty array is "()".
    EXPECT_EQ(run(in, "array y[0]float=()"), "");
    EXPECT_EQ(run(in, "array y[0]float=(1)"), err(155));
    EXPECT_EQ(in.FindArray("y") > 0, true);
}

TEST(ArrayDeclaration, DeclarationErrors)
{
    Interpreter in;
    EXPECT_EQ(run(in, "array a[3"), err(139));
    EXPECT_EQ(err(139), "Array description error.\r\rLine 0.");
    EXPECT_EQ(in.arrays().count(), 0);

    // The name must be new or an existing array.
    in.SetVariable("v", "1", wkFloat);
    EXPECT_EQ(run(in, "array v[3]float"), err(141, {"v"}));
    EXPECT_EQ(run(in, "array 5[3]float"), err(141, {"5"}));
    EXPECT_EQ(run(in, "array b(3)float"), err(142, {"b"}));
    EXPECT_EQ(in.arrays().count(), 0);

    // The type word: DATETIME, another word or none at all.
    EXPECT_EQ(run(in, "array d[3]datetime"), err(144, {"d"}));
    EXPECT_EQ(err(144, {"d"}),
              "Description of the array \"d\" must end with a data type (Float,Int,String).\r\rLine 0.");
    EXPECT_EQ(run(in, "array d[3]"), err(144, {"d"}));
    EXPECT_EQ(run(in, "array d[3]double"), err(144, {"d"}));
    EXPECT_EQ(run(in, "array d[3,4"), err(144, {"d"}));
    EXPECT_EQ(in.FindArray("d"), 0);

    // A fifth dimension: nothing is created.
    EXPECT_EQ(run(in, "array f[1,1,1,1,1]float"), err(145));
    EXPECT_EQ(in.FindArray("f"), 0);

    // A block that cannot be obtained.
    EXPECT_EQ(run(in, "array g[100000,100000]float"), err(146, {"g"}));
    EXPECT_EQ(run(in, "array g[1e12]int"), err(146, {"g"}));
    EXPECT_EQ(in.FindArray("g"), 0);

    // Words after the type must start with "="; the array stays created.
    EXPECT_EQ(run(in, "array h[3]float (1,2,3)"), err(162));
    ASSERT_GT(in.FindArray("h"), 0);
    EXPECT_EQ(floats(arr(in, "h")), (std::vector<double>{0, 0, 0}));

    // Value list structure (155); the array stays with what was loaded.
    EXPECT_EQ(run(in, "array p[3]float=(1,2)"), err(155));
    EXPECT_GT(in.FindArray("p"), 0);
    EXPECT_EQ(run(in, "array p[3]float=(1,2,3,4)"), err(155));
    EXPECT_EQ(run(in, "array p[3]float=(1,2,3"), err(155));
    EXPECT_EQ(run(in, "array p[3]float="), err(155));
    EXPECT_EQ(run(in, "array p[3,2]float=(1,2,3,4,5,6)"), err(155));
    EXPECT_EQ(run(in, "array p[3,2]float=((1,2),(3,4),(5,6),(7,8))"), err(155));
    EXPECT_EQ(run(in, "array p[3,2]float=((1,2),(3,4,5),(6,7))"), err(155));
    EXPECT_EQ(run(in, "array p[2,2]float=((1,2),(3,4))"), "");
    // A reader error inside the list stops the load with its own message.
    EXPECT_EQ(run(in, "array p[2]string=('a','b)"), err(70, {"('a','b)"}));
}

TEST(ArrayDeclaration, RedeclarationLimitAndOrder)
{
    Interpreter in;
    ASSERT_EQ(run(in, "array a[3]float=(1,2,3)"), "");
    // Declaring an existing name again replaces it, whatever its type.
    ASSERT_EQ(run(in, "array A[2]string=('x','y')"), "");
    EXPECT_EQ(in.arrays().count(), 1);
    EXPECT_EQ(arr(in, "a").name, "A");
    EXPECT_EQ(arr(in, "a").data_type, wkString);
    EXPECT_EQ(strings(arr(in, "a")), (QStringList{"x", "y"}));

    // The table is kept sorted: ASCII letters fold to upper case, other
    // characters compare by code unit (so "В" U+0412 precedes "б" U+0431).
    for (const char *name : {"gamma", "Beta", "x_1", "ALPHA2", "alpha", "б", "В"})
        ASSERT_EQ(run(in, QStringLiteral("array %1[1]int").arg(QString::fromUtf8(name))), "");
    EXPECT_EQ(tableNames(in), (QStringList{"A", "alpha", "ALPHA2", "Beta", "gamma", "x_1",
                                           QString::fromUtf8("В"), QString::fromUtf8("б")}));
    EXPECT_EQ(in.arrays().lastDeclaredName, QString::fromUtf8("В"));

    // 25 arrays at most, counted over every record (cmdLineParams and
    // temporaries included); redeclaring is refused then, too.
    for (int k = in.arrays().count(); k < 24; ++k)
        ASSERT_EQ(run(in, QStringLiteral("array f%1[1]float").arg(k)), "");
    EXPECT_GT(in.CreateArrayFromText("array " + in.NewTemporaryArrayName() + "[1]float=(5)"), 0);
    EXPECT_EQ(in.arrays().count(), 25);
    EXPECT_EQ(run(in, "array one_more[1]float"), err(138, {25}));
    EXPECT_EQ(run(in, "array one_more[1]float"), "Maximum allowable amount of arrays 25.\r\rLine 0.");
    EXPECT_EQ(run(in, "array gamma[1]float"), err(138, {25}));
    EXPECT_EQ(arr(in, "gamma").data_type, wkInt);
    in.DeleteTemporaryArrays();
    EXPECT_EQ(run(in, "array one_more[1]float"), "");
}

TEST(ArrayDeclaration, ValueListWordLimit)
{
    Interpreter in;
    // [2750]: "(" and 2750 values each with its delimiter make 5501 words.
    QStringList values;
    for (int k = 0; k < 2750; ++k)
        values << QString::number(k % 10);
    QString list = "(" + values.join(",") + ")";
    ASSERT_EQ(run(in, "array ok[2750]int=" + list), "");
    EXPECT_EQ(ints(arr(in, "ok"))[2749], 9);

    values << "1";
    list = "(" + values.join(",") + ")";
    EXPECT_EQ(run(in, "array big[2751]int=" + list), err(45, {list}));
}

TEST(ArrayElements, ReadingAndReferenceErrors)
{
    Interpreter in;
    ASSERT_EQ(run(in, "array a[3,2]int=((1,2),(3,4),(5,6))"), "");
    ASSERT_EQ(run(in, "array s[2]string=('one','')"), "");

    // The reference is replaced by one word; the rest moves up.
    WordList w = readRef(in, "a[3,2] + 1 * 2");
    ASSERT_EQ(w.last, 4);
    EXPECT_EQ(w[0].kind, wkInt);
    EXPECT_EQ(w[0].text(), "6");
    EXPECT_EQ(w[1].text(), "+");
    EXPECT_EQ(w[4].text(), "2");
    EXPECT_TRUE(w[5].isEmpty());
    EXPECT_TRUE(w[9].isEmpty());

    w = readRef(in, "s[1]");
    EXPECT_EQ(w[0].kind, wkString);
    EXPECT_EQ(w[0].text(), "one");

    // Replacing a reference in the middle of a list.
    in.takeError();
    in.SplitWords("1 + a[1,2]", w);
    in.ReadArrayElement(w, 2);
    EXPECT_TRUE(in.errorText().isEmpty());
    ASSERT_EQ(w.last, 2);
    EXPECT_EQ(w[2].text(), "2");
    EXPECT_TRUE(w[3].isEmpty());

    // Errors leave the words unchanged.
    QString e;
    w = readRef(in, "a[1.5,1]", &e);
    EXPECT_EQ(e, err(161, {"a", "1.5"}));
    EXPECT_EQ(e, "Index of the array \"a\" must be an integer value, in fact we have: \"1.5\"\r\rLine 0.");
    EXPECT_EQ(w.last, 5);
    EXPECT_EQ(w[0].text(), "a");
    readRef(in, "a[1,2.25]", &e);
    EXPECT_EQ(e, err(161, {"a", "2.25"}));
    // A literal without a fraction is an index.
    EXPECT_EQ(readRef(in, "a[2.0,1]")[0].text(), "3");
    readRef(in, "a 1", &e);
    EXPECT_EQ(e, err(151, {"a"}));
    readRef(in, "a", &e);
    EXPECT_EQ(e, err(151, {"a"}));
    readRef(in, "a[4,1]", &e);
    EXPECT_EQ(e, "Index(-ices) of array \"a\" out of range\r\rLine 0.");
    readRef(in, "a[0,1]", &e);
    EXPECT_EQ(e, err(153, {"a"}));
    readRef(in, "a[1,3]", &e);
    EXPECT_EQ(e, err(153, {"a"}));
    readRef(in, "a[]", &e);
    EXPECT_EQ(e, err(153, {"a"}));
    readRef(in, "a[1,2", &e);
    EXPECT_EQ(e, err(47));
    // The word after the reference of an assignment must be "=".
    EXPECT_EQ(run(in, "a[1,1] 5"), err(152, {"a"}));
    EXPECT_EQ(run(in, "a[1,1]"),
              "Element of the array  \"a\" must be followed by equal sign \"=\".\r\rLine 0.");
    EXPECT_EQ(run(in, "a[1,1] ="), err(85));
    EXPECT_EQ(run(in, "a[9,1] = 5"), err(153, {"a"}));
    EXPECT_EQ(ints(arr(in, "a")), (std::vector<std::int64_t>{1, 2, 3, 4, 5, 6}));
}

TEST(ArrayLifetime, TemporaryNamesAndResults)
{
    Interpreter in;
    const QRegularExpression pattern("^tARR(\\d+)(\\d{9})$");
    const QString t1 = in.NewTemporaryArrayName();
    const QString t2 = in.NewTemporaryArrayName();
    EXPECT_TRUE(pattern.match(t1).hasMatch()) << t1.toStdString();
    EXPECT_EQ(in.arrays().temporaryCounter, 2);
    EXPECT_TRUE(t2.startsWith("tARR2"));

    // A temporary array is an ordinary array found under its name.
    const int n = in.CreateArrayFromText("array " + t1 + "[3]float=(1,2,3)");
    ASSERT_GT(n, 0);
    EXPECT_EQ(in.arrays().at(n).name, t1);
    EXPECT_EQ(in.FindArray(t1.toLower()), n);
    EXPECT_EQ(in.CreateArrayFromText("array x[2]float=(1)"), 0);
    EXPECT_FALSE(in.errorText().isEmpty());
    in.takeError();

    // The result is moved to the target name, not copied.
    const ArrayCells *block = in.arrays().at(in.FindArray(t1)).P.get();
    ASSERT_EQ(run(in, "array v[1]int"), "");
    in.AssignArrayResult("V", t1);
    EXPECT_TRUE(in.errorText().isEmpty());
    EXPECT_EQ(in.FindArray(t1), 0);
    const t_arr_specification &v = arr(in, "v");
    EXPECT_EQ(v.name, "V");
    EXPECT_EQ(v.data_type, wkFloat);
    EXPECT_EQ(v.P.get(), block);
    EXPECT_EQ(in.arrays().lastDeclaredName, "V");
    EXPECT_EQ(tableNames(in), (QStringList{"V", "x"}));

    // Inside a function: a "_" target belongs to the function, a target
    // that exists keeps its own level.
    in.setFunctionLevel(1);
    QString t = in.NewTemporaryArrayName();
    ASSERT_GT(in.CreateArrayFromText("array " + t + "[1]int=(4)"), 0);
    in.AssignArrayResult("_loc", t);
    EXPECT_EQ(arr(in, "_loc").function_level, 1);
    t = in.NewTemporaryArrayName();
    ASSERT_GT(in.CreateArrayFromText("array " + t + "[1]int=(5)"), 0);
    in.AssignArrayResult("v", t);
    EXPECT_EQ(arr(in, "v").function_level, 0);
    EXPECT_EQ(ints(arr(in, "v")), (std::vector<std::int64_t>{5}));
    EXPECT_EQ(in.arrays().lastDeclaredLevel, 0);
    in.AssignArrayResult("w", "noSuchArray");
    EXPECT_EQ(in.errorText(), err(147, {"noSuchArray"}));
}

TEST(ArrayLifetime, DeletingTemporaries)
{
    Interpreter in;
    // Generated names go, whatever the counter's length; script arrays whose
    // names begin with "tarr" go when longer than 16 characters.
    const QString t = in.NewTemporaryArrayName();
    for (const QString &name :
         {t, QStringLiteral("TARR123456789012"), QStringLiteral("tarrVeryLongName1"),
          QStringLiteral("tarrShort"), QStringLiteral("DIR231231235959123"), QStringLiteral("keep")})
        ASSERT_EQ(run(in, "array " + name + "[1]float"), "") << name.toStdString();
    in.DeleteTemporaryArrays();
    EXPECT_EQ(tableNames(in), (QStringList{"DIR231231235959123", "keep", "tarrShort"}));

    // A temporary of an outer level stays while deeper levels are swept, as
    // often as they are, and goes with the sweep of its own level; a
    // temporary name that appears after a sweep that found none goes too.
    in.setFunctionLevel(1);
    ASSERT_EQ(run(in, "array _loc[1]float"), "");
    const QString outer = in.ReleaseFunctionArrays("_loc");
    in.setFunctionLevel(0);
    for (int pass = 0; pass < 2; ++pass) {
        in.DeleteTemporaryArrays(1);
        EXPECT_TRUE(tableNames(in).contains(outer)) << pass;
    }
    in.DeleteTemporaryArrays(0);
    EXPECT_FALSE(tableNames(in).contains(outer));
    in.DeleteTemporaryArrays(0);
    ASSERT_EQ(run(in, "array " + in.NewTemporaryArrayName() + "[1]float"), "");
    in.DeleteTemporaryArrays(0);
    EXPECT_EQ(tableNames(in), (QStringList{"DIR231231235959123", "keep", "tarrShort"}));
}

TEST(ArrayLifetime, ParametersAndFunctionReturn)
{
    Interpreter in;
    ASSERT_EQ(run(in, "array g[2]float=(1,2)"), "");
    ASSERT_EQ(run(in, "array names[2]string=('a','')"), "");
    const std::shared_ptr<ArrayCells> gBlock = arr(in, "g").P;

    // Level 1: g by value, names by reference.
    in.setFunctionLevel(1);
    in.BindArrayParameter("_val", "g", false, "f");
    in.BindArrayParameter("_ref", "names", true, "f");
    ASSERT_TRUE(in.errorText().isEmpty());
    const t_arr_specification &val = arr(in, "_val");
    EXPECT_EQ(val.function_level, 1);
    EXPECT_FALSE(val.is_parameter_variable);
    EXPECT_NE(val.P, gBlock);
    EXPECT_EQ(floats(val), (std::vector<double>{1, 2}));
    const t_arr_specification &ref = arr(in, "_ref");
    EXPECT_TRUE(ref.is_parameter_variable);
    EXPECT_EQ(ref.P, arr(in, "names").P);
    EXPECT_EQ(ref.dim, arr(in, "names").dim);

    // A by-value copy is independent; a by-reference record is the same block.
    arr(in, "_val").P->f[0] = 99;
    arr(in, "_ref").P->s[1] = "changed";
    EXPECT_EQ(floats(arr(in, "g")), (std::vector<double>{1, 2}));
    EXPECT_EQ(strings(arr(in, "names")), (QStringList{"a", "changed"}));

    // The formal name is taken already (128 with the function's name).
    in.BindArrayParameter("_val", "g", false, "f");
    EXPECT_EQ(in.errorText(), err(128, {"f"}));
    in.takeError();
    in.BindArrayParameter("_q", "nothing", false, "f");
    EXPECT_EQ(in.errorText(), err(147, {"nothing"}));
    in.takeError();

    // Level 2: a "_" actual is looked up at the caller's level.
    ASSERT_EQ(run(in, "array _loc[3]int=(7,8,9)"), "");
    ASSERT_EQ(run(in, "array plain[1]int=(1)"), "");
    EXPECT_EQ(arr(in, "plain").function_level, 1);
    in.setFunctionLevel(2);
    in.BindArrayParameter("_inner", "_loc", true, "h");
    in.BindArrayParameter("_p2", "plain", false, "h");
    ASSERT_TRUE(in.errorText().isEmpty());
    EXPECT_EQ(ints(arr(in, "_inner")), (std::vector<std::int64_t>{7, 8, 9}));
    EXPECT_EQ(ints(arr(in, "_p2")), (std::vector<std::int64_t>{1}));
    // Returning nothing releases every array of the level.
    EXPECT_EQ(in.ReleaseFunctionArrays(""), "");
    in.setFunctionLevel(1);
    EXPECT_EQ(in.FindArray("_inner"), 0);
    EXPECT_EQ(in.FindArray("_p2"), 0);
    EXPECT_EQ(ints(arr(in, "_loc")), (std::vector<std::int64_t>{7, 8, 9}));

    // Returning _loc: it continues one level up under a temporary name; the
    // other arrays of the level go, the caller's blocks stay intact.
    const QString temp = in.ReleaseFunctionArrays("_LOC");
    EXPECT_TRUE(QRegularExpression("^tARR\\d+\\d{9}$").match(temp).hasMatch()) << temp.toStdString();
    in.setFunctionLevel(0);
    const t_arr_specification &result = arr(in, temp);
    EXPECT_EQ(result.function_level, 0);
    EXPECT_EQ(ints(result), (std::vector<std::int64_t>{7, 8, 9}));
    EXPECT_EQ(tableNames(in), (QStringList{"g", "names", temp}));
    EXPECT_EQ(strings(arr(in, "names")), (QStringList{"a", "changed"}));
    EXPECT_EQ(arr(in, "g").P, gBlock);
    in.AssignArrayResult("r", temp);
    EXPECT_EQ(ints(arr(in, "r")), (std::vector<std::int64_t>{7, 8, 9}));

    // Binding does not check the limit of 25.
    for (int k = in.arrays().count(); k < 25; ++k)
        ASSERT_EQ(run(in, QStringLiteral("array f%1[1]float").arg(k)), "");
    in.setFunctionLevel(1);
    in.BindArrayParameter("_over", "g", true, "f");
    EXPECT_TRUE(in.errorText().isEmpty());
    EXPECT_EQ(in.arrays().count(), 26);

    // A returned by-reference parameter gets a block of its own.
    const QString back = in.ReleaseFunctionArrays("_over");
    in.setFunctionLevel(0);
    const t_arr_specification &copy = arr(in, back);
    EXPECT_FALSE(copy.is_parameter_variable);
    EXPECT_NE(copy.P, gBlock);
    EXPECT_EQ(floats(copy), (std::vector<double>{1, 2}));
}

TEST(ArrayLifetime, ResetAndCommandLine)
{
    Interpreter in;
    ASSERT_EQ(run(in, "array a[1]float"), "");
    in.ResetArrays();
    EXPECT_EQ(in.arrays().count(), 0);
    EXPECT_EQ(in.arrays().lastDeclaredName, "");

    in.updateSettings([&](ProgramSettings &s) {
        s.cmdLineParams = QStringList{"Scripts/demo.txt", "/R", "two words", ""};
    });
    ASSERT_EQ(run(in, "array a[1]float"), "");
    in.setFunctionLevel(3);
    in.ResetArrays();
    EXPECT_EQ(in.currentFunctionLevel(), 3);
    in.setFunctionLevel(0);
    EXPECT_TRUE(in.errorText().isEmpty());
    ASSERT_EQ(in.arrays().count(), 1);
    const t_arr_specification &p = arr(in, "CMDLINEPARAMS");
    EXPECT_EQ(p.name, "cmdLineParams");
    EXPECT_EQ(p.data_type, wkString);
    EXPECT_EQ(p.count, 4);
    EXPECT_EQ(p.function_level, 0);
    EXPECT_EQ(strings(p), in.settings().cmdLineParams);
}

TEST(ArrayLifetime, AllArraysTogetherStayInsideTheMemoryBudget)
{
    Interpreter in;
    // A record that stands for 900 MiB of float cells (the block itself is
    // not allocated: the budget counts what the records declare), and a
    // by-reference record sharing its block, which is counted once.
    t_arr_specification big;
    big.name = "big";
    big.data_type = wkFloat;
    big.count = 900 * 1024 * 1024 / 8;
    big.dim[0] = big.count;
    big.P = std::make_shared<ArrayCells>();
    t_arr_specification alias = big;
    alias.name = "_alias";
    alias.function_level = 1;
    alias.is_parameter_variable = true;
    in.arrays().append(big);
    in.arrays().append(alias);
    EXPECT_EQ(in.arrays().bytesInUse(), std::int64_t(900) * 1024 * 1024);

    // 124 MiB more fit the 1024 MiB of all arrays; 125 MiB do not, whatever the type.
    EXPECT_TRUE(in.arrays().fitsBudget(wkFloat, 124 * 1024 * 1024 / 8));
    EXPECT_FALSE(in.arrays().fitsBudget(wkInt, 125 * 1024 * 1024 / 8));
    EXPECT_FALSE(in.arrays().fitsBudget(wkString, 125 * 1024 * 1024 / std::int64_t(sizeof(QString))));
    EXPECT_EQ(run(in, "array a[17000000]float"), err(359, {1024}));
    EXPECT_EQ(err(359, {1024}),
              "Not enough memory for the arrays: all arrays of a script together may take at most 1024 MB."
              "\r\rLine 0.");
    EXPECT_EQ(in.FindArray("a"), 0);
    EXPECT_EQ(run(in, "array a[1000]string"), "");
    // Removing the large array gives its share back.
    in.arrays().DeleteArray(in.FindArray("big"));
    in.arrays().DeleteArray(in.arrays().FindArrayAtLevel("_alias", 1));
    EXPECT_EQ(in.arrays().bytesInUse(), 1000 * std::int64_t(sizeof(QString)));
    EXPECT_EQ(run(in, "array a[17000000]float"), "");
}

// ---- Cases that evaluate expressions ---------------------------------------------

TEST(ArraysWithExpressions, DimensionsIndicesAndValues)
{
    Interpreter in;
    in.SetVariable("n", "2", wkFloat);
    in.SetVariable("x", "1.5", wkFloat);
    in.SetVariable("s", "str", wkString);

    // Dimension expressions are evaluated and rounded half to even.
    ASSERT_EQ(run(in, "array a[n+1, -1..n]float"), "");
    EXPECT_EQ(arr(in, "a").dim, (std::array<std::int32_t, 4>{3, 4, 0, 0}));
    EXPECT_EQ(arr(in, "a").first, (std::array<std::int32_t, 4>{0, -2, 0, 0}));
    ASSERT_EQ(run(in, "array b[2.5]int"), "");
    EXPECT_EQ(arr(in, "b").count, 2);
    ASSERT_EQ(run(in, "array c[x*3]int"), "");
    EXPECT_EQ(arr(in, "c").count, 4);
    EXPECT_EQ(run(in, "array d[q+1]int"), err(76, {"q"}));
    EXPECT_EQ(in.FindArray("d"), 0);

    // Value list elements: expressions, variables, negative numbers.
    ASSERT_EQ(run(in, "array i[3]int=(1.5, 2.5, -0.5)"), "");
    EXPECT_EQ(ints(arr(in, "i")), (std::vector<std::int64_t>{2, 2, 0}));
    ASSERT_EQ(run(in, "array v[2,2]float=((1+1, n), (-x, n*n))"), "");
    EXPECT_EQ(floats(arr(in, "v")), (std::vector<double>{2, 2, -1.5, 4}));
    ASSERT_EQ(run(in, "array t[2]string=(s, 'a'+'b')"), "");
    EXPECT_EQ(strings(arr(in, "t")), (QStringList{"str", "ab"}));
    EXPECT_EQ(run(in, "array u[2]float=(1, q)"), "");
    EXPECT_EQ(run(in, "array u[2]float=(1, q+1)"), err(76, {"q"}));

    // Index expressions, nested references; x = 1.5 rounds to 2 without 161.
    ASSERT_EQ(run(in, "array k[3]int=(10,20,30)"), "");
    EXPECT_EQ(readRef(in, "k[n+1]")[0].text(), "30");
    EXPECT_EQ(readRef(in, "k[x]")[0].text(), "20");
    EXPECT_EQ(readRef(in, "k[k[1]/10]")[0].text(), "10");
    QString e;
    readRef(in, "k[-1]", &e);
    EXPECT_EQ(e, err(153, {"k"}));
    TWordStatus r;
    in.EvaluateText("k[x] + 1", r);
    EXPECT_TRUE(in.errorText().isEmpty()) << in.errorText().toStdString();
    EXPECT_EQ(r.float_val, 21.0);
    in.takeError();
}

TEST(ArraysWithExpressions, ElementAssignment)
{
    Interpreter in;
    in.SetVariable("i", "1", wkFloat);
    ASSERT_EQ(run(in, "array f[2,2]float"), "");
    ASSERT_EQ(run(in, "array n[4]int"), "");
    ASSERT_EQ(run(in, "array s[2]string=('old','')"), "");

    EXPECT_EQ(run(in, "f[2,1] = 1/4"), "");
    EXPECT_EQ(floats(arr(in, "f")), (std::vector<double>{0, 0, 0.25, 0}));
    EXPECT_EQ(in.arrays().lastAssignedArray, in.FindArray("f"));
    EXPECT_EQ(run(in, "f[i+1, i] = f[2,1] * 2"), "");
    EXPECT_EQ(floats(arr(in, "f"))[2], 0.5);

    // Integers round half to even; strings store the result's text.
    EXPECT_EQ(run(in, "n[1] = 2.5"), "");
    EXPECT_EQ(run(in, "n[2] = 3.5"), "");
    EXPECT_EQ(run(in, "n[3] = -2.5"), "");
    EXPECT_EQ(run(in, "n[4] = 7/2 + 0.1"), "");
    EXPECT_EQ(ints(arr(in, "n")), (std::vector<std::int64_t>{2, 4, -2, 4}));
    EXPECT_EQ(in.arrays().lastAssignedArray, in.FindArray("n"));
    EXPECT_EQ(run(in, "s[1] = 'new' + 'er'"), "");
    EXPECT_EQ(run(in, "s[2] = 2 * 3"), "");
    EXPECT_EQ(strings(arr(in, "s")), (QStringList{"newer", "6"}));
    WordList w = readRef(in, "n[2]");
    EXPECT_EQ(w[0].kind, wkInt);
    EXPECT_EQ(w[0].float_val, 4.0);

    // A value beyond the 64-bit range is a runtime failure, in an element
    // assignment and in a value list alike; the array stays declared.
    EXPECT_THROW(run(in, "n[1] = 1e300"), RuntimeFailure);
    in.takeError();
    EXPECT_THROW(run(in, "array big[2]int=(1, 1e19)"), RuntimeFailure);
    in.takeError();
    EXPECT_EQ(ints(arr(in, "big"))[0], 1);

    // Evaluation errors and index errors store nothing.
    EXPECT_EQ(run(in, "n[1] = q"), err(76, {"q"}));
    EXPECT_EQ(run(in, "n[i+4] = 1"), err(153, {"n"}));
    EXPECT_EQ(ints(arr(in, "n")), (std::vector<std::int64_t>{2, 4, -2, 4}));
}
