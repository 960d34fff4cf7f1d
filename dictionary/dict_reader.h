#pragma once
// Looks words up in lumenvik-dict.bin (dict_format.h) where it lies in
// memory: open() checks the header and that every section lies inside the
// file, and each look-up checks every offset it follows against the
// sections' sizes, so a truncated, foreign or corrupted file gives an
// answer of "unusable", never a read outside the bytes or an endless loop.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lumenvik {

struct DictionaryRow {
    std::string_view headword;
    std::string_view reading;  // empty for a kana-only headword
    std::string_view glosses;  // the source's fields joined by "/"
    bool common = false;
};

// The row as one line of text, for the list, the clipboard and screen
// readers: "車 [くるま] (n) (1) car; automobile; ...".
std::string rowText(const DictionaryRow& row);

class DictionaryReader {
  public:
    static constexpr std::size_t kMaxRows = 8;
    // The most entries an English phrase's look-up reads, in the entries'
    // order (common words first): a bound on the time a keystroke takes.
    static constexpr std::size_t kPhraseScan = 2048;

    // The bytes stay the caller's and must outlive the reader. False, with
    // the reason in `problem`, when they are no dictionary of this version.
    bool open(const unsigned char* data, std::size_t size, std::string& problem);
    bool isOpen() const { return data_ != nullptr; }

    // The entries whose folded headword or reading (Japanese text) or one
    // of whose folded gloss words (text of ASCII letters and digits alone,
    // after folding) starts with the folded `query`: exact matches first,
    // then the entry order (common words, shorter headwords, the source's
    // order). English of several words is a phrase that one gloss holds in
    // a row, the last word perhaps cut short ("ice cr" finds ice cream): a
    // gloss that is the phrase itself first, then a whole last word, then
    // earlier senses, then the entry order. At most `max`. False when the
    // file proves corrupt on the way (`rows` is then empty).
    bool lookup(std::string_view query, std::size_t max, std::vector<DictionaryRow>& rows) const;

  private:
    struct Table {
        uint32_t keys = 0, keyCount = 0, hot = 0, hotCount = 0;
    };
    uint32_t word(uint32_t at) const;
    bool string(uint32_t offset, std::string_view& out) const;
    bool row(uint32_t entry, DictionaryRow& out) const;
    bool keyString(const Table& t, uint32_t i, std::string_view& out) const;
    bool hotString(const Table& t, uint32_t i, std::string_view& out) const;
    // The first key not less than `key` (keyCount when there is none).
    bool firstKeyFrom(const Table& t, std::string_view key, uint32_t& index) const;
    // The postings of the key equal to `key` (count 0 when there is none).
    bool exactKey(const Table& t, std::string_view key, uint32_t& posting, uint32_t& count) const;
    bool phraseLookup(const std::vector<std::string>& words, std::size_t max,
                      std::vector<DictionaryRow>& rows) const;

    const unsigned char* data_ = nullptr;
    std::size_t size_ = 0;
    uint32_t entries_ = 0, entryCount_ = 0;
    uint32_t postings_ = 0, postingCount_ = 0;
    uint32_t pool_ = 0, poolSize_ = 0;
    Table j_, w_;
};

}  // namespace lumenvik
