// JavaScript-backed functions: the source text of a call and its result.
#pragma once

#include "core/words.h"

#include <QString>

namespace tesmora {

// The text to evaluate for a call of row `row` of the JavaScript table.
QString BuildJavaScriptCall(int row, const WordList &args);

} // namespace tesmora
