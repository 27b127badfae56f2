// Help texts of the array and matrix functions, Check and Exists.
#include "builtins_array_support.h"

namespace tesmora::arrayfn {

void addArrayFamilyHelp(QList<FunctionHelp> &help)
{
    const FunctionTable t = FunctionTable::Embedded;
    // clang-format off
    help.append({t, "Array_Length",
        u"Returns the number of elements of an array (the product of its dimensions).\r\n"
        u"Example:\r\n"
        u"array a[2,3]float\r\n"
        u"n = Array_Length(a)   # n = 6",
        u"Возвращает количество элементов массива (произведение его размерностей).\r\n"
        u"Пример:\r\n"
        u"array a[2,3]float\r\n"
        u"n = Array_Length(a)   # n = 6"});
    help.append({t, "Dim1",
        u"Returns the first dimension of an array: the number of its rows.\r\n"
        u"Example:\r\n"
        u"array a[2,3]float\r\n"
        u"n = Dim1(a)   # n = 2",
        u"Возвращает первую размерность массива, то есть количество его строк.\r\n"
        u"Пример:\r\n"
        u"array a[2,3]float\r\n"
        u"n = Dim1(a)   # n = 2"});
    help.append({t, "Dim2",
        u"Returns the second dimension of an array: the number of its columns; 0 for a one-dimensional array.\r\n"
        u"Example:\r\n"
        u"array a[2,3]float\r\n"
        u"n = Dim2(a)   # n = 3",
        u"Возвращает вторую размерность массива, то есть количество его столбцов; для одномерного массива 0.\r\n"
        u"Пример:\r\n"
        u"array a[2,3]float\r\n"
        u"n = Dim2(a)   # n = 3"});
    help.append({t, "Dim3",
        u"Returns the third dimension of an array; 0 when the array has fewer than three dimensions.\r\n"
        u"Example:\r\n"
        u"array a[2,3,4]int\r\n"
        u"n = Dim3(a)   # n = 4",
        u"Возвращает третью размерность массива; 0, если у массива меньше трёх измерений.\r\n"
        u"Пример:\r\n"
        u"array a[2,3,4]int\r\n"
        u"n = Dim3(a)   # n = 4"});
    help.append({t, "Dim4",
        u"Returns the fourth dimension of an array; 0 when the array has fewer than four dimensions.\r\n"
        u"Example:\r\n"
        u"array a[2,3]float\r\n"
        u"n = Dim4(a)   # n = 0",
        u"Возвращает четвёртую размерность массива; 0, если у массива меньше четырёх измерений.\r\n"
        u"Пример:\r\n"
        u"array a[2,3]float\r\n"
        u"n = Dim4(a)   # n = 0"});
    help.append({t, "Check",
        u"Checks that a value equals the expected one. Numbers are equal when they differ by at most 1E-12; "
        u"texts must match exactly, letter case included; arrays must have the same type, the same number "
        u"of elements and equal elements.\r\n"
        u"When the values differ, the line is marked and a question asks whether to continue: "
        u"answering No stops the script.\r\n"
        u"Example:\r\n"
        u"x = 0.1 + 0.2\r\n"
        u"Check(x, 0.3)   # equal: the script goes on without a question",
        u"Проверяет, что значение совпадает с ожидаемым. Числа считаются равными, если отличаются не более "
        u"чем на 1E-12; тексты должны совпадать в точности, с учётом регистра букв; массивы должны иметь "
        u"одинаковый тип, одинаковое количество элементов и равные элементы.\r\n"
        u"Если значения различаются, строка отмечается и появляется вопрос, продолжать ли: "
        u"ответ «Нет» останавливает скрипт.\r\n"
        u"Пример:\r\n"
        u"x = 0.1 + 0.2\r\n"
        u"Check(x, 0.3)   # равны: скрипт продолжается без вопроса"});
    help.append({t, "Arr_MinMax",
        u"Finds the smallest and the largest values of a number array. For a one-dimensional array the "
        u"result is the array (minimum, maximum); for a two-dimensional array with N columns it is an "
        u"array [2,N] whose first row holds the minimum of every column and the second row the maximum.\r\n"
        u"Example:\r\n"
        u"array a[2,2]float=((1,5),(3,2))\r\n"
        u"m = Arr_MinMax(a)   # m = ((1,2),(3,5))",
        u"Находит наименьшее и наибольшее значения числового массива. Для одномерного массива результат — "
        u"массив (минимум, максимум); для двумерного массива из N столбцов — массив [2,N], в первой "
        u"строке которого минимумы всех столбцов, а во второй — максимумы.\r\n"
        u"Пример:\r\n"
        u"array a[2,2]float=((1,5),(3,2))\r\n"
        u"m = Arr_MinMax(a)   # m = ((1,2),(3,5))"});
    help.append({t, "Matrix_inversion",
        u"Returns the inverse of a square matrix, computed by the Gauss-Jordan method. A matrix whose "
        u"determinant is zero has no inverse: the script stops with an error.\r\n"
        u"Example:\r\n"
        u"array m[2,2]float=((4,7),(2,6))\r\n"
        u"r = Matrix_inversion(m)   # r = ((0.6,-0.7),(-0.2,0.4))",
        u"Возвращает обратную матрицу для квадратной матрицы, вычисленную методом Гаусса — Жордана. "
        u"У матрицы с нулевым определителем обратной нет: скрипт останавливается с ошибкой.\r\n"
        u"Пример:\r\n"
        u"array m[2,2]float=((4,7),(2,6))\r\n"
        u"r = Matrix_inversion(m)   # r = ((0.6,-0.7),(-0.2,0.4))"});
    help.append({t, "Matrix_Determinant",
        u"Returns the determinant of a square matrix, computed by the Gauss-Jordan method.\r\n"
        u"Example:\r\n"
        u"array m[2,2]float=((1,2),(3,4))\r\n"
        u"d = Matrix_Determinant(m)   # d = -2",
        u"Возвращает определитель квадратной матрицы, вычисленный методом Гаусса — Жордана.\r\n"
        u"Пример:\r\n"
        u"array m[2,2]float=((1,2),(3,4))\r\n"
        u"d = Matrix_Determinant(m)   # d = -2"});
    help.append({t, "Matrix_Vector_Product",
        u"Returns the vector (cross) product of two vectors given as one-dimensional arrays of three "
        u"numbers.\r\n"
        u"Example:\r\n"
        u"c = Matrix_Vector_Product(Array3(1,0,0), Array3(0,1,0))   # c = (0,0,1)",
        u"Возвращает векторное произведение двух векторов, заданных одномерными массивами из трёх чисел.\r\n"
        u"Пример:\r\n"
        u"c = Matrix_Vector_Product(Array3(1,0,0), Array3(0,1,0))   # c = (0,0,1)"});
    help.append({t, "Matrix_Scalar_Product",
        u"Returns the scalar (dot) product of two arrays of the same size: the sum of the products of "
        u"their corresponding elements.\r\n"
        u"Example:\r\n"
        u"s = Matrix_Scalar_Product(Array3(1,2,3), Array3(4,5,6))   # s = 32",
        u"Возвращает скалярное произведение двух массивов одного размера: сумму произведений их "
        u"соответствующих элементов.\r\n"
        u"Пример:\r\n"
        u"s = Matrix_Scalar_Product(Array3(1,2,3), Array3(4,5,6))   # s = 32"});
    help.append({t, "Matrix_Sum",
        u"Adds two arrays of the same size element by element and returns the sum as a new float array.\r\n"
        u"Example:\r\n"
        u"array a[2,2]float=((1,2),(3,4))\r\n"
        u"array b[2,2]float=((10,20),(30,40))\r\n"
        u"c = Matrix_Sum(a, b)   # c = ((11,22),(33,44))",
        u"Складывает поэлементно два массива одного размера и возвращает сумму в виде нового массива типа float.\r\n"
        u"Пример:\r\n"
        u"array a[2,2]float=((1,2),(3,4))\r\n"
        u"array b[2,2]float=((10,20),(30,40))\r\n"
        u"c = Matrix_Sum(a, b)   # c = ((11,22),(33,44))"});
    help.append({t, "Matrix_Subtr",
        u"Subtracts the second array from the first element by element (both of the same size) and returns "
        u"the difference as a new float array.\r\n"
        u"Example:\r\n"
        u"array a[2,2]float=((10,20),(30,40))\r\n"
        u"array b[2,2]float=((1,2),(3,4))\r\n"
        u"c = Matrix_Subtr(a, b)   # c = ((9,18),(27,36))",
        u"Поэлементно вычитает второй массив из первого (оба одного размера) и возвращает разность в виде "
        u"нового массива типа float.\r\n"
        u"Пример:\r\n"
        u"array a[2,2]float=((10,20),(30,40))\r\n"
        u"array b[2,2]float=((1,2),(3,4))\r\n"
        u"c = Matrix_Subtr(a, b)   # c = ((9,18),(27,36))"});
    help.append({t, "Matrix_multiplication",
        u"Multiplies two matrices. The number of columns of the first matrix must equal the number of rows "
        u"of the second; a matrix [N,M] times a matrix [M,K] gives a matrix [N,K].\r\n"
        u"Example:\r\n"
        u"array a[2,2]float=((1,2),(3,4))\r\n"
        u"array b[2,2]float=((5,6),(7,8))\r\n"
        u"c = Matrix_multiplication(a, b)   # c = ((19,22),(43,50))",
        u"Перемножает две матрицы. Количество столбцов первой матрицы должно совпадать с количеством "
        u"строк второй; матрица [N,M], умноженная на матрицу [M,K], даёт матрицу [N,K].\r\n"
        u"Пример:\r\n"
        u"array a[2,2]float=((1,2),(3,4))\r\n"
        u"array b[2,2]float=((5,6),(7,8))\r\n"
        u"c = Matrix_multiplication(a, b)   # c = ((19,22),(43,50))"});
    help.append({t, "Matrix_mult_number",
        u"Multiplies every element of an array by a number. The array itself changes; the function "
        u"returns nothing, so it is written as a statement of its own.\r\n"
        u"Example:\r\n"
        u"array a[3]float=(1,2,3)\r\n"
        u"Matrix_mult_number(a, 2)   # a = (2,4,6)",
        u"Умножает каждый элемент массива на число. Изменяется сам массив; функция ничего не возвращает, "
        u"поэтому её записывают отдельной строкой.\r\n"
        u"Пример:\r\n"
        u"array a[3]float=(1,2,3)\r\n"
        u"Matrix_mult_number(a, 2)   # a = (2,4,6)"});
    help.append({t, "Matrix_transposition",
        u"Returns the transposed matrix: rows become columns. A matrix [N,M] gives a matrix [M,N].\r\n"
        u"Example:\r\n"
        u"array a[2,3]float=((1,2,3),(4,5,6))\r\n"
        u"t = Matrix_transposition(a)   # t = ((1,4),(2,5),(3,6))",
        u"Возвращает транспонированную матрицу: строки становятся столбцами. Из матрицы [N,M] получается "
        u"матрица [M,N].\r\n"
        u"Пример:\r\n"
        u"array a[2,3]float=((1,2,3),(4,5,6))\r\n"
        u"t = Matrix_transposition(a)   # t = ((1,4),(2,5),(3,6))"});
    help.append({t, "Matrix_duplication",
        u"Returns a copy of an array with the same dimensions and elements; indices of the copy start at 1. "
        u"An array cannot be copied by writing b = a: use this function.\r\n"
        u"Example:\r\n"
        u"array a[3]float=(1,2,3)\r\n"
        u"b = Matrix_duplication(a)\r\n"
        u"b[1] = 10   # a stays (1,2,3)",
        u"Возвращает копию массива с теми же размерностями и элементами; индексы копии начинаются с 1. "
        u"Массив нельзя скопировать записью b = a: для этого служит эта функция.\r\n"
        u"Пример:\r\n"
        u"array a[3]float=(1,2,3)\r\n"
        u"b = Matrix_duplication(a)\r\n"
        u"b[1] = 10   # a остаётся (1,2,3)"});
    help.append({t, "Array_Sort",
        u"Returns a sorted copy of a one- or two-dimensional array. The rows are ordered by the values in "
        u"column SortCol (1 by default); texts are compared letter case included. SortOrder 0 (the default) "
        u"sorts in ascending order, any other number in descending order. Rows with equal values keep their "
        u"order when ascending and come in reverse order when descending.\r\n"
        u"Example:\r\n"
        u"array a[3]float=(3,1,2)\r\n"
        u"b = Array_Sort(a)   # b = (1,2,3)\r\n"
        u"array p[3,2]string=(('pear','b'),('apple','a'),('plum','c'))\r\n"
        u"q = Array_Sort(p, 1, 1)   # q = (('plum','c'),('pear','b'),('apple','a'))",
        u"Возвращает отсортированную копию одномерного или двумерного массива. Строки упорядочиваются по "
        u"значениям в столбце SortCol (по умолчанию 1); тексты сравниваются с учётом регистра букв. "
        u"SortOrder 0 (по умолчанию) — сортировка по возрастанию, любое другое число — по убыванию. "
        u"Строки с равными значениями сохраняют свой порядок при сортировке по возрастанию и идут "
        u"в обратном порядке при сортировке по убыванию.\r\n"
        u"Пример:\r\n"
        u"array a[3]float=(3,1,2)\r\n"
        u"b = Array_Sort(a)   # b = (1,2,3)\r\n"
        u"array p[3,2]string=(('pear','b'),('apple','a'),('plum','c'))\r\n"
        u"q = Array_Sort(p, 1, 1)   # q = (('plum','c'),('pear','b'),('apple','a'))"});
    help.append({t, "Array2",
        u"Returns a float array of the two given numbers.\r\n"
        u"Example:\r\n"
        u"p = Array2(3, 4)   # p = (3,4)",
        u"Возвращает массив типа float из двух заданных чисел.\r\n"
        u"Пример:\r\n"
        u"p = Array2(3, 4)   # p = (3,4)"});
    help.append({t, "Array3",
        u"Returns a float array of the three given numbers.\r\n"
        u"Example:\r\n"
        u"v = Array3(1, 2.5, -3)   # v = (1,2.5,-3)",
        u"Возвращает массив типа float из трёх заданных чисел.\r\n"
        u"Пример:\r\n"
        u"v = Array3(1, 2.5, -3)   # v = (1,2.5,-3)"});
    help.append({t, "Array4",
        u"Returns a float array of the four given numbers.\r\n"
        u"Example:\r\n"
        u"x = 2\r\n"
        u"q = Array4(x, x * 2, x * 3, x * 4)   # q = (2,4,6,8)",
        u"Возвращает массив типа float из четырёх заданных чисел.\r\n"
        u"Пример:\r\n"
        u"x = 2\r\n"
        u"q = Array4(x, x * 2, x * 3, x * 4)   # q = (2,4,6,8)"});
    help.append({t, "Array_Row",
        u"Returns one row of a two-dimensional array as a one-dimensional array of the same type. "
        u"Rows are counted from 1.\r\n"
        u"Example:\r\n"
        u"array a[2,3]float=((1,2,3),(4,5,6))\r\n"
        u"r = Array_Row(a, 2)   # r = (4,5,6)",
        u"Возвращает одну строку двумерного массива как одномерный массив того же типа. "
        u"Строки нумеруются с 1.\r\n"
        u"Пример:\r\n"
        u"array a[2,3]float=((1,2,3),(4,5,6))\r\n"
        u"r = Array_Row(a, 2)   # r = (4,5,6)"});
    help.append({t, "Array_Row_By_Name",
        u"Looks in a two-dimensional string array for the first row whose element in column Col "
        u"(1 by default) equals Name exactly, letter case included. Without Col_1 the result is that row "
        u"as a string array (empty texts when no row matches); with Col_1 it is the text in column Col_1 "
        u"of that row (an empty text when no row matches).\r\n"
        u"Example:\r\n"
        u"array f[2,2]string=(('apple','red'),('lime','green'))\r\n"
        u"c = Array_Row_By_Name(f, 'lime', 1, 2)   # c = 'green'\r\n"
        u"r = Array_Row_By_Name(f, 'apple')   # r = ('apple','red')",
        u"Ищет в двумерном строковом массиве первую строку, элемент которой в столбце Col (по умолчанию 1) "
        u"в точности равен Name, с учётом регистра букв. Без Col_1 результат — эта строка в виде "
        u"строкового массива (пустые тексты, если подходящей строки нет); с Col_1 — текст из столбца Col_1 "
        u"этой строки (пустой текст, если подходящей строки нет).\r\n"
        u"Пример:\r\n"
        u"array f[2,2]string=(('apple','red'),('lime','green'))\r\n"
        u"c = Array_Row_By_Name(f, 'lime', 1, 2)   # c = 'green'\r\n"
        u"r = Array_Row_By_Name(f, 'apple')   # r = ('apple','red')"});
    help.append({t, "Array_RowNumber_By_Name",
        u"Returns the number of the first row of a two-dimensional string array whose element in column Col "
        u"(1 by default) equals Name exactly, letter case included; 0 when there is no such row.\r\n"
        u"Example:\r\n"
        u"array f[2,2]string=(('apple','red'),('lime','green'))\r\n"
        u"n = Array_RowNumber_By_Name(f, 'lime')   # n = 2\r\n"
        u"k = Array_RowNumber_By_Name(f, 'red', 2)   # k = 1",
        u"Возвращает номер первой строки двумерного строкового массива, элемент которой в столбце Col "
        u"(по умолчанию 1) в точности равен Name, с учётом регистра букв; 0, если такой строки нет.\r\n"
        u"Пример:\r\n"
        u"array f[2,2]string=(('apple','red'),('lime','green'))\r\n"
        u"n = Array_RowNumber_By_Name(f, 'lime')   # n = 2\r\n"
        u"k = Array_RowNumber_By_Name(f, 'red', 2)   # k = 1"});
    help.append({t, "Array_Col",
        u"Returns one column of a two-dimensional array as a one-dimensional array of the same type. "
        u"Columns are counted from 1.\r\n"
        u"Example:\r\n"
        u"array a[2,3]float=((1,2,3),(4,5,6))\r\n"
        u"c = Array_Col(a, 3)   # c = (3,6)",
        u"Возвращает один столбец двумерного массива как одномерный массив того же типа. "
        u"Столбцы нумеруются с 1.\r\n"
        u"Пример:\r\n"
        u"array a[2,3]float=((1,2,3),(4,5,6))\r\n"
        u"c = Array_Col(a, 3)   # c = (3,6)"});
    help.append({t, "Exists",
        u"Returns true when a variable or an array with the given name exists, otherwise false. "
        u"The parameter must be a bare name, not an expression.\r\n"
        u"Example:\r\n"
        u"x = 5\r\n"
        u"a = Exists(x)   # a = true\r\n"
        u"b = Exists(y)   # b = false: there is no y",
        u"Возвращает true, если переменная или массив с таким именем существует, иначе false. "
        u"Параметром должно быть само имя, а не выражение.\r\n"
        u"Пример:\r\n"
        u"x = 5\r\n"
        u"a = Exists(x)   # a = true\r\n"
        u"b = Exists(y)   # b = false: переменной y нет"});
    help.append({t, "Array_Delete",
        u"Deletes an array. When there is no array with this name, nothing happens. The function returns "
        u"nothing, so it is written as a statement of its own.\r\n"
        u"Example:\r\n"
        u"array a[3]float\r\n"
        u"Array_Delete(a)\r\n"
        u"e = Exists(a)   # e = false",
        u"Удаляет массив. Если массива с таким именем нет, ничего не происходит. Функция ничего не "
        u"возвращает, поэтому её записывают отдельной строкой.\r\n"
        u"Пример:\r\n"
        u"array a[3]float\r\n"
        u"Array_Delete(a)\r\n"
        u"e = Exists(a)   # e = false"});
    help.append({t, "Array_Filter",
        u"Returns the rows of a two-dimensional string array whose element in column Col (1 by default) "
        u"contains the text Filter. With Options 'i' (the default) letter case is ignored; with Options '' "
        u"it counts. The rows keep their order; an empty Filter keeps no row.\r\n"
        u"Example:\r\n"
        u"array p[3,2]string=(('Jackson','1'),('Smith','2'),('SONNY','3'))\r\n"
        u"q = Array_Filter(p, 'son')   # q = (('Jackson','1'),('SONNY','3'))\r\n"
        u"r = Array_Filter(p, 'son', 1, '')   # r = (('Jackson','1'))",
        u"Возвращает строки двумерного строкового массива, элемент которых в столбце Col (по умолчанию 1) "
        u"содержит текст Filter. При Options 'i' (по умолчанию) регистр букв не учитывается, при "
        u"Options '' — учитывается. Строки сохраняют свой порядок; при пустом Filter не остаётся ни одной "
        u"строки.\r\n"
        u"Пример:\r\n"
        u"array p[3,2]string=(('Jackson','1'),('Smith','2'),('SONNY','3'))\r\n"
        u"q = Array_Filter(p, 'son')   # q = (('Jackson','1'),('SONNY','3'))\r\n"
        u"r = Array_Filter(p, 'son', 1, '')   # r = (('Jackson','1'))"});
    // clang-format on
}

} // namespace tesmora::arrayfn
