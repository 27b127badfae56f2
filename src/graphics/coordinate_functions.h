// The helpers of SetCoordinateSystem that other parts use or test on their own.
#pragma once

#include "graphics_executor.h"

#include <QString>

namespace tesmora {

// A step for axes and grids giving between 5 and 13 intervals over `range`
// shown on `pixels`; 0 when there is none.
double GridStep(int pixels, double range);
// An axis label: general form with 7 significant digits and the system
// decimal separator; the scientific form has at least three exponent digits.
QString AxisLabelText(double value);

} // namespace tesmora
