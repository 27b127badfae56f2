// The four function description tables (built-in, JavaScript-backed,
// graphics, dialog) and the one name lookup that serves them all.
#pragma once

#include "ports/words.h"

#include <QString>

#include <algorithm>
#include <string_view>
#include <cstdint>
#include <initializer_list>
#include <span>

namespace tesmora {

enum fType : std::uint8_t {
    fNone,
    fMath,
    fStr,
    fDateTime,
    fFile,
    fArr,
    fDialog,
    fMatrix,
    fGraph,
    fMisc,
    fBrowser,
    fArduino,
    fComPort,
};

// A set of categories, stored in two bytes.
class fTypes {
  public:
    constexpr fTypes() = default;
    constexpr fTypes(std::initializer_list<fType> types)
    {
        for (fType t : types)
            bits_ = static_cast<std::uint16_t>(bits_ | (1u << t));
    }
    constexpr bool contains(fType t) const { return (bits_ >> t) & 1u; }
    constexpr bool isEmpty() const { return bits_ == 0; }
    constexpr std::uint16_t bits() const { return bits_; }

  private:
    std::uint16_t bits_ = 0;
};
static_assert(sizeof(fTypes) == 2);

enum TJSF_obj : std::uint8_t { jso_None, jso_Str, jso_String, jso_Date, jso_Math, jso_RE };

struct T_FunctionDescription {
    const char16_t *ReturnType = u"";
    TJSF_obj Obj = jso_None;
    const char16_t *Formula = u"";
    const char16_t *Description[2] = {u"", u""};
    const char16_t *Sinonim = u"";
    fTypes Types;

    QString formula() const { return QString::fromUtf16(Formula); }
    QString sinonim() const { return QString::fromUtf16(Sinonim); }
    QString returnType() const { return QString::fromUtf16(ReturnType); }
    // The Formula's text before "(" (the catalogue spelling of the name).
    QString name() const;
    // The same without making a text.
    std::u16string_view nameView() const
    {
        const std::u16string_view f(Formula);
        return f.substr(0, std::min(f.find(u'('), f.size()));
    }
};

enum class FunctionTable { Embedded, JavaScript, Graph, Dialog };

std::span<const T_FunctionDescription> functionTable(FunctionTable table);
// The table that serves a function word kind (17, 18, 19, 22); Embedded otherwise.
FunctionTable tableForKind(TWordKind kind);

constexpr int kSynonymOffset = 10000;
// Row of `name` in `table`: row + 10000 for a synonym match, the row for a
// Formula-prefix match, -1 when nothing matches.
int FindCatalogueFunction(FunctionTable table, const QString &name);
// Row whose Formula name is `name` (letter case ignored, synonyms not
// considered), or -1.
int FindFormulaName(FunctionTable table, const QString &name);
// Row number without the synonym offset (-1 stays -1).
inline int catalogueRow(int lookupResult)
{
    return lookupResult >= kSynonymOffset ? lookupResult - kSynonymOffset : lookupResult;
}

} // namespace tesmora
