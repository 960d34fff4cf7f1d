#pragma once
// The layout of lumenvik-dict.bin, used in place (memory-mapped, nothing is
// parsed at open). Every number is a little-endian 32-bit word; offsets
// count bytes from the start of the file, except string offsets, which
// count from the start of the string pool.
//
//   header     kHeaderSize bytes (fields below)
//   entries    16 bytes each: headword, reading (kNone for none), glosses
//              (strings), flags (kCommon); in rank order: common words
//              first, then shorter headwords, then the source's order
//   jkeys      12 bytes each: key string, first posting, posting count;
//              folded headwords and readings, sorted by their bytes
//   wkeys      the same for the folded words of the glosses
//   jhot/whot  36 bytes each: key string and the 8 best entries (kNone
//              pads) of every prefix whose key range is longer than
//              kHotRange, sorted by their bytes: a short prefix such as "a"
//              is answered without walking thousands of keys
//   postings   entry numbers, ascending within a key
//   pool       strings, each a 16-bit length and that many UTF-8 bytes
//
// Glosses are the source's fields without "(P)", joined by "/".

#include <cstdint>

namespace lumenvik {
namespace dict {

constexpr char kMagic[8] = {'L', 'V', 'K', 'D', 'I', 'C', 'T', 0x1A};
constexpr uint32_t kVersion = 1;
constexpr uint32_t kNone = 0xFFFFFFFFu;
constexpr uint32_t kCommon = 1;
constexpr uint32_t kEntrySize = 16;
constexpr uint32_t kKeySize = 12;
constexpr uint32_t kHotResults = 8;
constexpr uint32_t kHotSize = 4 + 4 * kHotResults;
constexpr uint32_t kHotRange = 96;

// Word indices of the header's fields (after the 8 bytes of the magic).
enum HeaderField : uint32_t {
    hVersion,
    hFileSize,
    hSourceSize,
    hSourceChecksumLow,  // FNV-1a, 64 bits, of the source file's bytes
    hSourceChecksumHigh,
    hEntryCount,
    hEntries,
    hJKeyCount,
    hJKeys,
    hWKeyCount,
    hWKeys,
    hJHotCount,
    hJHot,
    hWHotCount,
    hWHot,
    hPostingCount,
    hPostings,
    hPoolSize,
    hPool,
    hFieldCount
};
constexpr uint32_t kHeaderSize = 8 + 4 * hFieldCount;

}  // namespace dict
}  // namespace lumenvik
