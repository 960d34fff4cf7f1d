// Whole-text conversions of the pairs the library converts in a single pass
// over the input, with no UTF-16 units held in between, and of the
// ISO-2022-JP pairs with UTF-8, two such passes in a row. Each gives the
// one-shot result of its pair's chain (no byte-order mark added or
// removed). Defined beside the steps they run: shift_jis.cpp, euc_jp.cpp,
// utf8.cpp, utf16.cpp, jis.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "transcode/encoding.h"

namespace transcode {
namespace detail {

std::string cp932_to_utf8(const std::string& text);
std::string cp932_to_utf16le(const std::string& text);
std::string euc_to_utf8(const std::string& text);
std::string euc_to_utf16le(const std::string& text);
std::string utf8_to_cp932(const std::string& text);
std::string utf8_to_utf16le(const std::string& text);
std::string utf16le_to_cp932(const std::string& text);
std::string utf16le_to_euc(const std::string& text);
std::string utf16le_to_iso2022jp(const std::string& text);
std::string utf8_to_iso2022jp(const std::string& text);
std::string iso2022jp_to_utf8(const std::string& text);

// UTF-16LE units (two bytes each at p) written at o as CP932 or EUC-JP, as
// the encoder engines write them; returns past the output, which is at most
// three bytes a unit (two for CP932), and may store 64 bytes beyond it.
char* units_to_cp932(const unsigned char* p, std::size_t units, char* o);
char* units_to_euc(const unsigned char* p, std::size_t units, char* o);

// UTF-16LE text through such a kernel, in pieces no longer than the output
// window, `most_per_unit` bytes a unit at most; an odd last byte becomes the
// replacement character.
using unit_kernel = char* (*)(const unsigned char* p, std::size_t units, char* o);
std::string utf16le_through(const std::string& text, unit_kernel kernel, std::size_t most_per_unit);

// Every UTF-16 unit's EUC-JP output in one look-up (built at first use):
// a two-byte code or a single byte, first byte lowest; 0 for nothing (the
// private use area) and for U+0000 (one byte); kEucThree for a JIS X 0212
// code, which takes the table of codes again.
constexpr std::uint16_t kEucThree = 0xFFFF;  // FF FF is no two-byte code
const std::uint16_t* euc_unit_outputs();

using one_pass_conversion = std::string (*)(const std::string&);

// The single-pass conversion of the pair, or nullptr where it has none.
one_pass_conversion one_pass_for(encoding_id from, encoding_id to);

}  // namespace detail
}  // namespace transcode
