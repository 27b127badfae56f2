// Shared pieces of the array and matrix built-in functions: reading array
// arguments, checking their shape and declaring result arrays.
#pragma once

#include "arrays.h"
#include "builtin_families.h"
#include "builtins.h"

#include <QList>
#include <QString>
#include <cstdint>
#include <vector>

namespace tesmora::arrayfn {

// The array argument i names, as a copy of its record (the copy shares the
// element block, so it stays readable while the table changes). Raises
// message 147 for an array name that is not found and 186 for an argument
// that is no array; returns false then.
bool arrayArg(FunctionCall &call, int i, t_arr_specification &out);

// A number array (float or integer); raises message 185 with `name` for a
// string array and returns false.
bool numericArray(FunctionCall &call, const t_arr_specification &a, const QString &name);

// d1 >= minRows, d2 >= minCols, d3 = d4 = 0, and the block holds d1 x d2 cells.
bool isTwoDimensional(const t_arr_specification &a, int minRows = 1, int minCols = 1);
// d1 >= 1, d3 = d4 = 0, and the block holds d1 x max(d2, 1) cells.
bool isOneOrTwoDimensional(const t_arr_specification &a);

// The text of a type in a declaration: "float", "int" or "string".
QString typeWord(TWordKind type);
// The dimension part of a declaration, "[d1,...]", giving every dimension up
// to the last one that is not 0.
QString dimensionText(const t_arr_specification &a);

// Declares a temporary array of `type` with the dimensions `dims`, cleared,
// and makes it the call's result. Returns its record (valid until the table
// changes), or null when the declaration failed (the error is raised).
t_arr_specification *newResultArray(FunctionCall &call, TWordKind type,
                                    const std::vector<std::int64_t> &dims);
// As newResultArray, with the dimension part given as text ("[3,2]").
t_arr_specification *newResultArray(FunctionCall &call, TWordKind type, const QString &dimensionPart);

// Copies cell `from` of `src` into cell `to` of `dst` (both of the same type).
void copyCell(const t_arr_specification &src, std::int64_t from, t_arr_specification &dst, std::int64_t to);

// The matrix family (builtins_matrix.cpp).
void registerMatrixFunctions(BuiltinRegistry &registry);

// Gauss-Jordan elimination with full pivoting on a square matrix kept in
// `a` with rows and columns 0..n (row 0 and column 0 unused), bounds 1..n.
// On success (0) `a` holds the inverse; `det` receives the determinant, also
// when the elimination stops early. Returns -2 for a singular matrix.
int GaussJordan(std::vector<double> &a, int n, double &det);

} // namespace tesmora::arrayfn
