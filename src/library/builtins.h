// The registry of built-in functions and the argument reader they share.
#pragma once

#include "core/words.h"

#include <QString>
#include <cstdint>

namespace tesmora {

class Interpreter;
struct t_arr_specification;

// One call of a built-in function: its arguments and its result word, with
// the readers every family uses so that all report errors the same way.
class BuiltinCall {
public:
    BuiltinCall(Interpreter &in, const QString &name, WordList &args, TWordStatus &result);

    Interpreter &in;
    const QString &name; // the catalogue spelling
    WordList &args;
    TWordStatus &result;

    // Number of arguments: the position of the first empty word.
    int count() const;
    bool has(int i) const { return i < count(); }
    const TWordStatus &arg(int i) const { return args[i]; }
    double number(int i) const { return args[i].float_val; }
    // The number rounded to the nearest integer, halves to even.
    std::int64_t integer(int i) const;
    const QString &text(int i) const { return args[i].str; }
    // Table number of the array argument i names; raises message 186 and
    // returns 0 when it is not an array.
    int arrayNo(int i);
    t_arr_specification *array(int i);

    void setText(const QString &text);
    // A number result; its text is the general number text in the system form.
    void setNumber(double value);
    // A number result with a text chosen by the family.
    void setNumber(double value, const QString &text);
    void setBool(bool value);
    void setArray(const QString &arrayName);
    bool failed() const;
};

using BuiltinFunction = void (*)(BuiltinCall &call);

// The function registered under `name` (compared without letter case), or null.
BuiltinFunction findBuiltin(const QString &name);

// Each family registers its members by catalogue name.
class BuiltinRegistry {
public:
    virtual ~BuiltinRegistry() = default;
    virtual void add(const char *catalogueName, BuiltinFunction fn) = 0;
};

} // namespace tesmora
