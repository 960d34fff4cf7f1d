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

std::vector<IniValue> SettingsEdit::changedValues() const {
    const std::vector<IniValue> now = live_.iniValues();
    const std::vector<IniValue> before = opened_.iniValues();
    std::vector<IniValue> changed;
    for (std::size_t i = 0; i < now.size(); ++i) {
        if (now[i].value != before[i].value) changed.push_back(now[i]);
    }
    return changed;
}

}  // namespace lumenvik
