// Text forms of numbers, truth values and arrays shown to the user.
#pragma once

#include "arrays.h"

#include <QString>

namespace tesmora {

QString NumText(int width, double x);
QString BoolText(bool flag);
QString ArrayShortText(const t_arr_specification &array);
// `language` 0 English, 1 Russian (the header's words).
QString ArrayListing(const t_arr_specification &array, int language);

} // namespace tesmora
