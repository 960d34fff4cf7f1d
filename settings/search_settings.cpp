#include "settings/search_settings.h"

#include <cstdio>

#include "settings/ini_scan.h"

namespace lumenvik {

namespace {

const char kKeyData[] = "KeyData";
const char kOtherInfo[] = "otherInfo";
const char kOptions[] = "Options";

// The file's keys in their fixed order, mapped onto the nine fields.
struct KeySlot {
    const char* section;
    const char* key;
    int32_t SearchSettings::*field;
};

const KeySlot kSlots[] = {
    {kKeyData, "mode_prior", &SearchSettings::mode_prior},
    {kKeyData, "mode_next", &SearchSettings::mode_next},
    {kKeyData, "history_prior", &SearchSettings::history_prior},
    {kKeyData, "history_next", &SearchSettings::history_next},
    {kKeyData, "showWindowKey", &SearchSettings::showWindowKey},
    {kOtherInfo, "keyInterval", &SearchSettings::keyInterval},
    {kOtherInfo, "historySize", &SearchSettings::historySize},
    {kOtherInfo, "googleStart", &SearchSettings::googleStart},
    {kOtherInfo, "japanLocal", &SearchSettings::japanLocal},
};

}  // namespace

SearchSettings::SearchSettings() : defaultFileName("./lumenvik.ini") { setDefaults(); }

SearchSettings::SearchSettings(ProfileStore& s, const std::string& path) : SearchSettings() {
    store = &s;
    load(path);
}

void SearchSettings::setDefaults() {
    mode_prior = 0x21;     // Page Up
    mode_next = 0x22;      // Page Down
    history_prior = 0x26;  // Up
    history_next = 0x28;   // Down
    showWindowKey = 0x11;  // Ctrl
    keyInterval = 500;
    historySize = 100;
    googleStart = 1;
    japanLocal = 1;
}

bool SearchSettings::load(const std::string& path) {
    const std::string file = path.empty() ? defaultFileName : path;
    lastFileName = file;
    if (!reloadValues()) return false;
    readValue(file, kOptions, "searchCopiedText", searchCopiedText);
    hotKey = store->readString(file, kOptions, "hotKey");
    readValue(file, kOptions, "keepHistory", keepHistory);
    return true;
}

bool SearchSettings::reloadValues() {
    const std::string& file = lastFileName;
    if (store == nullptr || !store->fileExists(file)) return false;
    for (const KeySlot& slot : kSlots) readValue(file, slot.section, slot.key, this->*slot.field);
    const std::string where = store->readString(file, kOptions, "showOn");
    const std::optional<ShowOn> parsed = parseShowOn(where);
    showOn = parsed.value_or(ShowOn::primary);
    showOnProblem = parsed ? std::string() : where;
    return true;
}

bool SearchSettings::save(const std::string& path, uint32_t* error) {
    uint32_t reason = 0;
    const bool saved = store != nullptr &&
                       store->writeValues(path.empty() ? lastFileName : path, iniValues(), reason);
    if (error != nullptr) *error = reason;
    return saved;
}

bool SearchSettings::saveValues(const std::vector<IniValue>& values, uint32_t* error) {
    uint32_t reason = 0;
    const bool saved =
        values.empty() || (store != nullptr && store->writeValues(lastFileName, values, reason));
    if (error != nullptr) *error = reason;
    return saved;
}

void SearchSettings::readValue(const std::string& path, const char* section, const char* key,
                               int32_t& field) {
    if (store == nullptr) return;
    // The current value is the fallback: a missing key leaves the field alone.
    field = store->readInt(path, section, key, field);
}

IniValue SearchSettings::showOnValue() const { return {kOptions, "showOn", showOnName(showOn)}; }

IniValue SearchSettings::iniValue(const int32_t SearchSettings::*field) const {
    for (const KeySlot& slot : kSlots) {
        if (slot.field != field) continue;
        char text[16];
        std::snprintf(text, sizeof text, "%d", static_cast<int>(this->*slot.field));
        return {slot.section, slot.key, text};
    }
    return {};
}

std::vector<IniValue> SearchSettings::iniValues() const {
    std::vector<IniValue> values;
    for (const KeySlot& slot : kSlots) values.push_back(iniValue(slot.field));
    return values;
}

}  // namespace lumenvik

namespace lumenvik {

bool holdsSettingsSections(const std::string& bytes) {
    if (bytes.size() >= 2 && ((bytes[0] == '\xFF' && bytes[1] == '\xFE') ||
                              (bytes[0] == '\xFE' && bytes[1] == '\xFF'))) {
        return true;
    }
    const std::size_t start = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    ini::Lines<std::string> lines(bytes, start);
    ini::Line line;
    while (lines.next(line)) {
        if (line.kind == ini::LineKind::section && (ini::sameName(bytes, line.name, kKeyData) ||
                                                    ini::sameName(bytes, line.name, kOtherInfo))) {
            return true;
        }
    }
    return false;
}

}  // namespace lumenvik
