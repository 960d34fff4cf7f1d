#include "app/display_scale.h"

#include <cstdint>

namespace lumenvik {

int scaleForDpi(int value, int toDpi, int fromDpi) {
    if (toDpi <= 0 || fromDpi <= 0) return value;
    const int64_t product = static_cast<int64_t>(value) * toDpi;
    const int64_t half = fromDpi / 2;
    return static_cast<int>(product >= 0 ? (product + half) / fromDpi
                                         : -((-product + half) / fromDpi));
}

int iconSizeForDpi(int systemSize, int systemDpi, int dpi) {
    return scaleForDpi(systemSize, dpi, systemDpi);
}

ScreenPoint centredIn(const WorkArea& area, int width, int height) {
    int x = (area.left + area.right) / 2 - width / 2;
    int y = (area.top + area.bottom) / 2 - height / 2;
    if (x < area.left) {
        x = area.left;
    } else if (x + width > area.right) {
        x = area.right - width;
    }
    if (y < area.top) {
        y = area.top;
    } else if (y + height > area.bottom) {
        y = area.bottom - height;
    }
    return ScreenPoint{x, y};
}

}  // namespace lumenvik
