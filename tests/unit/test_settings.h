// A settings record with the usual keys (Page Up/Down for the modes, the
// arrows for the history, Ctrl to show) for the tests that take one.
#pragma once

#include <cstdint>

#include "settings/search_settings.h"

namespace lumenvik {

inline SearchSettings testSettings(int32_t historySize = 100, int32_t japanLocal = 1) {
    SearchSettings s{};
    s.mode_prior = 0x21;
    s.mode_next = 0x22;
    s.history_prior = 0x26;
    s.history_next = 0x28;
    s.showWindowKey = 0x11;
    s.keyInterval = 500;
    s.historySize = historySize;
    s.googleStart = 1;
    s.japanLocal = japanLocal;
    return s;
}

}  // namespace lumenvik
