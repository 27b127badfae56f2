// JavaScript-backed functions: the source text of a call and its result.
#pragma once

#include "ports/javascript_engine.h"
#include "ports/words.h"
#include "library/function_tables.h"

#include <QString>

namespace tesmora {

// The text to evaluate for a call of `row` of the JavaScript table with the
// value words `args` (entries 0..args.last). For rows whose object is a
// string or a date, the first argument is the object the method is called on.
QString BuildJavaScriptCall(const T_FunctionDescription &row, const WordList &args);
// The same for row number `row` of the JavaScript table (empty text for a
// row number outside the table).
QString BuildJavaScriptCall(int row, const WordList &args);
// The call of `row` with `count` arguments as an expression over the
// argument values a0, a1, ...
QString JavaScriptExpression(const T_FunctionDescription &row, int count);
// The call of `row` prepared for the engine: its expression over the
// argument values when every argument passes as a value with the same
// effect as its source text (`expression`, when given, is
// JavaScriptExpression's for these arguments), else its source text. The
// source of an expression call is BuildJavaScriptCall's.
JavaScriptCall PrepareJavaScriptCall(const T_FunctionDescription &row, const WordList &args,
                                     const QString &expression = {});

// Turns the engine's answer into the call's result by the row's ReturnType:
// "int" and "float" give wkFloat (the answer read as a number and rewritten
// with FormatNumber), every other type gives wkString with the answer as it
// stands. Sets str, kind and float_val of `result`. Returns false, leaving
// `result` unchanged, when a numeric answer is not a finite number (NaN,
// Infinity or any other text).
bool JavaScriptResultWord(const T_FunctionDescription &row, const QString &answer, TWordStatus &result);

// The value of a call of a Math row computed here, as the engine computes
// it: true when the row is one of the methods computed here and every
// argument is a number. The caller must first make sure that the engine's
// standard methods are unchanged (JavaScriptEngine::standardMethodsUnchanged).
bool NativeMathValue(const T_FunctionDescription &row, const WordList &args, double &value);
// The Math methods of one number computed here: the method of `row` (-1 for
// none) and its value at x.
int NativeUnaryMethod(const T_FunctionDescription &row);
double NativeUnaryValue(int method, double x);
// The engine's answer text of a charAt or charCodeAt call of a text at a
// numeric position, computed here (one UTF-16 unit, as the engine counts);
// false for other rows and arguments. The same condition as for
// NativeMathValue applies.
bool NativeStringAnswer(const T_FunctionDescription &row, const WordList &args, QString &answer);
// A numeric answer as JavaScriptResultWord makes it: false, leaving `result`
// unchanged, for NaN and the infinities.
bool JavaScriptNumberWord(double value, TWordStatus &result);

} // namespace tesmora
