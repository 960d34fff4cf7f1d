#include "search/mode_list.h"

#include <set>
#include <utility>

namespace lumenvik {
namespace {

// A mode's keys in the order a mode's are written.
const char* const kKinds[] = {"url",      "url_2", "url_3",   "url_4", "label",
                              "encoding", "ime",   "browser", "dict"};

std::string trimmedField(const std::string& s) {
    const std::size_t begin = s.find_first_not_of(" \t");
    if (begin == std::string::npos) return std::string();
    const std::size_t end = s.find_last_not_of(" \t");
    return s.substr(begin, end - begin + 1);
}

void setOrErase(ModeKeys& keys, const std::string& kind, const std::string& value) {
    const std::string v = trimmedField(value);
    if (v.empty()) {
        keys.erase(kind);
    } else {
        keys[kind] = v;
    }
}

// The name of `kind` in the file for mode `index`: "url_2" of mode 5 is
// "url5_2".
std::string keyName(const std::string& kind, std::size_t index) {
    const std::size_t under = kind.find('_');
    const std::string n = std::to_string(index);
    return under == std::string::npos ? kind + n : kind.substr(0, under) + n + kind.substr(under);
}

// The value as the file must hold it so that the platform's reading gives
// `value` back: a value enclosed in a pair of equal quotes loses them when
// read, so it gets one pair more. A browser's command is read by its own
// rule, which keeps every quote that matters to the command.
std::string valueForFile(const std::string& kind, const std::string& value) {
    if (kind != "browser" && value.size() >= 2 && (value[0] == '"' || value[0] == '\'') &&
        value.back() == value[0]) {
        return value[0] + value + value[0];
    }
    return value;
}

// A built-in template with its fixed values written in, as a user's
// template holds them: the values are plain ASCII.
std::string withFixedValues(const SearchSite& site) {
    std::string url = site.url;
    for (const auto& [token, value] : site.fixedValues) {
        const std::size_t at = url.find(token);
        if (at != std::string::npos) url.replace(at, token.size(), value);
    }
    return url;
}

const char* encodingValue(transcode::encoding_id id) {
    for (const EncodingChoice& c : encodingChoices()) {
        if (c.id == id) return c.value;
    }
    return "utf-8";
}

}  // namespace

ModeList::ModeList(const std::string& fileBytes) : file_(sectionModeKeys(fileBytes)) {
    const std::size_t count = readSearchModes(fileBytes, transcode::encoding_utf8).modes.count();
    modes_.assign(file_.begin(), file_.begin() + static_cast<std::ptrdiff_t>(count));
}

bool ModeList::add(ModeKeys keys) {
    if (!canAdd()) return false;
    modes_.push_back(std::move(keys));
    return true;
}

bool ModeList::remove(std::size_t index) {
    if (!canRemove(index)) return false;
    modes_.erase(modes_.begin() + static_cast<std::ptrdiff_t>(index));
    return true;
}

bool ModeList::moveUp(std::size_t index) {
    if (!canMoveUp(index)) return false;
    std::swap(modes_[index - 1], modes_[index]);
    return true;
}

bool ModeList::moveDown(std::size_t index) {
    if (!canMoveDown(index)) return false;
    std::swap(modes_[index], modes_[index + 1]);
    return true;
}

std::vector<IniValue> ModeList::changesFrom(const ModeList& before) const {
    std::vector<IniValue> values;
    const ModeKeys none;
    for (std::size_t k = 0; k < before.file_.size(); ++k) {
        const ModeKeys& old = before.file_[k];
        const ModeKeys& now = k < modes_.size() ? modes_[k] : k < before.count() ? none : old;
        std::set<std::string> kinds;
        for (const auto& entry : old) kinds.insert(entry.first);
        for (const auto& entry : now) kinds.insert(entry.first);
        // The known kinds in their order first, so a new mode reads as one.
        std::vector<std::string> ordered;
        for (const char* kind : kKinds) {
            if (kinds.erase(kind) != 0) ordered.push_back(kind);
        }
        for (const std::string& kind : ordered) {
            const auto o = old.find(kind);
            const auto n = now.find(kind);
            const std::string oldValue = o == old.end() ? std::string() : o->second;
            const std::string newValue = n == now.end() ? std::string() : n->second;
            if (oldValue == newValue) continue;
            values.push_back(
                IniValue{kSearchModesSection, keyName(kind, k), valueForFile(kind, newValue)});
        }
    }
    return values;
}

const std::array<EncodingChoice, 4>& encodingChoices() {
    static const std::array<EncodingChoice, 4> choices = {{
        {transcode::encoding_utf8, "UTF-8", "utf-8"},
        {transcode::encoding_sjis, "Shift_JIS", "shift_jis"},
        {transcode::encoding_euc, "EUC-JP", "euc-jp"},
        {transcode::encoding_iso2022jp, "ISO-2022-JP", "iso-2022-jp"},
    }};
    return choices;
}

SearchSite siteOfMode(std::size_t index, const ModeKeys& keys) {
    SearchSite site;
    std::vector<ModeProblem> problems;
    if (!readMode(static_cast<int>(index), keys, transcode::encoding_utf8, site, problems)) {
        return SearchSite{};
    }
    return site;
}

ModeFields fieldsOfMode(std::size_t index, const ModeKeys& keys) {
    ModeFields fields;
    const SearchSite site = siteOfMode(index, keys);
    const auto find = [&](const char* kind) {
        const auto it = keys.find(kind);
        return it == keys.end() ? nullptr : &it->second;
    };
    const std::string* label = find("label");
    fields.label = label != nullptr ? textForDisplay(*label, transcode::encoding_utf8) : site.label;
    const std::string* url = find("url");
    if (url != nullptr) {
        fields.urls[0] = *url;
    } else if (index < kBuiltInModeCount) {
        fields.urls[0] = withFixedValues(site);
    }
    std::size_t next = 1;
    for (const char* kind : {"url_2", "url_3", "url_4"}) {
        if (const std::string* more = find(kind)) fields.urls[next++] = *more;
    }
    fields.encoding = site.url.empty() ? transcode::encoding_utf8 : site.encoding;
    if (const std::string* encoding = find("encoding")) {
        // The file's own, when the site could not be read with it.
        for (const EncodingChoice& c : encodingChoices()) {
            std::string lowered = *encoding;
            for (char& ch : lowered) ch = static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch + 32 : ch);
            if (lowered == c.value) fields.encoding = c.id;
        }
    }
    fields.ime = site.ime;
    if (const std::string* browser = find("browser")) {
        fields.browser = textForDisplay(*browser, transcode::encoding_utf8);
    }
    fields.dictionary = site.dictionary;
    return fields;
}

ModeKeys keysOfFields(std::size_t index, const ModeKeys& keys, const ModeFields& shown,
                      const ModeFields& edited) {
    ModeKeys out = keys;
    if (edited.label != shown.label) setOrErase(out, "label", edited.label);
    if (edited.urls[0] != shown.urls[0]) setOrErase(out, "url", edited.urls[0]);
    bool moreChanged = false;
    for (std::size_t i = 1; i < kMaxSitesPerMode; ++i) {
        moreChanged = moreChanged || edited.urls[i] != shown.urls[i];
    }
    if (moreChanged) {
        for (const char* kind : {"url_2", "url_3", "url_4"}) out.erase(kind);
        std::size_t n = 2;
        for (std::size_t i = 1; i < kMaxSitesPerMode; ++i) {
            const std::string url = trimmedField(edited.urls[i]);
            if (!url.empty()) out["url_" + std::to_string(n++)] = url;
        }
    }
    if (edited.encoding != shown.encoding) {
        out["encoding"] = encodingValue(edited.encoding);
        if (index < kBuiltInModeCount && out.count("url") == 0) {
            setOrErase(out, "url", edited.urls[0]);
        }
    }
    if (edited.ime != shown.ime) {
        setOrErase(out, "ime",
                   edited.ime == ImeWish::on    ? "on"
                   : edited.ime == ImeWish::off ? "off"
                                                : "");
    }
    if (edited.browser != shown.browser) setOrErase(out, "browser", edited.browser);
    if (edited.dictionary != shown.dictionary) {
        setOrErase(out, "dict", edited.dictionary ? "on" : "");
    }
    return out;
}

std::vector<ModeProblem> modeProblems(std::size_t index, const ModeKeys& keys) {
    SearchSite site;
    std::vector<ModeProblem> problems;
    const bool read =
        readMode(static_cast<int>(index), keys, transcode::encoding_utf8, site, problems);
    if (!read && problems.empty()) {
        problems.push_back(ModeProblem{keyName("url", index), "", "URL を書いてください。"});
    }
    for (const auto& [kind, value] : keys) {
        if (value.find_first_of("\r\n") != std::string::npos) {
            problems.push_back(ModeProblem{keyName(kind, index), value, "改行は書けません。"});
        }
    }
    return problems;
}

std::string modeKeyKind(const std::string& key) {
    std::string kind;
    for (const char* k : kKinds) {
        for (std::size_t index = 0; index < kMaxModeCount; ++index) {
            if (keyName(k, index) == key) kind = k;
        }
    }
    return kind;
}

}  // namespace lumenvik
