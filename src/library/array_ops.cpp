// Array declaration, value lists, element references and the lifetime of
// arrays across script functions and runs.
#include "core/brackets.h"
#include "core/interpreter.h"
#include "core/numbers.h"

#include <QTime>

#include <cmath>
#include <limits>
#include <new>
#include <vector>

namespace tesmora {

namespace {

// A value list keeps at most this many words (message 45 beyond).
constexpr int kMaxValueListWords = 5501;

bool isEqualSign(const TWordStatus &w)
{
    return w.kind == wkOperator && w.text() == QLatin1String("=");
}

bool isEmptyWord(const TWordStatus &w)
{
    return w.kind == wkNone && w.text().isEmpty();
}

// The number a word carries: its number field, 1 or 0 for a truth value.
double numberOf(const TWordStatus &w)
{
    if (w.kind == wkBool)
        return w.bool_val ? 1.0 : 0.0;
    return w.float_val;
}

// The value of the dimension run words[from..to]: a lone numeric literal as
// written, anything else evaluated. False when the evaluation failed or
// stepped into a script function (the declaration then runs again).
bool dimensionRunValue(Interpreter &in, const WordList &words, int from, int to, double &value)
{
    if (from == to && words[from].kind == wkFloat) {
        value = words[from].float_val;
        return true;
    }
    TWordStatus r;
    const Interpreter::FunctionLevelWatch watch(in);
    in.EvaluateRange(words, from, to, r);
    if (in.failed() || watch.steppedIn())
        return false;
    value = numberOf(r);
    return true;
}

bool fitsInt32(std::int64_t v)
{
    return v >= std::numeric_limits<std::int32_t>::min() && v <= std::numeric_limits<std::int32_t>::max();
}

// Stores the value word `w` into cell `pos` of the block, by the array's type.
void storeCell(ArrayCells &cells, TWordKind type, std::int64_t pos, const TWordStatus &w)
{
    const auto p = static_cast<size_t>(pos);
    switch (type) {
    case wkString:
        if (p < cells.s.size())
            cells.s[p] = w.text();
        break;
    case wkInt: {
        std::int64_t v = 0;
        if (!RoundToInt64(numberOf(w), v))
            throw RuntimeFailure(QStringLiteral("The value %1 is too large for an integer.")
                                     .arg(FormatNumber(numberOf(w)))
                                     .toStdString());
        if (p < cells.i.size())
            cells.i[p] = v;
        break;
    }
    default:
        if (p < cells.f.size())
            cells.f[p] = numberOf(w);
        break;
    }
}

// A name of the form "tARR" + counter + "hhmmsszzz": "tARR" and at least ten digits.
bool looksGenerated(const QString &name)
{
    if (name.size() < 14)
        return false;
    for (qsizetype k = 4; k < name.size(); ++k)
        if (name.at(k) < QLatin1Char('0') || name.at(k) > QLatin1Char('9'))
            return false;
    return true;
}

bool isTemporaryName(const QString &name)
{
    // Checked after every line: most names fail on their first letter.
    if (name.size() < 4 || (name.at(0) != QLatin1Char('t') && name.at(0) != QLatin1Char('T')) ||
        compareArrayNames(QStringView(name).left(4), u"TARR") != 0)
        return false;
    return name.size() > 16 || looksGenerated(name);
}

// What a declaration's brackets say: the dimensions, with the index where
// "]" stands (-1 when it is missing).
struct DeclaredDimensions {
    std::array<std::int64_t, 4> sizes{};
    int count = 0;
    bool representable = true; // every bound and size fits the table's fields
    int closeIdx = -1;
};

// One dimension starting at words[i]: a size or a lo..hi range, entered
// into `rec` and `d`. Returns the index of the word after it (a "," or
// "]", or past the end), or -1 when a bound could not be evaluated.
int readDimension(Interpreter &in, const WordList &words, int i, t_arr_specification &rec,
                  DeclaredDimensions &d)
{
    const int end = indexRunEnd(words, i, true);
    double value = 0.0;
    if (!dimensionRunValue(in, words, i, end - 1, value))
        return -1;
    std::int64_t lo = 0;
    std::int64_t first = 0;
    std::int64_t dim = 0;
    int stop = end;
    if (end <= words.last && words[end].kind == wkDblDot) {
        const int hiEnd = indexRunEnd(words, end + 1, false);
        double hiValue = 0.0;
        if (!dimensionRunValue(in, words, end + 1, hiEnd - 1, hiValue))
            return -1;
        std::int64_t hi = 0;
        if (RoundToInt64(value, lo) && RoundToInt64(hiValue, hi) && fitsInt32(lo) && fitsInt32(hi)) {
            first = lo - 1;
            dim = hi - first;
        } else {
            d.representable = false;
        }
        stop = hiEnd;
    } else if (!RoundToInt64(value, dim)) {
        d.representable = false;
    }
    if (!fitsInt32(first) || !fitsInt32(dim))
        d.representable = false;
    const auto k = static_cast<size_t>(d.count);
    if (d.representable) {
        rec.first[k] = static_cast<std::int32_t>(first);
        rec.dim[k] = static_cast<std::int32_t>(dim);
    }
    d.sizes[k] = dim;
    ++d.count;
    return stop;
}

// The dimensions from words[3]: sizes or lo..hi ranges, separated by ","
// and ended by "]". False when the declaration stops (a message raised, or
// a bound stepped into a script function).
bool readDimensions(Interpreter &in, const WordList &words, t_arr_specification &rec, DeclaredDimensions &d)
{
    int i = 3;
    while (i <= words.last) {
        if (d.count == 4) {
            in.RaiseMessage(145);
            return false;
        }
        const int stop = readDimension(in, words, i, rec, d);
        if (stop < 0)
            return false;
        if (stop > words.last)
            break;
        if (words[stop].kind == wkClosingSquareBracket) {
            d.closeIdx = stop;
            break;
        }
        i = stop + 1;
    }
    return true;
}

// The element type named by the word after "]"; wkNone when there is none.
TWordKind declaredType(const WordList &words, int closeIdx)
{
    if (closeIdx < 0 || closeIdx + 1 > words.last)
        return wkNone;
    switch (words[closeIdx + 1].kind) {
    case wkIntegerDescription:
        return wkInt;
    case wkFloatDescription:
        return wkFloat;
    case wkStringDescription:
        return wkString;
    default:
        return wkNone;
    }
}

// The element count (0 when a dimension is below 1); false when it is more
// than one array may hold.
bool elementCount(const DeclaredDimensions &d, TWordKind type, std::int64_t &count)
{
    count = d.count > 0 ? 1 : 0;
    const std::int64_t maxCells = kMaxArrayBytes / cellBytes(type);
    bool fits = true;
    for (int k = 0; k < d.count; ++k) {
        const std::int64_t size = d.sizes[static_cast<size_t>(k)];
        if (size < 1) {
            count = 0;
            break;
        }
        if (count > maxCells / size)
            fits = false;
        else
            count *= size;
    }
    return fits;
}

// Reduces the words list[from..] of one element to its value when it is a
// variable, a function call or an expression (a lone literal stays as it
// is). False when the list stops.
bool reduceElement(Interpreter &in, const QString &listText, std::vector<TWordStatus> &list, int from)
{
    const int size = static_cast<int>(list.size()) - from;
    const TWordStatus *single = size == 1 ? &list[static_cast<size_t>(from)] : nullptr;
    if (!(size > 1 || (single && (single->kind == wkVariableName || isFunctionKind(single->kind)))))
        return true;
    if (size > kMaxWords) {
        in.RaiseMessage(45, {listText});
        return false;
    }
    WordList element;
    for (int k = from; k < static_cast<int>(list.size()); ++k)
        element[++element.last] = list[static_cast<size_t>(k)];
    in.RewritePowers(element, prPowerSign);
    if (!in.failed())
        in.RewritePowers(element, prRootSign);
    if (in.failed())
        return false;
    TWordStatus value;
    const Interpreter::FunctionLevelWatch watch(in);
    in.EvaluateWords(element, value);
    if (in.failed() || watch.steppedIn())
        return false;
    list.resize(static_cast<size_t>(from));
    list.push_back(value);
    return true;
}

// The words of a value list, each element reduced to one value word at its
// "," or ")". False when the list stops (a message raised, or an element
// stepped into a script function).
bool readValueList(Interpreter &in, const QString &listText, std::vector<TWordStatus> &list)
{
    int lastDelimiter = -1;
    int position = 1;
    const int len = static_cast<int>(listText.size());
    while (position <= len) {
        TWordStatus w;
        in.NextWord(listText, position, w);
        if (in.failed())
            return false;
        if (isEmptyWord(w))
            break;
        const bool closesElement = w.kind == wkComma || w.kind == wkClosingBracket;
        if (closesElement && !reduceElement(in, listText, list, lastDelimiter + 1))
            return false;
        if (static_cast<int>(list.size()) >= kMaxValueListWords) {
            in.RaiseMessage(45, {listText});
            return false;
        }
        list.push_back(w);
        if (closesElement || w.kind == wkOpeningBracket)
            lastDelimiter = static_cast<int>(list.size()) - 1;
    }
    return true;
}

// Fills the cells of `shape` from the value words in row-major order, one
// nesting level of brackets per dimension; false unless the list holds
// exactly `count` values in that shape.
bool fillCells(const t_arr_specification &shape, const std::vector<TWordStatus> &list)
{
    const int words = static_cast<int>(list.size());
    if (words == 0)
        return false;
    auto kindAt = [&](int k) { return k < words ? list[static_cast<size_t>(k)].kind : wkNone; };
    const int levels = shape.dimensions();
    ArrayCells &cells = *shape.P;
    int pos = 1; // the outer "(" is skipped
    std::int64_t flat = 0;
    bool ok = true;
    auto fillLevel = [&](auto &&self, int k) -> void {
        const int dim = shape.dim[static_cast<size_t>(k)];
        for (int idx = 1; idx <= dim && ok; ++idx) {
            if (k == levels - 1) {
                const TWordKind expected = idx < dim ? wkComma : wkClosingBracket;
                if (pos + 1 >= words || kindAt(pos + 1) != expected || flat >= shape.count) {
                    ok = false;
                    return;
                }
                storeCell(cells, shape.data_type, flat++, list[static_cast<size_t>(pos)]);
                pos += 2;
            } else {
                ++pos; // the group's "("
                self(self, k + 1);
                ++pos; // the "," or ")" after the group
            }
        }
    };
    fillLevel(fillLevel, 0);
    // Every word must be used.
    return ok && pos == words;
}

// The index runs after "name[": separated by "," at depth 1, ended by the
// matching "]". Returns the index of that "]", or -1 when it is missing.
struct IndexRun {
    int from;
    int to;
};
int readIndexRuns(const WordList &words, int nameIdx, std::vector<IndexRun> &runs)
{
    int runStart = nameIdx + 2;
    for (;;) {
        const int end = indexRunEnd(words, runStart, false);
        if (end > words.last)
            return -1;
        runs.push_back({runStart, end - 1});
        if (words[end].kind == wkClosingSquareBracket)
            return end;
        runStart = end + 1;
    }
}

// The value of one index run of array `name`. False when the reference
// cannot be read (a message raised, a script function entered in step mode
// so that the line runs again later, or an index without a value, which
// the statement reports).
bool indexValue(Interpreter &in, const WordList &words, IndexRun run, const QString &name, double &value)
{
    if (run.from > run.to) {
        in.RaiseMessage(153, {name});
        return false;
    }
    const TWordStatus &one = words[run.from];
    // A literal as written (a variable's value carries its var_index).
    if (run.from == run.to && one.kind == wkFloat && one.var_index == 0) {
        value = one.float_val;
        if (value != std::trunc(value)) {
            in.RaiseMessage(161, {name, one.text()});
            return false;
        }
        return true;
    }
    TWordStatus result;
    const Interpreter::FunctionLevelWatch watch(in);
    in.EvaluateRange(words, run.from, run.to, result);
    if (in.failed() || watch.steppedIn() || isEmptyWord(result))
        return false;
    value = numberOf(result);
    return true;
}

} // namespace

// ---- Declaration ------------------------------------------------------------

void Interpreter::DeclareArray(const WordList &words)
{
    if (Arrays.count() >= kMaxDeclaredArrays) {
        RaiseMessage(138, {kMaxDeclaredArrays});
        return;
    }
    if (words.last < 4) {
        RaiseMessage(139);
        return;
    }
    const TWordStatus &nameWord = words[1];
    if (nameWord.kind != wkArrayName && nameWord.kind != wkUnknownIdentifier) {
        RaiseMessage(141, {nameWord.text()});
        return;
    }
    const QString name = nameWord.text();
    if (words[2].kind != wkOpeningSquareBracket) {
        RaiseMessage(142, {name});
        return;
    }
    // Declaring an existing name replaces that array.
    if (const int old = FindArray(name); old > 0)
        Arrays.DeleteArray(old);
    Arrays.lastDeclaredName = name.toUpper();
    Arrays.lastDeclaredLevel = CurrentFunctionLevel;

    t_arr_specification rec;
    rec.name = name;
    DeclaredDimensions dims;
    if (!readDimensions(*this, words, rec, dims))
        return;
    const TWordKind type = declaredType(words, dims.closeIdx);
    if (type == wkNone) {
        RaiseMessage(144, {name});
        return;
    }
    std::int64_t count = 0;
    const bool fits = elementCount(dims, type, count);
    if (!dims.representable || !fits || Arrays.full()) {
        RaiseMessage(146, {name});
        return;
    }
    if (!Arrays.fitsBudget(type, count)) {
        RaiseMessage(359, {static_cast<qint64>(kMaxTotalArrayBytes / (1024 * 1024))});
        return;
    }
    try {
        rec.P = makeCells(type, count);
    } catch (const std::bad_alloc &) {
        RaiseMessage(146, {name});
        return;
    }
    rec.count = static_cast<std::int32_t>(count);
    rec.data_type = type;
    rec.function_level = CurrentFunctionLevel;
    rec.is_parameter_variable = false;
    Arrays.append(rec);
    const int n = Arrays.count();

    // The table is sorted whatever happens to the value list.
    try {
        const int after = dims.closeIdx + 2;
        if (after <= words.last) {
            if (!isEqualSign(words[after]))
                RaiseMessage(162);
            else
                LoadArrayValues(n, after + 1 <= words.last ? words[after + 1].text() : QString());
        }
    } catch (...) {
        Arrays.SortArrays();
        throw;
    }
    Arrays.SortArrays();
}

// ---- Value lists --------------------------------------------------------------

void Interpreter::LoadArrayValues(int n, const QString &listText)
{
    if (n < 1 || n > Arrays.count())
        return;
    // Keep the block and the shape: evaluating an element may change the table.
    const t_arr_specification shape = Arrays.at(n);
    if (!cellsReady(shape))
        return;
    std::vector<TWordStatus> list;
    if (!readValueList(*this, listText, list))
        return;
    // An array without elements takes only the empty list "()".
    if (shape.count <= 0) {
        if (!(list.size() == 2 && list[0].kind == wkOpeningBracket && list[1].kind == wkClosingBracket))
            RaiseMessage(155);
        return;
    }
    if (!fillCells(shape, list))
        RaiseMessage(155);
}

// ---- Element references ---------------------------------------------------------

bool Interpreter::LocateElement(const WordList &words, int nameIdx, int &flatPos, int &arrayNo, int &closeIdx)
{
    flatPos = 0;
    arrayNo = 0;
    closeIdx = nameIdx;
    if (nameIdx < 0 || nameIdx > words.last)
        return false;
    const QString name = words[nameIdx].text();
    if (nameIdx + 1 > words.last || words[nameIdx + 1].kind != wkOpeningSquareBracket) {
        RaiseMessage(151, {name});
        return false;
    }
    std::vector<IndexRun> runs;
    const int close = readIndexRuns(words, nameIdx, runs);
    if (close < 0) {
        RaiseMessage(47);
        return false;
    }

    std::array<std::int64_t, 4> index{};
    std::array<bool, 4> valid{};
    const int given = std::min<int>(static_cast<int>(runs.size()), 4);
    for (int r = 0; r < given; ++r) {
        double value = 0.0;
        if (!indexValue(*this, words, runs[static_cast<size_t>(r)], name, value))
            return false;
        valid[static_cast<size_t>(r)] = RoundToInt64(value, index[static_cast<size_t>(r)]);
    }
    if (runs.size() > 4) {
        RaiseMessage(153, {name});
        return false;
    }

    arrayNo = FindArray(name);
    if (arrayNo == 0) {
        RaiseMessage(147, {name});
        return false;
    }
    const t_arr_specification &a = Arrays.at(arrayNo);
    const std::int64_t position =
        a.count <= 0 || !cellsReady(a) ? -1 : elementPosition(a, index, valid, given);
    if (position < 0) {
        RaiseMessage(153, {name});
        return false;
    }
    flatPos = static_cast<int>(position);
    closeIdx = close;
    return true;
}

void Interpreter::AssignArrayElement(const WordList &words)
{
    int flat = 0;
    int no = 0;
    int close = 0;
    if (!LocateElement(words, 0, flat, no, close))
        return;
    const QString name = words[0].text();
    if (close + 1 > words.last || !isEqualSign(words[close + 1])) {
        RaiseMessage(152, {name});
        return;
    }
    if (close + 2 > words.last) {
        RaiseMessage(85);
        return;
    }
    TWordStatus value;
    const FunctionLevelWatch watch(*this);
    EvaluateRange(words, close + 2, words.last, value);
    // A script function stepped into: the value arrives when the line runs again.
    if (failed() || watch.steppedIn())
        return;
    if (isEmptyWord(value)) {
        RaiseMessage(85);
        return;
    }
    // The evaluation may have changed the table: find the array again.
    no = FindArray(name);
    if (no == 0) {
        RaiseMessage(147, {name});
        return;
    }
    t_arr_specification &a = Arrays.at(no);
    if (flat >= a.count || !cellsReady(a)) {
        RaiseMessage(153, {name});
        return;
    }
    storeCell(*a.P, a.data_type, flat, value);
    Arrays.lastAssignedArray = no;
}

namespace {

// The value word of cell `flat` of array `a`.
void readCell(const t_arr_specification &a, int flat, TWordStatus &v)
{
    switch (a.data_type) {
    case wkString:
        v.kind = wkString;
        v.setText(cellString(a, flat));
        break;
    case wkInt: {
        const std::int64_t x = cellInteger(a, flat);
        v.kind = wkInt;
        v.float_val = static_cast<double>(x);
        v.setText(QString::number(x));
        break;
    }
    default:
        v.kind = wkFloat;
        v.float_val = cellNumber(a, flat);
        v.setNumberText(v.float_val);
        break;
    }
}

} // namespace

void Interpreter::ReadArrayElement(WordList &words, int nameIdx)
{
    int flat = 0;
    int no = 0;
    int close = 0;
    if (!LocateElement(words, nameIdx, flat, no, close))
        return;
    TWordStatus v;
    // Running again after a RETURN, the line takes the element it read before.
    if (!LineValues.replay(v)) {
        readCell(Arrays.at(no), flat, v);
        LineValues.record(v);
    }
    const int removed = close - nameIdx;
    words[nameIdx] = v;
    for (int k = nameIdx + 1; k + removed <= words.last; ++k)
        words[k] = words[k + removed];
    for (int k = words.last - removed + 1; k <= words.last; ++k)
        words[k].clear();
    words.last -= removed;
}

// ---- Temporary arrays and array results -----------------------------------------

int Interpreter::CreateArrayFromText(const QString &declaration)
{
    WordList words;
    SplitWords(declaration, words);
    if (failed())
        return 0;
    DeclareArray(words);
    if (failed() || words.last < 1)
        return 0;
    return Arrays.FindArrayAtLevel(words[1].text(), CurrentFunctionLevel);
}

QString Interpreter::NewTemporaryArrayName()
{
    return QStringLiteral("tARR") + QString::number(++Arrays.temporaryCounter) +
           QTime::currentTime().toString(QStringLiteral("hhmmsszzz"));
}

void Interpreter::AssignArrayResult(const QString &targetName, const QString &sourceName)
{
    int source = Arrays.FindArrayAtLevel(sourceName, CurrentFunctionLevel);
    if (source == 0) {
        RaiseMessage(147, {sourceName});
        return;
    }
    int level = IsCallOwnName(targetName) ? CurrentFunctionLevel : 0;
    if (const int target = FindArray(targetName); target > 0) {
        level = Arrays.at(target).function_level;
        if (target != source) {
            Arrays.DeleteArray(target);
            if (target < source)
                --source;
        }
    }
    // The source array is moved, not copied.
    t_arr_specification &a = Arrays.at(source);
    a.name = targetName;
    a.function_level = level;
    Arrays.lastDeclaredName = targetName.toUpper();
    Arrays.lastDeclaredLevel = level;
    Arrays.SortArrays();
}

// ---- Script functions ---------------------------------------------------------------

void Interpreter::BindArrayParameter(const QString &formalName, const QString &actualName, bool byReference,
                                     const QString &functionName)
{
    const int callerLevel = CurrentFunctionLevel - 1;
    int actual = Arrays.FindArrayAtLevel(actualName, IsCallOwnName(actualName) ? callerLevel : 0);
    // An array that the calling function declared belongs to its level.
    if (actual == 0 && callerLevel > 0)
        actual = Arrays.FindArrayAtLevel(actualName, callerLevel);
    if (FindArray(formalName) > 0) {
        RaiseMessage(128, {functionName});
        return;
    }
    if (actual == 0) {
        RaiseMessage(147, {actualName});
        return;
    }
    if (Arrays.full()) {
        RaiseMessage(146, {formalName});
        return;
    }
    const t_arr_specification &src = Arrays.at(actual);
    t_arr_specification rec;
    rec.name = formalName;
    rec.dim = src.dim;
    rec.first = src.first;
    rec.count = src.count;
    rec.data_type = src.data_type;
    rec.function_level = CurrentFunctionLevel;
    rec.is_parameter_variable = byReference;
    if (!(byReference && src.P) && !Arrays.fitsBudget(src.data_type, src.count)) {
        RaiseMessage(359, {static_cast<qint64>(kMaxTotalArrayBytes / (1024 * 1024))});
        return;
    }
    try {
        if (byReference && src.P)
            rec.P = src.P; // shared: the caller's array owns the block
        else if (cellsReady(src))
            rec.P = std::make_shared<ArrayCells>(*src.P);
        else
            rec.P = makeCells(src.data_type, src.count);
    } catch (const std::bad_alloc &) {
        RaiseMessage(146, {formalName});
        return;
    }
    Arrays.append(rec);
    Arrays.SortArrays();
}

QString Interpreter::ReleaseFunctionArrays(const QString &returnedName)
{
    const int level = CurrentFunctionLevel;
    if (level < 1)
        return {};
    QString temporary;
    for (int n = Arrays.count(); n >= 1; --n) {
        t_arr_specification &a = Arrays.at(n);
        if (a.function_level != level)
            continue;
        if (temporary.isEmpty() && !returnedName.isEmpty() && sameArrayName(a.name, returnedName)) {
            // The returned array continues in the caller under a temporary
            // name. A returned by-reference parameter gets a block of its own,
            // so that it does not alias the caller's array.
            if (a.is_parameter_variable) {
                a.P = cellsReady(a) ? std::make_shared<ArrayCells>(*a.P) : makeCells(a.data_type, a.count);
                a.is_parameter_variable = false;
            }
            a.function_level = level - 1;
            a.name = NewTemporaryArrayName();
            temporary = a.name;
        } else {
            // A by-reference record only drops its share of the caller's block.
            Arrays.DeleteArray(n);
        }
    }
    if (!temporary.isEmpty())
        Arrays.SortArrays();
    return temporary;
}

// ---- Run support ---------------------------------------------------------------------

void Interpreter::DeleteTemporaryArrays(int fromLevel)
{
    // Called after every line: most lines leave the table as it was.
    if (!Arrays.mayHoldTemporaries())
        return;
    bool kept = false;
    for (int n = Arrays.count(); n >= 1; --n) {
        if (!isTemporaryName(Arrays.at(n).name))
            continue;
        if (Arrays.at(n).function_level >= fromLevel)
            Arrays.DeleteArray(n);
        else
            kept = true;
    }
    if (!kept)
        Arrays.noteNoTemporaries();
}

void Interpreter::ResetArrays()
{
    Arrays.clear();
    Arrays.lastDeclaredName.clear();
    Arrays.lastDeclaredLevel = 0;
    Arrays.lastAssignedArray = 0;
    if (cmdLineParams.isEmpty())
        return;
    // The parameters arrive as typed (quotes, commas and brackets included),
    // so the array is built directly, not from a declaration text. It
    // belongs to the main program.
    t_arr_specification rec;
    rec.name = QStringLiteral("cmdLineParams");
    rec.dim[0] = static_cast<std::int32_t>(cmdLineParams.size());
    rec.count = rec.dim[0];
    rec.data_type = wkString;
    rec.function_level = 0;
    rec.P = std::make_shared<ArrayCells>();
    rec.P->s = std::vector<QString>(cmdLineParams.cbegin(), cmdLineParams.cend());
    Arrays.append(std::move(rec));
    Arrays.SortArrays();
}

} // namespace tesmora
