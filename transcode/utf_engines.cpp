#include "transcode/utf_engines.h"

#include "transcode/pass_buffer.h"

namespace transcode {

using detail::ascii_run;
using detail::bytes_of;
using detail::kAhead;
using detail::load_le32;
using detail::output_window;
using detail::put;
using detail::put2;
using detail::store_le16;
using detail::store_le32;
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
    output_window<std::wstring> w(translated_buffer);
    wchar_t* o = w.open(n, 1);
    wchar_t* lim = w.limit();
    // Fast loop for ASCII and complete three-byte sequences; anything else
    // goes to the general loop below one character at a time.
    for (;;) {
        while (i + kAhead <= n) {
            if (o >= lim) {
                o = w.more(o, n - i, 1);
                lim = w.limit();
            }
            const std::uint32_t v = load_le32(p + i);
            if ((v & 0x80) == 0) {
                i = ascii_run(o, lim, p, i, n);
            } else if ((v & 0xC0C0F0) == 0x8080E0) {
                put(o, ((v & 0x0F) << 12) | ((v >> 2) & 0xFC0) | ((v >> 16) & 0x3F));
                i += 3;
            } else {
                break;
            }
        }
        if (i + kAhead > n) break;
        // One character of any other kind, then back to the fast loop.
        if (o >= lim) {
            o = w.more(o, n - i, 1);
            lim = w.limit();
        }
        const unsigned b = p[i];
        const unsigned len = utf8_sequence_length[b];
        if (len == 0) {
            put(o, kReplacement);
            ++i;
            continue;
        }
        std::uint32_t cp = b & utf8_lead_mask[len];
        unsigned j = 1;
        for (; j < len; ++j) {
            const unsigned c = p[i + j];
            if (!is_continuation(c)) break;
            cp = (cp << 6) | (c & 0x3F);
        }
        if (j < len) {
            put(o, kReplacement);  // ended early; the byte that ended it is read anew
            i += j;
        } else {
            i += len;
            if (cp <= 0xFFFF) {
                put(o, cp);
            } else if (cp > 0x10FFFF) {
                put(o, kReplacement);
            } else {
                const std::uint32_t x = cp - 0x10000;
                put2(o, 0xD800 + (x >> 10), 0xDC00 + (x & 0x3FF));
            }
        }
    }
    while (i < n) {
        if (o >= lim) {
            o = w.more(o, n - i, 1);
            lim = w.limit();
        }
        const unsigned b = p[i];
        if (b < 0x80) {
            // Runs of ASCII are common even in Japanese text (markup, digits).
            do {
                *o++ = static_cast<wchar_t>(p[i++]);
            } while (i < n && p[i] < 0x80 && o < lim);
            continue;
        }
        // The common case, a complete three-byte sequence (kana and kanji).
        if ((b & 0xF0) == 0xE0 && i + 2 < n && is_continuation(p[i + 1]) &&
            is_continuation(p[i + 2])) {
            put(o, ((b & 0x0F) << 12) | ((p[i + 1] & 0x3Fu) << 6) | (p[i + 2] & 0x3Fu));
            i += 3;
            continue;
        }
        const unsigned len = utf8_sequence_length[b];
        if (len == 0) {
            put(o, kReplacement);
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
            put(o, kReplacement);
            i += j;
            continue;
        }
        if (j < len) break;  // cut off: waits for more input
        i += len;
        if (cp <= 0xFFFF) {
            put(o, cp);
        } else if (cp > 0x10FFFF) {
            put(o, kReplacement);
        } else {
            const std::uint32_t v = cp - 0x10000;
            put2(o, 0xD800 + (v >> 10), 0xDC00 + (v & 0x3FF));
        }
    }
    w.close(o);
    in.erase(0, i);
}

void unicode_to_utf8_engine::translate() {
    std::wstring& in = untranslated_buffer;
    const std::size_t n = in.size();
    std::size_t i = 0;
    output_window<std::string> w(translated_buffer);
    char* o = w.open(n, 3);
    char* lim = w.limit();
    const wchar_t* q = in.data();
    while (i < n) {
        // Fast loop over units below U+10000 outside the surrogates, in
        // runs of ASCII and runs of the rest (kana and kanji mostly).
        for (; i < n; ++i) {
            if (o >= lim) {
                o = w.more(o, n - i, 3);
                lim = w.limit();
            }
            const std::uint32_t u = unit_value(q[i]);
            if (u < 0x80) {
                *o++ = static_cast<char>(u);
            } else if (u >= 0x800 && u <= 0xFFFF && u - 0xD800 >= 0x800) {
                store_le32(o, (0xE0 | (u >> 12)) | ((0x80 | ((u >> 6) & 0x3F)) << 8) |
                                  ((0x80 | (u & 0x3F)) << 16));
                o += 3;
            } else if (u < 0x800) {
                store_le16(o, (0xC0 | (u >> 6)) | ((0x80 | (u & 0x3F)) << 8));
                o += 2;
            } else {
                break;
            }
        }
        if (i == n) break;
        // A surrogate or an element that is no UTF-16 unit.
        const std::uint32_t u = unit_value(in[i]);
        if (u > 0xFFFF) {
            put(o, kReplacement);
            ++i;
            continue;
        }
        if (u >= 0xD800 && u <= 0xDBFF) {
            if (i + 1 == n) break;  // a pair may be cut off: wait
            const std::uint32_t low = unit_value(in[i + 1]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                const std::uint32_t cp = ((u - 0xD800) << 10) + (low - 0xDC00) + 0x10000;
                put2(o, 0xF0 | (cp >> 18), 0x80 | ((cp >> 12) & 0x3F));
                put2(o, 0x80 | ((cp >> 6) & 0x3F), 0x80 | (cp & 0x3F));
                i += 2;
                continue;
            }
        }
        put(o, 0xE0 | (u >> 12));
        put2(o, 0x80 | ((u >> 6) & 0x3F), 0x80 | (u & 0x3F));
        ++i;
    }
    w.close(o);
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
    const std::size_t n = untranslated_buffer.size();
    output_window<std::string> w(translated_buffer);
    char* o = w.open(n, 1);
    char* lim = w.limit();
    for (std::size_t i = 0; i < n; ++i) {
        if (o >= lim) {
            o = w.more(o, n - i, 1);
            lim = w.limit();
        }
        const std::uint32_t u = unit_value(untranslated_buffer[i]);
        if (u >= 0xE000 && u <= 0xF8FF) continue;
        put(o, u < 0x80 ? u : kReplacement);
    }
    w.close(o);
    untranslated_buffer.clear();
}

}  // namespace transcode
