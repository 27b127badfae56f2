#include "colors.h"

namespace tesmora {

QColor colorFromScript(std::int64_t bgr)
{
    const auto v = static_cast<std::uint32_t>(bgr) & 0xFFFFFFu;
    return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF),
                  static_cast<int>((v >> 16) & 0xFF));
}

std::int64_t colorToScript(const QColor &c)
{
    return static_cast<std::int64_t>(c.red()) | (static_cast<std::int64_t>(c.green()) << 8) |
           (static_cast<std::int64_t>(c.blue()) << 16);
}

} // namespace tesmora
