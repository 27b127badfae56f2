#include "text_forms.h"

namespace tesmora {

QString NumText(int width, double x) { (void)width; (void)x; return {}; }
QString BoolText(bool flag) { return flag ? QStringLiteral("true") : QStringLiteral("false"); }
QString ArrayShortText(const t_arr_specification &array) { (void)array; return {}; }
QString ArrayListing(const t_arr_specification &array, int language) { (void)array; (void)language; return {}; }

} // namespace tesmora
