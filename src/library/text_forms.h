// Text forms of numbers, truth values and arrays shown to the user.
#pragma once

#include "arrays.h"

#include <QString>

namespace tesmora {

// The fixed-width number text: 9 decimals cut to `width` characters with
// trailing zeros blanked for ordinary magnitudes, otherwise 5 significant
// digits (exponent with at least three digits); left-padded to `width`.
QString NumText(int width, double x);
// "true" or "false".
QString BoolText(bool flag);
// One line: ((1,2)(3,4)) for a [2,2] array, cut with "..." past 200 characters.
QString ArrayShortText(const t_arr_specification &array);
// The multi-line listing with its header. `language` 0 English, 1 Russian
// (the header's words).
QString ArrayListing(const t_arr_specification &array, int language);

} // namespace tesmora
