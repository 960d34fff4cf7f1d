#include "transcode/utf_engines.h"

#include "transcode/pass_buffer.h"

namespace transcode {

using detail::bytes_of;
using detail::pass_buffer;
using detail::unit_value;

// clang-format off
const std::uint8_t utf8_sequence_length[256] = {
    1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1, 1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,
    1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1, 1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,
    1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1, 1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,
    1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1, 1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,
    0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0, 0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,
    0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0, 0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,
    2,2,2,2,2,2,2,2,2,2,2,2,2,2,2,2, 2,2,2,2,2,2,2,2,2,2,2,2,2,2,2,2,
    3,3,3,3,3,3,3,3,3,3,3,3,3,3,3,3, 4,4,4,4,4,4,4,4,5,5,5,5,6,6,0,0,
};
// clang-format on
const std::uint8_t utf8_lead_mask[7] = {0x00, 0x7F, 0x1F, 0x0F, 0x07, 0x03, 0x01};

namespace {

constexpr std::uint32_t kReplacement = 0x3F;

inline bool is_continuation(unsigned b) { return (b & 0xC0) == 0x80; }

// UTF-16 bytes to units, two bytes per unit; Hi/Lo give the byte order.
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

// Units to UTF-16 bytes; an element that is no UTF-16 unit becomes U+003F.
template <int Hi, int Lo>
void encode_word_pairs(std::wstring& in, std::string& out) {
    const std::size_t old = out.size();
    out.resize(old + in.size() * 2);
    char* o = &out[0] + old;
    for (wchar_t w : in) {
        std::uint32_t u = unit_value(w);
        if (u > 0xFFFF) u = kReplacement;
        o[Hi] = static_cast<char>(u >> 8);
        o[Lo] = static_cast<char>(u & 0xFF);
        o += 2;
    }
    in.clear();
}

}  // namespace

void utf8_to_unicode_engine::translate() {
    std::string& in = untranslated_buffer;
    const unsigned char* p = bytes_of(in);
    const std::size_t n = in.size();
    std::size_t i = 0;
    pass_buffer<std::wstring> out(translated_buffer);
    while (i < n) {
        out.reserve();
        const unsigned b = p[i];
        if (b < 0x80) {
            // Runs of ASCII are common even in Japanese text (markup, digits).
            wchar_t* c = out.cursor();
            const std::size_t room = out.room();
            std::size_t k = 0;
            do {
                c[k++] = static_cast<wchar_t>(p[i++]);
            } while (k < room && i < n && p[i] < 0x80);
            out.advance(k);
            continue;
        }
        const unsigned len = utf8_sequence_length[b];
        if (len == 0) {
            out.put(kReplacement);
            ++i;
            continue;
        }
        std::uint32_t cp = b & utf8_lead_mask[len];
        unsigned j = 1;
        bool broken = false;
        for (; j < len && i + j < n; ++j) {
            const unsigned c = p[i + j];
            if (!is_continuation(c)) {
                broken = true;
                break;
            }
            cp = (cp << 6) | (c & 0x3F);
        }
        if (broken) {
            // The sequence ends early; the byte that ended it is read anew.
            out.put(kReplacement);
            i += j;
            continue;
        }
        if (j < len) break;  // cut off: waits for more input
        i += len;
        if (cp <= 0xFFFF) {
            out.put(cp);
        } else if (cp > 0x10FFFF) {
            out.put(kReplacement);
        } else {
            const std::uint32_t v = cp - 0x10000;
            out.put2(0xD800 + (v >> 10), 0xDC00 + (v & 0x3FF));
        }
    }
    out.commit();
    in.erase(0, i);
}

void unicode_to_utf8_engine::translate() {
    std::wstring& in = untranslated_buffer;
    const std::size_t n = in.size();
    std::size_t i = 0;
    pass_buffer<std::string> out(translated_buffer);
    while (i < n) {
        out.reserve();
        std::uint32_t u = unit_value(in[i]);
        if (u < 0x80) {
            out.put(u);
            ++i;
            continue;
        }
        if (u < 0x800) {
            out.put2(0xC0 | (u >> 6), 0x80 | (u & 0x3F));
            ++i;
            continue;
        }
        if (u > 0xFFFF) {
            out.put(kReplacement);
            ++i;
            continue;
        }
        if (u >= 0xD800 && u <= 0xDBFF) {
            if (i + 1 == n) break;  // a pair may be cut off: wait
            const std::uint32_t low = unit_value(in[i + 1]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                const std::uint32_t cp = ((u - 0xD800) << 10) + (low - 0xDC00) + 0x10000;
                out.put2(0xF0 | (cp >> 18), 0x80 | ((cp >> 12) & 0x3F));
                out.put2(0x80 | ((cp >> 6) & 0x3F), 0x80 | (cp & 0x3F));
                i += 2;
                continue;
            }
        }
        out.put(0xE0 | (u >> 12));
        out.put2(0x80 | ((u >> 6) & 0x3F), 0x80 | (u & 0x3F));
        ++i;
    }
    out.commit();
    in.erase(0, i);
}

void WORD_to_unicode_engine::translate() {
    decode_word_pairs<1, 0>(untranslated_buffer, translated_buffer);
}
void WORD_to_unicode_engine::flush() {
    translate();
    if (!untranslated_buffer.empty()) translated_buffer.push_back(L'?');
    untranslated_buffer.clear();
}

void cross_WORD_to_unicode_engine::translate() {
    decode_word_pairs<0, 1>(untranslated_buffer, translated_buffer);
}
void cross_WORD_to_unicode_engine::flush() {
    translate();
    if (!untranslated_buffer.empty()) translated_buffer.push_back(L'?');
    untranslated_buffer.clear();
}

void unicode_to_WORD_engine::translate() {
    encode_word_pairs<1, 0>(untranslated_buffer, translated_buffer);
}
void unicode_to_WORD_engine::flush() { translate(); }

void unicode_to_cross_WORD_engine::translate() {
    encode_word_pairs<0, 1>(untranslated_buffer, translated_buffer);
}
void unicode_to_cross_WORD_engine::flush() { translate(); }

void ansi_to_unicode_engine::translate() {
    const unsigned char* p = bytes_of(untranslated_buffer);
    const std::size_t n = untranslated_buffer.size();
    const std::size_t old = translated_buffer.size();
    translated_buffer.resize(old + n);
    wchar_t* o = &translated_buffer[0] + old;
    for (std::size_t i = 0; i < n; ++i) {
        o[i] = static_cast<wchar_t>(p[i] < 0x80 ? p[i] : kReplacement);
    }
    untranslated_buffer.clear();
}

void unicode_to_ansi_engine::translate() {
    pass_buffer<std::string> out(translated_buffer);
    for (wchar_t w : untranslated_buffer) {
        const std::uint32_t u = unit_value(w);
        if (u >= 0xE000 && u <= 0xF8FF) continue;
        out.reserve();
        out.put(u < 0x80 ? u : kReplacement);
    }
    out.commit();
    untranslated_buffer.clear();
}

}  // namespace transcode
