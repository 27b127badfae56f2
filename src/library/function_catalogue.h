// The rows of the four function description tables as the interpreter uses
// them: each Formula parsed once into its formal parameters, with the row's
// help texts and flags attached by name, and the registries that attach an
// implementation to every row of a table.
#pragma once

#include "function_tables.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace tesmora {

// One formal parameter of a Formula, e.g. "var Status:int" or "[,Col:int=1".
struct FormalParameter {
    QString name;
    QString type;             // lower case; "anytype" when the Formula names none
    bool optional = false;    // after the opening "["
    bool byReference = false; // "var " before the name: needs a variable
    bool isArray() const { return type == QLatin1String("array"); }
};

// A Formula read once: NAME "(" formals ")" [":" return type].
struct FunctionSignature {
    QString name;        // the text before "(": the catalogue spelling
    bool closed = false; // the Formula has its ")"
    // Every type, the return type included, is one of the valid types.
    bool validTypes = true;
    QList<FormalParameter> formals;
    int required = 0;   // formals before the first "["
    QString returnType; // lower case; empty when the Formula gives none
};
FunctionSignature ParseFormula(const QString &formula);
// "anytype", "int", "float", "boolean", "string" or "array".
bool isValidParameterType(const QString &type);

// What sets a row apart from the ordinary call protocol.
enum RowFlag : std::uint8_t {
    // Called by its own name, the arguments are single names passed as they
    // stand (variables, arrays, unknown names) and the call is not checked
    // against the Formula (Exists, Array_Delete).
    rfArgumentsByName = 1,
    // A row of the help only: no function stands behind it (Introduction3).
    rfHelpOnly = 2,
};

// One row of a table as the interpreter and the help use it.
struct FunctionDescriptor {
    FunctionTable table = FunctionTable::Embedded;
    int row = -1;
    const T_FunctionDescription *description = nullptr;
    FunctionSignature signature;
    QString help[2]; // English, Russian; lines separated by CR LF
    std::uint8_t flags = 0;

    bool isEmpty() const { return signature.name.isEmpty(); }
    bool has(RowFlag f) const { return (flags & f) != 0; }
    const QString &name() const { return signature.name; }
};

// The descriptors of one table, in row order, built once.
class FunctionCatalogue {
  public:
    explicit FunctionCatalogue(FunctionTable table);

    FunctionTable table() const { return table_; }
    int size() const { return static_cast<int>(rows_.size()); }
    const FunctionDescriptor &at(int row) const { return rows_[static_cast<size_t>(row)]; }
    const std::vector<FunctionDescriptor> &rows() const { return rows_; }
    // The row found the way every call finds it (synonyms first, then the
    // Formula names), or null.
    const FunctionDescriptor *find(const QString &name) const;
    // The row whose Formula name is `name` (letter case ignored); synonyms do
    // not count. -1 when there is none.
    int rowOfName(const QString &name) const;
    // Help texts whose name is no row of this table, or that name a row a
    // second time.
    const QStringList &strayHelp() const { return strayHelp_; }

  private:
    void attachHelp();
    void attachFlags();

    FunctionTable table_;
    std::vector<FunctionDescriptor> rows_;
    QStringList strayHelp_;
};

const FunctionCatalogue &functionCatalogue(FunctionTable table);

// True when `calledName`, as written in the call, is the Formula name of a
// built-in row flagged rfArgumentsByName. Under a synonym such a row is
// called like any other.
bool TakesArgumentsByName(const QString &calledName);

// The implementations of one table's rows, attached by catalogue name. Each
// executor keeps one: the built-in functions, the graphics functions and the
// dialog functions (the JavaScript-backed rows build their calls from the row).
template <typename Implementation> class FunctionRegistry {
  public:
    explicit FunctionRegistry(FunctionTable table)
        : catalogue_(functionCatalogue(table)), implementations_(static_cast<size_t>(catalogue_.size()))
    {
    }

    // Attaches `fn` to the row whose Formula name is `name`. A name that is
    // no row, or a row given twice, is kept in misnamed().
    void add(const char *name, Implementation fn)
    {
        const int row = catalogue_.rowOfName(QString::fromLatin1(name));
        if (row < 0 || implementations_[static_cast<size_t>(row)]) {
            misnamed_ << QString::fromLatin1(name);
            return;
        }
        implementations_[static_cast<size_t>(row)] = fn;
    }
    // The implementation of the row named `name` (its Formula name), or null.
    Implementation find(const QString &name) const
    {
        const int row = catalogue_.rowOfName(name);
        return row < 0 ? Implementation{} : implementations_[static_cast<size_t>(row)];
    }
    Implementation at(int row) const { return implementations_[static_cast<size_t>(row)]; }
    const FunctionCatalogue &catalogue() const { return catalogue_; }
    const QStringList &misnamed() const { return misnamed_; }
    // Names of the non-empty rows without an implementation (help-only rows
    // excepted).
    QStringList unimplemented() const
    {
        QStringList names;
        for (const FunctionDescriptor &d : catalogue_.rows())
            if (!d.isEmpty() && !d.has(rfHelpOnly) && !implementations_[static_cast<size_t>(d.row)])
                names << d.name();
        return names;
    }

  private:
    const FunctionCatalogue &catalogue_;
    std::vector<Implementation> implementations_;
    QStringList misnamed_;
};

} // namespace tesmora
