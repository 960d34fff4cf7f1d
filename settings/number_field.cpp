#include "settings/number_field.h"

#include <limits>

namespace lumenvik {

int32_t numberFieldValue(const std::string& text) {
    constexpr int64_t kLargest = std::numeric_limits<int32_t>::max();
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        // Saturate once past the largest setting so any number of digits
        // (leading zeros included) is read without overflow.
        value = value * 10 + (text[i] - '0');
        if (value > kLargest) return static_cast<int32_t>(kLargest);
    }
    return static_cast<int32_t>(value);
}

}  // namespace lumenvik
