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
    Work work{w, 0, w.last};

    // Pass 1: names and constants.
    for (int i = 0; i <= w.last; ++i) {
        TWordStatus &x = w[i];
        switch (x.kind) {
        case wkUnknownIdentifier:
            if (i < w.last && w[i + 1].kind == wkOpeningBracket)
                RaiseMessage(90, {x.str});
            else
                RaiseMessage(76, {x.str});
            return;
        case wkConst:
        case wkColor:
        case wkMouseEvent:
            x.str = FormatNumber(x.float_val);
            x.kind = wkFloat;
            break;
        case wkVariableName: {
            const int vi = x.var_index - 1;
            if (vi < 0 || vi >= Variables.size()) {
                RaiseMessage(76, {x.str});
                return;
            }
            const Tvariable &v = Variables.at(vi);
            if (isStringKind(v.kind)) {
                x.kind = v.kind;
                if (i < w.last && w[i + 1].kind == wkOpeningSquareBracket) {
                    // A character of a string variable: s[i].
                    int close = -1;
                    for (int k = i + 2; k <= w.last; ++k)
                        if (w[k].kind == wkClosingSquareBracket) {
                            close = k;
                            break;
                        }
                    if (close < 0) {
                        RaiseMessage(47);
                        return;
                    }
                    TWordStatus index;
                    EvaluateRange(w, i + 2, close - 1, index);
                    if (failed())
                        return;
                    const double pos = RoundHalfEven(index.float_val);
                    const QString &text = v.VarVal;
                    x.str = (pos >= 1 && pos <= text.size()) ? QString(text.at(static_cast<int>(pos) - 1))
                                                             : QString();
                    work.removeWords(i + 1, close - i);
                } else {
                    x.str = v.VarVal;
                }
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
                RaiseMessage(129, {v.VarName});
                return;
            }
            break;
        }
        default:
            break;
        }
    }

    // Pass 2: array elements.
    for (int i = 0; i <= w.last; ++i) {
        if (w[i].kind != wkArrayName)
            continue;
        ReadArrayElement(w, i);
        if (failed())
            return;
        // An index that steps into a script function leaves the reference
        // in place; the line runs again when the function returns.
        if (w[i].kind == wkArrayName)
            return;
    }

    // Pass 3: function calls.
    for (int i = 0; i <= w.last; ++i) {
        const TWordKind k = w[i].kind;
        if (!(isFunctionKind(k) && k != wkVBSFunction))
            continue;
        TWordStatus value;
        if (!ReturnedBlock.FunctionExpression.isEmpty() && w[i].str == ReturnedBlock.FunctionExpression) {
            // The value of a call that was stepped through.
            value = ReturnedBlock.WordStatus;
            ReturnedBlock = TBlockLevel();
        } else {
            const int level = CurrentFunctionLevel;
            CallFunctionWord(w[i], value);
            if (failed())
                return;
            if (k == wkScriptFunction && RunState != rn_Run && RunState != rn_Continue)
                return;
            // A script function called inside the arguments was stepped
            // into: the line runs again when it returns.
            if (CurrentFunctionLevel != level)
                return;
        }
        if (isString(value) && value.str.size() > kMaxStringLength) {
            RaiseMessage(360, {static_cast<qint64>(kMaxStringLength)});
            return;
        }
        if (w[i].power == 2 || w[i].power == 3) {
            if (isNumeric(value)) {
                value.float_val = std::pow(value.float_val, w[i].power);
                value.str = FormatNumber(value.float_val);
            }
        }
        w[i] = std::move(value);
    }

    work.unwrapBrackets();
    if (w.last == 0) {
        result = w[0];
        return;
    }

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
            RaiseMessage(47);
            return;
        }
        if (L < 0) {
            work.rangeStart = 0;
            work.rangeEnd = w.last;
        } else {
            work.rangeStart = L + 1;
            work.rangeEnd = R - 1;
        }
        if (!ReduceRange(work.w, work.rangeStart, work.rangeEnd))
            return;
        if (w.last == before) {
            RaiseMessage(49);
            return;
        }
        if (w.last == 0) {
            result = w[0];
            return;
        }
    }
}

// One reduction round over w[start..end]: unary signs, passes a-h, NOT.
// Returns false when the evaluation must stop.
bool Interpreter::ReduceRange(WordList &w, int start, int &endRef)
{
    Work work{w, start, endRef};
    auto finish = [&](bool ok) {
        endRef = work.rangeEnd;
        return ok;
    };

    // Unary sign at the range start.
    if (start + 1 <= work.rangeEnd && (isOp(w[start], u"+") || isOp(w[start], u"-")) &&
        isNumeric(w[start + 1])) {
        const double v = isOp(w[start], u"-") ? -w[start + 1].float_val : w[start + 1].float_val;
        w[start] = numberWord(v, w[start + 1].kind);
        work.removeWords(start + 1, 1);
        work.unwrapBrackets();
    }
    // Unary minus after a comparison, an additive or a multiplicative operator.
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

    // One pass over the triples: `reduce` returns 1 when it replaced the
    // triple's left word, 0 when the triple does not fit, -1 to stop.
    auto pass = [&](auto reduce) -> bool {
        for (int i = start; i + 2 <= work.rangeEnd;) {
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
    };
    auto resultKind = [](const TWordStatus &a, const TWordStatus &b) {
        return (a.kind == wkInt && b.kind == wkInt) ? wkInt : wkFloat;
    };

    // a: * / %
    bool divisionByZero = false;
    if (!pass([&](TWordStatus &a, const TWordStatus &op, const TWordStatus &b) -> int {
            if (op.kind != wkOperator || op.oper_prioritet != prMultiply || !isNumeric(a) || !isNumeric(b))
                return 0;
            double v = 0;
            TWordKind kind = resultKind(a, b);
            if (isSym(op.str, u'*')) {
                v = a.float_val * b.float_val;
            } else if (isSym(op.str, u'/')) {
                v = a.float_val / b.float_val;
                kind = wkFloat;
            } else {
                const double x = std::trunc(a.float_val);
                const double y = std::trunc(b.float_val);
                const double lim = 9223372036854775808.0;
                QString failure;
                if (!(x >= -lim && x < lim) || !(y >= -lim && y < lim))
                    failure = QStringLiteral("The value is too large for a 64-bit integer.");
                else if (y == 0)
                    failure = QStringLiteral("Integer division by zero.");
                if (!failure.isEmpty()) {
                    if (TryMode)
                        return 0; // left unreduced under TRY
                    RaiseError(failure);
                    RunState = rn_Stopped;
                    return -1;
                }
                const auto xi = static_cast<std::int64_t>(x);
                const auto yi = static_cast<std::int64_t>(y);
                v = static_cast<double>(yi == -1 ? 0 : xi % yi);
            }
            if (std::isinf(v) && v > 0) {
                ErrorText = QStringLiteral("Devision by zero.");
                divisionByZero = true;
                v = 0;
            }
            a = numberWord(v, kind);
            return 1;
        }))
        return finish(false);
    if (divisionByZero)
        return finish(false);

    // b: + -
    pass([&](TWordStatus &a, const TWordStatus &op, const TWordStatus &b) -> int {
        if (op.kind != wkOperator || op.oper_prioritet != prAdditive || !isNumeric(a) || !isNumeric(b))
            return 0;
        const double v = isSym(op.str, u'+') ? a.float_val + b.float_val : a.float_val - b.float_val;
        a = numberWord(v, resultKind(a, b));
        return 1;
    });

    // c: bit operators, one sub-pass per priority.
    for (int prio : {prShift, prBitAnd, prBitXor, prBitOr}) {
        if (!pass([&](TWordStatus &a, const TWordStatus &op, const TWordStatus &b) -> int {
                if (op.kind != wkOperator || op.oper_prioritet != prio || !isNumeric(a) || !isNumeric(b))
                    return 0;
                const TWordStatus *operands[] = {&a, &b};
                for (const TWordStatus *x : operands) {
                    if (x->float_val != std::trunc(x->float_val) || x->float_val < 0) {
                        RaiseMessage(83, {x->str});
                        return -1;
                    }
                }
                std::int64_t l = 0;
                std::int64_t r = 0;
                if (!readInt64Text(a.str, l))
                    throw RuntimeFailure(
                        QStringLiteral("\"%1\" is not an integer number.").arg(a.str).toStdString());
                if (!readInt64Text(b.str, r))
                    throw RuntimeFailure(
                        QStringLiteral("\"%1\" is not an integer number.").arg(b.str).toStdString());
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
            }))
            return finish(false);
    }

    // d: string concatenation.
    if (!pass([&](TWordStatus &a, const TWordStatus &op, const TWordStatus &b) -> int {
            if (!isOp(op, u"+") || !isString(a) || !isString(b))
                return 0;
            if (a.str.size() + b.str.size() > kMaxStringLength) {
                RaiseMessage(360, {static_cast<qint64>(kMaxStringLength)});
                return -1;
            }
            const TWordKind kind = a.kind;
            const QString text = a.str + b.str;
            a.clear();
            a.kind = kind;
            a.str = text;
            return 1;
        }))
        return finish(false);

    // e: = and <> between different kinds.
    pass([&](TWordStatus &a, const TWordStatus &op, const TWordStatus &b) -> int {
        const bool eq = isOp(op, u"=");
        if (!eq && !isOp(op, u"<>"))
            return 0;
        auto fits = [](TWordKind k) {
            return k == wkString || k == wkStringDQ || k == wkFloat || k == wkBool;
        };
        if (!fits(a.kind) || !fits(b.kind) || a.kind == b.kind)
            return 0;
        a = truthWord(!eq);
        return 1;
    });

    // f: numeric comparisons.
    auto compare = [](const QString &op, int c) {
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
    };
    pass([&](TWordStatus &a, const TWordStatus &op, const TWordStatus &b) -> int {
        if (op.kind != wkOperator || op.oper_prioritet != prCompare || !isNumeric(a) || !isNumeric(b))
            return 0;
        const double x = a.float_val;
        const double y = b.float_val;
        bool r;
        if (std::isnan(x) || std::isnan(y))
            r = isSym2(op.str, u'<', u'>');
        else
            r = compare(op.str, x < y ? -1 : (x > y ? 1 : 0));
        a = truthWord(r);
        return 1;
    });

    // g: ordinal string comparisons.
    pass([&](TWordStatus &a, const TWordStatus &op, const TWordStatus &b) -> int {
        if (op.kind != wkOperator || op.oper_prioritet != prCompare || !isString(a) || !isString(b))
            return 0;
        a = truthWord(compare(op.str, QString::compare(a.str, b.str, Qt::CaseSensitive)));
        return 1;
    });

    // h: OR and AND, left to right.
    pass([&](TWordStatus &a, const TWordStatus &op, const TWordStatus &b) -> int {
        if (op.kind != wkOperator || (op.oper_prioritet != prOr && op.oper_prioritet != prAnd) ||
            !isTruth(a) || !isTruth(b))
            return 0;
        a = truthWord(op.oper_prioritet == prOr ? (a.bool_val || b.bool_val) : (a.bool_val && b.bool_val));
        return 1;
    });

    // NOT, last.
    for (int i = start; i + 1 <= work.rangeEnd;) {
        if (isOp(w[i], u"NOT") && isTruth(w[i + 1])) {
            w[i] = truthWord(!w[i + 1].bool_val);
            work.removeWords(i + 1, 1);
            work.unwrapBrackets();
            continue;
        }
        ++i;
    }
    return finish(true);
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
    const int level = CurrentFunctionLevel;
    PrepareCallParameters(call, word.kind == wkScriptFunction ? ownName : QString(), name, args);
    if (failed() || CurrentFunctionLevel != level)
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
