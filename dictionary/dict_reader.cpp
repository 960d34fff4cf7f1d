#include "dictionary/dict_reader.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "dictionary/dict_format.h"
#include "dictionary/fold.h"

namespace lumenvik {

using namespace dict;

std::string rowText(const DictionaryRow& row) {
    std::string text(row.headword);
    if (!row.reading.empty()) {
        text += " [";
        text += row.reading;
        text += ']';
    }
    text += ' ';
    for (char c : row.glosses) {
        if (c == '/') {
            text += "; ";
        } else {
            text += c;
        }
    }
    return text;
}

uint32_t DictionaryReader::word(uint32_t at) const {
    const unsigned char* p = data_ + at;
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

bool DictionaryReader::open(const unsigned char* data, std::size_t size, std::string& problem) {
    data_ = nullptr;
    if (data == nullptr || size < kHeaderSize) {
        problem = "shorter than its header";
        return false;
    }
    if (std::memcmp(data, kMagic, sizeof kMagic) != 0) {
        problem = "not a Lumenvik dictionary";
        return false;
    }
    data_ = data;
    size_ = size;
    auto field = [&](HeaderField f) { return word(8 + 4 * f); };
    if (field(hVersion) != kVersion) {
        problem = "dictionary version " + std::to_string(field(hVersion)) + ", expected " +
                  std::to_string(kVersion);
        data_ = nullptr;
        return false;
    }
    if (field(hFileSize) != size) {
        problem = "the file has " + std::to_string(size) + " bytes, its header says " +
                  std::to_string(field(hFileSize));
        data_ = nullptr;
        return false;
    }
    // Each section within the file; sizes in 64 bits, so no count wraps.
    auto section = [&](HeaderField offset, uint64_t bytes) {
        return field(offset) >= kHeaderSize && field(offset) + bytes <= size;
    };
    const bool fits = section(hEntries, uint64_t{field(hEntryCount)} * kEntrySize) &&
                      section(hJKeys, uint64_t{field(hJKeyCount)} * kKeySize) &&
                      section(hWKeys, uint64_t{field(hWKeyCount)} * kKeySize) &&
                      section(hJHot, uint64_t{field(hJHotCount)} * kHotSize) &&
                      section(hWHot, uint64_t{field(hWHotCount)} * kHotSize) &&
                      section(hPostings, uint64_t{field(hPostingCount)} * 4) &&
                      section(hPool, field(hPoolSize));
    if (!fits) {
        problem = "a section lies outside the file";
        data_ = nullptr;
        return false;
    }
    entries_ = field(hEntries);
    entryCount_ = field(hEntryCount);
    j_ = {field(hJKeys), field(hJKeyCount), field(hJHot), field(hJHotCount)};
    w_ = {field(hWKeys), field(hWKeyCount), field(hWHot), field(hWHotCount)};
    postings_ = field(hPostings);
    postingCount_ = field(hPostingCount);
    pool_ = field(hPool);
    poolSize_ = field(hPoolSize);
    return true;
}

bool DictionaryReader::string(uint32_t offset, std::string_view& out) const {
    if (uint64_t{offset} + 2 > poolSize_) return false;
    const uint32_t length = data_[pool_ + offset] | static_cast<uint32_t>(data_[pool_ + offset + 1])
                                                        << 8;
    if (uint64_t{offset} + 2 + length > poolSize_) return false;
    out = std::string_view(reinterpret_cast<const char*>(data_ + pool_ + offset + 2), length);
    return true;
}

bool DictionaryReader::row(uint32_t entry, DictionaryRow& out) const {
    if (entry >= entryCount_) return false;
    const uint32_t at = entries_ + entry * kEntrySize;
    out = DictionaryRow{};
    if (!string(word(at), out.headword) || !string(word(at + 8), out.glosses)) return false;
    if (word(at + 4) != kNone && !string(word(at + 4), out.reading)) return false;
    out.common = (word(at + 12) & kCommon) != 0;
    return true;
}

bool DictionaryReader::keyString(const Table& t, uint32_t i, std::string_view& out) const {
    return string(word(t.keys + i * kKeySize), out);
}

bool DictionaryReader::hotString(const Table& t, uint32_t i, std::string_view& out) const {
    return string(word(t.hot + i * kHotSize), out);
}

bool DictionaryReader::firstKeyFrom(const Table& t, std::string_view key, uint32_t& index) const {
    uint32_t lo = 0, hi = t.keyCount;
    while (lo < hi) {
        const uint32_t mid = lo + (hi - lo) / 2;
        std::string_view s;
        if (!keyString(t, mid, s)) return false;
        if (s < key) {
            lo = mid + 1;
        } else {
            hi = mid;
        }
    }
    index = lo;
    return true;
}

bool DictionaryReader::exactKey(const Table& t, std::string_view key, uint32_t& posting,
                                uint32_t& count) const {
    count = 0;
    uint32_t lo = 0;
    if (!firstKeyFrom(t, key, lo)) return false;
    std::string_view s;
    if (lo == t.keyCount) return true;
    if (!keyString(t, lo, s)) return false;
    if (s != key) return true;
    const uint32_t at = t.keys + lo * kKeySize;
    posting = word(at + 4);
    count = word(at + 8);
    return uint64_t{posting} + count <= postingCount_;
}

namespace {

// How well one gloss holds the words in a row: 0 when they are the gloss's
// whole text, 1 when they stand in it with the last word whole, 2 when the
// last only begins a word there; the best over the glosses, with the
// gloss's place (earlier senses first). False when no gloss holds them.
bool phraseMatch(std::string_view glosses, const std::vector<std::string>& words,
                 std::pair<int, uint32_t>& rank) {
    bool found = false;
    uint32_t place = 0;
    for (std::size_t start = 0; start <= glosses.size(); ++place) {
        std::size_t end = glosses.find('/', start);
        if (end == std::string_view::npos) end = glosses.size();
        const std::vector<std::string> field = glossWords(glosses.substr(start, end - start));
        start = end + 1;
        const std::size_t last = words.size() - 1;
        for (std::size_t i = 0; i + words.size() <= field.size(); ++i) {
            if (!std::equal(words.begin(), words.begin() + static_cast<std::ptrdiff_t>(last),
                            field.begin() + static_cast<std::ptrdiff_t>(i))) {
                continue;
            }
            const std::string& candidate = field[i + last];
            if (candidate.compare(0, words[last].size(), words[last]) != 0) continue;
            int level = 2;
            if (candidate.size() == words[last].size()) {
                level = field.size() == words.size() ? 0 : 1;
            }
            const std::pair<int, uint32_t> here(level, place);
            if (!found || here < rank) rank = here;
            found = true;
        }
        if (found && rank.first == 0) break;
    }
    return found;
}

}  // namespace

bool DictionaryReader::phraseLookup(const std::vector<std::string>& words, std::size_t max,
                                    std::vector<DictionaryRow>& rows) const {
    // The candidates, in the entries' order: those of the rarest of the
    // whole words (all but the last, which may be cut short), or those of
    // the keys the last word begins, when they are fewer.
    uint32_t posting = 0, count = UINT32_MAX;
    for (std::size_t i = 0; i + 1 < words.size(); ++i) {
        uint32_t p = 0, c = 0;
        if (!exactKey(w_, words[i], p, c)) return false;
        if (c == 0) return true;  // a whole word no gloss has
        if (c < count) {
            posting = p;
            count = c;
        }
    }
    std::vector<uint32_t> candidates;
    {
        const std::string& last = words.back();
        uint32_t lo = 0;
        if (!firstKeyFrom(w_, last, lo)) return false;
        uint64_t total = 0;
        std::vector<std::pair<uint32_t, uint32_t>> ranges;
        for (uint32_t i = lo; i < w_.keyCount && total < count; ++i) {
            std::string_view key;
            if (!keyString(w_, i, key)) return false;
            if (key.compare(0, last.size(), last) != 0) break;
            const uint32_t at = w_.keys + i * kKeySize;
            const uint32_t p = word(at + 4), c = word(at + 8);
            if (uint64_t{p} + c > postingCount_) return false;
            ranges.emplace_back(p, c);
            total += c;
        }
        if (total == 0) return true;  // no word begins so
        if (total < count) {
            for (const auto& range : ranges) {
                for (uint32_t k = 0; k < range.second; ++k) {
                    candidates.push_back(word(postings_ + (range.first + k) * 4));
                }
            }
            std::sort(candidates.begin(), candidates.end());
            candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
        } else {
            candidates.reserve(std::min<uint32_t>(count, kPhraseScan));
            for (uint32_t k = 0; k < count && k < kPhraseScan; ++k) {
                candidates.push_back(word(postings_ + (posting + k) * 4));
            }
        }
    }
    if (candidates.size() > kPhraseScan) candidates.resize(kPhraseScan);

    // (how well, the gloss's place, entry)
    std::vector<std::pair<std::pair<int, uint32_t>, uint32_t>> best;
    for (const uint32_t entry : candidates) {
        DictionaryRow r;
        if (!row(entry, r)) {
            rows.clear();
            return false;
        }
        std::pair<int, uint32_t> rank;
        if (!phraseMatch(r.glosses, words, rank)) continue;
        const auto candidate = std::make_pair(rank, entry);
        if (best.size() == max && !(candidate < best.back())) continue;
        best.insert(std::upper_bound(best.begin(), best.end(), candidate), candidate);
        if (best.size() > max) best.pop_back();
    }
    for (const auto& b : best) {
        DictionaryRow r;
        if (!row(b.second, r)) {
            rows.clear();
            return false;
        }
        rows.push_back(r);
    }
    return true;
}

bool DictionaryReader::lookup(std::string_view query, std::size_t max,
                              std::vector<DictionaryRow>& rows) const {
    rows.clear();
    if (data_ == nullptr || max == 0) return true;
    std::string folded = foldForLookup(query);
    const std::size_t first = folded.find_first_not_of(' ');
    if (first == std::string::npos) return true;
    folded = folded.substr(first, folded.find_last_not_of(' ') - first + 1);
    const bool latin = std::none_of(folded.begin(), folded.end(),
                                    [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    const Table& t = latin ? w_ : j_;
    max = std::min(max, kMaxRows);
    if (latin) {
        // English is looked up by its words: "(n)" holds none, "ice cream"
        // two, looked up as a phrase.
        std::vector<std::string> words = glossWords(folded);
        if (words.empty()) return true;
        if (words.size() > 1) return phraseLookup(words, max, rows);
        folded = std::move(words.front());
    }
    std::vector<std::pair<int, uint32_t>> best;  // (0 for an exact match, entry)

    auto fail = [&] {
        rows.clear();
        return false;
    };
    auto finish = [&] {
        for (const auto& b : best) {
            DictionaryRow r;
            if (!row(b.second, r)) return fail();
            rows.push_back(r);
        }
        return true;
    };

    // A prefix of many keys has its answer stored.
    {
        uint32_t lo = 0, hi = t.hotCount;
        while (lo < hi) {
            const uint32_t mid = lo + (hi - lo) / 2;
            std::string_view s;
            if (!hotString(t, mid, s)) return fail();
            if (s < folded) {
                lo = mid + 1;
            } else {
                hi = mid;
            }
        }
        std::string_view s;
        if (lo < t.hotCount) {
            if (!hotString(t, lo, s)) return fail();
            if (s == folded) {
                for (uint32_t k = 0; k < kHotResults && best.size() < max; ++k) {
                    const uint32_t entry = word(t.hot + lo * kHotSize + 4 + 4 * k);
                    if (entry == kNone) break;
                    best.emplace_back(0, entry);
                }
                return finish();
            }
        }
    }

    uint32_t lo = 0;
    if (!firstKeyFrom(t, folded, lo)) return fail();
    for (uint32_t i = lo; i < t.keyCount; ++i) {
        std::string_view key;
        if (!keyString(t, i, key)) return fail();
        if (key.compare(0, folded.size(), folded) != 0) break;
        const int exact = key.size() == folded.size() ? 0 : 1;
        const uint32_t at = t.keys + i * kKeySize;
        const uint32_t posting = word(at + 4), count = word(at + 8);
        if (uint64_t{posting} + count > postingCount_) return fail();
        for (uint32_t p = 0; p < count; ++p) {
            const std::pair<int, uint32_t> candidate(exact, word(postings_ + (posting + p) * 4));
            // Postings ascend: once one cannot enter the list, none after it can.
            if (best.size() == max && !(candidate < best.back())) break;
            const auto same = std::find_if(best.begin(), best.end(), [&](const auto& b) {
                return b.second == candidate.second;
            });
            if (same != best.end()) {
                if (!(candidate < *same)) continue;
                best.erase(same);
            }
            best.insert(std::upper_bound(best.begin(), best.end(), candidate), candidate);
            if (best.size() > max) best.pop_back();
        }
    }
    return finish();
}

}  // namespace lumenvik
