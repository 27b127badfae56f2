// EvaluateWords: reduces a word list to one value word. The passes below
// define the precedence of the language.
#include "interpreter.h"

#include "library/function_catalogue.h"
#include "numbers.h"

#include <cmath>
#include <limits>

namespace tesmora {

namespace {

bool isNumeric(const TWordStatus &w)
{
    return w.kind == wkFloat || w.kind == wkInt;
}
bool isString(const TWordStatus &w)
{
    return w.kind == wkString || w.kind == wkStringDQ;
}
bool isTruth(const TWordStatus &w)
{
    return w.kind == wkBool;
}
bool isOp(const TWordStatus &w, const char16_t *sym)
{
    if (w.kind != wkOperator)
        return false;
    const QString &s = w.str;
    qsizetype i = 0;
    for (; sym[i]; ++i)
        if (i >= s.size() || s.at(i).unicode() != sym[i])
            return false;
    return i == s.size();
}
// The one-character operator symbol `c`.
inline bool isSym(const QString &s, char16_t c)
{
    return s.size() == 1 && s.at(0).unicode() == c;
}
inline bool isSym2(const QString &s, char16_t c, char16_t d)
{
    return s.size() == 2 && s.at(0).unicode() == c && s.at(1).unicode() == d;
}

TWordStatus numberWord(double v, TWordKind kind)
{
    TWordStatus r;
    r.kind = kind;
    r.float_val = v;
    r.str = FormatNumber(v);
    return r;
}

TWordStatus truthWord(bool b)
{
    TWordStatus r;
    r.kind = wkBool;
    r.bool_val = b;
    r.float_val = b ? 1.0 : 0.0;
    r.str = b ? QStringLiteral("true") : QStringLiteral("false");
    return r;
}

// The working list of one evaluation with its active range.
struct Work {
    WordList &w;
    int rangeStart = 0;
    int rangeEnd = 0;
    // False once the list is known to hold no "(": nothing to unwrap.
    bool bracketsLeft = true;

    void removeWords(int start, int count)
    {
        for (int k = start; k + count <= w.last; ++k)
            w[k] = std::move(w[k + count]);
        for (int k = w.last - count + 1; k <= w.last; ++k)
            w[k].clear();
        w.last -= count;
        rangeEnd -= count;
    }

    // "( value )" becomes the value, until nothing changes.
    void unwrapBrackets()
    {
        if (!bracketsLeft)
            return;
        bool changed = true;
        while (changed) {
            changed = false;
            for (int i = 0; i + 2 <= w.last; ++i) {
                if (w[i].kind == wkOpeningBracket && w[i + 2].kind == wkClosingBracket &&
                    (isValueKind(w[i + 1].kind) || w[i + 1].kind == wkUnknownIdentifier)) {
                    w[i] = std::move(w[i + 1]);
                    removeWords(i + 1, 2);
                    changed = true;
                }
            }
        }
    }
};

// A function word's ² or ³ applied to its numeric result.
void applyPower(TWordStatus &value, int power)
{
    if ((power == 2 || power == 3) && isNumeric(value)) {
        value.float_val = std::pow(value.float_val, power);
        value.str = FormatNumber(value.float_val);
    }
}

bool readInt64Text(const QString &text, std::int64_t &out)
{
    bool ok = false;
    out = text.toLongLong(&ok, 10);
    return ok;
}

} // namespace

Interpreter::ScratchList::ScratchList(Interpreter &in) : in_(in)
{
    if (in.scratchUsed_ == in.scratch_.size())
        in.scratch_.push_back(std::make_unique<WordList>());
    w_ = in.scratch_[in.scratchUsed_++].get();
}

Interpreter::ScratchList::~ScratchList()
{
    // Entries after `last` are kept empty by every operation on a list.
    for (int i = 0; i <= w_->last; ++i)
        (*w_)[i].clear();
    w_->last = -1;
    --in_.scratchUsed_;
}

void Interpreter::EvaluateRange(const WordList &words, int from, int to, TWordStatus &result)
{
    ScratchList part(*this);
    for (int i = from; i <= to; ++i)
        (*part)[++part->last] = words[i];
    evaluateOwned(*part, result);
}

void Interpreter::EvaluateText(const QString &text, TWordStatus &result)
{
    ScratchList w(*this);
    SplitWords(text, *w);
    result.clear();
    if (!failed())
        evaluateOwned(*w, result);
}

void Interpreter::EvaluateWords(const WordList &input, TWordStatus &result)
{
    result.clear();
    if (input.last < 0)
        return;
    ScratchList w(*this);
    *w = input;
    evaluateOwned(*w, result);
}

namespace {

// s[i]: the words up to the next "]" (not the matching one: an index does
// not nest here) give the 1-based position; outside the text it is "".
// `text` is a copy: evaluating the index may add variables and move the
// variable table.
bool readStringCharacter(Interpreter &in, WordList &w, int i, QString text)
{
    int close = -1;
    for (int k = i + 2; k <= w.last; ++k)
        if (w[k].kind == wkClosingSquareBracket) {
            close = k;
            break;
        }
    if (close < 0) {
        in.RaiseMessage(47);
        return false;
    }
    TWordStatus index;
    in.EvaluateRange(w, i + 2, close - 1, index);
    if (in.failed())
        return false;
    const double pos = RoundHalfEven(index.float_val);
    w[i].str = (pos >= 1 && pos <= text.size()) ? QString(text.at(static_cast<int>(pos) - 1)) : QString();
    Work work{w, 0, w.last};
    work.removeWords(i + 1, close - i);
    return true;
}

// The variable named at w[i] becomes its value; a string variable followed
// by "[" becomes one of its characters.
bool readVariable(Interpreter &in, WordList &w, int i)
{
    TWordStatus &x = w[i];
    const int vi = x.var_index - 1;
    if (vi < 0 || vi >= in.variables().size()) {
        in.RaiseMessage(76, {x.str});
        return false;
    }
    const Tvariable &v = in.variables().at(vi);
    if (isStringKind(v.kind)) {
        x.kind = v.kind;
        if (i < w.last && w[i + 1].kind == wkOpeningSquareBracket)
            return readStringCharacter(in, w, i, v.VarVal);
        x.str = v.VarVal;
    } else if (isNumberKind(v.kind)) {
        x.kind = v.kind;
        x.float_val = ParseVariableNumber(v.VarVal).value;
        x.str = v.VarVal;
    } else if (v.kind == wkBool) {
        x.kind = wkBool;
        x.bool_val = v.VarVal.toUpper() == QLatin1String("TRUE");
        x.float_val = x.bool_val ? 1.0 : 0.0;
        x.str = v.VarVal;
    } else {
        in.RaiseMessage(129, {v.VarName});
        return false;
    }
    return true;
}

// Pass 1: names and constants become values. False when the evaluation stops.
bool resolveNames(Interpreter &in, WordList &w)
{
    for (int i = 0; i <= w.last; ++i) {
        TWordStatus &x = w[i];
        switch (x.kind) {
        case wkUnknownIdentifier:
            if (i < w.last && w[i + 1].kind == wkOpeningBracket)
                in.RaiseMessage(90, {x.str});
            else
                in.RaiseMessage(76, {x.str});
            return false;
        case wkConst:
        case wkColor:
        case wkMouseEvent:
            x.str = FormatNumber(x.float_val);
            x.kind = wkFloat;
            break;
        case wkVariableName:
            if (!readVariable(in, w, i))
                return false;
            break;
        default:
            break;
        }
    }
    return true;
}

// Pass 2: array elements become values.
bool readArrayElements(Interpreter &in, WordList &w)
{
    for (int i = 0; i <= w.last; ++i) {
        if (w[i].kind != wkArrayName)
            continue;
        in.ReadArrayElement(w, i);
        if (in.failed())
            return false;
        // An index that steps into a script function (or has no value)
        // leaves the reference in place; the line runs again when the
        // function returns.
        if (w[i].kind == wkArrayName)
            return false;
    }
    return true;
}

// Pass 3: function calls become their results.
bool callFunctions(Interpreter &in, WordList &w)
{
    for (int i = 0; i <= w.last; ++i) {
        const TWordKind k = w[i].kind;
        if (!(isFunctionKind(k) && k != wkVBSFunction))
            continue;
        TWordStatus value;
        if (in.takeReturnedValue(w[i].str, value)) {
            // The value of a call that was stepped through.
        } else {
            const Interpreter::FunctionLevelWatch watch(in);
            in.CallFunctionWord(w[i], value);
            if (in.failed())
                return false;
            if (k == wkScriptFunction && !in.running())
                return false;
            // A script function called inside the arguments was stepped
            // into: the line runs again when it returns.
            if (watch.steppedIn())
                return false;
        }
        if (isString(value) && value.str.size() > kMaxStringLength) {
            in.RaiseMessage(360, {static_cast<qint64>(kMaxStringLength)});
            return false;
        }
        applyPower(value, w[i].power);
        w[i] = std::move(value);
    }
    return true;
}

// Reduction rounds, innermost bracket group first, until one word is left.
void reduceBracketGroups(Interpreter &in, WordList &w, TWordStatus &result)
{
    for (;;) {
        const int before = w.last;
        int L = -1;
        for (int i = w.last; i >= 0; --i)
            if (w[i].kind == wkOpeningBracket) {
                L = i;
                break;
            }
        int R = -1;
        for (int i = L + 1; i <= w.last; ++i)
            if (w[i].kind == wkClosingBracket) {
                R = i;
                break;
            }
        if ((L < 0) != (R < 0)) {
            in.RaiseMessage(47);
            return;
        }
        int end = L < 0 ? w.last : R - 1;
        if (!in.ReduceRange(w, L < 0 ? 0 : L + 1, end))
            return;
        if (w.last == before) {
            in.RaiseMessage(49);
            return;
        }
        if (w.last == 0) {
            result = w[0];
            return;
        }
    }
}

} // namespace

// Evaluates a list that belongs to the evaluation and may be changed.
void Interpreter::evaluateOwned(WordList &w, TWordStatus &result)
{
    result.clear();
    if (w.last < 0)
        return;
    // Calls nest evaluations (arguments, indices, script functions in run
    // mode): deeper than the bound, the line ends with message 358.
    struct DepthGuard {
        int &depth;
        explicit DepthGuard(int &d) : depth(++d) {}
        ~DepthGuard() { --depth; }
    } guard(EvaluationDepth);
    if (EvaluationDepth > kMaxEvaluationDepth) {
        RaiseMessage(358, {kMaxEvaluationDepth});
        return;
    }
    if (!resolveNames(*this, w) || !readArrayElements(*this, w) || !callFunctions(*this, w))
        return;
    Work work{w, 0, w.last};
    work.unwrapBrackets();
    if (w.last == 0) {
        result = w[0];
        return;
    }
    reduceBracketGroups(*this, w, result);
}

namespace {

// Reductions of one range. Each triple reducer returns 1 when it replaced
// the triple's left word, 0 when the triple does not fit, -1 to stop.

// Unary sign at the range start, then unary minus after a comparison, an
// additive or a multiplicative operator.
void reduceUnarySigns(Work &work)
{
    WordList &w = work.w;
    const int start = work.rangeStart;
    if (start + 1 <= work.rangeEnd && (isOp(w[start], u"+") || isOp(w[start], u"-")) &&
        isNumeric(w[start + 1])) {
        const double v = isOp(w[start], u"-") ? -w[start + 1].float_val : w[start + 1].float_val;
        w[start] = numberWord(v, w[start + 1].kind);
        work.removeWords(start + 1, 1);
        work.unwrapBrackets();
    }
    for (int i = start; i + 2 <= work.rangeEnd;) {
        const TWordStatus &a = w[i];
        if (a.kind == wkOperator &&
            (a.oper_prioritet == prCompare || a.oper_prioritet == prAdditive ||
             a.oper_prioritet == prMultiply) &&
            isOp(w[i + 1], u"-") && isNumeric(w[i + 2])) {
            w[i + 1] = numberWord(-w[i + 2].float_val, w[i + 2].kind);
            work.removeWords(i + 2, 1);
            work.unwrapBrackets();
            continue;
        }
        ++i;
    }
}

// One pass of `reduce` over the triples of the range, left to right; after
// a reduction the same position is examined again. False to stop.
template <typename Reduce> bool reduceTriples(Work &work, Reduce &&reduce)
{
    WordList &w = work.w;
    for (int i = work.rangeStart; i + 2 <= work.rangeEnd;) {
        const int r = reduce(w[i], w[i + 1], w[i + 2]);
        if (r < 0)
            return false;
        if (r == 0) {
            ++i;
            continue;
        }
        work.removeWords(i + 1, 2);
        work.unwrapBrackets();
    }
    return true;
}

TWordKind resultKind(const TWordStatus &a, const TWordStatus &b)
{
    return (a.kind == wkInt && b.kind == wkInt) ? wkInt : wkFloat;
}

bool isOperatorOf(const TWordStatus &op, int priority)
{
    return op.kind == wkOperator && op.oper_prioritet == priority;
}

// The integer remainder x % y of truncated operands; false, with the
// runtime's text in `failure`, when it cannot be computed.
bool integerRemainder(double a, double b, double &v, QString &failure)
{
    const double x = std::trunc(a);
    const double y = std::trunc(b);
    const double lim = 9223372036854775808.0;
    if (!(x >= -lim && x < lim) || !(y >= -lim && y < lim))
        failure = QStringLiteral("The value is too large for a 64-bit integer.");
    else if (y == 0)
        failure = QStringLiteral("Integer division by zero.");
    if (!failure.isEmpty())
        return false;
    const auto xi = static_cast<std::int64_t>(x);
    const auto yi = static_cast<std::int64_t>(y);
    v = static_cast<double>(yi == -1 ? 0 : xi % yi);
    return true;
}

// a: * / %. A result of +infinity sets "Devision by zero." and goes on with 0.
int multiplicative(Interpreter &in, TWordStatus &a, const TWordStatus &op, const TWordStatus &b,
                   bool &divisionByZero)
{
    if (!isOperatorOf(op, prMultiply) || !isNumeric(a) || !isNumeric(b))
        return 0;
    double v = 0;
    TWordKind kind = resultKind(a, b);
    if (isSym(op.str, u'*')) {
        v = a.float_val * b.float_val;
    } else if (isSym(op.str, u'/')) {
        v = a.float_val / b.float_val;
        kind = wkFloat;
    } else {
        QString failure;
        if (!integerRemainder(a.float_val, b.float_val, v, failure)) {
            if (in.tryMode())
                return 0; // left unreduced under TRY
            in.RaiseError(failure);
            in.StopRun();
            return -1;
        }
    }
    if (std::isinf(v) && v > 0) {
        in.setPendingError(QStringLiteral("Devision by zero."));
        divisionByZero = true;
        v = 0;
    }
    a = numberWord(v, kind);
    return 1;
}

// b: + -
int additive(TWordStatus &a, const TWordStatus &op, const TWordStatus &b)
{
    if (!isOperatorOf(op, prAdditive) || !isNumeric(a) || !isNumeric(b))
        return 0;
    const double v = isSym(op.str, u'+') ? a.float_val + b.float_val : a.float_val - b.float_val;
    a = numberWord(v, resultKind(a, b));
    return 1;
}

// c: the bit operators of one priority, on non-negative whole numbers.
int bitwise(Interpreter &in, int priority, TWordStatus &a, const TWordStatus &op, const TWordStatus &b)
{
    if (!isOperatorOf(op, priority) || !isNumeric(a) || !isNumeric(b))
        return 0;
    const TWordStatus *operands[] = {&a, &b};
    for (const TWordStatus *x : operands) {
        if (x->float_val != std::trunc(x->float_val) || x->float_val < 0) {
            in.RaiseMessage(83, {x->str});
            return -1;
        }
    }
    std::int64_t l = 0;
    std::int64_t r = 0;
    if (!readInt64Text(a.str, l))
        throw RuntimeFailure(QStringLiteral("\"%1\" is not an integer number.").arg(a.str).toStdString());
    if (!readInt64Text(b.str, r))
        throw RuntimeFailure(QStringLiteral("\"%1\" is not an integer number.").arg(b.str).toStdString());
    std::uint64_t v = 0;
    const auto ul = static_cast<std::uint64_t>(l);
    const auto ur = static_cast<std::uint64_t>(r);
    if (isSym2(op.str, u'<', u'<'))
        v = ul << (ur % 64);
    else if (isSym2(op.str, u'>', u'>'))
        v = ul >> (ur % 64);
    else if (isSym(op.str, u'&'))
        v = ul & ur;
    else if (isSym(op.str, u'^'))
        v = ul ^ ur;
    else
        v = ul | ur;
    a = numberWord(static_cast<double>(static_cast<std::int64_t>(v)), wkInt);
    return 1;
}

// d: string concatenation.
int concatenation(Interpreter &in, TWordStatus &a, const TWordStatus &op, const TWordStatus &b)
{
    if (!isOp(op, u"+") || !isString(a) || !isString(b))
        return 0;
    if (a.str.size() + b.str.size() > kMaxStringLength) {
        in.RaiseMessage(360, {static_cast<qint64>(kMaxStringLength)});
        return -1;
    }
    const TWordKind kind = a.kind;
    const QString text = a.str + b.str;
    a.clear();
    a.kind = kind;
    a.str = text;
    return 1;
}

// e: = and <> between values of different kinds.
int mixedKindEquality(TWordStatus &a, const TWordStatus &op, const TWordStatus &b)
{
    const bool eq = isOp(op, u"=");
    if (!eq && !isOp(op, u"<>"))
        return 0;
    auto fits = [](TWordKind k) { return k == wkString || k == wkStringDQ || k == wkFloat || k == wkBool; };
    if (!fits(a.kind) || !fits(b.kind) || a.kind == b.kind)
        return 0;
    a = truthWord(!eq);
    return 1;
}

// The comparison operator `op` applied to the sign `c` of a comparison.
bool compareResult(const QString &op, int c)
{
    if (isSym(op, u'='))
        return c == 0;
    if (isSym2(op, u'<', u'>'))
        return c != 0;
    if (isSym(op, u'<'))
        return c < 0;
    if (isSym2(op, u'<', u'='))
        return c <= 0;
    if (isSym(op, u'>'))
        return c > 0;
    return c >= 0;
}

// f: numeric comparisons; NaN is only unequal.
int numericComparison(TWordStatus &a, const TWordStatus &op, const TWordStatus &b)
{
    if (!isOperatorOf(op, prCompare) || !isNumeric(a) || !isNumeric(b))
        return 0;
    const double x = a.float_val;
    const double y = b.float_val;
    bool r;
    if (std::isnan(x) || std::isnan(y))
        r = isSym2(op.str, u'<', u'>');
    else
        r = compareResult(op.str, x < y ? -1 : (x > y ? 1 : 0));
    a = truthWord(r);
    return 1;
}

// g: ordinal string comparisons.
int stringComparison(TWordStatus &a, const TWordStatus &op, const TWordStatus &b)
{
    if (!isOperatorOf(op, prCompare) || !isString(a) || !isString(b))
        return 0;
    a = truthWord(compareResult(op.str, QString::compare(a.str, b.str, Qt::CaseSensitive)));
    return 1;
}

// h: OR and AND, one pass, left to right.
int logical(TWordStatus &a, const TWordStatus &op, const TWordStatus &b)
{
    if (op.kind != wkOperator || (op.oper_prioritet != prOr && op.oper_prioritet != prAnd) || !isTruth(a) ||
        !isTruth(b))
        return 0;
    a = truthWord(op.oper_prioritet == prOr ? (a.bool_val || b.bool_val) : (a.bool_val && b.bool_val));
    return 1;
}

// NOT, last.
void reduceNot(Work &work)
{
    WordList &w = work.w;
    for (int i = work.rangeStart; i + 1 <= work.rangeEnd;) {
        if (isOp(w[i], u"NOT") && isTruth(w[i + 1])) {
            w[i] = truthWord(!w[i + 1].bool_val);
            work.removeWords(i + 1, 1);
            work.unwrapBrackets();
            continue;
        }
        ++i;
    }
}

// Passes a-h in their order between the unary signs and NOT.
bool reduceRangePasses(Interpreter &in, Work &work)
{
    using Word = TWordStatus;
    reduceUnarySigns(work);
    bool divisionByZero = false;
    if (!reduceTriples(work, [&](Word &a, const Word &op, const Word &b) {
            return multiplicative(in, a, op, b, divisionByZero);
        }))
        return false;
    if (divisionByZero)
        return false;
    reduceTriples(work, [](Word &a, const Word &op, const Word &b) { return additive(a, op, b); });
    for (int priority : {prShift, prBitAnd, prBitXor, prBitOr}) {
        if (!reduceTriples(work, [&](Word &a, const Word &op, const Word &b) {
                return bitwise(in, priority, a, op, b);
            }))
            return false;
    }
    if (!reduceTriples(work,
                       [&](Word &a, const Word &op, const Word &b) { return concatenation(in, a, op, b); }))
        return false;
    reduceTriples(work, [](Word &a, const Word &op, const Word &b) { return mixedKindEquality(a, op, b); });
    reduceTriples(work, [](Word &a, const Word &op, const Word &b) { return numericComparison(a, op, b); });
    reduceTriples(work, [](Word &a, const Word &op, const Word &b) { return stringComparison(a, op, b); });
    reduceTriples(work, [](Word &a, const Word &op, const Word &b) { return logical(a, op, b); });
    reduceNot(work);
    return true;
}

} // namespace

// One reduction round over w[start..end]: unary signs, passes a-h, NOT.
// Returns false when the evaluation must stop.
bool Interpreter::ReduceRange(WordList &w, int start, int &endRef)
{
    Work work{w, start, endRef};
    // The range follows the last "(": one that starts at the first word
    // has none before it, so the list holds none at all.
    work.bracketsLeft = start > 0;
    const bool ok = reduceRangePasses(*this, work);
    endRef = work.rangeEnd;
    return ok;
}

void Interpreter::CallFunctionWord(const TWordStatus &word, TWordStatus &value)
{
    value.clear();
    const QString &call = word.str;
    const int br = static_cast<int>(call.indexOf(QLatin1Char('(')));
    const QString ownName = (br < 0 ? call : call.left(br)).trimmed();
    QString name;
    // The argument list comes from the pool: a call nests evaluations, and a
    // list of 100 words on the stack of every level would use it up.
    ScratchList argList(*this);
    WordList &args = *argList;
    const FunctionLevelWatch watch(*this);
    PrepareCallParameters(call, word.kind == wkScriptFunction ? ownName : QString(), name, args);
    if (failed() || watch.steppedIn())
        return;
    switch (word.kind) {
    case wkEmbeddedFunction:
        if (!TakesArgumentsByName(name)) {
            CheckCallParameters(wkEmbeddedFunction, name, args);
            if (failed())
                return;
        }
        ExecuteEmbeddedFunction(name, args, value);
        break;
    case wkGraphFunction:
    case wkDialogFunction:
        CheckCallParameters(word.kind, name, args);
        if (failed())
            return;
        if (word.kind == wkGraphFunction && services_.graphics)
            services_.graphics->execute(*this, name, args, value);
        else if (word.kind == wkDialogFunction && services_.dialogs)
            services_.dialogs->execute(*this, name, args, value);
        else
            RaiseMessage(96, {name});
        break;
    case wkScriptFunction:
        CallScriptFunction(call, args, value);
        break;
    case wkJS_Function:
        CallJavaScriptFunction(catalogueRow(word.func_index), name, args, value);
        break;
    default:
        break;
    }
}

} // namespace tesmora
