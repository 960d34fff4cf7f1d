#include "search/search_modes_file.h"

#include <map>

#include "settings/ini_scan.h"
#include "transcode/byte_classes.h"
#include "transcode/factory.h"

namespace lumenvik {
namespace {

constexpr int kMaxModes = static_cast<int>(kMaxModeCount);
constexpr std::size_t kBuiltInCount = kBuiltInModeCount;
const char kSection[] = "searchmodes";
const char kOptionsSection[] = "options";
const char kToken[] = "[search_word]";

std::string lowered(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return s;
}

bool startsWithNoCase(const std::string& s, const char* prefix) {
    const std::string p(prefix);
    return lowered(s.substr(0, p.size())) == p;
}

// The file as UTF-8 or 8-bit text without its byte-order mark; a UTF-16
// file (Notepad's "Unicode") is turned into UTF-8.
std::string withoutMark(const std::string& bytes) {
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) return bytes.substr(3);
    if (bytes.compare(0, 2, "\xFF\xFE") == 0) {
        return transcode::translate_between(bytes.substr(2), transcode::encoding_utf16le,
                                            transcode::encoding_utf8);
    }
    if (bytes.compare(0, 2, "\xFE\xFF") == 0) {
        return transcode::translate_between(bytes.substr(2), transcode::encoding_utf16be,
                                            transcode::encoding_utf8);
    }
    return bytes;
}

// The keys of the first section named `section` (lower case), by
// lower-case name; the first key of a name counts. A value enclosed in a
// pair of equal quotes loses them, as the platform's INI reading does.
std::map<std::string, std::string> sectionKeys(const std::string& text, const char* section) {
    std::map<std::string, std::string> keys;
    bool inSection = false, seen = false;
    ini::Lines<std::string> lines(text);
    ini::Line line;
    while (lines.next(line)) {
        if (line.kind == ini::LineKind::section) {
            if (inSection) break;
            inSection = !seen && ini::sameName(text, line.name, section);
            seen = seen || inSection;
            continue;
        }
        if (!inSection || !line.hasEquals) continue;
        std::string value = text.substr(line.value.begin, line.value.end - line.value.begin);
        const std::string name =
            lowered(text.substr(line.name.begin, line.name.end - line.name.begin));
        // A command line such as "C:\a b\x.exe" "%1" starts and ends with a
        // quote without being one quoted value: a browser's loses them only
        // when it holds no other quote of their kind.
        const bool command = name.compare(0, 7, "browser") == 0;
        if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') &&
            value.back() == value[0] && (!command || value.find(value[0], 1) == value.size() - 1)) {
            value = value.substr(1, value.size() - 2);
        }
        keys.emplace(name, value);
    }
    return keys;
}

// Valid UTF-8: no stray or missing continuation byte, no overlong form, no
// surrogate, nothing past U+10FFFF. `multiByte` tells whether it held a
// sequence of more than one byte.
bool checkUtf8(const std::string& s, bool& multiByte) {
    multiByte = false;
    for (std::size_t i = 0; i < s.size();) {
        const auto lead = static_cast<unsigned char>(s[i]);
        const unsigned length = transcode::utf8_sequence_length[lead];
        if (length == 1) {
            ++i;
            continue;
        }
        if (length < 2 || length > 4 || i + length > s.size()) return false;
        const auto second = static_cast<unsigned char>(s[i + 1]);
        if (lead == 0xC0 || lead == 0xC1 || (lead == 0xE0 && second < 0xA0) ||
            (lead == 0xED && second > 0x9F) || (lead == 0xF0 && second < 0x90) ||
            (lead == 0xF4 && second > 0x8F) || lead > 0xF4) {
            return false;
        }
        for (unsigned k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        }
        multiByte = true;
        i += length;
    }
    return true;
}

bool isMultiByteUtf8(const std::string& s) {
    bool multiByte = false;
    return checkUtf8(s, multiByte) && multiByte;
}

bool encodingByName(const std::string& name, transcode::encoding_id& id) {
    const std::string n = lowered(name);
    if (n.empty() || n == "utf-8") {
        id = transcode::encoding_utf8;
    } else if (n == "euc-jp") {
        id = transcode::encoding_euc;
    } else if (n == "shift_jis" || n == "sjis" || n == "cp932") {
        id = transcode::encoding_sjis;
    } else if (n == "iso-2022-jp") {
        id = transcode::encoding_iso2022jp;
    } else {
        return false;
    }
    return true;
}

// The host of an http(s) URL: what stands between "://" and the path,
// without a user name or a port.
std::string hostOf(const std::string& url) {
    const std::size_t begin = url.find("://") + 3;
    std::size_t end = url.find_first_of("/?#", begin);
    if (end == std::string::npos) end = url.size();
    std::string host = url.substr(begin, end - begin);
    const std::size_t at = host.rfind('@');
    if (at != std::string::npos) host = host.substr(at + 1);
    const std::size_t colon = host.rfind(':');
    if (colon != std::string::npos && host.find(']', colon) == std::string::npos) {
        host = host.substr(0, colon);
    }
    return host;
}

class Reader {
  public:
    Reader(std::map<std::string, std::string> keys, transcode::encoding_id display)
        : keys_(std::move(keys)), display_(display) {}

    // The site of index k, or false when it has none (or a bad one). A bad
    // encoding is reported even without a URL beside it.
    bool site(int k, SearchSite& out) {
        const std::string index = std::to_string(k);
        bool good = true;
        transcode::encoding_id encoding = transcode::encoding_utf8;
        const std::string* name = find("encoding" + index);
        if (name != nullptr && !encodingByName(*name, encoding)) {
            report("encoding" + index, *name,
                   "使えない文字コードです。utf-8、euc-jp、shift_jis、iso-2022-jp "
                   "のどれかを書いてください。");
            good = false;
        }
        const std::string* url = find("url" + index);
        if (url == nullptr || url->empty()) return false;
        if (!goodUrl("url" + index, *url)) good = false;
        if (!good) return false;
        const std::string* label = find("label" + index);
        out = SearchSite{};
        out.url = *url;
        out.encoding = encoding;
        out.label = label != nullptr && !label->empty()
                        ? textForDisplay(*label, display_)
                        : "【 " + textForDisplay(hostOf(*url), display_) + " 】検索";
        return true;
    }

    // A built-in mode k without a usable url<k> of its own keeps its site,
    // with the label of label<k> where there is one.
    void builtInLabel(int k, SearchSite& site) {
        const std::string* label = find("label" + std::to_string(k));
        if (label != nullptr && !label->empty()) site.label = textForDisplay(*label, display_);
    }

    // The input method's wish, the browser, the dictionary and the further
    // sites of index k, for the mode there is at k (built in or the
    // user's); a bad value is reported and leaves the mode's own. An empty
    // value reads as an absent one.
    void extras(int k, SearchSite& site) {
        const std::string index = std::to_string(k);
        if (const std::string* ime = find("ime" + index)) {
            const std::string v = lowered(*ime);
            if (v == "on") {
                site.ime = ImeWish::on;
            } else if (v == "off") {
                site.ime = ImeWish::off;
            } else if (!v.empty()) {
                report("ime" + index, *ime, "on か off を書いてください。");
            }
        }
        command("browser" + index, site.browser);
        if (const std::string* dict = find("dict" + index)) {
            const std::string v = lowered(*dict);
            if (v == "on" || v == "off") {
                site.dictionary = v == "on";
            } else if (!v.empty()) {
                report("dict" + index, *dict, "on か off を書いてください。");
            }
        }
        for (std::size_t n = 2; n <= kMaxSitesPerMode; ++n) {
            const std::string key = "url" + index + "_" + std::to_string(n);
            const std::string* url = find(key);
            if (url != nullptr && !url->empty() && goodUrl(key, *url))
                site.moreUrls.push_back(*url);
        }
    }

    // The command line of `key`, when it is there and names a program.
    void command(const std::string& key, std::string& out) {
        const std::string* line = find(key);
        if (line == nullptr || line->find_first_not_of(" \t") == std::string::npos) return;
        const std::size_t start = line->find_first_not_of(" \t");
        if ((*line)[start] == '"' && line->find('"', start + 1) == std::string::npos) {
            report(key, *line, "プログラムのパスを閉じる \" がありません。");
            return;
        }
        if ((*line)[start] == '"' && (*line)[start + 1] == '"') {
            report(key, *line, "プログラムのパスがありません。");
            return;
        }
        out = textForDisplay(*line, display_);
    }

    std::vector<ModeProblem> problems;

  private:
    const std::string* find(const std::string& key) const {
        const auto it = keys_.find(key);
        return it == keys_.end() ? nullptr : &it->second;
    }
    bool goodUrl(const std::string& key, const std::string& url) {
        if (!startsWithNoCase(url, "http://") && !startsWithNoCase(url, "https://")) {
            report(key, url, "URL が http:// か https:// で始まっていません。");
            return false;
        }
        if (url.find(kToken) == std::string::npos) {
            report(key, url, "URL に [search_word] がありません。");
            return false;
        }
        return true;
    }
    void report(const std::string& key, const std::string& value, const char* what) {
        problems.push_back(ModeProblem{key, textForDisplay(value, display_), what});
    }

    std::map<std::string, std::string> keys_;
    transcode::encoding_id display_;
};

std::string problemLine(const ModeProblem& p) {
    return p.key + "=" + p.value + "\r\n    " + p.reason;
}

// The first index of `name` (lowered) as a mode key: its kind and its
// number, or false.
bool splitModeKey(const std::string& name, std::string& kind, int& index) {
    for (const std::string& k :
         {std::string("encoding"), std::string("browser"), std::string("label"),
          std::string("dict"), std::string("ime"), std::string("url")}) {
        if (name.compare(0, k.size(), k) != 0) continue;
        std::size_t i = k.size();
        std::size_t digits = i;
        while (digits < name.size() && name[digits] >= '0' && name[digits] <= '9') ++digits;
        if (digits == i || digits - i > 2 || (name[i] == '0' && digits - i > 1)) return false;
        index = std::stoi(name.substr(i, digits - i));
        if (index >= kMaxModes) return false;
        std::string rest = name.substr(digits);
        if (rest.empty()) {
            kind = k;
            return true;
        }
        if (k == "url" && rest.size() == 2 && rest[0] == '_' && rest[1] >= '2' &&
            rest[1] <= static_cast<char>('0' + kMaxSitesPerMode)) {
            kind = k + rest;
            return true;
        }
        return false;
    }
    return false;
}

std::map<std::string, std::string> numbered(int index, const ModeKeys& keys) {
    std::map<std::string, std::string> out;
    const std::string n = std::to_string(index);
    for (const auto& [kind, value] : keys) {
        // "url_2" is "url5_2" in the file.
        const std::size_t under = kind.find('_');
        out.emplace(
            under == std::string::npos ? kind + n : kind.substr(0, under) + n + kind.substr(under),
            value);
    }
    return out;
}

}  // namespace

bool isValidUtf8(const std::string& bytes) {
    bool multiByte = false;
    return checkUtf8(bytes, multiByte);
}

std::string textForDisplay(const std::string& bytes, transcode::encoding_id display) {
    if (display == transcode::encoding_unknown) return bytes;
    const transcode::encoding_id from =
        isMultiByteUtf8(bytes) ? transcode::encoding_utf8 : transcode::encoding_sjis;
    return from == display ? bytes : transcode::translate_between(bytes, from, display);
}

SearchModesReading readSearchModes(const std::string& fileBytes, transcode::encoding_id display) {
    const std::string text = withoutMark(fileBytes);
    Reader reader(sectionKeys(text, kSection), display);
    std::vector<SearchSite> sites = builtInSearchSites();
    for (int k = 0; k < kMaxModes; ++k) {
        SearchSite site;
        const bool defined = reader.site(k, site);
        if (static_cast<std::size_t>(k) < kBuiltInCount) {
            if (defined) {
                sites[static_cast<std::size_t>(k)] = site;
            } else {
                reader.builtInLabel(k, sites[static_cast<std::size_t>(k)]);
            }
        } else if (defined) {
            sites.push_back(site);
        } else {
            break;
        }
        reader.extras(k, sites[static_cast<std::size_t>(k)]);  // the list has no gap
    }
    // [Options] browser= serves every mode without a browser of its own.
    Reader options(sectionKeys(text, kOptionsSection), display);
    std::string common;
    options.command("browser", common);
    std::vector<std::string> problems;
    for (const ModeProblem& problem : reader.problems) problems.push_back(problemLine(problem));
    for (const ModeProblem& problem : options.problems) {
        problems.push_back("[Options] " + problemLine(problem));
    }
    for (SearchSite& site : sites) {
        if (site.browser.empty()) site.browser = common;
    }
    return SearchModesReading{SearchModes(std::move(sites)), std::move(problems)};
}

std::vector<ModeKeys> sectionModeKeys(const std::string& fileBytes) {
    std::vector<ModeKeys> modes(kMaxModes);
    for (const auto& [name, value] : sectionKeys(withoutMark(fileBytes), kSection)) {
        std::string kind;
        int index = 0;
        if (!value.empty() && splitModeKey(name, kind, index)) {
            modes[static_cast<std::size_t>(index)].emplace(kind, value);
        }
    }
    return modes;
}

bool readMode(int index, const ModeKeys& keys, transcode::encoding_id display, SearchSite& site,
              std::vector<ModeProblem>& problems) {
    Reader reader(numbered(index, keys), display);
    SearchSite read;
    bool defined = reader.site(index, read);
    if (!defined && index >= 0 && static_cast<std::size_t>(index) < kBuiltInCount) {
        read = builtInSearchSites()[static_cast<std::size_t>(index)];
        reader.builtInLabel(index, read);
        defined = true;
    }
    if (defined) reader.extras(index, read);
    problems = std::move(reader.problems);
    if (defined) site = std::move(read);
    return defined;
}

std::string settingsErrorText(const std::vector<std::string>& problems) {
    std::string text =
        "lumenvik.ini の [SearchModes] に誤りがあります。\r\n"
        "次の設定は使われません（url0～url4 のモードは元のまま、url5 "
        "以降はそこで一覧が終わります）。";
    for (const std::string& line : problems) text += "\r\n\r\n" + line;
    return text;
}

bool UserSearchModes::refresh(SettingsFileView& file, transcode::encoding_id display,
                              SearchModes& modes, std::vector<std::string>& problems) {
    const SettingsFileState now = file.state();
    if (read_ && now == last_) return false;
    read_ = true;
    last_ = now;
    std::string bytes;
    if (!now.exists || !file.readAll(bytes)) bytes.clear();
    SearchModesReading reading = readSearchModes(bytes, display);
    modes = std::move(reading.modes);
    problems = std::move(reading.problems);
    return true;
}

}  // namespace lumenvik
