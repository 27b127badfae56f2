// Eval and the help texts of the JavaScript-backed functions.
#include "builtin_families.h"
#include "core/interpreter.h"

namespace tesmora {

namespace {

// Hands the text to the program's one JavaScript engine; what it defines
// stays for later evaluations.
void fnEval(FunctionCall &c)
{
    QString answer;
    if (c.in.RunJavaScript(c.text(0), answer))
        c.setText(answer);
}

void addStringRows(QList<FunctionHelp> &help)
{
    help.append({FunctionTable::JavaScript, "charAt",
                 u"Returns the character of the string str at the place position; the first character has "
                 u"position 0. A position outside the string gives an empty string.\r\n"
                 u"Examples:\r\n"
                 u"c = charAt('Apple', 1)    # c = 'p'\r\n"
                 u"c = charAt('Apple', 10)   # c = ''",
                 u"Возвращает символ строки str, стоящий на месте position; первый символ имеет позицию 0. "
                 u"Позиция вне строки даёт пустую строку.\r\n"
                 u"Примеры:\r\n"
                 u"c = charAt('Яблоко', 0)   # c = 'Я'\r\n"
                 u"c = charAt('Яблоко', 9)   # c = ''"});
    help.append(
        {FunctionTable::JavaScript, "charCodeAt",
         u"Returns the code (Unicode) of the character of the string str at the place position; the first "
         u"character has position 0. A position outside the string is an error (the answer is not a "
         u"number).\r\n"
         u"Examples:\r\n"
         u"n = charCodeAt('München', 1)   # n = 252\r\n"
         u"n = charCodeAt('A', 0)         # n = 65",
         u"Возвращает код (Unicode) символа строки str, стоящего на месте position; первый символ имеет "
         u"позицию 0. Позиция вне строки - ошибка (ответ не является числом).\r\n"
         u"Примеры:\r\n"
         u"n = charCodeAt('Ёж', 0)   # n = 1025\r\n"
         u"n = charCodeAt('A', 0)    # n = 65"});
    help.append(
        {FunctionTable::JavaScript, "indexOf",
         u"Looks for SearchValue in the string Str and returns the position of its first occurrence (the "
         u"first character has position 0), or -1 when it does not occur. Capital and small letters "
         u"differ.\r\n"
         u"Examples:\r\n"
         u"n = indexOf('banana', 'an')   # n = 1\r\n"
         u"n = indexOf('abc', 'z')       # n = -1",
         u"Ищет SearchValue в строке Str и возвращает позицию первого вхождения (первый символ имеет "
         u"позицию 0) или -1, если вхождения нет. Прописные и строчные буквы различаются.\r\n"
         u"Примеры:\r\n"
         u"n = indexOf('банан', 'ан')   # n = 1\r\n"
         u"n = indexOf('Банан', 'б')    # n = -1"});
    help.append(
        {FunctionTable::JavaScript, "fromCharCode",
         u"Returns the string made of the characters with the codes (Unicode) n1, n2 ... (one to six "
         u"codes).\r\n"
         u"Examples:\r\n"
         u"s = fromCharCode(72, 105)   # s = 'Hi'\r\n"
         u"s = fromCharCode(65)        # s = 'A'",
         u"Возвращает строку из символов с кодами (Unicode) n1, n2 ... (от одного до шести кодов).\r\n"
         u"Примеры:\r\n"
         u"s = fromCharCode(1052, 1080, 1088)   # s = 'Мир'\r\n"
         u"s = fromCharCode(65)                 # s = 'A'"});
}

// The date rows share one description of the millisecond time.
void addDateRows(QList<FunctionHelp> &help)
{
    help.append(
        {FunctionTable::JavaScript, "getTime",
         u"Returns a moment as the number of milliseconds since 01.01.1970 00:00 UTC. The moment is "
         u"given by the text datetime: 'yyyy/mm/dd hh:nn:ss' is read as the local time of the computer, "
         u"'yyyy-mm-ddThh:nn:ssZ' as UTC. Without datetime the current moment is taken. The other date "
         u"functions and Date_Time_Format work with this number.\r\n"
         u"Examples:\r\n"
         u"t = getTime('2019-07-26T01:00:00Z')   # t = 1564102800000\r\n"
         u"t = getTime('2019/07/26 13:05:09')    # that moment in the local time\r\n"
         u"t = getTime()                          # now",
         u"Возвращает момент времени как число миллисекунд от 01.01.1970 00:00 UTC. Момент задаётся "
         u"текстом datetime: 'yyyy/mm/dd hh:nn:ss' читается как местное время компьютера, "
         u"'yyyy-mm-ddThh:nn:ssZ' - как UTC. Без datetime берётся текущий момент. С этим числом работают "
         u"другие функции дат и Date_Time_Format.\r\n"
         u"Примеры:\r\n"
         u"t = getTime('1970-01-01T00:00:01Z')   # t = 1000\r\n"
         u"t = getTime('2019/07/26 13:05:09')    # этот момент по местному времени\r\n"
         u"t = getTime()                          # сейчас"});

    struct Part {
        const char *name;
        const char16_t *en;
        const char16_t *ru;
    };
    static const Part parts[] = {
        {"getFullYear",
         u"Returns the year (four digits) of the moment time in the local time. time is in milliseconds "
         u"since 01.01.1970 UTC (see getTime); without it the current moment is taken.\r\n"
         u"Examples:\r\n"
         u"t = getTime('2019/07/26 13:05:09')\r\n"
         u"y = getFullYear(t)   # y = 2019\r\n"
         u"y = getFullYear()    # the current year",
         u"Возвращает год (четыре цифры) момента time по местному времени. time - миллисекунды от "
         u"01.01.1970 UTC (см. getTime); без него берётся текущий момент.\r\n"
         u"Примеры:\r\n"
         u"t = getTime('2019/07/26 13:05:09')\r\n"
         u"y = getFullYear(t)   # y = 2019\r\n"
         u"y = getFullYear()    # текущий год"},
        {"getMonth",
         u"Returns the month of the moment time in the local time, counted from 0: 0 is January, 11 is "
         u"December. Without time the current moment is taken.\r\n"
         u"Examples:\r\n"
         u"t = getTime('2019/07/26 13:05:09')\r\n"
         u"m = getMonth(t)       # m = 6\r\n"
         u"m = getMonth(t) + 1   # m = 7",
         u"Возвращает месяц момента time по местному времени, считая от 0: 0 - январь, 11 - декабрь. "
         u"Без time берётся текущий момент.\r\n"
         u"Примеры:\r\n"
         u"t = getTime('2019/01/26 13:05:09')\r\n"
         u"m = getMonth(t)   # m = 0"},
        {"getDate",
         u"Returns the day of the month (1 to 31) of the moment time in the local time. Without time the "
         u"current moment is taken.\r\n"
         u"Example:\r\n"
         u"t = getTime('2019/07/26 13:05:09')\r\n"
         u"d = getDate(t)   # d = 26",
         u"Возвращает день месяца (от 1 до 31) момента time по местному времени. Без time берётся "
         u"текущий момент.\r\n"
         u"Пример:\r\n"
         u"t = getTime('2019/07/26 13:05:09')\r\n"
         u"d = getDate(t)   # d = 26"},
        {"getDay",
         u"Returns the day of the week of the moment time in the local time: 0 is Sunday, 1 Monday ... "
         u"6 Saturday. Without time the current moment is taken.\r\n"
         u"Example:\r\n"
         u"t = getTime('2019/07/26 13:05:09')\r\n"
         u"w = getDay(t)   # w = 5",
         u"Возвращает день недели момента time по местному времени: 0 - воскресенье, 1 - понедельник ... "
         u"6 - суббота. Без time берётся текущий момент.\r\n"
         u"Пример:\r\n"
         u"t = getTime('2019/07/28 13:05:09')\r\n"
         u"w = getDay(t)   # w = 0"},
        {"getHours",
         u"Returns the hour (0 to 23) of the moment time in the local time. Without time the current "
         u"moment is taken.\r\n"
         u"Example:\r\n"
         u"t = getTime('2019/07/26 13:05:09')\r\n"
         u"h = getHours(t)   # h = 13",
         u"Возвращает час (от 0 до 23) момента time по местному времени. Без time берётся текущий "
         u"момент.\r\n"
         u"Пример:\r\n"
         u"t = getTime('2019/07/26 13:05:09')\r\n"
         u"h = getHours(t)   # h = 13"},
        {"getMinutes",
         u"Returns the minutes (0 to 59) of the moment time in the local time. Without time the current "
         u"moment is taken.\r\n"
         u"Example:\r\n"
         u"t = getTime('2019/07/26 13:05:09')\r\n"
         u"n = getMinutes(t)   # n = 5",
         u"Возвращает минуты (от 0 до 59) момента time по местному времени. Без time берётся текущий "
         u"момент.\r\n"
         u"Пример:\r\n"
         u"t = getTime('2019/07/26 13:05:09')\r\n"
         u"n = getMinutes(t)   # n = 5"},
        {"getSeconds",
         u"Returns the seconds (0 to 59) of the moment time. Without time the current moment is taken.\r\n"
         u"Example:\r\n"
         u"t = getTime('2019/07/26 13:05:09')\r\n"
         u"s = getSeconds(t)   # s = 9",
         u"Возвращает секунды (от 0 до 59) момента time. Без time берётся текущий момент.\r\n"
         u"Пример:\r\n"
         u"t = getTime('2019/07/26 13:05:09')\r\n"
         u"s = getSeconds(t)   # s = 9"},
        {"getMilliseconds",
         u"Returns the milliseconds (0 to 999) of the moment time. Without time the current moment is "
         u"taken.\r\n"
         u"Example:\r\n"
         u"t = getTime('2019/07/26 13:05:09')\r\n"
         u"z = getMilliseconds(t + 250)   # z = 250",
         u"Возвращает миллисекунды (от 0 до 999) момента time. Без time берётся текущий момент.\r\n"
         u"Пример:\r\n"
         u"t = getTime('2019/07/26 13:05:09')\r\n"
         u"z = getMilliseconds(t + 42)   # z = 42"},
        {"getTimezoneOffset",
         u"Returns the time zone offset of the computer at the current moment in minutes: UTC minus the "
         u"local time (-180 for UTC+3, 300 for UTC-5).\r\n"
         u"Example:\r\n"
         u"z = getTimezoneOffset()   # 0 in London in winter, -60 in Berlin in winter",
         u"Возвращает смещение часового пояса компьютера в текущий момент в минутах: UTC минус местное "
         u"время (-180 для UTC+3, 300 для UTC-5).\r\n"
         u"Пример:\r\n"
         u"z = getTimezoneOffset()   # -180 в Москве"},
        {"toLocaleTimeString",
         u"Returns the local time of the moment time as text in the form of the JavaScript engine. Without "
         u"time the current moment is taken.\r\n"
         u"Example:\r\n"
         u"s = toLocaleTimeString(getTime('2019/07/26 13:05:09'))   # for example '13:05:09'",
         u"Возвращает местное время момента time текстом в форме JavaScript. Без time берётся текущий "
         u"момент.\r\n"
         u"Пример:\r\n"
         u"s = toLocaleTimeString(getTime('2019/07/26 13:05:09'))   # например '13:05:09'"},
        {"toLocaleDateString",
         u"Returns the local date of the moment time as text in the form of the JavaScript engine. Without "
         u"time the current moment is taken.\r\n"
         u"Example:\r\n"
         u"s = toLocaleDateString()   # today's date",
         u"Возвращает местную дату момента time текстом в форме JavaScript. Без time берётся текущий "
         u"момент.\r\n"
         u"Пример:\r\n"
         u"s = toLocaleDateString()   # сегодняшняя дата"},
    };
    for (const Part &p : parts)
        help.append({FunctionTable::JavaScript, p.name, p.en, p.ru});

    static const Part setters[] = {
        {"setFullYear",
         u"Returns the moment time (milliseconds since 01.01.1970 UTC) with its year replaced by Year, in "
         u"the local time; month, day and clock stay.\r\n"
         u"Example:\r\n"
         u"t = getTime('2019/07/26 13:05:09')\r\n"
         u"t2 = setFullYear(t, 2020)\r\n"
         u"y = getFullYear(t2)   # y = 2020",
         u"Возвращает момент time (миллисекунды от 01.01.1970 UTC), в котором год заменён на Year по "
         u"местному времени; месяц, день и время суток сохраняются.\r\n"
         u"Пример:\r\n"
         u"t = getTime('2019/07/26 13:05:09')\r\n"
         u"t2 = setFullYear(t, 2020)\r\n"
         u"y = getFullYear(t2)   # y = 2020"},
        {"setMonth",
         u"Returns the moment time with its month replaced by Month, counted from 0 (0 is January). A "
         u"number beyond 11 moves into the next year.\r\n"
         u"Example:\r\n"
         u"t = getTime('2019/07/26 13:05:09')\r\n"
         u"t2 = setMonth(t, 0)\r\n"
         u"m = getMonth(t2)   # m = 0",
         u"Возвращает момент time, в котором месяц заменён на Month, считая от 0 (0 - январь). Число "
         u"больше 11 переходит в следующий год.\r\n"
         u"Пример:\r\n"
         u"t = getTime('2019/07/26 13:05:09')\r\n"
         u"t2 = setMonth(t, 12)\r\n"
         u"y = getFullYear(t2)   # y = 2020"},
        {"setDate",
         u"Returns the moment time with its day of the month replaced by the second parameter (1 to 31); "
         u"a day beyond the month moves into the next month.\r\n"
         u"Example:\r\n"
         u"t = getTime('2019/07/26 13:05:09')\r\n"
         u"t2 = setDate(t, 1)\r\n"
         u"d = getDate(t2)   # d = 1",
         u"Возвращает момент time, в котором день месяца заменён вторым параметром (от 1 до 31); день за "
         u"пределами месяца переходит в следующий месяц.\r\n"
         u"Пример:\r\n"
         u"t = getTime('2019/07/26 13:05:09')\r\n"
         u"t2 = setDate(t, 32)\r\n"
         u"d = getDate(t2)   # d = 1"},
        {"setHours",
         u"Returns the moment time with its hour replaced by the second parameter (0 to 23), in the local "
         u"time.\r\n"
         u"Example:\r\n"
         u"t = getTime('2019/07/26 13:05:09')\r\n"
         u"t2 = setHours(t, 23)\r\n"
         u"h = getHours(t2)   # h = 23",
         u"Возвращает момент time, в котором час заменён вторым параметром (от 0 до 23) по местному "
         u"времени.\r\n"
         u"Пример:\r\n"
         u"t = getTime('2019/07/26 13:05:09')\r\n"
         u"t2 = setHours(t, 8)\r\n"
         u"h = getHours(t2)   # h = 8"},
        {"setMinutes",
         u"Returns the moment time with its minutes replaced by the second parameter (0 to 59).\r\n"
         u"Example:\r\n"
         u"t = getTime('2019/07/26 13:05:09')\r\n"
         u"t2 = setMinutes(t, 30)\r\n"
         u"n = getMinutes(t2)   # n = 30",
         u"Возвращает момент time, в котором минуты заменены вторым параметром (от 0 до 59).\r\n"
         u"Пример:\r\n"
         u"t = getTime('2019/07/26 13:05:09')\r\n"
         u"t2 = setMinutes(t, 30)\r\n"
         u"n = getMinutes(t2)   # n = 30"},
        {"setSeconds",
         u"Returns the moment time with its seconds replaced by the second parameter (0 to 59).\r\n"
         u"Example:\r\n"
         u"t = getTime('2019/07/26 13:05:09')\r\n"
         u"t2 = setSeconds(t, 0)\r\n"
         u"s = getSeconds(t2)   # s = 0",
         u"Возвращает момент time, в котором секунды заменены вторым параметром (от 0 до 59).\r\n"
         u"Пример:\r\n"
         u"t = getTime('2019/07/26 13:05:09')\r\n"
         u"t2 = setSeconds(t, 0)\r\n"
         u"s = getSeconds(t2)   # s = 0"},
    };
    for (const Part &p : setters)
        help.append({FunctionTable::JavaScript, p.name, p.en, p.ru});
}

void addMathRows(QList<FunctionHelp> &help)
{
    help.append({FunctionTable::JavaScript, "abs",
                 u"Returns the absolute value of x (x without its sign).\r\n"
                 u"Examples:\r\n"
                 u"a = abs(-2.5)   # a = 2.5\r\n"
                 u"a = abs(3)      # a = 3",
                 u"Возвращает модуль числа x (x без знака).\r\n"
                 u"Примеры:\r\n"
                 u"a = abs(-7)    # a = 7\r\n"
                 u"a = abs(0.5)   # a = 0.5"});
    help.append({FunctionTable::JavaScript, "sin",
                 u"Returns the sine of the angle x given in radians.\r\n"
                 u"Examples:\r\n"
                 u"a = sin(0)          # a = 0\r\n"
                 u"a = sin(PI / 2)     # a = 1",
                 u"Возвращает синус угла x, заданного в радианах.\r\n"
                 u"Примеры:\r\n"
                 u"a = sin(PI / 2)            # a = 1\r\n"
                 u"a = sin(30 * PI / 180)     # a = 0.5"});
    help.append({FunctionTable::JavaScript, "cos",
                 u"Returns the cosine of the angle x given in radians.\r\n"
                 u"Examples:\r\n"
                 u"a = cos(0)    # a = 1\r\n"
                 u"a = cos(PI)   # a = -1",
                 u"Возвращает косинус угла x, заданного в радианах.\r\n"
                 u"Примеры:\r\n"
                 u"a = cos(0)    # a = 1\r\n"
                 u"a = cos(PI)   # a = -1"});
    help.append(
        {FunctionTable::JavaScript, "asin",
         u"Returns the arcsine of x (-1 to 1): the angle in radians from -PI/2 to PI/2 whose sine is "
         u"x. Outside -1..1 there is no answer (an error).\r\n"
         u"Examples:\r\n"
         u"a = asin(1)     # a = 1.5707963267949\r\n"
         u"a = asin(0)     # a = 0",
         u"Возвращает арксинус x (от -1 до 1): угол в радианах от -PI/2 до PI/2, синус которого равен "
         u"x. Вне -1..1 ответа нет (ошибка).\r\n"
         u"Примеры:\r\n"
         u"a = asin(-1)    # a = -1.5707963267949\r\n"
         u"a = asin(0)     # a = 0"});
    help.append(
        {FunctionTable::JavaScript, "acos",
         u"Returns the arccosine of x (-1 to 1): the angle in radians from 0 to PI whose cosine is x. "
         u"Outside -1..1 there is no answer (an error).\r\n"
         u"Examples:\r\n"
         u"a = acos(1)    # a = 0\r\n"
         u"a = acos(-1)   # a = 3.14159265358979",
         u"Возвращает арккосинус x (от -1 до 1): угол в радианах от 0 до PI, косинус которого равен "
         u"x. Вне -1..1 ответа нет (ошибка).\r\n"
         u"Примеры:\r\n"
         u"a = acos(1)    # a = 0\r\n"
         u"a = acos(0)    # a = 1.5707963267949"});
    help.append({FunctionTable::JavaScript, "tan",
                 u"Returns the tangent of the angle x given in radians.\r\n"
                 u"Examples:\r\n"
                 u"a = tan(0)   # a = 0\r\n"
                 u"a = tan(1)   # a = 1.5574077246549",
                 u"Возвращает тангенс угла x, заданного в радианах.\r\n"
                 u"Примеры:\r\n"
                 u"a = tan(0)    # a = 0\r\n"
                 u"a = tan(-1)   # a = -1.5574077246549"});
    help.append(
        {FunctionTable::JavaScript, "atan",
         u"Returns the arctangent of x: the angle in radians from -PI/2 to PI/2 whose tangent is x.\r\n"
         u"Examples:\r\n"
         u"a = atan(1)       # a = 0.785398163397448\r\n"
         u"a = atan(1) * 4   # a = 3.14159265358979",
         u"Возвращает арктангенс x: угол в радианах от -PI/2 до PI/2, тангенс которого равен x.\r\n"
         u"Примеры:\r\n"
         u"a = atan(0)       # a = 0\r\n"
         u"a = atan(1) * 4   # a = 3.14159265358979"});
    help.append(
        {FunctionTable::JavaScript, "round",
         u"Rounds x to the nearest whole number; a half is rounded up (2.5 gives 3, -2.5 gives -2), "
         u"unlike the rounding of the interpreter, which rounds halves to the even number.\r\n"
         u"Examples:\r\n"
         u"a = round(2.5)    # a = 3\r\n"
         u"a = round(-1.6)   # a = -2",
         u"Округляет x до ближайшего целого; половина округляется вверх (2.5 даёт 3, -2.5 даёт -2), в "
         u"отличие от округления интерпретатора, где половины округляются к чётному.\r\n"
         u"Примеры:\r\n"
         u"a = round(2.5)    # a = 3\r\n"
         u"a = round(-2.5)   # a = -2"});
    help.append({FunctionTable::JavaScript, "ceil",
                 u"Returns the smallest whole number that is not less than x (rounds up).\r\n"
                 u"Examples:\r\n"
                 u"a = ceil(1.2)    # a = 2\r\n"
                 u"a = ceil(-1.2)   # a = -1",
                 u"Возвращает наименьшее целое число, не меньшее x (округление вверх).\r\n"
                 u"Примеры:\r\n"
                 u"a = ceil(1.01)   # a = 2\r\n"
                 u"a = ceil(-1.9)   # a = -1"});
    help.append({FunctionTable::JavaScript, "floor",
                 u"Returns the largest whole number that is not greater than x (rounds down).\r\n"
                 u"Examples:\r\n"
                 u"a = floor(1.8)    # a = 1\r\n"
                 u"a = floor(-1.2)   # a = -2",
                 u"Возвращает наибольшее целое число, не большее x (округление вниз).\r\n"
                 u"Примеры:\r\n"
                 u"a = floor(1.99)   # a = 1\r\n"
                 u"a = floor(-0.5)   # a = -1"});
    help.append({FunctionTable::JavaScript, "log",
                 u"Returns the natural logarithm of x (base e); x must be greater than 0.\r\n"
                 u"Examples:\r\n"
                 u"a = log(1)                # a = 0\r\n"
                 u"a = log(1000) / log(10)   # a = 3",
                 u"Возвращает натуральный логарифм x (по основанию e); x должен быть больше 0.\r\n"
                 u"Примеры:\r\n"
                 u"a = log(1)         # a = 0\r\n"
                 u"a = log(exp(2))    # a = 2"});
    help.append({FunctionTable::JavaScript, "exp",
                 u"Returns e (2.718...) raised to the power x.\r\n"
                 u"Examples:\r\n"
                 u"a = exp(0)   # a = 1\r\n"
                 u"a = exp(1)   # a = 2.71828182845905",
                 u"Возвращает e (2.718...) в степени x.\r\n"
                 u"Примеры:\r\n"
                 u"a = exp(0)   # a = 1\r\n"
                 u"a = exp(1)   # a = 2.71828182845905"});
    help.append(
        {FunctionTable::JavaScript, "min",
         u"Returns the smallest of its two or more numbers. The synonym math_min calls this function.\r\n"
         u"Examples:\r\n"
         u"a = min(5, 1, 2)      # a = 1\r\n"
         u"a = math_min(3, 4)    # a = 3",
         u"Возвращает наименьшее из двух или более чисел. Синоним math_min вызывает эту функцию.\r\n"
         u"Примеры:\r\n"
         u"a = min(5, -1, 2)     # a = -1\r\n"
         u"a = math_min(3, 4)    # a = 3"});
    help.append(
        {FunctionTable::JavaScript, "max",
         u"Returns the largest of its two or more numbers. Call it by the name max: the synonym "
         u"math_min belongs to min.\r\n"
         u"Examples:\r\n"
         u"a = max(5, 1, 2, 10, -1.13)   # a = 10\r\n"
         u"a = max(-3, -4)               # a = -3",
         u"Возвращает наибольшее из двух или более чисел. Вызывайте её по имени max: синоним math_min "
         u"относится к min.\r\n"
         u"Примеры:\r\n"
         u"a = max(5, 1, 2, 10, -1.13)   # a = 10\r\n"
         u"a = max(-3, -4)               # a = -3"});
}

} // namespace

void registerJavaScriptFunctions(BuiltinRegistry &registry)
{
    registry.add("Eval", fnEval);
}

void addJavaScriptHelp(QList<FunctionHelp> &help)
{
    help.append(
        {FunctionTable::Embedded, "Eval",
         u"Hands the text Str to the JavaScript engine and returns the value of its last expression as a "
         u"string. What the text defines (variables, functions) stays for the next Eval calls. An error "
         u"in the text stops the script with a message that begins with \"JavaScript: \".\r\n"
         u"Examples:\r\n"
         u"s = Eval('2 + 3 * 4')                  # s = '14'\r\n"
         u"s = Eval('var k = 5')\r\n"
         u"s = Eval('k * 2')                      # s = '10'\r\n"
         u"s = Eval('[1, 2, 3].reverse().join()')   # s = '3,2,1'",
         u"Передаёт текст Str движку JavaScript и возвращает значение его последнего выражения в виде "
         u"строки. То, что текст определяет (переменные, функции), сохраняется для следующих вызовов Eval. "
         u"Ошибка в тексте останавливает скрипт с сообщением, начинающимся с \"JavaScript: \".\r\n"
         u"Примеры:\r\n"
         u"s = Eval('Math.sqrt(16) + 1')   # s = '5'\r\n"
         u"s = Eval('function sq(x) { return x * x }')\r\n"
         u"s = Eval('sq(7)')               # s = '49'"});
    addStringRows(help);
    addDateRows(help);
    addMathRows(help);
}

} // namespace tesmora
