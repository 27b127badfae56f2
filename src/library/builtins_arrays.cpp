// Array functions: sizes, construction from numbers, rows and columns,
// search, filtering, sorting and deletion; Check and Exists.
#include "builtins_array_support.h"

#include "core/interpreter.h"
#include "core/numbers.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace tesmora {

namespace arrayfn {

bool arrayArg(FunctionCall &call, int i, t_arr_specification &out)
{
    if (!call.has(i)) {
        call.fail(186, {QString()});
        return false;
    }
    const TWordStatus &w = call.arg(i);
    if (w.kind != wkArrayName) {
        call.fail(186, {w.text()});
        return false;
    }
    const int n = call.in.FindArray(w.text());
    if (n == 0 || !cellsReady(call.in.arrays().at(n))) {
        call.fail(147, {w.text()});
        return false;
    }
    out = call.in.arrays().at(n);
    return true;
}

bool numericArray(FunctionCall &call, const t_arr_specification &a, const QString &name)
{
    if (a.data_type == wkString) {
        call.fail(185, {name});
        return false;
    }
    return true;
}

bool isTwoDimensional(const t_arr_specification &a, int minRows, int minCols)
{
    const std::int64_t d1 = a.dim[0];
    const std::int64_t d2 = a.dim[1];
    return d1 >= minRows && d2 >= minCols && a.dim[2] == 0 && a.dim[3] == 0 && a.count == d1 * d2 &&
           cellsReady(a);
}

bool isOneOrTwoDimensional(const t_arr_specification &a)
{
    const std::int64_t d1 = a.dim[0];
    const std::int64_t d2 = a.dim[1];
    return d1 >= 1 && d2 >= 0 && a.dim[2] == 0 && a.dim[3] == 0 &&
           a.count == d1 * std::max<std::int64_t>(d2, 1) && cellsReady(a);
}

QString typeWord(TWordKind type)
{
    switch (type) {
    case wkString:
        return QStringLiteral("string");
    case wkInt:
        return QStringLiteral("int");
    default:
        return QStringLiteral("float");
    }
}

QString dimensionText(const t_arr_specification &a)
{
    int used = 0;
    for (int k = 0; k < 4; ++k)
        if (a.dim[static_cast<size_t>(k)] != 0)
            used = k + 1;
    QStringList parts;
    for (int k = 0; k < std::max(used, 1); ++k)
        parts << QString::number(a.dim[static_cast<size_t>(k)]);
    return QLatin1Char('[') + parts.join(QLatin1Char(',')) + QLatin1Char(']');
}

t_arr_specification *newResultArray(FunctionCall &call, TWordKind type, const QString &dimensionPart)
{
    const QString name = call.in.NewTemporaryArrayName();
    const int n =
        call.in.CreateArrayFromText(QStringLiteral("array ") + name + dimensionPart + typeWord(type));
    if (n == 0 || call.failed())
        return nullptr;
    call.setArray(name);
    t_arr_specification &r = call.in.arrays().at(n);
    return cellsReady(r) ? &r : nullptr;
}

t_arr_specification *newResultArray(FunctionCall &call, TWordKind type, const std::vector<std::int64_t> &dims)
{
    QStringList parts;
    for (const std::int64_t d : dims)
        parts << QString::number(d);
    return newResultArray(call, type, QLatin1Char('[') + parts.join(QLatin1Char(',')) + QLatin1Char(']'));
}

void copyCell(const t_arr_specification &src, std::int64_t from, t_arr_specification &dst, std::int64_t to)
{
    const auto f = static_cast<size_t>(from);
    const auto t = static_cast<size_t>(to);
    switch (src.data_type) {
    case wkString:
        dst.P->s[t] = src.P->s[f];
        break;
    case wkInt:
        dst.P->i[t] = src.P->i[f];
        break;
    default:
        dst.P->f[t] = src.P->f[f];
        break;
    }
}

} // namespace arrayfn

namespace {

using namespace arrayfn;

// ---- Sizes ----------------------------------------------------------------------

void Array_Length(FunctionCall &call)
{
    t_arr_specification a;
    if (arrayArg(call, 0, a))
        call.setNumber(a.count, QString::number(a.count));
}

// Dim1 .. Dim4: the digit at the end of the name chooses the dimension.
void Dim(FunctionCall &call)
{
    t_arr_specification a;
    if (!arrayArg(call, 0, a))
        return;
    const int k = call.name.isEmpty() ? 1 : call.name.back().digitValue();
    if (k < 1 || k > 4) {
        call.fail(163, {call.name});
        return;
    }
    const int d = a.dim[static_cast<size_t>(k - 1)];
    call.setNumber(d, QString::number(d));
}

// ---- Construction from numbers -----------------------------------------------------

// Array2, Array3, Array4: the arguments become the value list of a float array.
void ArrayOfNumbers(FunctionCall &call, int n)
{
    QStringList values;
    for (int i = 0; i < n && i < call.count(); ++i)
        values << FormatNumber(call.number(i));
    const QString name = call.in.NewTemporaryArrayName();
    const QString text = QStringLiteral("array ") + name + QStringLiteral("[%1]float=(").arg(n) +
                         values.join(QLatin1Char(',')) + QLatin1Char(')');
    if (call.in.CreateArrayFromText(text) == 0 || call.failed())
        return;
    call.setArray(name);
}

void Array2(FunctionCall &call)
{
    ArrayOfNumbers(call, 2);
}
void Array3(FunctionCall &call)
{
    ArrayOfNumbers(call, 3);
}
void Array4(FunctionCall &call)
{
    ArrayOfNumbers(call, 4);
}

// ---- Minimum and maximum ---------------------------------------------------------------

void Arr_MinMax(FunctionCall &call)
{
    t_arr_specification a;
    if (!arrayArg(call, 0, a))
        return;
    const QString &name = call.text(0);
    if (!isOneOrTwoDimensional(a)) {
        call.fail(165, {name});
        return;
    }
    if (!numericArray(call, a, name))
        return;
    const std::int64_t rows = a.dim[0];
    const std::int64_t d2 = a.dim[1];
    const std::int64_t cols = std::max<std::int64_t>(d2, 1);
    std::vector<double> mins(static_cast<size_t>(cols));
    std::vector<double> maxs(static_cast<size_t>(cols));
    for (std::int64_t c = 0; c < cols; ++c) {
        double lo = cellNumber(a, c);
        double hi = lo;
        for (std::int64_t r = 1; r < rows; ++r) {
            const double v = cellNumber(a, r * cols + c);
            if (v < lo)
                lo = v;
            if (v > hi)
                hi = v;
        }
        mins[static_cast<size_t>(c)] = lo;
        maxs[static_cast<size_t>(c)] = hi;
    }
    t_arr_specification *r = d2 == 0 ? newResultArray(call, wkFloat, std::vector<std::int64_t>{2})
                                     : newResultArray(call, wkFloat, std::vector<std::int64_t>{2, d2});
    if (!r)
        return;
    for (std::int64_t c = 0; c < cols; ++c) {
        r->P->f[static_cast<size_t>(c)] = mins[static_cast<size_t>(c)];
        r->P->f[static_cast<size_t>(cols + c)] = maxs[static_cast<size_t>(c)];
    }
}

// ---- Rows and columns ------------------------------------------------------------------

void Array_Row(FunctionCall &call)
{
    t_arr_specification a;
    if (!arrayArg(call, 0, a))
        return;
    const std::int64_t row = call.integer(1);
    if (!isTwoDimensional(a, 2, 2)) {
        call.fail(156, {call.text(0)});
        return;
    }
    const std::int64_t d2 = a.dim[1];
    if (row < 1 || row > a.dim[0]) {
        call.fail(163, {call.name.toLower()});
        return;
    }
    t_arr_specification *r = newResultArray(call, a.data_type, std::vector<std::int64_t>{d2});
    if (!r)
        return;
    for (std::int64_t c = 0; c < d2; ++c)
        copyCell(a, (row - 1) * d2 + c, *r, c);
}

void Array_Col(FunctionCall &call)
{
    t_arr_specification a;
    if (!arrayArg(call, 0, a))
        return;
    const std::int64_t col = call.integer(1);
    if (!isTwoDimensional(a, 2, 2)) {
        call.fail(156, {call.text(0)});
        return;
    }
    const std::int64_t d1 = a.dim[0];
    const std::int64_t d2 = a.dim[1];
    if (col < 1 || col > d2) {
        call.fail(163, {call.name.toLower()});
        return;
    }
    t_arr_specification *r = newResultArray(call, a.data_type, std::vector<std::int64_t>{d1});
    if (!r)
        return;
    for (std::int64_t row = 0; row < d1; ++row)
        copyCell(a, row * d2 + (col - 1), *r, row);
}

// The checks shared by Array_Row_By_Name and Array_RowNumber_By_Name; gives
// the 0-based matching row or -1.
bool findRowByName(FunctionCall &call, t_arr_specification &a, std::int64_t col1, std::int64_t &row)
{
    row = -1;
    if (!arrayArg(call, 0, a))
        return false;
    const std::int64_t col = call.has(2) ? call.integer(2) : 1;
    if (!isTwoDimensional(a, 1, 2)) {
        call.fail(156, {call.text(0)});
        return false;
    }
    const std::int64_t d2 = a.dim[1];
    if (col < 1 || col > d2 || col1 > d2 || a.data_type != wkString) {
        call.fail(163, {call.name.toLower()});
        return false;
    }
    const QString &wanted = call.text(1);
    for (std::int64_t r = 0; r < a.dim[0]; ++r) {
        if (a.P->s[static_cast<size_t>(r * d2 + col - 1)] == wanted) {
            row = r;
            break;
        }
    }
    return true;
}

void Array_Row_By_Name(FunctionCall &call)
{
    const std::int64_t col1 = call.has(3) ? call.integer(3) : 0;
    t_arr_specification a;
    std::int64_t row = -1;
    if (!findRowByName(call, a, col1, row))
        return;
    const std::int64_t d2 = a.dim[1];
    if (col1 >= 1) {
        call.setText(row < 0 ? QString() : a.P->s[static_cast<size_t>(row * d2 + col1 - 1)]);
        return;
    }
    t_arr_specification *r = newResultArray(call, wkString, std::vector<std::int64_t>{d2});
    if (!r || row < 0)
        return;
    for (std::int64_t c = 0; c < d2; ++c)
        copyCell(a, row * d2 + c, *r, c);
}

void Array_RowNumber_By_Name(FunctionCall &call)
{
    t_arr_specification a;
    std::int64_t row = -1;
    if (!findRowByName(call, a, 0, row))
        return;
    const std::int64_t number = row + 1; // 0 when no row matches
    call.setNumber(static_cast<double>(number), QString::number(number));
}

// ---- Filtering and sorting ---------------------------------------------------------------

void Array_Filter(FunctionCall &call)
{
    t_arr_specification a;
    if (!arrayArg(call, 0, a))
        return;
    const std::int64_t col = call.has(2) ? call.integer(2) : 1;
    const QString options = call.has(3) ? call.text(3).toLower() : QStringLiteral("i");
    if (a.data_type != wkString) {
        call.fail(149, {call.text(0)});
        return;
    }
    if (!isTwoDimensional(a, 2, 1)) {
        call.fail(156, {call.text(0)});
        return;
    }
    const std::int64_t d2 = a.dim[1];
    if (col < 1 || col > d2) {
        call.fail(163, {call.name});
        return;
    }
    const bool ignoreCase = options.contains(QLatin1Char('i'));
    const QString filter = ignoreCase ? call.text(1).toUpper() : call.text(1);
    std::vector<std::int64_t> kept;
    if (!filter.isEmpty()) {
        for (std::int64_t r = 0; r < a.dim[0]; ++r) {
            const QString &cell = a.P->s[static_cast<size_t>(r * d2 + col - 1)];
            if ((ignoreCase ? cell.toUpper() : cell).contains(filter))
                kept.push_back(r);
        }
    }
    const auto k = static_cast<std::int64_t>(kept.size());
    t_arr_specification *r = newResultArray(call, wkString, std::vector<std::int64_t>{k, d2});
    if (!r)
        return;
    for (std::int64_t i = 0; i < k; ++i)
        for (std::int64_t c = 0; c < d2; ++c)
            copyCell(a, kept[static_cast<size_t>(i)] * d2 + c, *r, i * d2 + c);
}

void Array_Sort(FunctionCall &call)
{
    t_arr_specification a;
    if (!arrayArg(call, 0, a))
        return;
    const std::int64_t sortCol = call.has(1) ? call.integer(1) : 1;
    const bool descending = call.has(2) && call.integer(2) != 0;
    const QString functionName = QStringLiteral("Array_Sort");
    if (!isOneOrTwoDimensional(a)) {
        call.fail(165, {call.text(0)});
        return;
    }
    const std::int64_t d1 = a.dim[0];
    const std::int64_t d2 = a.dim[1];
    if (d2 >= 1 && sortCol > d2) {
        call.fail(166, {functionName, static_cast<int>(d2)});
        return;
    }
    if (d2 == 0 && sortCol >= 2) {
        call.fail(167, {functionName});
        return;
    }
    if (d2 >= 1 && sortCol < 1) {
        call.fail(163, {functionName});
        return;
    }
    const std::int64_t width = std::max<std::int64_t>(d2, 1);
    const std::int64_t keyOffset = d2 >= 1 ? sortCol - 1 : 0;
    auto keyPos = [&](std::int64_t row) { return static_cast<size_t>(row * width + keyOffset); };

    // The rows in the ascending order of their keys; equal keys keep their order.
    std::vector<std::int64_t> order(static_cast<size_t>(d1));
    std::iota(order.begin(), order.end(), std::int64_t(0));
    switch (a.data_type) {
    case wkString: {
        const std::vector<QString> &s = a.P->s;
        std::stable_sort(order.begin(), order.end(),
                         [&](std::int64_t x, std::int64_t y) { return s[keyPos(x)] < s[keyPos(y)]; });
        break;
    }
    case wkInt: {
        const std::vector<std::int64_t> &v = a.P->i;
        std::stable_sort(order.begin(), order.end(),
                         [&](std::int64_t x, std::int64_t y) { return v[keyPos(x)] < v[keyPos(y)]; });
        break;
    }
    default: {
        // Numbers in ascending order, a value that is not a number last.
        const std::vector<double> &v = a.P->f;
        std::stable_sort(order.begin(), order.end(), [&](std::int64_t x, std::int64_t y) {
            const double p = v[keyPos(x)];
            const double q = v[keyPos(y)];
            if (std::isnan(p))
                return false;
            return std::isnan(q) || p < q;
        });
        break;
    }
    }
    // Descending: the row at ascending position p goes to position d1 - 1 - p.
    if (descending)
        std::reverse(order.begin(), order.end());

    t_arr_specification *r = d2 == 0 ? newResultArray(call, a.data_type, std::vector<std::int64_t>{d1})
                                     : newResultArray(call, a.data_type, std::vector<std::int64_t>{d1, d2});
    if (!r)
        return;
    for (std::int64_t p = 0; p < d1; ++p)
        for (std::int64_t c = 0; c < width; ++c)
            copyCell(a, order[static_cast<size_t>(p)] * width + c, *r, p * width + c);
}

// ---- Names: Exists and Array_Delete ------------------------------------------------------

// Exists and Array_Delete are not checked against their Formula: they take
// exactly one name.
bool oneNameArgument(FunctionCall &call, const QString &catalogueName)
{
    const int n = call.count();
    if (n < 1) {
        call.fail(81, {catalogueName, 0, 1});
        return false;
    }
    if (n > 1) {
        call.fail(120, {catalogueName, 1});
        return false;
    }
    return true;
}

void Exists(FunctionCall &call)
{
    if (!oneNameArgument(call, QStringLiteral("Exists")))
        return;
    const TWordKind k = call.arg(0).kind;
    call.setBool(k == wkVariableName || k == wkArrayName);
}

void Array_Delete(FunctionCall &call)
{
    if (!oneNameArgument(call, QStringLiteral("Array_Delete")))
        return;
    if (call.arg(0).kind != wkArrayName)
        return;
    if (const int n = call.in.FindArray(call.text(0)); n > 0)
        call.in.DeleteArray(n);
}

// ---- Check ------------------------------------------------------------------------------

constexpr double kCheckTolerance = 1E-12;

bool sameArrays(FunctionCall &call, const TWordStatus &test, const TWordStatus &check)
{
    if (check.kind != wkArrayName)
        return false;
    const int na = call.in.FindArray(test.text());
    const int nb = call.in.FindArray(check.text());
    if (na == 0 || nb == 0)
        return false;
    const t_arr_specification &a = call.in.arrays().at(na);
    const t_arr_specification &b = call.in.arrays().at(nb);
    if (a.count != b.count || a.data_type != b.data_type || !cellsReady(a) || !cellsReady(b))
        return false;
    for (std::int64_t k = 0; k < a.count; ++k) {
        const auto p = static_cast<size_t>(k);
        switch (a.data_type) {
        case wkString:
            if (a.P->s[p] != b.P->s[p])
                return false;
            break;
        case wkInt:
            if (a.P->i[p] != b.P->i[p])
                return false;
            break;
        default:
            if (!(std::fabs(a.P->f[p] - b.P->f[p]) < kCheckTolerance))
                return false;
            break;
        }
    }
    return true;
}

bool sameValues(FunctionCall &call, const TWordStatus &test, const TWordStatus &check)
{
    switch (test.kind) {
    case wkFloat:
    case wkInt:
    case wkConst: {
        // Equal numbers pass; a value that is not a number never does.
        const double t = test.float_val;
        const double c = check.float_val;
        return t == c || std::fabs(t - c) <= kCheckTolerance;
    }
    case wkArrayName:
        return sameArrays(call, test, check);
    default:
        return test.text() == check.text();
    }
}

void Check(FunctionCall &call)
{
    const TWordStatus &test = call.arg(0);
    const TWordStatus &check = call.arg(1);
    if (sameValues(call, test, check))
        return;
    Interpreter &in = call.in;
    in.host().markCurrentLine(in.currentLine());
    const QString question = test.text() + QStringLiteral(" <> ") + check.text() + QStringLiteral("\r\r") +
                             in.MessageText(305) + QLatin1Char('?');
    DialogProvider *dialogs = in.services().dialogProvider;
    const bool goOn = dialogs ? dialogs->checkQuestion(question) : true;
    if (!goOn)
        in.StopRun();
}

} // namespace

void registerArrayFunctions(BuiltinRegistry &registry)
{
    registry.add("Array_Length", Array_Length);
    registry.add("Dim1", Dim);
    registry.add("Dim2", Dim);
    registry.add("Dim3", Dim);
    registry.add("Dim4", Dim);
    registry.add("Array2", Array2);
    registry.add("Array3", Array3);
    registry.add("Array4", Array4);
    registry.add("Arr_MinMax", Arr_MinMax);
    registry.add("Array_Row", Array_Row);
    registry.add("Array_Col", Array_Col);
    registry.add("Array_Row_By_Name", Array_Row_By_Name);
    registry.add("Array_RowNumber_By_Name", Array_RowNumber_By_Name);
    registry.add("Array_Filter", Array_Filter);
    registry.add("Array_Sort", Array_Sort);
    registry.add("Array_Delete", Array_Delete);
    registry.add("Exists", Exists);
    registry.add("Check", Check);
    arrayfn::registerMatrixFunctions(registry);
}

} // namespace tesmora
