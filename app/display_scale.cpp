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

}  // namespace lumenvik
