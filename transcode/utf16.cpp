// UTF-16 as bytes in either order, to and from UTF-16 units.
#include <algorithm>

#include "transcode/one_pass.h"
#include "transcode/pass_buffer.h"
#include "transcode/utf_engines.h"

namespace transcode {

using detail::bytes_of;
using detail::unit_value;

namespace {

// UTF-16 bytes to units, two bytes per unit; Hi/Lo give the byte order. An
// odd last byte waits.
template <int Hi, int Lo>
void decode_word_pairs(std::string& in, std::wstring& out) {
    const unsigned char* p = bytes_of(in);
    const std::size_t units = in.size() / 2;
    const std::size_t old = out.size();
    out.resize(old + units);
    wchar_t* o = &out[0] + old;
    for (std::size_t k = 0; k < units; ++k, p += 2) {
        o[k] = static_cast<wchar_t>((static_cast<unsigned>(p[Hi]) << 8) | p[Lo]);
    }
    in.erase(0, units * 2);
}

// The odd byte left at the end of the stream becomes U+003F.
template <int Hi, int Lo>
void flush_word_pairs(std::string& in, std::wstring& out) {
    decode_word_pairs<Hi, Lo>(in, out);
    if (!in.empty()) out.push_back(static_cast<wchar_t>(replacement_char));
    in.clear();
}

// Units to UTF-16 bytes; an element that is no UTF-16 unit becomes U+003F.
template <int Hi, int Lo>
void encode_word_pairs(std::wstring& in, std::string& out) {
    const std::size_t old = out.size();
    out.resize(old + in.size() * 2);
    char* o = &out[0] + old;
    for (wchar_t w : in) {
        std::uint32_t u = unit_value(w);
        if (u > 0xFFFF) u = replacement_char;
        o[Hi] = static_cast<char>(u >> 8);
        o[Lo] = static_cast<char>(u & 0xFF);
        o += 2;
    }
    in.clear();
}

}  // namespace

void WORD_to_unicode_engine::translate() {
    decode_word_pairs<1, 0>(untranslated_buffer, translated_buffer);
}
void WORD_to_unicode_engine::flush() {
    flush_word_pairs<1, 0>(untranslated_buffer, translated_buffer);
}

void cross_WORD_to_unicode_engine::translate() {
    decode_word_pairs<0, 1>(untranslated_buffer, translated_buffer);
}
void cross_WORD_to_unicode_engine::flush() {
    flush_word_pairs<0, 1>(untranslated_buffer, translated_buffer);
}

void unicode_to_WORD_engine::translate() {
    encode_word_pairs<1, 0>(untranslated_buffer, translated_buffer);
}
void unicode_to_WORD_engine::flush() { translate(); }

void unicode_to_cross_WORD_engine::translate() {
    encode_word_pairs<0, 1>(untranslated_buffer, translated_buffer);
}
void unicode_to_cross_WORD_engine::flush() { translate(); }

namespace detail {

std::string utf16le_through(const std::string& text, unit_kernel kernel,
                            std::size_t most_per_unit) {
    std::string out;
    const std::size_t units = text.size() / 2;
    // Two bytes a unit at once, the text's own size, which only JIS X 0212
    // codes in EUC-JP go beyond: the window's first reserve, capped for
    // texts of several megabytes, would leave the output to grow by a copy.
    out.reserve(text.size() + output_window<std::string>::kSlack);
    output_window<std::string> win(out);
    char* o = win.open(units + 1, most_per_unit);
    constexpr std::size_t kPiece = 1 << 14;
    for (std::size_t k = 0; k < units; k += kPiece) {
        if (k) o = win.more(o, units - k + 1, most_per_unit);
        o = kernel(bytes_of(text) + 2 * k, std::min(kPiece, units - k), o);
    }
    if (text.size() % 2) *o++ = static_cast<char>(replacement_char);
    win.close(o);
    return out;
}

}  // namespace detail

}  // namespace transcode
