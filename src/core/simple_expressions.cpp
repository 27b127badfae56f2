// The direct evaluation of simple ranges: numbers, numeric variables and
// constants joined by + - * / %, or texts joined by +, with brackets, a minus
// before a number and at most one comparison outside the brackets -- the
// lines of most loops and conditions. The reduction passes (evaluator.cpp)
// rewrite a copy of the words round by round; here the range is read once
// into postfix order and computed on values, with the same rules
// (reduction_rules.h), so the value word is the very same.
//
// Three uses: a range about to be evaluated (evaluateSimple), a list whose
// names and calls the first passes have made values (computeValueWords), and
// a line "name = simple range", "if simple range" or "return simple range"
// run again without being split (runSimpleLine). Such a learnt line may also
// call the engine's Math methods of one number, sqrt, pow (so also the power
// and root signs) and LenStr, computed here, and a line "name = F(simple
// ranges)" calls script function F with arguments computed here
// (runCallLine).
//
// A learnt line may also read array elements whose indices are simple
// ranges, and a line "array[indices] = simple range" writes one.
//
// Anything else is declined before a trace is left: numbers and texts mixed,
// calls, other operators, a minus that the passes would not read as
// a sign, and results the passes report on (a division by zero, a remainder
// that cannot be computed). The general evaluator then runs as if this had
// not been tried, and gives its messages.
#include "interpreter.h"
#include "library/function_catalogue.h"
#include "library/javascript_functions.h"
#include "reduction_rules.h"

#include <QVarLengthArray>

#include <array>

namespace tesmora {

using namespace reduction;

// The arguments of a call of a Math method of one number, of sqrt, pow or
// LenStr, in a line learnt as a simple assignment: their words follow the
// line's own words.
struct CallArgument {
    int word = 0; // the function word
    int from = 0, to = 0;
    int method = 0; // the Math method, kPower, kSquareRoot or kTextLength
};

// The methods of calls of the built-ins pow (which also carries the power
// and root signs), sqrt and LenStr. The engine's Math methods are numbered
// below them.
constexpr int kPower = 253;
constexpr int kSquareRoot = 254;
constexpr int kTextLength = 255;

namespace {

// The words a program reads: a word list or the words a line was split into.
struct Words {
    const TWordStatus *w;
    const TWordStatus &operator[](int i) const { return w[i]; }
};

// The variable index the word at `word` resolved to through `found`, or -1
// for a word that names no variable (a literal has no dependency).
int foundIndex(const std::vector<std::int8_t> &variableDep, const int *found, int word)
{
    const int dep = variableDep[static_cast<size_t>(word)];
    return dep < 0 ? -1 : found[dep];
}

enum class Code : std::uint8_t {
    Operand,
    Negate,
    Add,
    Subtract,
    Multiply,
    Divide,
    Remainder,
    Compare,
    Call,   // a Math method of the number on top
    Power,  // pow of the two numbers on top
    Length, // LenStr of the text on top
    Element // an array element, from the index values on top
};

struct Step {
    Code code;
    std::int8_t word;    // the operand's, operator's or function word's position
    std::uint8_t method; // of a Call: the engine's Math method computed here;
                         // of an Element: the number of indices
    std::uint8_t unused; // four bytes: a step is found by a shift
};
static_assert(sizeof(Step) == 4);

// The postfix order of a range. Operands keep their left-to-right order, the
// order in which the passes read variables. Only the first `count` steps are
// ever written or read: a program is made for every range tried, so the rest
// is left as it is.
struct Program {
    std::array<Step, kMaxWords> steps;
    int count = 0;
    void add(Code code, int word, int method = 0)
    {
        steps[static_cast<size_t>(count++)] = {code, static_cast<std::int8_t>(word),
                                               static_cast<std::uint8_t>(method), 0};
    }
};

using CallArguments = QVarLengthArray<CallArgument, 4>;

bool isOperatorSymbol(const TWordStatus &w, int priority, char16_t c)
{
    return w.kind == wkOperator && w.oper_prioritet == priority && isSym(w.text(), c);
}

bool isComparison(const TWordStatus &w)
{
    if (w.kind != wkOperator || w.oper_prioritet != prCompare)
        return false;
    const QString &s = w.text();
    return isSym(s, u'=') || isSym(s, u'<') || isSym(s, u'>') || isSym2(s, u'<', u'>') ||
           isSym2(s, u'<', u'=') || isSym2(s, u'>', u'=');
}

// range := sum [comparison sum]; sum := product {(+|-) product};
// product := signed {(*|/|%) signed}; signed := [-] operand;
// operand := number | text | constant | variable | "(" sum ")" | element;
// element := array "[" sum {"," sum} "]" (up to four sums, read only where
// `elements` allows).
class Reader {
  public:
    Reader(Words w, int from, int to, Program &p, const CallArguments *calls = nullptr, bool elements = false)
        : w_(w), i_(from), to_(to), p_(p), calls_(calls), elements_(elements)
    {
    }

    // The element "array[indices]" that a line assigns to, up to its "=":
    // the index values only, not the element. `indices` is their count.
    bool readTarget(int &indices)
    {
        if (w_[i_].kind != wkArrayName || !element())
            return false;
        indices = p_.steps[static_cast<size_t>(--p_.count)].method;
        return i_ <= to_ && w_[i_].kind == wkOperator && w_[i_].text() == QLatin1String("=");
    }
    int position() const { return i_; }

    bool read()
    {
        if (!sum())
            return false;
        if (i_ <= to_ && isComparison(w_[i_])) {
            const int op = i_++;
            if (!sum())
                return false;
            p_.add(Code::Compare, op);
        }
        return i_ > to_;
    }

  private:
    bool sum()
    {
        if (!product())
            return false;
        while (i_ <= to_) {
            const TWordStatus &op = w_[i_];
            const bool plus = isOperatorSymbol(op, prAdditive, u'+');
            if (!plus && !isOperatorSymbol(op, prAdditive, u'-'))
                break;
            const int at = i_++;
            if (!product())
                return false;
            p_.add(plus ? Code::Add : Code::Subtract, at);
        }
        return true;
    }

    bool product()
    {
        if (!signedOperand())
            return false;
        while (i_ <= to_) {
            const TWordStatus &op = w_[i_];
            Code code;
            if (isOperatorSymbol(op, prMultiply, u'*'))
                code = Code::Multiply;
            else if (isOperatorSymbol(op, prMultiply, u'/'))
                code = Code::Divide;
            else if (isOperatorSymbol(op, prMultiply, u'%'))
                code = Code::Remainder;
            else
                break;
            const int at = i_++;
            if (!signedOperand())
                return false;
            p_.add(code, at);
        }
        return true;
    }

    // One minus at most: the passes read "- -x" in rounds of their own.
    bool signedOperand()
    {
        if (i_ <= to_ && isOperatorSymbol(w_[i_], prAdditive, u'-')) {
            const int at = i_++;
            if (!operand())
                return false;
            p_.add(Code::Negate, at);
            return true;
        }
        return operand();
    }

    bool operand()
    {
        if (i_ > to_)
            return false;
        switch (w_[i_].kind) {
        case wkString:
        case wkStringDQ:
        case wkFloat:
        case wkInt:
        case wkConst:
        case wkColor:
        case wkMouseEvent:
        case wkVariableName:
            p_.add(Code::Operand, i_++);
            return true;
        case wkOpeningBracket:
            ++i_;
            if (!sum() || i_ > to_ || w_[i_].kind != wkClosingBracket)
                return false;
            ++i_;
            return true;
        case wkJS_Function:
        case wkEmbeddedFunction:
            return call();
        case wkArrayName:
            return elements_ && element();
        default:
            return false;
        }
    }

    // The index values, then the element step.
    bool element()
    {
        const int name = i_;
        if (i_ + 1 > to_ || w_[i_ + 1].kind != wkOpeningSquareBracket)
            return false;
        i_ += 2;
        int count = 0;
        for (;;) {
            if (++count > 4 || !index() || i_ > to_)
                return false;
            const TWordKind k = w_[i_++].kind;
            if (k == wkClosingSquareBracket)
                break;
            if (k != wkComma)
                return false;
        }
        p_.add(Code::Element, name, count);
        return true;
    }

    // A sum; a lone number written with a fraction is reported as an index.
    bool index()
    {
        const int from = i_;
        if (!sum())
            return false;
        const TWordStatus &one = w_[from];
        return !(i_ == from + 1 && one.kind == wkFloat && one.var_index == 0 &&
                 one.float_val != std::trunc(one.float_val));
    }

    // A call whose argument words are known: the argument (a sum, as the
    // call protocol evaluates it on its own; two of them for pow), then the
    // method.
    bool call()
    {
        if (!calls_)
            return false;
        const auto c = std::find_if(calls_->cbegin(), calls_->cend(),
                                    [this](const CallArgument &a) { return a.word == i_; });
        if (c == calls_->cend())
            return false;
        const int after = i_ + 1;
        const int to = to_;
        i_ = c->from;
        to_ = c->to;
        bool whole = sum();
        if (whole && c->method == kPower)
            whole = i_ <= to_ && w_[i_++].kind == wkComma && sum();
        whole = whole && i_ > to_;
        i_ = after;
        to_ = to;
        if (!whole)
            return false;
        const Code code = c->method == kTextLength ? Code::Length
                          : c->method == kPower    ? Code::Power
                                                   : Code::Call;
        p_.add(code, c->word, c->method);
        return true;
    }

    const Words w_;
    int i_;
    int to_;
    Program &p_;
    const CallArguments *calls_;
    bool elements_;
};

// A value on the stack: a number, or a text (kind wkString or wkStringDQ).
struct Value {
    double v = 0;
    TWordKind kind = wkFloat;
    QString text;
    bool isText() const { return isStringKind(kind); }
};

// The remainder a % b as the passes compute it, in a; false when they would
// report on it. Apart: the rare step keeps the common ones short.
[[gnu::noinline]] bool remainderOf(double &a, double b)
{
    QString failure;
    double v = 0;
    if (!integerRemainder(a, b, v, failure))
        return false;
    a = v;
    return true;
}

// One arithmetic step on two numbers, a (of kind ak) becoming the result;
// false when the passes would report on the result.
inline bool applyArithmetic(Code code, double &a, TWordKind &ak, double b, TWordKind bk)
{
    switch (code) {
    case Code::Add:
        a += b;
        ak = resultKind(ak, bk);
        return true;
    case Code::Subtract:
        a -= b;
        ak = resultKind(ak, bk);
        return true;
    case Code::Multiply:
        a *= b;
        ak = resultKind(ak, bk);
        break;
    case Code::Divide:
        a /= b;
        ak = wkFloat;
        break;
    default:
        if (!remainderOf(a, b))
            return false;
        ak = resultKind(ak, bk);
        break;
    }
    return !reportsDivisionByZero(a);
}

// One step on two values of the same sort: arithmetic on numbers, joining
// texts (the left one's kind stays). False to decline.
bool applyBinary(Code code, Value &a, const Value &b)
{
    if (a.isText() != b.isText())
        return false;
    if (!a.isText())
        return applyArithmetic(code, a.v, a.kind, b.v, b.kind);
    if (code != Code::Add || a.text.size() + b.text.size() > kMaxStringLength)
        return false;
    a.text += b.text;
    return true;
}

// A comparison of two numbers or two texts. Texts written with different
// quotes are of different kinds, and = and <> say so before comparing.
bool compareValues(const QString &op, const Value &a, const Value &b, bool &r)
{
    if (a.isText() != b.isText())
        return false;
    if (!a.isText())
        r = compareNumbers(op, a.v, b.v);
    else if (a.kind != b.kind && (isSym(op, u'=') || isSym2(op, u'<', u'>')))
        r = !isSym(op, u'=');
    else
        r = compareResult(op, QString::compare(a.text, b.text, Qt::CaseSensitive));
    return true;
}

// Keeps what the line record held before an attempt, for a decline.
class RecordMark {
  public:
    explicit RecordMark(LineRecord &r) : record_(r), size_(r.values.size()), taken_(r.taken) {}
    void rollBack()
    {
        record_.values.resize(size_);
        record_.taken = taken_;
    }

  private:
    LineRecord &record_;
    qsizetype size_;
    qsizetype taken_;
};

// The value of an operand word as the first pass makes it: a variable is
// given back from the line record or read (and recorded); a constant becomes
// a number. False when the variable holds no value.
bool takeOperand(LineRecord &record, const QList<Tvariable> &variables, const TWordStatus &word, int vi,
                 TWordStatus &x)
{
    x = word;
    if (word.kind != wkVariableName) {
        if (!isValueKind(word.kind)) {
            x.setNumberText(x.float_val);
            x.kind = wkFloat;
        }
        return true;
    }
    TWordStatus recorded;
    if (record.replay(recorded)) {
        takeRecordedValue(recorded, x);
        return true;
    }
    if (vi < 0 || vi >= variables.size() || !takeVariableValue(variables.at(vi), x))
        return false;
    record.record(x);
    return true;
}

// A number or a text of kind `kind` as a value for the stack; `number` is
// asked only for a number. False for any other kind.
template <typename Number> bool valueOf(TWordKind kind, Number number, const QString &text, Value &n)
{
    if (isNumberKind(kind)) {
        n.v = number();
        n.kind = kind;
        return true;
    }
    if (!isStringKind(kind))
        return false;
    n.kind = kind;
    n.text = text;
    return true;
}

// A word read as it is read by the first pass, as a value for the stack.
bool valueOfWord(const TWordStatus &x, Value &n)
{
    return valueOf(
        x.kind, [&x] { return x.float_val; }, x.text(), n);
}

// The value an operand word stands for; false when it is neither a number
// nor a text.
bool takeValue(LineRecord &record, const QList<Tvariable> &variables, const TWordStatus &word, int vi,
               Value &n)
{
    if (word.kind != wkVariableName) {
        if (isValueKind(word.kind))
            return valueOfWord(word, n);
        n.v = word.float_val; // a constant
        n.kind = wkFloat;
        return true;
    }
    // A line that keeps or gives back what it reads goes the long way.
    if (!record.idle()) {
        TWordStatus x;
        return takeOperand(record, variables, word, vi, x) && valueOfWord(x, n);
    }
    if (vi < 0 || vi >= variables.size())
        return false;
    const Tvariable &v = variables.at(vi);
    if (isNumberKind(v.kind)) { // its text may not even be written
        n.v = VariableNumber(v).value;
        n.kind = v.kind;
        return true;
    }
    return valueOf(
        v.kind, [] { return 0.0; }, v.text(), n);
}

// The value of a call of a Math method or of sqrt at x, as the call's
// result word has it (the engine's minus zero read back as zero); false when
// the call would be reported (no finite result, the root of a negative
// number).
bool callResult(int method, double &x)
{
    if (method == kSquareRoot) {
        if (x < 0)
            return false;
        x = std::sqrt(x);
        return true;
    }
    const double r = NativeUnaryValue(method, x);
    if (!std::isfinite(r))
        return false;
    x = r == 0.0 ? 0.0 : r;
    return true;
}

// x to the power y as pow gives it, in x; false when pow reports on it (a
// fractional power of a negative number, an overflow or a division by zero).
bool powerResult(double &x, double y)
{
    // The cube root sign writes its exponent as 0.333333333333333; such an
    // exponent gives the real cube root, also of a positive base.
    const bool cubeRoot = std::fabs(y - 1.0 / 3.0) < 1e-13;
    double value = 0;
    if (cubeRoot)
        value = std::cbrt(x);
    else if (x >= 0)
        value = (x == 0 && y == 0) ? 1.0 : std::pow(x, y);
    else if (y != std::trunc(y))
        return false;
    else
        value = std::pow(x, y);
    if (!std::isfinite(value))
        return false;
    x = value;
    return true;
}

// What the evaluation on numbers alone came to.
enum class NumbersOutcome : std::uint8_t { Done, Declined, Texts };

// The array `no` and the position of the cell that `count` index values
// name in it; nullptr where the general way reports on the reference.
const t_arr_specification *elementCell(const ArrayTable *arrays, int no, const double *index, int count,
                                       std::int64_t &pos)
{
    if (!arrays || no < 1 || no > arrays->count())
        return nullptr;
    const t_arr_specification &a = arrays->at(no);
    std::array<std::int64_t, 4> at{};
    std::array<bool, 4> valid{};
    for (size_t k = 0; k < static_cast<size_t>(count); ++k)
        valid[k] = RoundToInt64(index[k], at[k]);
    pos = a.count <= 0 || !cellsReady(a) ? -1 : elementPosition(a, at, valid, count);
    return pos < 0 ? nullptr : &a;
}

// The number in cell `pos` (found by elementCell) of a number array, as the
// element's word has it; Texts for a text array. A whole number from 1e15
// on is declined: its word's digits are not the general number text of its
// value.
NumbersOutcome numberInCell(const t_arr_specification &a, std::int64_t pos, double &v, TWordKind &kind)
{
    const auto p = static_cast<size_t>(pos);
    switch (a.data_type) {
    case wkString:
        return NumbersOutcome::Texts;
    case wkInt: {
        constexpr std::int64_t kDigitsExact = 1000000000000000; // 1e15
        const std::int64_t x = a.P->i[p];
        if (x <= -kDigitsExact || x >= kDigitsExact)
            return NumbersOutcome::Declined;
        v = static_cast<double>(x);
        kind = wkInt;
        return NumbersOutcome::Done;
    }
    default:
        v = a.P->f[p];
        kind = wkFloat;
        return NumbersOutcome::Done;
    }
}

// The value of the element at `no` whose index values are the last `count`
// numbers on `stack`, which they leave for it; false to decline. Apart: the
// common steps stay short.
[[gnu::noinline]] NumbersOutcome elementNumber(const ArrayTable *arrays, int no, double *stack, int count,
                                               TWordKind &kind)
{
    std::int64_t pos = 0;
    const t_arr_specification *a = elementCell(arrays, no, stack, count, pos);
    return a ? numberInCell(*a, pos, stack[0], kind) : NumbersOutcome::Declined;
}

// The number (and its kind) that an operand word stands for in a line that
// neither keeps nor gives back what it reads; Texts for a text operand.
template <typename IndexOf>
NumbersOutcome numberOperand(const QList<Tvariable> &variables, const TWordStatus &word, int at,
                             IndexOf indexOf, double &v, TWordKind &kind)
{
    if (word.kind != wkVariableName) {
        if (isStringKind(word.kind))
            return NumbersOutcome::Texts;
        if (!isValueKind(word.kind)) {
            v = word.float_val; // a constant
            kind = wkFloat;
            return NumbersOutcome::Done;
        }
        if (!isNumberKind(word.kind))
            return NumbersOutcome::Declined;
        v = word.float_val;
        kind = word.kind;
        return NumbersOutcome::Done;
    }
    const int vi = indexOf(at);
    if (vi < 0 || vi >= variables.size())
        return NumbersOutcome::Declined;
    const Tvariable &var = variables.at(vi);
    if (isStringKind(var.kind))
        return NumbersOutcome::Texts;
    if (!isNumberKind(var.kind))
        return NumbersOutcome::Declined;
    v = VariableNumber(var).value;
    kind = var.kind;
    return NumbersOutcome::Done;
}

// The program on a stack of plain numbers, the common case, with the rules
// of computeValue below; Texts (before anything is decided) when an operand
// is a text, for computeValue to run instead. A program of `results`
// values (the indices of an element) leaves them in value[] and valueKind[].
template <typename IndexOf>
NumbersOutcome computeNumbers(const QList<Tvariable> &variables, const ArrayTable *arrays, Words words,
                              const Program &p, IndexOf indexOf, double *value, TWordKind *valueKind,
                              int results = 1)
{
    std::array<double, kMaxWords> v;
    std::array<TWordKind, kMaxWords> kind;
    int top = -1;
    for (int k = 0; k < p.count; ++k) {
        const Step &s = p.steps[static_cast<size_t>(k)];
        switch (s.code) {
        case Code::Operand: {
            ++top;
            const NumbersOutcome o =
                numberOperand(variables, words[s.word], s.word, indexOf, v[size_t(top)], kind[size_t(top)]);
            if (o != NumbersOutcome::Done)
                return o;
            break;
        }
        case Code::Negate:
            v[size_t(top)] = -v[size_t(top)];
            break;
        case Code::Call:
            if (!callResult(s.method, v[size_t(top)]))
                return NumbersOutcome::Declined;
            kind[size_t(top)] = wkFloat;
            break;
        case Code::Power:
            --top;
            if (!powerResult(v[size_t(top)], v[size_t(top + 1)]))
                return NumbersOutcome::Declined;
            kind[size_t(top)] = wkFloat;
            break;
        case Code::Length: // of a number: LenStr's own rules
            return NumbersOutcome::Declined;
        case Code::Element: {
            top -= s.method - 1;
            const NumbersOutcome o =
                elementNumber(arrays, indexOf(s.word), &v[size_t(top)], s.method, kind[size_t(top)]);
            if (o != NumbersOutcome::Done)
                return o;
            break;
        }
        case Code::Compare:
            value[0] = compareNumbers(words[s.word].text(), v[size_t(top - 1)], v[size_t(top)]) ? 1.0 : 0.0;
            valueKind[0] = wkBool;
            return NumbersOutcome::Done;
        default:
            --top;
            if (!applyArithmetic(s.code, v[size_t(top)], kind[size_t(top)], v[size_t(top + 1)],
                                 kind[size_t(top + 1)]))
                return NumbersOutcome::Declined;
            break;
        }
    }
    if (top != results - 1)
        return NumbersOutcome::Declined;
    for (size_t k = 0; k < static_cast<size_t>(results); ++k) {
        value[k] = v[k];
        valueKind[k] = kind[k];
    }
    return NumbersOutcome::Done;
}

using ValueStack = QVarLengthArray<Value, 16>;

// The element step on a stack of values: the `count` index values on top
// become the value of element `no`; false to decline.
bool elementValue(const ArrayTable *arrays, int no, ValueStack &stack, int count)
{
    const qsizetype first = stack.size() - count;
    std::array<double, 4> index{};
    for (int k = 0; k < count; ++k) {
        if (stack[first + k].isText())
            return false;
        index[static_cast<size_t>(k)] = stack[first + k].v;
    }
    stack.resize(first + 1);
    std::int64_t pos = 0;
    const t_arr_specification *a = elementCell(arrays, no, index.data(), count, pos);
    if (!a)
        return false;
    Value &top = stack.last();
    if (a->data_type != wkString)
        return numberInCell(*a, pos, top.v, top.kind) == NumbersOutcome::Done;
    top.kind = wkString;
    top.text = cellString(*a, pos);
    return true;
}

// Runs the program; false to decline. `indexOf` gives the index of the
// variable a word names, or the table number of an array. A comparison
// leaves a value of kind wkBool.
template <typename IndexOf>
bool computeValue(LineRecord &record, const QList<Tvariable> &variables, const ArrayTable *arrays,
                  Words words, const Program &p, IndexOf indexOf, Value &result)
{
    // A line that keeps or gives back what it reads goes the long way.
    if (record.idle()) {
        const NumbersOutcome o =
            computeNumbers(variables, arrays, words, p, indexOf, &result.v, &result.kind);
        if (o != NumbersOutcome::Texts)
            return o == NumbersOutcome::Done;
    }
    ValueStack stack;
    for (int k = 0; k < p.count; ++k) {
        const Step &s = p.steps[static_cast<size_t>(k)];
        switch (s.code) {
        case Code::Operand:
            stack.append(Value());
            if (!takeValue(record, variables, words[s.word], indexOf(s.word), stack.last()))
                return false;
            break;
        case Code::Negate:
            if (stack.last().isText())
                return false;
            stack.last().v = -stack.last().v;
            break;
        case Code::Call:
            if (stack.last().isText() || !callResult(s.method, stack.last().v))
                return false;
            stack.last().kind = wkFloat;
            break;
        case Code::Power: {
            const Value y = std::move(stack.last());
            stack.removeLast();
            if (y.isText() || stack.last().isText() || !powerResult(stack.last().v, y.v))
                return false;
            stack.last().kind = wkFloat;
            break;
        }
        case Code::Length: {
            // LenStr of a text, a number of kind wkFloat as the built-in gives it.
            Value &top = stack.last();
            if (!top.isText())
                return false;
            top.v = static_cast<double>(top.text.size());
            top.kind = wkFloat;
            top.text = QString();
            break;
        }
        case Code::Element:
            if (!elementValue(arrays, indexOf(s.word), stack, s.method))
                return false;
            break;
        case Code::Compare: {
            bool r = false;
            if (!compareValues(words[s.word].text(), stack[stack.size() - 2], stack.last(), r))
                return false;
            result.kind = wkBool;
            result.v = r ? 1.0 : 0.0;
            return true;
        }
        default: {
            const Value b = std::move(stack.last());
            stack.removeLast();
            if (!applyBinary(s.code, stack.last(), b))
                return false;
            break;
        }
        }
    }
    if (stack.size() != 1)
        return false;
    result = std::move(stack.first());
    return true;
}

// The value word of a computed value.
TWordStatus valueWord(Value &&v)
{
    if (v.kind == wkBool)
        return truthWord(v.v != 0);
    if (!v.isText())
        return numberWord(v.v, v.kind);
    TWordStatus result;
    result.kind = v.kind;
    result.setText(std::move(v.text));
    return result;
}

template <typename IndexOf>
bool compute(LineRecord &record, const QList<Tvariable> &variables, Words words, const Program &p,
             IndexOf indexOf, TWordStatus &result)
{
    Value v;
    if (!computeValue(record, variables, nullptr, words, p, indexOf, v))
        return false;
    result = valueWord(std::move(v));
    return true;
}

// The value of a range read into `p`, read and recorded in `record`; false,
// with the record as it was, to decline.
template <typename IndexOf>
bool rangeValue(LineRecord &record, const QList<Tvariable> &variables, Words words, const Program &p,
                IndexOf indexOf, TWordStatus &result)
{
    RecordMark mark(record);
    // A lone operand (in any brackets) is the word itself, as the passes
    // leave it: a variable keeps its text, also a string or truth value.
    TWordStatus x;
    const int first = p.steps[0].word;
    const bool done = p.count == 1 ? takeOperand(record, variables, words[first], indexOf(first), x)
                                   : compute(record, variables, words, p, indexOf, x);
    if (!done) {
        mark.rollBack();
        return false;
    }
    result = std::move(x);
    return true;
}

} // namespace

bool Interpreter::evaluateSimple(const WordList &words, int from, int to, TWordStatus &result)
{
    if (EvaluationDepth >= kMaxEvaluationDepth)
        return false;
    const Words view{&words[0]};
    Program p;
    if (!Reader(view, from, to, p).read())
        return false;
    const auto indexOf = [&words](int i) { return words[i].var_index - 1; };
    return rangeValue(LineValues, Variables, view, p, indexOf, result);
}

bool Interpreter::computeValueWords(const WordList &words, TWordStatus &result)
{
    const Words view{&words[0]};
    Program p;
    if (!Reader(view, 0, words.last, p).read() || p.count < 2)
        return false;
    LineRecord none; // no variable is left to read
    return compute(
        none, Variables, view, p, [](int) { return -1; }, result);
}

// The arguments of a call between the commas of its argument words, each a
// simple range.
struct SimpleArguments {
    struct Argument {
        int from = 0, to = 0; // its words
        Program program;
    };
    std::vector<Argument> arguments;
    bool simple = false; // every argument is one
};

// A line "name = simple range", "if simple range", "return simple range" or
// "array[simple ranges] = simple range" as it was split, run again without
// being split or copied while its names resolve as they did then.
struct SimpleLine {
    // The line's words, then the argument words of its calls (see
    // appendCallArguments).
    std::vector<TWordStatus> words;
    QList<SplitCache::Dep> deps;
    std::vector<std::int8_t> variableDep; // see SplitCache::Entry
    Program program;                      // of the words after "=", "if" or "return"
    TWordKind statement = wkVariableName; // wkIf, wkReturn or an assignment (to an element: wkArrayName)
    // Of an element assigned to: its index values.
    Program target;
    int targetIndices = 0;
    bool hasMathCalls = false;
    // A line "name = F(arguments)" that calls a script function has no
    // program of its own: one per argument instead (see learnCallLine).
    SimpleArguments arguments;
    bool callsScript = false;
    QString functionName; // its lower-cased name, as the call protocol has it
    // "name = name + operand": a text target may grow in place.
    bool appendsToTarget = false;
    mutable DepsMemo memo;
};

bool callsScriptFunction(const SimpleLine &line)
{
    return line.callsScript;
}

namespace {

// Appends the words of a split text to a line, with the names they depend
// on; false when the line would grow too long.
bool appendSplit(SimpleLine &line, const SplitCache::Entry &e)
{
    const qsizetype depBase = line.deps.size();
    if (line.words.size() + e.words.size() > kMaxWords || depBase + e.deps.size() > 127)
        return false;
    line.words.insert(line.words.end(), e.words.begin(), e.words.end());
    line.deps += e.deps;
    for (const std::int8_t dep : e.variableDep)
        line.variableDep.push_back(dep < 0 ? dep : static_cast<std::int8_t>(dep + depBase));
    return true;
}

// True when every variable or array word depends on a name that is checked
// before each use of the words.
bool variablesChecked(const std::vector<TWordStatus> &words, const std::vector<std::int8_t> &variableDep)
{
    for (size_t i = 0; i < words.size(); ++i)
        if ((words[i].kind == wkVariableName || words[i].kind == wkArrayName) && variableDep[i] < 0)
            return false;
    return true;
}

// The programs of the arguments in words[first..], between the commas. An
// empty argument, or a comma inside brackets, leaves them not simple.
SimpleArguments readArguments(const std::vector<TWordStatus> &words, int first)
{
    SimpleArguments a;
    const Words view{words.data()};
    const int last = static_cast<int>(words.size()) - 1;
    for (int from = first; from <= last;) {
        int to = from;
        while (to <= last && words[static_cast<size_t>(to)].kind != wkComma)
            ++to;
        SimpleArguments::Argument arg{from, to - 1, {}};
        if (!Reader(view, arg.from, arg.to, arg.program).read())
            return a;
        a.arguments.push_back(arg);
        from = to + 1;
    }
    a.simple = true;
    return a;
}

bool appendsToTarget(const SimpleLine &line)
{
    // "variable = variable + operand": the program reads a variable, then
    // one operand, and adds. Whether the variable is the target is seen
    // when the line runs.
    const Program &p = line.program;
    return p.count == 3 && p.steps[0].code == Code::Operand && p.steps[1].code == Code::Operand &&
           p.steps[2].code == Code::Add &&
           line.words[static_cast<size_t>(p.steps[0].word)].kind == wkVariableName;
}

} // namespace

void Interpreter::learnSimpleLine(const LineInfo &info, const WordList &w)
{
    ++info.simpleTries;
    if (learnCallLine(info, w))
        return;
    const bool keyword = w.last >= 1 && (w[0].kind == wkIf || w[0].kind == wkReturn);
    const bool element = w.last >= 4 && w[0].kind == wkArrayName && w[1].kind == wkOpeningSquareBracket;
    if (!keyword && !element &&
        (w.last < 2 || w[0].kind != wkVariableName || w[1].text() != QLatin1String("=")))
        return;
    const SplitCache::Entry *entry = splitCache_.find(info.statement, scriptGeneration_);
    if (!entry || static_cast<int>(entry->words.size()) != w.count())
        return;
    auto line = std::make_shared<SimpleLine>();
    CallArguments calls;
    if (!appendSplit(*line, *entry) || !appendCallArguments(*line, calls))
        return;
    const Words words{line->words.data()};
    int from = keyword ? 1 : 2;
    if (element) {
        Reader target(words, 0, w.last, line->target, &calls, true);
        if (!target.readTarget(line->targetIndices))
            return;
        from = target.position() + 1;
    }
    // At least one operator or call: a lone operand keeps its own text. An
    // element takes a lone operand's number or text as the word has it.
    if (!Reader(words, from, w.last, line->program, &calls, true).read() ||
        line->program.count < (element ? 1 : 2) || !variablesChecked(line->words, line->variableDep))
        return;
    const auto math = [](const CallArgument &c) { return c.method < kPower; };
    line->hasMathCalls = std::any_of(calls.cbegin(), calls.cend(), math);
    line->statement = keyword ? w[0].kind : element ? wkArrayName : wkVariableName;
    line->appendsToTarget = !keyword && !element && appendsToTarget(*line);
    info.simple = std::move(line);
}

bool Interpreter::appendInPlace(const SimpleLine &line, const int *found, int target)
{
    // What the program gives for a text target and a text operand, the
    // operand joined to the target's text, made in the target's own
    // characters: no copy of the text, which grows in place. Anything else
    // (a number on either side, the operand being the target itself, a
    // result too long) goes the program's way.
    const auto indexOf = [&](int word) { return foundIndex(line.variableDep, found, word); };
    if (indexOf(line.program.steps[0].word) != target)
        return false;
    // Taken first: a list shared with a kept run state is copied here, so
    // the operand below points into the list that stays.
    Tvariable &v = Variables[target];
    if (!isStringKind(v.kind))
        return false;
    const int second = line.program.steps[1].word;
    const TWordStatus &word = line.words[static_cast<size_t>(second)];
    const QString *operand = nullptr;
    if (word.kind == wkVariableName) {
        const int vi = indexOf(second);
        if (vi < 0 || vi == target || vi >= Variables.size() || !isStringKind(Variables.at(vi).kind))
            return false;
        operand = &Variables.at(vi).text();
    } else if (isStringKind(word.kind)) {
        operand = &word.text();
    } else {
        return false;
    }
    if (v.text().size() + operand->size() > kMaxStringLength)
        return false;
    v.textToWrite().append(*operand);
    return true;
}

// Each call of a Math method of one number among the line's words (and, in
// turn, among the words appended) has the words its argument text splits
// into appended to the line, with the names they depend on: while those
// resolve as they did, the argument is the same words. False when a split is
// not known yet (the call has not run) or the line would grow too long.
bool Interpreter::appendCallArguments(SimpleLine &line, CallArguments &calls)
{
    const auto table = functionTable(FunctionTable::JavaScript);
    for (size_t k = 1; k < line.words.size(); ++k) {
        const TWordStatus &f = line.words[k];
        if (f.power != 0 || (f.kind != wkJS_Function && f.kind != wkEmbeddedFunction))
            continue;
        int method = -1;
        if (f.kind == wkJS_Function) {
            const int row = catalogueRow(f.func_index);
            if (row < 0 || row >= static_cast<int>(table.size()) ||
                (method = NativeUnaryMethod(table[static_cast<size_t>(row)])) < 0)
                continue;
        }
        // Looked up only for a call the line may compute.
        const CallShape &shape = callShape(f.text());
        if (f.kind == wkEmbeddedFunction)
            method = learntBuiltin(shape);
        if (method < 0 || !shape.split || shape.argText.isEmpty())
            continue;
        const SplitCache::Entry *arg = splitCache_.find(shape.argText, scriptGeneration_);
        if (!arg)
            return false;
        // One argument, two for pow; any other count is the engine's.
        const auto isComma = [](const TWordStatus &x) { return x.kind == wkComma; };
        if (std::count_if(arg->words.begin(), arg->words.end(), isComma) != (method == kPower ? 1 : 0))
            continue;
        const size_t from = line.words.size();
        if (!appendSplit(line, *arg))
            return false;
        calls.append(
            {static_cast<int>(k), static_cast<int>(from), static_cast<int>(line.words.size()) - 1, method});
    }
    return true;
}

bool Interpreter::prepareSimpleArguments(const QString &argText, ScratchList &argList)
{
    if (argText.isEmpty() || EvaluationDepth >= kMaxEvaluationDepth)
        return false;
    const SplitCache::Entry *e = splitCache_.find(argText, scriptGeneration_);
    if (!e)
        return false;
    if (!e->arguments) {
        SimpleArguments a = readArguments(e->words, 0);
        a.simple = a.simple && variablesChecked(e->words, e->variableDep);
        e->arguments = std::make_shared<const SimpleArguments>(std::move(a));
    }
    const int *found = e->arguments->simple ? resolveDeps(e->deps, e->memo) : nullptr;
    return found && computeArguments(*e->arguments, e->words, e->variableDep, found, argList);
}

bool Interpreter::computeArguments(const SimpleArguments &a, const std::vector<TWordStatus> &words,
                                   const std::vector<std::int8_t> &variableDep, const int *found,
                                   ScratchList &argList)
{
    const auto indexOf = [&](int i) { return foundIndex(variableDep, found, i); };
    WordList &args = *argList;
    const Words view{words.data()};
    RecordMark mark(LineValues);
    for (size_t k = 0; k < a.arguments.size(); ++k) {
        const SimpleArguments::Argument &arg = a.arguments[k];
        argList.reach(static_cast<int>(k));
        TWordStatus &out = args[static_cast<int>(k)];
        if (!rangeValue(LineValues, Variables, view, arg.program, indexOf, out)) {
            mark.rollBack();
            return false;
        }
        // As prepareArgument: a lone variable passes its index (by reference).
        const bool variable =
            arg.from == arg.to && words[static_cast<size_t>(arg.from)].kind == wkVariableName;
        out.var_index = variable ? indexOf(arg.from) + 1 : 0;
    }
    endArguments(args);
    return true;
}

int Interpreter::learntBuiltin(const CallShape &shape)
{
    if (!shape.split || shape.argumentsByName || !shape.embedded)
        return -1;
    // LenStr checks its one argument and takes its length: for a text,
    // nothing else can happen.
    const QString &name = shape.embedded->name();
    if (name.compare(QLatin1String("LenStr"), Qt::CaseInsensitive) == 0)
        return kTextLength;
    // sqrt and pow of numbers: their result word is the value with the
    // general number text, written with the system's decimal separator made
    // a dot; the same text as the value's own unless the separator is
    // neither a dot nor a comma.
    const QChar separator = systemDecimalSeparator();
    if (separator != QLatin1Char('.') && separator != QLatin1Char(','))
        return -1;
    if (name.compare(QLatin1String("sqrt"), Qt::CaseInsensitive) == 0)
        return kSquareRoot;
    if (name.compare(QLatin1String("pow"), Qt::CaseInsensitive) == 0)
        return kPower;
    return -1;
}

bool Interpreter::learnCallLine(const LineInfo &info, const WordList &w)
{
    if (w.last != 2 || (w[0].kind != wkVariableName && w[0].kind != wkUnknownIdentifier) ||
        w[1].text() != QLatin1String("=") || w[2].kind != wkScriptFunction || w[2].power != 0)
        return false;
    const CallShape &shape = callShape(w[2].text());
    if (!shape.split || shape.argumentsByName)
        return true;
    const QString argText = shape.argText;
    const SplitCache::Entry *entry = splitCache_.find(info.statement, scriptGeneration_);
    if (!entry || static_cast<int>(entry->words.size()) != w.count())
        return true;
    auto line = std::make_shared<SimpleLine>();
    if (!appendSplit(*line, *entry))
        return true;
    // The argument text is split by the call's first run.
    if (!argText.isEmpty()) {
        const SplitCache::Entry *arg = splitCache_.find(argText, scriptGeneration_);
        if (!arg || !appendSplit(*line, *arg))
            return true;
    }
    line->arguments = readArguments(line->words, 3);
    if (!line->arguments.simple || !variablesChecked(line->words, line->variableDep))
        return true;
    line->callsScript = true;
    line->functionName = shape.lowerName;
    info.simple = std::move(line);
    return true;
}

TWordKind Interpreter::runCallLine(const SimpleLine &line, const int *found)
{
    // Only while running: a line stepped into its function runs again after
    // the RETURN, the general way, from what it recorded. The general
    // evaluation calls one level deeper than the line.
    if (!running() || EvaluationDepth + 1 >= kMaxEvaluationDepth)
        return wkNone;
    // Taken before the call: a recursive call of this very line looks its
    // names up again into the same `found`.
    TWordStatus target = line.words[0];
    if (target.kind == wkVariableName)
        target.var_index = foundIndex(line.variableDep, found, 0) + 1;
    // The line records what it reads, as the general way does: a call
    // stopped inside (Pause, a breakpoint) runs the line again from it.
    LineValues.recording = !ScriptFunctionNames.isEmpty();
    ScratchList argList(*this);
    if (!computeArguments(line.arguments, line.words, line.variableDep, found, argList)) {
        LineValues.recording = false;
        return wkNone;
    }
    // What ExecuteLine does before the statement, then the call as the
    // evaluation of the range makes it.
    TryMode = false;
    LastAssignedVariable = line.words[0].var_index;
    Arrays.lastDeclaredName.clear();
    Arrays.lastAssignedArray = 0;
    TWordStatus value;
    const FunctionLevelWatch watch(*this);
    {
        const DeeperEvaluation deeper(*this);
        CallScriptFunction(line.words[2].text(), line.functionName, *argList, value);
    }
    if (failed() || watch.steppedIn())
        return target.kind;
    LineValues.record(value);
    if (isStringKind(value.kind) && value.text().size() > kMaxStringLength)
        RaiseMessage(360, {static_cast<qint64>(kMaxStringLength)});
    else if (RunState != rn_Stopped)
        assignEvaluated(target, value);
    return target.kind;
}

namespace {

// Stores a value into cell `pos` (found by elementCell) of an array of
// `type` as the general way stores the value's word (a truth value as 1 or
// 0, a number rounded for a whole-number array); false, with nothing stored,
// where that way would report on it or store what a word's text or number
// field says otherwise.
bool storeValue(ArrayCells &cells, TWordKind type, std::int64_t pos, Value &value)
{
    const auto p = static_cast<size_t>(pos);
    if (type == wkString) {
        if (!value.isText())
            return false;
        cells.s[p] = std::move(value.text);
        return true;
    }
    if (value.isText())
        return false;
    if (type == wkInt) {
        std::int64_t x = 0;
        if (!RoundToInt64(value.v, x))
            return false;
        cells.i[p] = x;
        return true;
    }
    cells.f[p] = value.v;
    return true;
}

} // namespace

TWordKind Interpreter::runElementLine(const SimpleLine &line, const int *found)
{
    // The element first, then the value, as the general way reads them.
    const auto indexOf = [&](int i) { return foundIndex(line.variableDep, found, i); };
    const Words words{line.words.data()};
    std::array<double, 4> index{};
    std::array<TWordKind, 4> kinds{};
    if (computeNumbers(Variables, &Arrays, words, line.target, indexOf, index.data(), kinds.data(),
                       line.targetIndices) != NumbersOutcome::Done)
        return wkNone;
    const int no = indexOf(0);
    std::int64_t pos = 0;
    LineRecord none;
    Value value;
    if (!elementCell(&Arrays, no, index.data(), line.targetIndices, pos) ||
        !computeValue(none, Variables, &Arrays, words, line.program, indexOf, value))
        return wkNone;
    t_arr_specification &a = Arrays.at(no);
    if (!storeValue(*a.P, a.data_type, pos, value))
        return wkNone;
    // What ExecuteLine and the statement do around the store.
    TryMode = false;
    LastAssignedVariable = line.words[0].var_index;
    Arrays.lastDeclaredName.clear();
    Arrays.lastAssignedArray = no;
    FindNextLine(false, false);
    return wkArrayName;
}

TWordKind Interpreter::runSimpleLine(const std::shared_ptr<const SimpleLine> &learnt)
{
    const SimpleLine &line = *learnt;
    if (EvaluationDepth >= kMaxEvaluationDepth)
        return wkNone;
    const int *found = resolveDeps(line.deps, line.memo);
    if (!found)
        return wkNone;
    if (line.callsScript) {
        // The call runs other lines, which may rebuild the line table that
        // holds the learnt line.
        const std::shared_ptr<const SimpleLine> kept = learnt;
        return runCallLine(*kept, found);
    }
    // The engine's Math methods are computed here only while no script has
    // replaced them.
    if (line.hasMathCalls && !(services_.js && services_.js->standardMethodsUnchanged()))
        return wkNone;
    if (line.statement == wkArrayName)
        return runElementLine(line, found);
    const auto indexOf = [&](int i) { return foundIndex(line.variableDep, found, i); };
    LineRecord none; // nothing on such a line can step into a function
    Value value;
    const bool assignment = line.statement == wkVariableName;
    const int target = assignment ? indexOf(0) : -1;
    // The statements report what is not for them: no function to return
    // from, a condition that is no truth value.
    const int function = line.statement == wkReturn ? functionBlock() : 0;
    // A text joined to its own variable is made in place, without a value.
    const bool appended = line.appendsToTarget && target >= 0 && appendInPlace(line, found, target);
    if (!appended &&
        ((assignment && target < 0) || function < 0 ||
         !computeValue(none, Variables, &Arrays, Words{line.words.data()}, line.program, indexOf, value) ||
         (line.statement == wkIf && value.kind != wkBool)))
        return wkNone;
    // What ExecuteLine and the statement do, in their order.
    TryMode = false;
    Arrays.lastDeclaredName.clear();
    Arrays.lastAssignedArray = 0;
    if (line.statement == wkIf) {
        LastAssignedVariable = line.words[0].var_index;
        enterIf(value.v != 0);
        return wkIf;
    }
    if (line.statement == wkReturn) {
        LastAssignedVariable = line.words[0].var_index;
        completeReturn(function, valueWord(std::move(value)));
        return wkReturn;
    }
    if (!appended) {
        Tvariable &v = Variables[target];
        if (isNumberKind(value.kind))
            SetVariableNumber(v, value.v);
        else if (value.kind == wkBool)
            v.setText(truthText(value.v != 0));
        else
            v.setText(std::move(value.text));
        v.kind = value.kind;
    }
    LastAssignedVariable = target + 1;
    FindNextLine(false, false);
    return wkVariableName;
}

} // namespace tesmora
