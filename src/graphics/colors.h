// Colours as scripts write them: 24-bit integers $00BBGGRR (red in the low byte).
#pragma once

#include <QColor>
#include <cstdint>

namespace tesmora {

QColor colorFromScript(std::int64_t bgr);
std::int64_t colorToScript(const QColor &c);

} // namespace tesmora
