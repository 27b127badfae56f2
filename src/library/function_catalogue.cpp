#include "function_catalogue.h"

#include "builtin_families.h"
#include "function_help.h"
#include "core/brackets.h"

namespace tesmora {

namespace {

bool isStop(QChar c)
{
    return c == QLatin1Char(')') || c == QLatin1Char(',') || c == QLatin1Char('=') || c == QLatin1Char('[') ||
           c == QLatin1Char(']');
}

// Skips a default value (shown only in help; may be quoted) starting at p.
int skipDefault(const QString &list, int p)
{
    const int end = indexOutsideQuotes(list, p, u",[]");
    return end < 0 ? static_cast<int>(list.size()) : end;
}

// Reads one formal parameter of the list from p; returns the position after it.
int readFormal(const QString &list, int p, FormalParameter &f)
{
    const int n = static_cast<int>(list.size());
    if (list.mid(p, 4).compare(QLatin1String("var "), Qt::CaseInsensitive) == 0) {
        f.byReference = true;
        p += 4;
    }
    const int name0 = p;
    while (p < n && list.at(p) != QLatin1Char(':') && !isStop(list.at(p)))
        ++p;
    f.name = list.mid(name0, p - name0).trimmed();
    if (p < n && list.at(p) == QLatin1Char(':')) {
        const int t0 = ++p;
        while (p < n && !isStop(list.at(p)))
            ++p;
        f.type = list.mid(t0, p - t0).trimmed().toLower();
    }
    if (p < n && list.at(p) == QLatin1Char('='))
        p = skipDefault(list, p + 1);
    if (f.type.isEmpty())
        f.type = QStringLiteral("anytype");
    return p;
}

// The formal parameters of the text between the brackets; false at the
// first type that is not valid.
bool readFormals(const QString &list, FunctionSignature &s)
{
    s.required = -1;
    int p = 0;
    const int n = static_cast<int>(list.size());
    while (p < n) {
        const QChar c = list.at(p);
        if (c == QLatin1Char(' ') || c == QLatin1Char(',') || c == QLatin1Char(']')) {
            ++p;
            continue;
        }
        if (c == QLatin1Char('[')) {
            if (s.required < 0)
                s.required = static_cast<int>(s.formals.size());
            ++p;
            continue;
        }
        FormalParameter f;
        p = readFormal(list, p, f);
        if (!isValidParameterType(f.type))
            return false;
        f.optional = s.required >= 0;
        s.formals.append(f);
    }
    if (s.required < 0)
        s.required = static_cast<int>(s.formals.size());
    return true;
}

// Rows that a name alone sets apart from the call protocol's rule.
struct FlaggedRow {
    FunctionTable table;
    const char *name;
    RowFlag flag;
};
constexpr FlaggedRow kFlaggedRows[] = {
    {FunctionTable::Embedded, "Exists", rfArgumentsByName},
    {FunctionTable::Embedded, "Array_Delete", rfArgumentsByName},
    {FunctionTable::Graph, "Introduction3", rfHelpOnly},
};

} // namespace

bool isValidParameterType(const QString &t)
{
    return t == QLatin1String("anytype") || t == QLatin1String("int") || t == QLatin1String("float") ||
           t == QLatin1String("boolean") || t == QLatin1String("string") || t == QLatin1String("array");
}

FunctionSignature ParseFormula(const QString &formula)
{
    FunctionSignature s;
    const int open = static_cast<int>(formula.indexOf(QLatin1Char('(')));
    s.name = open < 0 ? formula : formula.left(open);
    s.closed = formula.contains(QLatin1Char(')'));
    if (!s.closed || open < 0)
        return s;
    // The first ")" outside quotes: a formula's list does not nest brackets.
    const int close = indexOutsideQuotes(formula, open + 1, u")");
    if (!readFormals(formula.mid(open + 1, close - open - 1), s)) {
        s.validTypes = false;
        return s;
    }
    if (close < 0)
        return s;
    const QString rest = formula.mid(close + 1).trimmed();
    if (rest.startsWith(QLatin1Char(':'))) {
        s.returnType = rest.mid(1).trimmed().toLower();
        if (s.returnType.isEmpty())
            s.returnType = QStringLiteral("anytype");
        s.validTypes = isValidParameterType(s.returnType);
    }
    return s;
}

FunctionCatalogue::FunctionCatalogue(FunctionTable table) : table_(table)
{
    const auto rows = functionTable(table);
    rows_.resize(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        FunctionDescriptor &d = rows_[i];
        d.table = table;
        d.row = static_cast<int>(i);
        d.description = &rows[i];
        d.signature = ParseFormula(rows[i].formula());
    }
    attachHelp();
    attachFlags();
}

void FunctionCatalogue::attachHelp()
{
    for (const FunctionHelp &h : allFunctionHelp()) {
        if (h.table != table_)
            continue;
        const int row = rowOfName(h.name);
        FunctionDescriptor *d = row < 0 ? nullptr : &rows_[static_cast<size_t>(row)];
        if (!d || !d->help[0].isEmpty()) {
            strayHelp_ << h.name;
            continue;
        }
        d->help[0] = h.text[0];
        d->help[1] = h.text[1];
    }
}

void FunctionCatalogue::attachFlags()
{
    for (const FlaggedRow &f : kFlaggedRows) {
        const int row = f.table == table_ ? rowOfName(QString::fromLatin1(f.name)) : -1;
        if (row >= 0)
            rows_[static_cast<size_t>(row)].flags |= f.flag;
    }
}

const FunctionDescriptor *FunctionCatalogue::find(const QString &name) const
{
    const int row = catalogueRow(FindCatalogueFunction(table_, name));
    return row < 0 || row >= size() ? nullptr : &rows_[static_cast<size_t>(row)];
}

int FunctionCatalogue::rowOfName(const QString &name) const
{
    return FindFormulaName(table_, name);
}

const FunctionCatalogue &functionCatalogue(FunctionTable table)
{
    static const FunctionCatalogue catalogues[4] = {
        FunctionCatalogue(FunctionTable::Embedded),
        FunctionCatalogue(FunctionTable::JavaScript),
        FunctionCatalogue(FunctionTable::Graph),
        FunctionCatalogue(FunctionTable::Dialog),
    };
    return catalogues[static_cast<int>(table)];
}

bool TakesArgumentsByName(const QString &calledName)
{
    const FunctionCatalogue &builtins = functionCatalogue(FunctionTable::Embedded);
    const int row = builtins.rowOfName(calledName);
    return row >= 0 && builtins.at(row).has(rfArgumentsByName);
}

} // namespace tesmora
