#include "WinColor.h"

namespace lumora {

QColor QColorFromColorRef(uint32_t colorRef)
{
    return QColor(static_cast<int>(colorRef & 0xFF), static_cast<int>((colorRef >> 8) & 0xFF),
                  static_cast<int>((colorRef >> 16) & 0xFF));
}

uint32_t ColorRefFromQColor(const QColor& color)
{
    const QColor rgb = color.toRgb();
    return static_cast<uint32_t>(rgb.red()) | (static_cast<uint32_t>(rgb.green()) << 8) |
           (static_cast<uint32_t>(rgb.blue()) << 16);
}

}  // namespace lumora
