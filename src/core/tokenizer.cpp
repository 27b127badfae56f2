// SplitWords and the rewriting of power and root signs into pow() calls.
#include "brackets.h"
#include "interpreter.h"

#include "numbers.h"

#include <algorithm>

namespace tesmora {

void Interpreter::SplitWords(const QString &text, WordList &words)
{
    const SplitCache::Entry *hit = splitCache_.find(text, scriptGeneration_);
    if (const int *found = hit ? resolveDeps(hit->deps, hit->memo) : nullptr) {
        SplitCache::copyTo(*hit, words);
        // Variable indices differ between levels of a recursive function.
        for (int i = 0; i <= words.last; ++i) {
            if (words[i].kind != wkVariableName)
                continue;
            const int dep = hit->variableDep[static_cast<size_t>(i)];
            words[i].var_index = (dep >= 0 ? found[dep] : FindVariable(words[i].text())) + 1;
        }
        return;
    }
    const bool hadError = failed();
    QList<SplitCache::Dep> deps;
    recordDeps_ = &deps;
    splitUncached(text, words);
    recordDeps_ = nullptr;
    if (!hadError && !failed())
        splitCache_.insert(text, words, std::move(deps));
}

const int *Interpreter::resolveDeps(const QList<SplitCache::Dep> &deps, DepsMemo &memo) const
{
    if (namesHoldSince(memo.key)) {
#ifdef TESMORA_CHECK_CACHES
        // Builds with the sanitizers check every reuse against a fresh look-up.
        std::vector<int> again(memo.found.size(), -1);
        const bool hold = depsHold(deps, again.data(), 0);
        if (hold != memo.hold ||
            (hold && !std::equal(again.begin(), again.begin() + deps.size(), memo.found.begin())))
            qFatal("resolveDeps: a name resolves differently under an unchanged key");
#endif
        return memo.hold ? memo.found.data() : nullptr;
    }
    // At least one slot, so that a text without names gets a pointer too;
    // depsHold writes each slot it gets to.
    const NamesKey key = namesKey();
    const size_t count = deps.isEmpty() ? 1 : static_cast<size_t>(deps.size());
    if (memo.found.size() != count)
        memo.found.resize(count, -1);
    memo.hold = depsHold(deps, memo.found.data(), static_cast<int>(key.variables - memo.key.variables));
    memo.key = key;
    return memo.hold ? memo.found.data() : nullptr;
}

bool Interpreter::depsHold(const QList<SplitCache::Dep> &deps, int *found, int added) const
{
    // `found` holds what the names resolved to when last checked, before
    // `added` more variables: a variable still there is taken without a
    // search. A call's own variables are the last ones, so they are looked
    // for as far from the end as they were (the same line in the next call,
    // or one level deeper).
    for (qsizetype k = 0; k < deps.size(); ++k) {
        const SplitCache::Dep &d = deps.at(k);
        int index = -1;
        if (d.isVariable && found[k] >= 0)
            index = stillVariableAt(d.name, IsCallOwnName(d.name) ? found[k] + added : found[k]);
        if (index < 0)
            index = FindVariable(d.name);
        found[k] = index;
        const bool v = index >= 0;
        if (v != d.isVariable)
            return false;
        if (!v) {
            // An array's slot keeps its table number.
            const int array = FindArray(d.name);
            if ((array > 0) != d.isArray)
                return false;
            if (array > 0)
                found[k] = array;
        }
    }
    return true;
}

void Interpreter::splitUncached(const QString &text, WordList &words)
{
    words.clear();
    int position = 1;
    bool arrayDeclaration = false;
    const int len = static_cast<int>(text.size());
    while (position <= len) {
        ++words.last;
        if (words.last >= kMaxWords) {
            words.last = kMaxWords - 1;
            RaiseMessage(45, {text});
            return;
        }
        TWordStatus &w = words[words.last];
        NextWord(text, position, w);
        if (failed())
            return;
        if (w.kind == wkNone && w.text().isEmpty()) {
            // Only blanks were left.
            --words.last;
            break;
        }
        if (w.kind == wkArrayDescription)
            arrayDeclaration = true;
        if (arrayDeclaration && w.text() == QLatin1String("=")) {
            const QString rest = text.mid(position - 1).trimmed();
            ++words.last;
            if (words.last >= kMaxWords) {
                words.last = kMaxWords - 1;
                RaiseMessage(45, {text});
                return;
            }
            words[words.last].kind = wkArrayInitValues;
            words[words.last].setText(rest);
            break;
        }
    }
    RewritePowers(words, prPowerSign);
    if (failed())
        return;
    RewritePowers(words, prRootSign);
}

namespace {

// Replaces words [from, to] by one pow(operand, exponent) word built from
// the texts of words [opFrom, opTo].
void replaceByPow(WordList &words, int from, int to, int opFrom, int opTo, const QString &exponent)
{
    QString operand;
    for (int k = opFrom; k <= opTo; ++k)
        operand += words[k].text();
    TWordStatus pw;
    pw.kind = wkEmbeddedFunction;
    pw.setText(QStringLiteral("pow(") + operand + QLatin1Char(',') + exponent + QLatin1Char(')'));
    const int removed = to - from;
    words[from] = pw;
    for (int k = from + 1; k + removed <= words.last; ++k)
        words[k] = words[k + removed];
    for (int k = words.last - removed + 1; k <= words.last; ++k)
        words[k].clear();
    words.last -= removed;
}

QString exponentText(const QString &op)
{
    if (op == QStringLiteral("²"))
        return QStringLiteral("2");
    if (op == QStringLiteral("³"))
        return QStringLiteral("3");
    if (op == QStringLiteral("√"))
        return FormatNumber(0.5);
    if (op == QStringLiteral("∛"))
        return FormatNumber(1.0 / 3.0);
    return FormatNumber(0.25);
}

} // namespace

void Interpreter::RewritePowers(WordList &words, int priority)
{
    int p = 0;
    while (p <= words.last) {
        TWordStatus &op = words[p];
        if (op.kind != wkOperator || op.oper_prioritet != priority) {
            ++p;
            continue;
        }
        const QString sign = op.text();
        const QString exponent = exponentText(sign);
        if (priority == prPowerSign) {
            int start = p - 1;
            if (p > 0 && isFunctionKind(words[p - 1].kind)) {
                RaiseMessage(213, {sign});
                return;
            }
            if (p > 0 && words[p - 1].kind == wkClosingBracket) {
                start = matchingBracketWord(words, p - 1);
                if (start < 0) {
                    RaiseMessage(211, {sign});
                    return;
                }
            } else if (p > 0 && words[p - 1].kind == wkClosingSquareBracket) {
                start = matchingBracketWord(words, p - 1);
                if (start < 0) {
                    RaiseMessage(211, {sign});
                    return;
                }
                start -= 1; // the array name
                if (start < 0) {
                    RaiseMessage(211, {sign});
                    return;
                }
            }
            if (start < 0) {
                // Nothing stands before the sign.
                RaiseMessage(211, {sign});
                return;
            }
            replaceByPow(words, start, p, start, p - 1, exponent);
            p = start + 1;
        } else {
            int end = p + 1;
            if (end > words.last) {
                RaiseMessage(212, {sign});
                return;
            }
            if (words[end].kind == wkOpeningBracket) {
                end = matchingBracketWord(words, end);
            } else if (words[end].kind == wkArrayName) {
                if (end + 1 <= words.last && words[end + 1].kind == wkOpeningSquareBracket)
                    end = matchingBracketWord(words, end + 1);
                else
                    end = -1;
            }
            if (end < 0) {
                RaiseMessage(212, {sign});
                return;
            }
            replaceByPow(words, p, end, p + 1, end, exponent);
            p = p + 1;
        }
    }
}

} // namespace tesmora
