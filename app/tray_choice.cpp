#include "app/tray_choice.h"

#include "resources/resource.h"

namespace lumenvik {

std::optional<IniValue> applyTrayOption(int id, SearchSettings& settings) {
    switch (id) {
        case ID_TRAY_WEB_ALL:
            settings.japanLocal = 0;
            return settings.iniValue(&SearchSettings::japanLocal);
        case ID_TRAY_JAPANESE_PAGES:
            settings.japanLocal = 1;
            return settings.iniValue(&SearchSettings::japanLocal);
        case ID_TRAY_GOOGLE_START:
            settings.googleStart = settings.googleStart == 0 ? 1 : 0;
            return settings.iniValue(&SearchSettings::googleStart);
        default:
            return std::nullopt;
    }
}

}  // namespace lumenvik
