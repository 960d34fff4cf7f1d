#include "settings/settings_edit.h"

namespace lumenvik {

void copySettingValues(const SearchSettings& from, SearchSettings& to) {
    to.mode_prior = from.mode_prior;
    to.mode_next = from.mode_next;
    to.history_prior = from.history_prior;
    to.history_next = from.history_next;
    to.showWindowKey = from.showWindowKey;
    to.keyInterval = from.keyInterval;
    to.historySize = from.historySize;
    to.googleStart = from.googleStart;
    to.japanLocal = from.japanLocal;
}

}  // namespace lumenvik
