// Whole-text conversions of the pairs the library converts in a single pass
// over the input, with no UTF-16 units held in between. Each gives the
// one-shot result of its pair's chain (no byte-order mark added or
// removed). Defined beside the steps they run: shift_jis.cpp, euc_jp.cpp,
// utf8.cpp, utf16.cpp.
#pragma once

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

using one_pass_conversion = std::string (*)(const std::string&);

// The single-pass conversion of the pair, or nullptr where it has none.
one_pass_conversion one_pass_for(encoding_id from, encoding_id to);

}  // namespace detail
}  // namespace transcode
