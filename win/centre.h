#pragma once
// Where a window goes to be centred in an area. Plain arithmetic, no Win32:
// the native tests check it.

namespace lumenvik::win {

// The start, along one axis, of a span `size` long centred in the area from
// `low` to `high`. A span that would then stick out over an edge is pushed
// back inside, and one longer than the area starts at `low`.
constexpr int centredStart(int low, int high, int size) {
    int start = (low + high) / 2 - size / 2;
    if (start + size > high) start = high - size;
    if (start < low) start = low;
    return start;
}

}  // namespace lumenvik::win
