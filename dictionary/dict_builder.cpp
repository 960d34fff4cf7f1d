#include "dictionary/dict_builder.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "dictionary/dict_format.h"
#include "dictionary/fold.h"
#include "transcode/factory.h"

namespace lumenvik {
namespace {

using namespace dict;

struct SourceEntry {
    std::string headword, reading, glosses;
    bool common = false;
    std::size_t line = 0;
    std::size_t headwordLength = 0;  // code points
};

// The decoded text, fed to the library in pieces as a stream, so that long
// input takes the road a reader of files would take.
std::string decodeEucJp(const std::string& bytes) {
    transcode::string_engine_ref engine =
        transcode::create_engine(transcode::encoding_euc, transcode::encoding_utf8);
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    constexpr std::size_t kPiece = 1 << 16;
    for (std::size_t at = 0; at < bytes.size(); at += kPiece) {
        engine->untranslated_buffer.append(bytes, at, kPiece);
        engine->translate();
        out += engine->translated_buffer;
        engine->translated_buffer.clear();
    }
    engine->flush();
    out += engine->translated_buffer;
    // The factory's chain to UTF-8 begins its output with a byte-order mark.
    if (out.compare(0, 3, "\xEF\xBB\xBF") == 0) out.erase(0, 3);
    return out;
}

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// The decoder writes "?" for each sequence it rejects; EUC-JP's multi-byte
// codes never hold 0x3F, so every other "?" of the output is one of the
// source.
bool sameQuestionMarks(std::string_view source, std::string_view decoded) {
    return std::count(source.begin(), source.end(), '?') ==
           std::count(decoded.begin(), decoded.end(), '?');
}

bool parseLine(std::string_view line, SourceEntry& e) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::size_t blank = line.find(' ');
    if (blank == 0 || blank == std::string_view::npos) return false;
    e.headword = std::string(line.substr(0, blank));
    std::string_view rest = line.substr(blank + 1);
    if (!rest.empty() && rest[0] == '[') {
        const std::size_t close = rest.find("] ");
        if (close == std::string_view::npos || close == 1) return false;
        e.reading = std::string(rest.substr(1, close - 1));
        rest = rest.substr(close + 2);
    }
    if (rest.size() < 3 || rest.front() != '/' || rest.back() != '/') return false;
    rest = rest.substr(1, rest.size() - 2);
    std::size_t start = 0;
    while (start <= rest.size()) {
        std::size_t end = rest.find('/', start);
        if (end == std::string_view::npos) end = rest.size();
        const std::string_view field = rest.substr(start, end - start);
        if (field == "(P)") {
            e.common = true;
        } else if (!field.empty()) {
            if (!e.glosses.empty()) e.glosses += '/';
            e.glosses += field;
        }
        start = end + 1;
    }
    return !e.glosses.empty();
}

void put32(std::string& out, uint32_t v) {
    for (int k = 0; k < 4; ++k) out += static_cast<char>((v >> (8 * k)) & 0xFF);
}

class Pool {
  public:
    // The string's offset; each distinct string is stored once.
    uint32_t add(const std::string& s) {
        const auto it = offsets_.find(s);
        if (it != offsets_.end()) return it->second;
        const auto at = static_cast<uint32_t>(bytes.size());
        bytes += static_cast<char>(s.size() & 0xFF);
        bytes += static_cast<char>(s.size() >> 8);
        bytes += s;
        offsets_.emplace(s, at);
        return at;
    }
    std::string bytes;

  private:
    std::unordered_map<std::string, uint32_t> offsets_;
};

using KeyMap = std::map<std::string, std::vector<uint32_t>>;

// The byte length of the first `n` code points of `key`, or 0 when it
// has fewer.
std::size_t prefixBytes(const std::string& key, std::size_t n) {
    std::size_t points = 0;
    for (std::size_t i = 0; i < key.size(); ++i) {
        if ((static_cast<unsigned char>(key[i]) & 0xC0) != 0x80 && points++ == n) return i;
    }
    return points == n ? key.size() : 0;
}

struct HotPrefix {
    std::string prefix;
    std::vector<uint32_t> best;
};

// The best entries for `prefix` over the keys [first, last): exact matches
// first, then the entry order (which is the rank).
std::vector<uint32_t> bestOf(const std::vector<const KeyMap::value_type*>& keys, std::size_t first,
                             std::size_t last, const std::string& prefix) {
    std::vector<std::pair<int, uint32_t>> ranked;
    for (std::size_t i = first; i < last; ++i) {
        const int exact = keys[i]->first == prefix ? 0 : 1;
        for (std::size_t p = 0; p < keys[i]->second.size() && p < kHotResults; ++p) {
            ranked.emplace_back(exact, keys[i]->second[p]);
        }
    }
    std::sort(ranked.begin(), ranked.end());
    std::vector<uint32_t> best;
    for (const auto& r : ranked) {
        if (best.size() == kHotResults) break;
        if (std::find(best.begin(), best.end(), r.second) == best.end()) best.push_back(r.second);
    }
    return best;
}

std::vector<HotPrefix> hotPrefixes(const KeyMap& map) {
    std::vector<const KeyMap::value_type*> keys;
    for (const auto& k : map) keys.push_back(&k);
    // The keys that start with a prefix are one run of the sorted list, and
    // a key shorter than the prefix never sits inside it. Depth by depth,
    // until no run is longer than kHotRange.
    std::vector<HotPrefix> hot;
    for (std::size_t depth = 1;; ++depth) {
        bool any = false;
        std::size_t i = 0;
        while (i < keys.size()) {
            const std::size_t n = prefixBytes(keys[i]->first, depth);
            if (n == 0) {
                ++i;
                continue;
            }
            const std::string prefix = keys[i]->first.substr(0, n);
            std::size_t j = i + 1;
            while (j < keys.size() && keys[j]->first.compare(0, n, prefix) == 0) ++j;
            if (j - i > kHotRange) {
                hot.push_back({prefix, bestOf(keys, i, j, prefix)});
                any = true;
            }
            i = j;
        }
        if (!any) break;
    }
    std::sort(hot.begin(), hot.end(),
              [](const HotPrefix& a, const HotPrefix& b) { return a.prefix < b.prefix; });
    return hot;
}

}  // namespace

uint64_t sourceChecksum(const std::string& bytes) {
    uint64_t h = 0xcbf29ce484222325ull;
    for (char c : bytes) {
        h ^= static_cast<unsigned char>(c);
        h *= 0x100000001b3ull;
    }
    return h;
}

bool buildDictionary(const std::string& eucJp, DictionaryBuild& out) {
    out = DictionaryBuild{};
    const std::string text = decodeEucJp(eucJp);
    const std::vector<std::string_view> source = splitLines(eucJp);
    const std::vector<std::string_view> lines = splitLines(text);
    if (source.size() != lines.size()) {
        out.error = "the decoded text has another number of lines than the source";
        return false;
    }
    std::vector<SourceEntry> entries;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::size_t number = i + 1;
        if (!sameQuestionMarks(source[i], lines[i])) {
            out.error = "line " + std::to_string(number) + ": bytes that are not EUC-JP";
            return false;
        }
        if (lines[i].empty() || lines[i] == "\r") continue;
        SourceEntry e;
        if (!parseLine(lines[i], e)) {
            out.warnings.push_back("line " + std::to_string(number) +
                                   ": not \"HEADWORD [READING] /gloss/\", left out");
            continue;
        }
        // The first line names the file and its copyright, no word.
        if (number == 1 && e.headword == "\xE3\x80\x80\xEF\xBC\x9F\xEF\xBC\x9F\xEF\xBC\x9F")
            continue;
        if (e.headword.size() > 0xFFFF || e.reading.size() > 0xFFFF || e.glosses.size() > 0xFFFF) {
            out.warnings.push_back("line " + std::to_string(number) + ": too long, left out");
            continue;
        }
        e.line = number;
        e.headwordLength = codePointCount(e.headword);
        entries.push_back(std::move(e));
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const SourceEntry& a, const SourceEntry& b) {
                         if (a.common != b.common) return a.common;
                         return a.headwordLength < b.headwordLength;
                     });

    Pool pool;
    std::string entryBytes;
    KeyMap jkeys, wkeys;
    for (std::size_t n = 0; n < entries.size(); ++n) {
        const SourceEntry& e = entries[n];
        const auto id = static_cast<uint32_t>(n);
        put32(entryBytes, pool.add(e.headword));
        put32(entryBytes, e.reading.empty() ? kNone : pool.add(e.reading));
        put32(entryBytes, pool.add(e.glosses));
        put32(entryBytes, e.common ? kCommon : 0);
        auto post = [id](KeyMap& map, const std::string& key) {
            if (key.empty() || key.size() > 0xFFFF) return;
            std::vector<uint32_t>& list = map[key];
            if (list.empty() || list.back() != id) list.push_back(id);
        };
        post(jkeys, foldForLookup(e.headword));
        post(jkeys, foldForLookup(e.reading));
        for (const std::string& w : glossWords(e.glosses)) post(wkeys, w);
    }

    std::string postings;
    uint32_t postingCount = 0;
    auto keyTable = [&](const KeyMap& map) {
        std::string table;
        for (const auto& k : map) {
            put32(table, pool.add(k.first));
            put32(table, postingCount);
            put32(table, static_cast<uint32_t>(k.second.size()));
            for (uint32_t id : k.second) put32(postings, id);
            postingCount += static_cast<uint32_t>(k.second.size());
        }
        return table;
    };
    auto hotTable = [&](const KeyMap& map, uint32_t& count) {
        std::string table;
        const std::vector<HotPrefix> hot = hotPrefixes(map);
        for (const HotPrefix& h : hot) {
            put32(table, pool.add(h.prefix));
            for (uint32_t k = 0; k < kHotResults; ++k) {
                put32(table, k < h.best.size() ? h.best[k] : kNone);
            }
        }
        count = static_cast<uint32_t>(hot.size());
        return table;
    };
    const std::string jTable = keyTable(jkeys);
    const std::string wTable = keyTable(wkeys);
    uint32_t jHotCount = 0, wHotCount = 0;
    const std::string jHot = hotTable(jkeys, jHotCount);
    const std::string wHot = hotTable(wkeys, wHotCount);

    uint32_t header[hFieldCount] = {};
    uint32_t at = kHeaderSize;
    auto place = [&](HeaderField field, const std::string& section) {
        header[field] = at;
        at += static_cast<uint32_t>(section.size());
    };
    header[hVersion] = kVersion;
    header[hSourceSize] = static_cast<uint32_t>(eucJp.size());
    const uint64_t checksum = sourceChecksum(eucJp);
    header[hSourceChecksumLow] = static_cast<uint32_t>(checksum);
    header[hSourceChecksumHigh] = static_cast<uint32_t>(checksum >> 32);
    header[hEntryCount] = static_cast<uint32_t>(entries.size());
    place(hEntries, entryBytes);
    header[hJKeyCount] = static_cast<uint32_t>(jkeys.size());
    place(hJKeys, jTable);
    header[hWKeyCount] = static_cast<uint32_t>(wkeys.size());
    place(hWKeys, wTable);
    header[hJHotCount] = jHotCount;
    place(hJHot, jHot);
    header[hWHotCount] = wHotCount;
    place(hWHot, wHot);
    header[hPostingCount] = postingCount;
    place(hPostings, postings);
    header[hPoolSize] = static_cast<uint32_t>(pool.bytes.size());
    place(hPool, pool.bytes);
    header[hFileSize] = at;

    out.bytes.assign(kMagic, sizeof kMagic);
    for (uint32_t v : header) put32(out.bytes, v);
    out.bytes += entryBytes;
    out.bytes += jTable;
    out.bytes += wTable;
    out.bytes += jHot;
    out.bytes += wHot;
    out.bytes += postings;
    out.bytes += pool.bytes;
    out.entries = entries.size();
    return true;
}

}  // namespace lumenvik
