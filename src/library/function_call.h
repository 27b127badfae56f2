// One call of a catalogue function as its implementation sees it: the
// argument reader and the result setters that the built-in, graphics and
// dialog functions share, and the one way they report a failure.
#pragma once

#include "core/message_catalogue.h"
#include "ports/words.h"

#include <QString>
#include <cstdint>

namespace tesmora {

class Interpreter;
struct t_arr_specification;

class FunctionCall {
  public:
    // The arguments given are the leading words whose kind is not wkNone.
    FunctionCall(Interpreter &in, const QString &name, WordList &args, TWordStatus &result);
    // The same with the number of arguments given counted by the caller.
    FunctionCall(Interpreter &in, const QString &name, WordList &args, TWordStatus &result, int count);

    Interpreter &in;
    const QString &name; // the catalogue spelling
    WordList &args;
    TWordStatus &result;

    // Number of arguments given.
    int count() const { return count_; }
    bool has(int i) const { return i < count_; }
    // Argument i; beyond the arguments given, the empty word (0, empty text).
    const TWordStatus &arg(int i) const;
    double number(int i) const { return arg(i).float_val; }
    const QString &text(int i) const { return arg(i).text(); }
    // The number rounded to the nearest integer, halves to even; a value
    // beyond 64 bits is a run-time fault of the line.
    std::int64_t integer(int i) const;
    // Table number of the array argument i names; raises message 186 and
    // returns 0 when it is not an array.
    int arrayNo(int i);
    t_arr_specification *array(int i);
    // The array argument i names, or null; raises nothing.
    const t_arr_specification *namedArray(int i) const;

    void setText(const QString &text);
    // A number result; its text is the general number text in the system form.
    void setNumber(double value);
    // A number result with a text chosen by the function.
    void setNumber(double value, const QString &text);
    // An integer result (kind wkInt) with its decimal text.
    void setInteger(std::int64_t value);
    void setBool(bool value);
    void setArray(const QString &arrayName);

    // The one way a function reports a failure: the catalogue message (or a
    // text of its own) becomes the interpreter's error and the result stays
    // empty. Conversion faults deep inside a function may instead throw
    // RuntimeFailure; the executor turns it into the same error.
    void fail(int messageId, const MessageArgs &messageArgs = {});
    void fail(const QString &text);
    bool failed() const;

  private:
    int count_;
};

// The error of an executor asked for a name it has no implementation for;
// the same text in every interface language.
void RaiseFunctionNotFound(Interpreter &in, const QString &name);

} // namespace tesmora
