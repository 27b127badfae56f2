// Words, word kinds, variables and block levels: the vocabulary shared by the
// whole interpreter.
#pragma once

#include <QList>
#include <QString>
#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

namespace tesmora {

// The ordinals matter: callers compare ranges (1-2 strings, 3-4 numbers,
// 17-22 function calls).
enum class TWordKind : std::uint8_t {
    wkNone = 0,
    wkString,
    wkStringDQ,
    wkFloat,
    wkInt,
    wkBool,
    wkConst,
    wkColor,
    wkMouseEvent,
    wkOperator,
    wkOpeningBracket,
    wkClosingBracket,
    wkOpeningSquareBracket,
    wkClosingSquareBracket,
    wkComma,
    wkDblDot,
    wkVariableName,
    wkEmbeddedFunction,
    wkGraphFunction,
    wkDialogFunction,
    wkScriptFunction,
    wkVBSFunction,
    wkJS_Function,
    wkFor,
    wkRepeat,
    wkBreak,
    wkBreakIf,
    wkContinue,
    wkContinueIf,
    wkIf,
    wkElse,
    wkReturn,
    wkFunction,
    wkArrayDescription,
    wkArrayName,
    wkArrayInitValues,
    wkIntegerDescription,
    wkFloatDescription,
    wkDatetimeDescription,
    wkStringDescription,
    wkTry,
    wkStop,
    wkUnknownIdentifier,
};
using enum TWordKind;

static_assert(sizeof(TWordKind) == 1);
static_assert(static_cast<int>(wkString) == 1 && static_cast<int>(wkStringDQ) == 2);
static_assert(static_cast<int>(wkFloat) == 3 && static_cast<int>(wkInt) == 4);
static_assert(static_cast<int>(wkBool) == 5 && static_cast<int>(wkConst) == 6);
static_assert(static_cast<int>(wkOperator) == 9 && static_cast<int>(wkDblDot) == 15);
static_assert(static_cast<int>(wkVariableName) == 16);
static_assert(static_cast<int>(wkEmbeddedFunction) == 17 && static_cast<int>(wkJS_Function) == 22);
static_assert(static_cast<int>(wkFor) == 23 && static_cast<int>(wkIf) == 29);
static_assert(static_cast<int>(wkFunction) == 32 && static_cast<int>(wkArrayName) == 34);
static_assert(static_cast<int>(wkIntegerDescription) == 36 && static_cast<int>(wkTry) == 40);
static_assert(static_cast<int>(wkUnknownIdentifier) == 42);

inline int ord(TWordKind k)
{
    return static_cast<int>(k);
}
inline bool isStringKind(TWordKind k)
{
    return k == wkString || k == wkStringDQ;
}
inline bool isNumberKind(TWordKind k)
{
    return k == wkFloat || k == wkInt;
}
inline bool isValueKind(TWordKind k)
{
    return ord(k) >= 1 && ord(k) <= 5;
}
inline bool isFunctionKind(TWordKind k)
{
    return ord(k) >= 17 && ord(k) <= 22;
}
// The enumerator's name, e.g. "wkFloat" (used by dumps and diagnostics).
const char *wordKindName(TWordKind k);

// Operator priorities (TWordStatus::oper_prioritet): the evaluator reduces
// the operators of one priority per pass, and the power and root signs are
// rewritten into pow() calls before evaluation.
enum OperatorPriority : std::uint8_t {
    prOr = 1,
    prAnd = 2,
    prNot = 3,
    prCompare = 6,    // > >= < <= = <>
    prBitOr = 10,     // |
    prBitXor = 11,    // ^
    prBitAnd = 12,    // &
    prShift = 13,     // << >>
    prAdditive = 14,  // + -
    prMultiply = 15,  // * / %
    prRootSign = 19,  // √ ∛ ∜
    prPowerSign = 20, // ² ³
};

// A word of a line, or a value made by evaluation. A number's text may be
// left unwritten: it is then the general text of a number kept with the word
// (not necessarily float_val, which later steps may change), written the
// first time anyone asks for it.
struct TWordStatus {
  private:
    mutable QString str_;

  public:
    TWordKind kind = wkNone;
    bool bool_val = false;
    std::uint8_t oper_prioritet = 0;
    std::uint8_t power = 0;
    std::int32_t pointer = 0;
    double float_val = 0.0;
    std::int32_t var_index = 0;
    std::int32_t func_index = 0;

    const QString &text() const
    {
        if (textPending_)
            writePendingText();
        return str_;
    }
    void setText(const QString &text)
    {
        str_ = text;
        textPending_ = false;
    }
    void setText(QString &&text)
    {
        str_ = std::move(text);
        textPending_ = false;
    }
    // The text, to be changed in place.
    QString &textToWrite()
    {
        text();
        return str_;
    }
    // The general text of x (as FormatNumber writes it), written when first
    // asked for.
    void setNumberText(double x)
    {
        textPending_ = true;
        pendingNumber_ = x;
    }
    // The text of another word, written or not.
    void copyText(const TWordStatus &from)
    {
        str_ = from.str_;
        textPending_ = from.textPending_;
        pendingNumber_ = from.pendingNumber_;
    }
    // True while the text is not written: x is the number it is the text of.
    bool textPendingFor(double &x) const
    {
        x = pendingNumber_;
        return textPending_;
    }
    bool hasText() const { return textPending_ || !str_.isEmpty(); }

    void clear() { *this = TWordStatus(); }
    bool isEmpty() const { return kind == wkNone && !hasText(); }

  private:
    double pendingNumber_ = 0.0;
    mutable bool textPending_ = false;
    void writePendingText() const;
};
static_assert(sizeof(TWordStatus) <= 64, "a word fits in one cache line");

constexpr int kMaxWords = 100;

// A fixed list of 100 words with the index of the last used one (-1: empty).
struct WordList {
    std::array<TWordStatus, kMaxWords> w;
    int last = -1;

    WordList() = default;
    // Entries after `last` are always empty: only the used ones are copied.
    WordList(const WordList &o) : last(o.last)
    {
        for (int i = 0; i <= last; ++i)
            w[static_cast<size_t>(i)] = o.w[static_cast<size_t>(i)];
    }
    WordList &operator=(const WordList &o)
    {
        if (this == &o)
            return *this;
        const int top = std::max(last, o.last);
        for (int i = 0; i <= top; ++i) {
            if (i <= o.last)
                w[static_cast<size_t>(i)] = o.w[static_cast<size_t>(i)];
            else
                w[static_cast<size_t>(i)].clear();
        }
        last = o.last;
        return *this;
    }

    void clear()
    {
        for (auto &x : w)
            x.clear();
        last = -1;
    }
    TWordStatus &operator[](int i) { return w[static_cast<size_t>(i)]; }
    const TWordStatus &operator[](int i) const { return w[static_cast<size_t>(i)]; }
    int count() const { return last + 1; }
};

// A script variable. Its text is what the learner sees, --dump prints and
// string operations read; a variable of a number kind may also keep the
// number its text reads as, so that the text is not read again.
class Tvariable {
  public:
    QString VarName;
    TWordKind kind = wkNone;
    std::int32_t function_level = 0;
    std::int32_t parameter_var_index = 0;
    bool is_parameter_variable = false;

    // The text, written first when only a number was given.
    const QString &text() const
    {
        if (textPending_)
            writePendingText();
        return text_;
    }
    void setText(const QString &text)
    {
        text_ = text;
        textPending_ = false;
    }
    void setText(QString &&text)
    {
        text_ = std::move(text);
        textPending_ = false;
    }
    // The text and any number known for it, from another variable.
    void copyValue(const Tvariable &from)
    {
        text_ = from.text_;
        textPending_ = from.textPending_;
        numberText_ = from.numberText_;
        number_ = from.number_;
    }

    // A number is known while the text is pending or while the copy of the
    // text it was read from still shares the text's characters (any change
    // of the text gives it characters of its own).
    bool hasKnownNumber() const
    {
        return textPending_ || (!numberText_.isEmpty() && numberText_.constData() == text_.constData() &&
                                numberText_.size() == text_.size());
    }
    double knownNumber() const { return number_; }
    // The text reads as x: kept until the text changes.
    void keepNumber(double x) const
    {
        QString(text_).swap(numberText_); // shares the characters
        number_ = x;
    }
    // The number known for `from`'s text when this text is the very same
    // characters (a copy of it).
    void shareKnownNumber(const Tvariable &from)
    {
        if (from.hasKnownNumber() && !from.textPending_ && text_.constData() == from.text_.constData() &&
            text_.size() == from.text_.size()) {
            numberText_ = from.numberText_;
            number_ = from.number_;
        }
    }
    // A number that its general text reads back as (see SetVariableNumber):
    // the text is written when it is first asked for.
    void setNumberOfText(double x)
    {
        textPending_ = true;
        numberText_ = QString(); // it may share characters a later text has
        number_ = x;
    }
    // True while the text is not written: x is the number it is the text of.
    bool textPendingFor(double &x) const
    {
        x = number_;
        return textPending_;
    }
    // The text to be written in place, with no number known for it; its
    // characters are the variable's own unless someone else shares them.
    QString &textToWrite()
    {
        textPending_ = false;
        numberText_ = QString();
        return text_;
    }

  private:
    mutable QString text_;
    mutable QString numberText_;
    mutable double number_ = 0;
    mutable bool textPending_ = false;
    void writePendingText() const;
};

// A name beginning with "_" belongs to a script function's call: no global
// variable or array has one and no local is without it.
inline bool IsCallOwnName(const QString &name)
{
    return !name.isEmpty() && name.front() == QLatin1Char('_');
}

enum class TProcessingType : std::uint8_t {
    pt_None = 0,
    pt_For,
    pt_Repeat,
    pt_If,
    pt_ElseIf,
    pt_ScriptFunction,
    pt_ReturnScriptFunction,
};
using enum TProcessingType;

struct TBlockLevel {
    std::int32_t nLine = 0;
    std::int32_t nELSE = 0;
    std::int32_t indent = 0;
    std::int32_t LoopIndex = 0;
    std::int32_t LoopLimit = 0;
    std::int32_t LoopIncrement = 0;
    std::int32_t nBodyFunctionLine = 0;
    std::int32_t FunctionLevel = 0;
    TProcessingType pt = pt_None;
    TWordStatus WordStatus;
    QString FunctionExpression;
    // Of a script-function call stepped into: what the calling line had read
    // and called before it, in evaluation order (see LineRecord).
    QList<TWordStatus> CallerRecord;
};

// What one execution of a line reads and calls, in evaluation order: each
// variable value, array element and function result it takes. A line that
// steps into a script function runs again after the function's RETURN; it
// then takes these values, and the returned one, instead of reading or
// calling again, so every call is made once and every value is the one the
// line would have seen in a run without stepping.
struct LineRecord {
    QList<TWordStatus> values;
    qsizetype taken = 0; // values already given back in this execution
    // Off for a line that cannot call a script function: nothing to keep.
    bool recording = false;

    // Neither keeping nor giving back what the line reads.
    bool idle() const { return !recording && taken >= values.size(); }

    // The next recorded value, while the line is running again.
    bool replay(TWordStatus &value)
    {
        if (taken >= values.size())
            return false;
        value = values.at(taken++);
        return true;
    }
    void record(const TWordStatus &value)
    {
        if (!recording)
            return;
        if (values.capacity() == 0)
            values.reserve(8); // one allocation for most lines
        values.append(value);
        taken = values.size();
    }
};

// The record of one line execution: installed for the line, and the record
// of an enclosing execution (a line that called a script function in run
// mode) given back afterwards, also when the line ends by a runtime failure.
class LineRecordScope {
  public:
    LineRecordScope(LineRecord &live, LineRecord &&own)
        : live_(live), outer_(std::exchange(live, std::move(own)))
    {
    }
    ~LineRecordScope() { live_ = std::move(outer_); }
    LineRecordScope(const LineRecordScope &) = delete;
    LineRecordScope &operator=(const LineRecordScope &) = delete;

  private:
    LineRecord &live_;
    LineRecord outer_;
};

enum RunStateValue : std::uint8_t { rn_Stopped = 0, rn_Run = 1, rn_Continue = 2, rn_Step = 3 };

} // namespace tesmora
