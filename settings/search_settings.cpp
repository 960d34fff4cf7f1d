#include "settings/search_settings.h"

#include <cstdio>

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
    if (store == nullptr || !store->fileExists(file)) return false;
    transfer(file, Direction::reading);
    readValue(file, kOptions, "searchCopiedText", searchCopiedText);
    hotKey = store->readString(file, kOptions, "hotKey");
    return true;
}

bool SearchSettings::save(const std::string& path) {
    if (store == nullptr) return false;
    // A write that fails (read-only file, missing folder) makes the result
    // false; the record keeps its values and no message is shown here.
    return transfer(path.empty() ? lastFileName : path, Direction::writing);
}

bool SearchSettings::transfer(const std::string& path, Direction direction) {
    bool written = true;
    for (const KeySlot& slot : kSlots) {
        if (direction == Direction::reading) {
            readValue(path, slot.section, slot.key, this->*slot.field);
        } else if (!writeValue(path, slot.section, slot.key, this->*slot.field)) {
            written = false;
        }
    }
    return written;
}

void SearchSettings::readValue(const std::string& path, const char* section, const char* key,
                               int32_t& field) {
    if (store == nullptr) return;
    // The current value is the fallback: a missing key leaves the field alone.
    field = store->readInt(path, section, key, field);
}

bool SearchSettings::writeValue(const std::string& path, const char* section, const char* key,
                                int32_t value) {
    if (store == nullptr) return false;
    char text[1024];
    std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
    return store->writeString(path, section, key, text);
}

}  // namespace lumenvik
