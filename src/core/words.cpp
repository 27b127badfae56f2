#include "ports/words.h"

namespace tesmora {

const char *wordKindName(TWordKind k)
{
    static const char *const names[] = {
        "wkNone",
        "wkString",
        "wkStringDQ",
        "wkFloat",
        "wkInt",
        "wkBool",
        "wkConst",
        "wkColor",
        "wkMouseEvent",
        "wkOperator",
        "wkOpeningBracket",
        "wkClosingBracket",
        "wkOpeningSquareBracket",
        "wkClosingSquareBracket",
        "wkComma",
        "wkDblDot",
        "wkVariableName",
        "wkEmbeddedFunction",
        "wkGraphFunction",
        "wkDialogFunction",
        "wkScriptFunction",
        "wkVBSFunction",
        "wkJS_Function",
        "wkFor",
        "wkRepeat",
        "wkBreak",
        "wkBreakIf",
        "wkContinue",
        "wkContinueIf",
        "wkIf",
        "wkElse",
        "wkReturn",
        "wkFunction",
        "wkArrayDescription",
        "wkArrayName",
        "wkArrayInitValues",
        "wkIntegerDescription",
        "wkFloatDescription",
        "wkDatetimeDescription",
        "wkStringDescription",
        "wkTry",
        "wkStop",
        "wkUnknownIdentifier",
    };
    static_assert(std::size(names) == 43);
    return names[ord(k)];
}

} // namespace tesmora
