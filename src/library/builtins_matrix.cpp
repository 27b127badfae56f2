// Matrix functions: element-wise and matrix arithmetic, transposition,
// duplication, and inversion and determinant by the Gauss-Jordan method.
#include "builtins_array_support.h"

#include "core/interpreter.h"
#include "core/numbers.h"

#include <cmath>

namespace tesmora {

namespace arrayfn {

namespace {

// A matrix with rows 0..rows-1 and columns 0..cols-1 kept row by row.
struct Grid {
    std::vector<double> &v;
    int cols;
    double &operator()(int i, int j)
    {
        return v[static_cast<size_t>(i) * static_cast<size_t>(cols) + static_cast<size_t>(j)];
    }
};

// Pivots smaller than this (2 to the power -52) count as zero.
constexpr double kPivotLimit = 2.220446049250313E-16;

// Gauss-Jordan with full pivoting over rows lb..ub1 and columns lb..ub2.
// Returns 0, -2 (singular) or -3 (incompatible bounds).
int gaussJordan(Grid A, int lb, int ub1, int ub2, double &det)
{
    if (ub2 < ub1)
        return -3;
    det = 1.0;
    std::vector<int> pRow(static_cast<size_t>(ub1) + 1);
    std::vector<int> pCol(static_cast<size_t>(ub1) + 1);
    std::vector<double> mCol(static_cast<size_t>(ub1) + 1);
    for (int k = lb; k <= ub1; ++k) {
        // The pivot: the first element of greatest magnitude in rows and
        // columns k..ub1.
        double pvt = A(k, k);
        int ik = k;
        int jk = k;
        for (int i = k; i <= ub1; ++i)
            for (int j = k; j <= ub1; ++j)
                if (std::fabs(A(i, j)) > std::fabs(pvt)) {
                    pvt = A(i, j);
                    ik = i;
                    jk = j;
                }
        pRow[static_cast<size_t>(k)] = ik;
        pCol[static_cast<size_t>(k)] = jk;
        det *= pvt;
        if (ik != k)
            det = -det;
        if (jk != k)
            det = -det;
        if (std::fabs(pvt) < kPivotLimit || std::isnan(pvt))
            return -2;
        if (ik != k)
            for (int j = lb; j <= ub2; ++j)
                std::swap(A(k, j), A(ik, j));
        if (jk != k)
            for (int i = lb; i <= ub1; ++i)
                std::swap(A(i, k), A(i, jk));
        for (int i = lb; i <= ub1; ++i) {
            mCol[static_cast<size_t>(i)] = A(i, k);
            if (i != k)
                A(i, k) = 0.0;
        }
        mCol[static_cast<size_t>(k)] = 0.0;
        A(k, k) = 1.0;
        double t = 1.0 / pvt;
        for (int j = lb; j <= ub2; ++j)
            A(k, j) *= t;
        for (int i = lb; i <= ub1; ++i) {
            if (i == k)
                continue;
            t = mCol[static_cast<size_t>(i)];
            for (int j = lb; j <= ub2; ++j)
                A(i, j) -= t * A(k, j);
        }
    }
    // Undo the exchanges: column exchanges as row exchanges, row exchanges
    // as column exchanges, last first.
    for (int i = ub1; i >= lb; --i) {
        const int c = pCol[static_cast<size_t>(i)];
        if (c != i)
            for (int j = lb; j <= ub2; ++j)
                std::swap(A(i, j), A(c, j));
    }
    for (int j = ub1; j >= lb; --j) {
        const int r = pRow[static_cast<size_t>(j)];
        if (r != j)
            for (int i = lb; i <= ub1; ++i)
                std::swap(A(i, j), A(i, r));
    }
    return 0;
}

} // namespace

int GaussJordan(std::vector<double> &a, int n, double &det)
{
    a.resize(static_cast<size_t>(n + 1) * static_cast<size_t>(n + 1), 0.0);
    return gaussJordan(Grid{a, n + 1}, 1, n, n, det);
}

} // namespace arrayfn

namespace {

using namespace arrayfn;

// Number results carry the dot form of the general number text: a variable
// that receives one reads back as the same number whatever the regional
// settings.

// Two numeric arrays of equal dimensions (message 168 otherwise).
bool sameSizePair(FunctionCall &call, t_arr_specification &a, t_arr_specification &b)
{
    if (!arrayArg(call, 0, a) || !arrayArg(call, 1, b))
        return false;
    if (a.dim != b.dim || a.count != b.count) {
        call.fail(168, {call.text(0), call.text(1)});
        return false;
    }
    return numericArray(call, a, call.text(0)) && numericArray(call, b, call.text(1));
}

// A numeric two-dimensional array argument (message 156 otherwise).
bool matrixArg(FunctionCall &call, int i, t_arr_specification &a)
{
    if (!arrayArg(call, i, a))
        return false;
    if (!isTwoDimensional(a)) {
        call.fail(156, {call.text(i)});
        return false;
    }
    return numericArray(call, a, call.text(i));
}

void elementWise(FunctionCall &call, double sign)
{
    t_arr_specification a;
    t_arr_specification b;
    if (!sameSizePair(call, a, b))
        return;
    t_arr_specification *r = newResultArray(call, wkFloat, dimensionText(a));
    if (!r)
        return;
    for (std::int64_t k = 0; k < a.count; ++k)
        r->P->f[static_cast<size_t>(k)] = cellNumber(a, k) + sign * cellNumber(b, k);
}

void Matrix_Sum(FunctionCall &call)
{
    elementWise(call, 1.0);
}
void Matrix_Subtr(FunctionCall &call)
{
    elementWise(call, -1.0);
}

void Matrix_Scalar_Product(FunctionCall &call)
{
    t_arr_specification a;
    t_arr_specification b;
    if (!sameSizePair(call, a, b))
        return;
    double sum = 0.0;
    for (std::int64_t k = 0; k < a.count; ++k)
        sum += cellNumber(a, k) * cellNumber(b, k);
    call.setNumber(sum);
}

void Matrix_Vector_Product(FunctionCall &call)
{
    t_arr_specification v[2];
    for (int i = 0; i < 2; ++i) {
        if (!arrayArg(call, i, v[i]))
            return;
        const t_arr_specification &x = v[i];
        if (x.dim[0] != 3 || x.dim[1] != 0 || x.dim[2] != 0 || x.dim[3] != 0 || x.count != 3) {
            call.fail(164, {call.text(i)});
            return;
        }
        if (!numericArray(call, x, call.text(i)))
            return;
    }
    const double a1 = cellNumber(v[0], 0), a2 = cellNumber(v[0], 1), a3 = cellNumber(v[0], 2);
    const double b1 = cellNumber(v[1], 0), b2 = cellNumber(v[1], 1), b3 = cellNumber(v[1], 2);
    t_arr_specification *r = newResultArray(call, wkFloat, std::vector<std::int64_t>{3});
    if (!r)
        return;
    r->P->f[0] = a2 * b3 - a3 * b2;
    r->P->f[1] = a3 * b1 - a1 * b3;
    r->P->f[2] = a1 * b2 - a2 * b1;
}

void Matrix_multiplication(FunctionCall &call)
{
    t_arr_specification a;
    t_arr_specification b;
    if (!matrixArg(call, 0, a) || !matrixArg(call, 1, b))
        return;
    const std::int64_t n1 = a.dim[0], m1 = a.dim[1];
    const std::int64_t n2 = b.dim[0], m2 = b.dim[1];
    if (m1 != n2) {
        call.fail(157);
        return;
    }
    t_arr_specification *r = newResultArray(call, wkFloat, std::vector<std::int64_t>{n1, m2});
    if (!r)
        return;
    for (std::int64_t i = 0; i < n1; ++i)
        for (std::int64_t j = 0; j < m2; ++j) {
            double sum = 0.0;
            for (std::int64_t k = 0; k < m1; ++k)
                sum += cellNumber(a, i * m1 + k) * cellNumber(b, k * m2 + j);
            r->P->f[static_cast<size_t>(i * m2 + j)] = sum;
        }
}

// Multiplies the array in place; used as a statement.
void Matrix_mult_number(FunctionCall &call)
{
    t_arr_specification a;
    if (!arrayArg(call, 0, a) || !numericArray(call, a, call.text(0)))
        return;
    const double koeff = call.number(1);
    ArrayCells &cells = *a.P;
    if (a.data_type == wkInt) {
        for (std::int64_t k = 0; k < a.count; ++k) {
            auto &cell = cells.i[static_cast<size_t>(k)];
            const double product = static_cast<double>(cell) * koeff;
            std::int64_t v = 0;
            if (!RoundToInt64(product, v))
                throw RuntimeFailure(QStringLiteral("The value %1 is too large for an integer.")
                                         .arg(FormatNumber(product))
                                         .toStdString());
            cell = v;
        }
    } else {
        for (std::int64_t k = 0; k < a.count; ++k)
            cells.f[static_cast<size_t>(k)] *= koeff;
    }
    call.in.arrays().lastDeclaredName = a.name.toUpper();
    call.in.arrays().lastDeclaredLevel = a.function_level;
}

// Transposition and duplication rearrange cells and keep the array's type.
void Matrix_transposition(FunctionCall &call)
{
    t_arr_specification a;
    if (!arrayArg(call, 0, a))
        return;
    if (!isTwoDimensional(a)) {
        call.fail(156, {call.text(0)});
        return;
    }
    const std::int64_t d1 = a.dim[0], d2 = a.dim[1];
    t_arr_specification *r = newResultArray(call, a.data_type, std::vector<std::int64_t>{d2, d1});
    if (!r)
        return;
    for (std::int64_t i = 0; i < d1; ++i)
        for (std::int64_t j = 0; j < d2; ++j)
            copyCell(a, i * d2 + j, *r, j * d1 + i);
}

void Matrix_duplication(FunctionCall &call)
{
    t_arr_specification a;
    if (!arrayArg(call, 0, a))
        return;
    t_arr_specification *r = newResultArray(call, a.data_type, dimensionText(a));
    if (!r)
        return;
    for (std::int64_t k = 0; k < a.count && k < r->count; ++k)
        copyCell(a, k, *r, k);
}

// Reads a square matrix argument into Gauss-Jordan storage; false with the
// error raised.
bool squareMatrix(FunctionCall &call, std::vector<double> &A, int &n)
{
    t_arr_specification a;
    if (!matrixArg(call, 0, a))
        return false;
    if (a.dim[0] != a.dim[1]) {
        call.fail(158, {call.text(0)});
        return false;
    }
    n = a.dim[0];
    const auto stride = static_cast<size_t>(n) + 1;
    A.assign(stride * stride, 0.0);
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j)
            A[static_cast<size_t>(i) * stride + static_cast<size_t>(j)] =
                cellNumber(a, std::int64_t(i - 1) * n + (j - 1));
    return true;
}

void Matrix_inversion(FunctionCall &call)
{
    std::vector<double> A;
    int n = 0;
    if (!squareMatrix(call, A, n))
        return;
    double det = 0.0;
    if (GaussJordan(A, n, det) != 0) {
        call.fail(159, {call.text(0)});
        return;
    }
    t_arr_specification *r = newResultArray(call, wkFloat, std::vector<std::int64_t>{n, n});
    if (!r)
        return;
    const auto stride = static_cast<size_t>(n) + 1;
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j)
            r->P->f[static_cast<size_t>(i - 1) * static_cast<size_t>(n) + static_cast<size_t>(j - 1)] =
                A[static_cast<size_t>(i) * stride + static_cast<size_t>(j)];
}

// The determinant, also of a singular matrix (where the elimination stops).
void Matrix_Determinant(FunctionCall &call)
{
    std::vector<double> A;
    int n = 0;
    if (!squareMatrix(call, A, n))
        return;
    double det = 0.0;
    GaussJordan(A, n, det);
    call.setNumber(det);
}

} // namespace

namespace arrayfn {

void registerMatrixFunctions(BuiltinRegistry &registry)
{
    registry.add("Matrix_Sum", Matrix_Sum);
    registry.add("Matrix_Subtr", Matrix_Subtr);
    registry.add("Matrix_Scalar_Product", Matrix_Scalar_Product);
    registry.add("Matrix_Vector_Product", Matrix_Vector_Product);
    registry.add("Matrix_multiplication", Matrix_multiplication);
    registry.add("Matrix_mult_number", Matrix_mult_number);
    registry.add("Matrix_transposition", Matrix_transposition);
    registry.add("Matrix_duplication", Matrix_duplication);
    registry.add("Matrix_inversion", Matrix_inversion);
    registry.add("Matrix_Determinant", Matrix_Determinant);
}

} // namespace arrayfn

} // namespace tesmora
