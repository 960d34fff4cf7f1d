// The settings record over an arbitrary settings file (IniTextStore reads
// and writes INI text the way the platform's profile functions do):
// - loading never crashes, and each of the nine values is the platform's
//   integer reading of its key, or the default when the key is missing;
// - saving any nine values and loading again gives back those nine values;
// - saving leaves every other key of the file as it was;
// - a save to a file that cannot be written reports failure, changes
//   neither the file nor the record.
// All of it holds for both ways of writing: the platform's (the whole file
// written anew) and the program's own one-line edits (settings/ini_edit.h).
//
// Input layout: the whole input is the file's text; its first 36 bytes (or
// fewer, repeated) also give the nine values saved.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "settings/search_settings.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/fuzz/ini_text_store.h"

using lumenvik::SearchSettings;

namespace {

const char* const kPath = "./lumenvik.ini";

struct slot {
    const char* section;
    const char* key;
    int32_t SearchSettings::*field;
};
const slot kSlots[9] = {
    {"KeyData", "mode_prior", &SearchSettings::mode_prior},
    {"KeyData", "mode_next", &SearchSettings::mode_next},
    {"KeyData", "history_prior", &SearchSettings::history_prior},
    {"KeyData", "history_next", &SearchSettings::history_next},
    {"KeyData", "showWindowKey", &SearchSettings::showWindowKey},
    {"otherInfo", "keyInterval", &SearchSettings::keyInterval},
    {"otherInfo", "historySize", &SearchSettings::historySize},
    {"otherInfo", "googleStart", &SearchSettings::googleStart},
    {"otherInfo", "japanLocal", &SearchSettings::japanLocal},
};

std::vector<int32_t> values(const SearchSettings& s) {
    std::vector<int32_t> v;
    for (const slot& k : kSlots) v.push_back(s.*k.field);
    return v;
}

bool one_of_the_nine(const std::string& section, const std::string& key) {
    using fuzz::IniTextStore;
    for (const slot& k : kSlots) {
        IniTextStore::Section s;
        s.named = true;
        s.name = section;
        s.keys.push_back({key, true, "x"});
        if (IniTextStore::find({s}, k.section, k.key) != nullptr) return true;
    }
    return false;
}

void check(const std::uint8_t* data, std::size_t size, bool lineEdits) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    fuzz::IniTextStore store;
    store.lineEdits = lineEdits;
    store.files[kPath] = text;

    SearchSettings loaded(store, "");
    const SearchSettings defaults;
    for (const slot& k : kSlots) {
        FUZZ_CHECK(loaded.*k.field == store.readInt(kPath, k.section, k.key, defaults.*k.field));
    }

    SearchSettings changed = loaded;
    for (std::size_t i = 0; i < 9 && size > 0; ++i) {
        uint32_t v = 0;
        for (std::size_t b = 0; b < 4; ++b) v = (v << 8) | data[(i * 4 + b) % size];
        changed.*kSlots[i].field = static_cast<int32_t>(v);
    }
    FUZZ_CHECK(changed.save(""));
    const std::string saved = store.files[kPath];
    SearchSettings again(store, "");
    FUZZ_CHECK(values(again) == values(changed));

    // Every other key reads as before.
    const auto before = fuzz::IniTextStore::parse(text);
    const auto after = fuzz::IniTextStore::parse(saved);
    for (const auto& section : before) {
        for (const auto& key : section.keys) {
            if (one_of_the_nine(section.name, key.name)) continue;
            const auto* was = fuzz::IniTextStore::find(before, section.name, key.name);
            const auto* now = fuzz::IniTextStore::find(after, section.name, key.name);
            if (was == nullptr) continue;  // not reachable by name before either
            FUZZ_CHECK(now != nullptr);
            FUZZ_CHECK(now->hasValue == was->hasValue && now->value == was->value);
        }
    }

    // A file that cannot be written.
    store.readOnly.push_back(kPath);
    SearchSettings blocked = loaded;
    blocked.mode_prior ^= 1;
    const std::vector<int32_t> kept = values(blocked);
    FUZZ_CHECK(!blocked.save(""));
    FUZZ_CHECK(store.files[kPath] == saved);
    FUZZ_CHECK(values(blocked) == kept);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    check(data, size, false);
    check(data, size, true);
    return 0;
}
