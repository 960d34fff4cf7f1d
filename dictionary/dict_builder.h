#pragma once
// Makes the bytes of lumenvik-dict.bin (dict_format.h) from an EDICT file:
// EUC-JP, one headword a line, "KANJI [KANA] /gloss/gloss/(P)/" or
// "KANA /gloss/", "(P)" marking a common word; the first line names the
// file ("　？？？ /EDICT, .../").
//
// Bytes that do not decode as EUC-JP fail the build, naming the line: the
// dictionary must never hold a "?" the source did not. A line that is
// EUC-JP but not of that shape is left out and named in `warnings`.

#include <string>
#include <vector>

namespace lumenvik {

struct DictionaryBuild {
    std::string bytes;
    std::vector<std::string> warnings;
    std::string error;  // set when the build failed
    std::size_t entries = 0;
};

bool buildDictionary(const std::string& eucJp, DictionaryBuild& out);

// FNV-1a, 64 bits: the header's checksum of the source.
uint64_t sourceChecksum(const std::string& bytes);

}  // namespace lumenvik
