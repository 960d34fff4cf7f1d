// The dictionary reader over any file bytes and any query:
// - no sanitizer report: the file sits in a heap block of exactly its size,
//   so a read past any offset the reader follows is caught;
// - a look-up gives at most the rows asked for, each string inside the
//   file's bytes, or "unusable" with no rows;
// - the same look-up again gives the same answer (nothing is cached wrong).
//
// Input layout: byte 0 is the query's length (at most 31), the query
// follows, the rest is the file.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "dictionary/dict_reader.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

bool inside(std::string_view s, const unsigned char* data, std::size_t size) {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    return s.empty() || (p >= data && p + s.size() <= data + size);
}

void lookUp(const lumenvik::DictionaryReader& reader, const std::string& query, std::size_t max,
            const unsigned char* data, std::size_t size) {
    std::vector<lumenvik::DictionaryRow> rows, again;
    const bool ok = reader.lookup(query, max, rows);
    FUZZ_CHECK(ok || rows.empty());
    FUZZ_CHECK(rows.size() <= max);
    for (const lumenvik::DictionaryRow& r : rows) {
        FUZZ_CHECK(inside(r.headword, data, size) && inside(r.reading, data, size) &&
                   inside(r.glosses, data, size));
    }
    FUZZ_CHECK(reader.lookup(query, max, again) == ok && again.size() == rows.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t queryLength = std::min<std::size_t>(data[0] & 0x1F, size - 1);
    const std::string query(reinterpret_cast<const char*>(data + 1), queryLength);
    const std::vector<unsigned char> file(data + 1 + queryLength, data + size);
    // An exact block; an empty file is a null pointer, as a failed mapping.
    unsigned char* block = file.empty() ? nullptr : new unsigned char[file.size()];
    if (block != nullptr) std::copy(file.begin(), file.end(), block);
    lumenvik::DictionaryReader reader;
    std::string problem;
    if (reader.open(block, file.size(), problem)) {
        lookUp(reader, query, 8, block, file.size());
        lookUp(reader, query, 3, block, file.size());
        for (const char* q : {"a", "c", u8"く", u8"車"}) lookUp(reader, q, 8, block, file.size());
    } else {
        FUZZ_CHECK(!problem.empty());
    }
    delete[] block;
    return 0;
}
