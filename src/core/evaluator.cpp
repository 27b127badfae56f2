// EvaluateWords: reduces a word list to one value word. The passes below
// define the precedence of the language.
#include "interpreter.h"

#include "library/function_catalogue.h"
#include "numbers.h"
#include "reduction_rules.h"

#include <cmath>
#include <limits>

namespace tesmora {

using namespace reduction;

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
    const QString &s = w.text();
    qsizetype i = 0;
    for (; sym[i]; ++i)
        if (i >= s.size() || s.at(i).unicode() != sym[i])
            return false;
    return i == s.size();
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
        value.setNumberText(value.float_val);
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
    const int end = std::max(w_->last, reach_);
    for (int i = 0; i <= end; ++i)
        (*w_)[i].clear();
    w_->last = -1;
    --in_.scratchUsed_;
}

void Interpreter::EvaluateRange(const WordList &words, int from, int to, TWordStatus &result)
{
    if (!evaluateSimple(words, from, to, result))
        evaluateCopy(words, from, to, result, true);
}

void Interpreter::EvaluateRangeByPasses(const WordList &words, int from, int to, TWordStatus &result)
{
    evaluateCopy(words, from, to, result, false);
}

void Interpreter::evaluateCopy(const WordList &words, int from, int to, TWordStatus &result, bool direct)
{
    ScratchList part(*this);
    for (int i = from; i <= to; ++i)
        (*part)[++part->last] = words[i];
    evaluateOwned(*part, result, direct);
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
    if (evaluateSimple(input, 0, input.last, result))
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
    const Interpreter::FunctionLevelWatch watch(in);
    in.EvaluateRange(w, i + 2, close - 1, index);
    // An index that steps into a script function: the line runs again.
    if (in.failed() || watch.steppedIn())
        return false;
    const double pos = RoundHalfEven(index.float_val);
    w[i].setText((pos >= 1 && pos <= text.size()) ? QString(text.at(static_cast<int>(pos) - 1)) : QString());
    Work work{w, 0, w.last};
    work.removeWords(i + 1, close - i);
    return true;
}

// The value of the variable named at x, read or taken from the line record.
bool readVariableValue(Interpreter &in, TWordStatus &x)
{
    TWordStatus recorded;
    if (in.lineValues().replay(recorded)) {
        takeRecordedValue(recorded, x);
        return true;
    }
    const int vi = x.var_index - 1;
    if (vi < 0 || vi >= in.variables().size()) {
        in.RaiseMessage(76, {x.text()});
        return false;
    }
    const Tvariable &v = in.variables().at(vi);
    if (!takeVariableValue(v, x)) {
        in.RaiseMessage(129, {v.VarName});
        return false;
    }
    in.lineValues().record(x);
    return true;
}

// The variable named at w[i] becomes its value; a string variable followed
// by "[" becomes one of its characters.
bool readVariable(Interpreter &in, WordList &w, int i)
{
    TWordStatus &x = w[i];
    if (!readVariableValue(in, x))
        return false;
    if (isString(x) && i < w.last && w[i + 1].kind == wkOpeningSquareBracket)
        return readStringCharacter(in, w, i, x.text());
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
                in.RaiseMessage(90, {x.text()});
            else
                in.RaiseMessage(76, {x.text()});
            return false;
        case wkConst:
        case wkColor:
        case wkMouseEvent:
            x.setNumberText(x.float_val);
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
        const Interpreter::FunctionLevelWatch watch(in);
        in.CallFunctionWord(w[i], value);
        if (in.failed())
            return false;
        // A script function, called here or inside the arguments, was
        // stepped into (or its run stopped inside): the line runs again
        // when it returns.
        if (watch.steppedIn())
            return false;
        if (isString(value) && value.text().size() > kMaxStringLength) {
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
void Interpreter::evaluateOwned(WordList &w, TWordStatus &result, bool direct)
{
    result.clear();
    if (w.last < 0)
        return;
    // Deeper than the bound, the line ends with message 358.
    const DeeperEvaluation deeper(*this);
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
    // Values and operators alone: computed directly when the shape allows.
    if (direct && computeValueWords(w, result))
        return;
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

bool isOperatorOf(const TWordStatus &op, int priority)
{
    return op.kind == wkOperator && op.oper_prioritet == priority;
}

// a: * / %. A result of +infinity sets "Devision by zero." and goes on with 0.
int multiplicative(Interpreter &in, TWordStatus &a, const TWordStatus &op, const TWordStatus &b,
                   bool &divisionByZero)
{
    if (!isOperatorOf(op, prMultiply) || !isNumeric(a) || !isNumeric(b))
        return 0;
    double v = 0;
    TWordKind kind = resultKind(a.kind, b.kind);
    if (isSym(op.text(), u'*')) {
        v = a.float_val * b.float_val;
    } else if (isSym(op.text(), u'/')) {
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
    if (reportsDivisionByZero(v)) {
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
    const double v = isSym(op.text(), u'+') ? a.float_val + b.float_val : a.float_val - b.float_val;
    a = numberWord(v, resultKind(a.kind, b.kind));
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
            in.RaiseMessage(83, {x->text()});
            return -1;
        }
    }
    std::int64_t l = 0;
    std::int64_t r = 0;
    if (!readInt64Text(a.text(), l))
        throw RuntimeFailure(QStringLiteral("\"%1\" is not an integer number.").arg(a.text()).toStdString());
    if (!readInt64Text(b.text(), r))
        throw RuntimeFailure(QStringLiteral("\"%1\" is not an integer number.").arg(b.text()).toStdString());
    std::uint64_t v = 0;
    const auto ul = static_cast<std::uint64_t>(l);
    const auto ur = static_cast<std::uint64_t>(r);
    if (isSym2(op.text(), u'<', u'<'))
        v = ul << (ur % 64);
    else if (isSym2(op.text(), u'>', u'>'))
        v = ul >> (ur % 64);
    else if (isSym(op.text(), u'&'))
        v = ul & ur;
    else if (isSym(op.text(), u'^'))
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
    if (a.text().size() + b.text().size() > kMaxStringLength) {
        in.RaiseMessage(360, {static_cast<qint64>(kMaxStringLength)});
        return -1;
    }
    const TWordKind kind = a.kind;
    const QString text = a.text() + b.text();
    a.clear();
    a.kind = kind;
    a.setText(text);
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

// f: numeric comparisons; NaN is only unequal.
int numericComparison(TWordStatus &a, const TWordStatus &op, const TWordStatus &b)
{
    if (!isOperatorOf(op, prCompare) || !isNumeric(a) || !isNumeric(b))
        return 0;
    a = truthWord(compareNumbers(op.text(), a.float_val, b.float_val));
    return 1;
}

// g: ordinal string comparisons.
int stringComparison(TWordStatus &a, const TWordStatus &op, const TWordStatus &b)
{
    if (!isOperatorOf(op, prCompare) || !isString(a) || !isString(b))
        return 0;
    a = truthWord(compareResult(op.text(), QString::compare(a.text(), b.text(), Qt::CaseSensitive)));
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
    // The shape is copied: a nested call may clear the cache it lives in.
    const CallShape shape = callShape(word.text());
    QString name;
    // The argument list comes from the pool: a call nests evaluations, and a
    // list of 100 words on the stack of every level would use it up.
    ScratchList argList(*this);
    WordList &args = *argList;
    const FunctionLevelWatch watch(*this);
    PrepareCallParameters(shape, word.kind == wkScriptFunction, name, argList);
    if (failed() || watch.steppedIn())
        return;
    // Running again after a RETURN: the call was made before (this one may
    // be the call that returned).
    if (LineValues.replay(value))
        return;
    executeFunctionWord(word, shape, name, args, value);
    if (!failed() && !watch.steppedIn())
        LineValues.record(value);
}

void Interpreter::executeFunctionWord(const TWordStatus &word, const CallShape &shape, QString &name,
                                      WordList &args, TWordStatus &value)
{
    switch (word.kind) {
    case wkEmbeddedFunction:
        if (!shape.argumentsByName) {
            CheckCallParameters(shape.embedded, name, args);
            if (failed())
                return;
        }
        ExecuteEmbeddedFunction(shape.embeddedFn, name, args, value);
        break;
    case wkGraphFunction:
    case wkDialogFunction:
        CheckCallParameters(word.kind == wkGraphFunction ? shape.graph : shape.dialog, name, args);
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
        CallScriptFunction(word.text(), args, value);
        break;
    case wkJS_Function:
        CallJavaScriptFunction(catalogueRow(word.func_index), name, args, value);
        break;
    default:
        break;
    }
}

} // namespace tesmora
