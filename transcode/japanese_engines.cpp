#include "transcode/japanese_engines.h"

#include <algorithm>

#include "transcode/pass_buffer.h"
#include "transcode/tables.h"

namespace transcode {

using detail::ascii_run;
using detail::bytes_of;
using detail::kAhead;
using detail::output_window;
using detail::put;
using detail::put2;
using detail::unit_value;
using namespace tables;

namespace {

constexpr unsigned kQ = 0x3F;  // the replacement, "?" or U+003F
constexpr unsigned ESC = 0x1B;
constexpr unsigned SO = 0x0E;  // enters the half-width katakana state 4
constexpr unsigned SI = 0x0F;  // leaves it

using byte_window = output_window<std::string>;
using unit_window = output_window<std::wstring>;

// Copies a run of ASCII bytes (at least the one at i) and returns the new
// position. Most Japanese prose has runs of ASCII between its characters.
template <class U>
inline std::size_t copy_ascii(U*& o, U* lim, const unsigned char* p, std::size_t i, std::size_t n) {
    do {
        *o++ = static_cast<U>(p[i++]);
    } while (i < n && p[i] < 0x80 && o < lim);
    return i;
}

// Copies a run of plain ASCII in a JIS stream (stops at ESC, SO and SI).
inline std::size_t copy_jis_ascii(char*& o, char* lim, const unsigned char* p, std::size_t i,
                                  std::size_t n) {
    do {
        *o++ = static_cast<char>(p[i++]);
    } while (i < n && p[i] < 0x80 && p[i] != ESC && p[i] != SO && p[i] != SI && o < lim);
    return i;
}

// Writes what switches a JIS stream from shift state `from` to `to`.
void write_designation(char*& o, int from, int to) {
    if (from == 4) {
        put(o, SI);
        if (to == 0) return;
    }
    switch (to) {
        case 0:
            put(o, ESC), put2(o, '(', 'B');
            break;
        case 1:
            put(o, ESC), put2(o, '$', 'B');
            break;
        case 2:
            put(o, ESC), put2(o, '(', 'I');
            break;
        case 3:
            put2(o, ESC, '$'), put2(o, '(', 'D');
            break;
        case 4:
            put(o, SO);
            break;
    }
}

// The shift state an encoder needs for its next character.
struct jis_writer {
    char*& o;
    std::int32_t& state;
    void need(int to) {
        if (to != state) {
            write_designation(o, state, to);
            state = to;
        }
    }
};

// Closes a JIS stream written by an encoder, then the default flush.
template <class Engine>
void close_jis(Engine& e) {
    byte_window win(e.translated_buffer);
    char* o = win.open(0, 0);
    jis_writer{o, e.state}.need(0);
    win.close(o);
    e.tc_translate_engine<std::string, std::string>::flush();
}

// What a JIS escape at position i means: the state it sets (or -1 for an
// unrecognised escape, which is dropped and keeps the state) and the bytes it
// uses; used == 0 means the escape is cut off and waits.
struct escape {
    int state;
    std::size_t used;
};

escape read_escape(const unsigned char* p, std::size_t i, std::size_t n) {
    if (n - i < 3) return {-1, 0};
    const unsigned a = p[i + 1], b = p[i + 2];
    if (a == '(' && (b == 'B' || b == 'J')) return {0, 3};
    if (a == '$' && b == 'B') return {1, 3};
    if (a == '(' && b == 'I') return {2, 3};
    if (a == '$' && b == '(') {
        if (n - i < 4) return {-1, 0};
        if (p[i + 3] == 'D') return {3, 4};
    }
    return {-1, 3};
}

// Half-width katakana 0x21-0x5F (JIS X 0201) to full-width JIS X 0208.
const std::uint16_t kana_plain[0x3F] = {
    0x2123, 0x2156, 0x2157, 0x2122, 0x2126, 0x2572, 0x2521, 0x2523, 0x2525, 0x2527, 0x2529,
    0x2563, 0x2565, 0x2567, 0x2543, 0x213C, 0x2522, 0x2524, 0x2526, 0x2528, 0x252A, 0x252B,
    0x252D, 0x252F, 0x2531, 0x2533, 0x2535, 0x2537, 0x2539, 0x253B, 0x253D, 0x253F, 0x2541,
    0x2544, 0x2546, 0x2548, 0x254A, 0x254B, 0x254C, 0x254D, 0x254E, 0x254F, 0x2552, 0x2555,
    0x2558, 0x255B, 0x255E, 0x255F, 0x2560, 0x2561, 0x2562, 0x2564, 0x2566, 0x2568, 0x2569,
    0x256A, 0x256B, 0x256C, 0x256D, 0x256F, 0x2573, 0x212B, 0x212C};

// Composition maps, filled by initialize(): kana byte - 0x21 to the JIS code
// of its voiced (with 0x5E) and semi-voiced (with 0x5F) form, 0 for none.
std::uint16_t kana_voiced[0x3F];
std::uint16_t kana_semivoiced[0x3F];
bool maps_filled = false;
bool initialized = false;

void fill_kana_maps() {
    if (maps_filled) return;
    kana_voiced[0x33 - 0x21] = 0x2574;  // U to VU
    for (unsigned b = 0x36; b <= 0x44; ++b) kana_voiced[b - 0x21] = kana_plain[b - 0x21] + 1;
    for (unsigned b = 0x4A; b <= 0x4E; ++b) {
        kana_voiced[b - 0x21] = kana_plain[b - 0x21] + 1;
        kana_semivoiced[b - 0x21] = kana_plain[b - 0x21] + 2;
    }
    maps_filled = true;
}

// CP932 double-byte codes by lead and trail byte, for the fast loop: one
// look-up gives the unit, "?" for an unmapped code, or kNone where the two
// bytes are no double-byte code (no lead, or no trail after it).
struct cp932_pairs {
    static constexpr std::uint16_t kNone = 0xFFFF;  // no CP932 code maps there
    static constexpr unsigned kNoneRow = 60;
    std::uint16_t base[256];                   // row * 256 of each lead byte
    std::uint16_t code[(kNoneRow + 1) * 256];  // [row][trail]
    cp932_pairs() {
        for (unsigned b = 0; b < 256; ++b) {
            const unsigned row = sjis_classes.row[b];
            base[b] = static_cast<std::uint16_t>((row == kNoRow ? kNoneRow : row) * 256);
        }
        for (unsigned row = 0; row <= kNoneRow; ++row) {
            for (unsigned t = 0; t < 256; ++t) {
                std::uint16_t u = kNone;
                if (row < kNoneRow && sjis_classes.trail[t]) {
                    u = cp932_to_unicode[row * 192 + t - 0x40];
                    if (u == 0) u = kQ;
                }
                code[row * 256 + t] = u;
            }
        }
    }
};

const cp932_pairs& cp932_pair_table() {
    static const cp932_pairs table;
    return table;
}

// EUC-JP two-byte codes of JIS X 0208 (leads A1-FE) by first and second
// byte, for the fast loop: one look-up gives the unit, "?" for an unmapped
// code, or kNone where the two bytes are no such code.
struct euc_pairs {
    static constexpr std::uint16_t kNone = 0xFFFF;  // no EUC-JP code maps there
    static constexpr unsigned kNoneRow = 94;
    std::uint16_t base[256];                   // row * 256 of each lead byte
    std::uint16_t code[(kNoneRow + 1) * 256];  // [lead - 0xA1][second]
    euc_pairs() {
        for (unsigned b = 0; b < 256; ++b) {
            const unsigned row = b >= 0xA1 && b <= 0xFE ? b - 0xA1 : kNoneRow;
            base[b] = static_cast<std::uint16_t>(row * 256);
        }
        for (unsigned row = 0; row <= kNoneRow; ++row) {
            for (unsigned f = 0; f < 256; ++f) {
                std::uint16_t u = kNone;
                if (row < kNoneRow && f >= 0xA1 && f <= 0xFE) {
                    u = euc_pair(row + 0xA1, f);
                    if (u == 0) u = kQ;
                }
                code[row * 256 + f] = u;
            }
        }
    }
};

const euc_pairs& euc_pair_table() {
    static const euc_pairs table;
    return table;
}

}  // namespace

void initialize() {
    if (initialized) return;
    fill_kana_maps();
    initialized = true;
}

void sjis_cp932_to_unicode_engine::translate() {
    std::string& in = untranslated_buffer;
    const unsigned char* p = bytes_of(in);
    const std::size_t n = in.size();
    std::size_t i = 0;
    unit_window win(translated_buffer);
    wchar_t* o = win.open(n, 1);
    wchar_t* lim = win.limit();
    const std::size_t factor = 1;
    // Fast loop: the byte after a lead byte is always there, and up to
    // `stop` every character fits below the window limit (none gives more
    // units than it has bytes).
    const cp932_pairs& pairs = cp932_pair_table();
    while (i + kAhead <= n) {
        if (o >= lim) {
            o = win.more(o, n - i, factor);
            lim = win.limit();
        }
        const std::size_t stop = std::min(n - kAhead + 1, i + static_cast<std::size_t>(lim - o));
        while (i < stop) {
            const unsigned b = p[i];
            if (b < 0x80) {
                i = ascii_run(o, lim, p, i, n);
                continue;
            }
            const unsigned u = pairs.code[pairs.base[b] + p[i + 1]];
            if (u != cp932_pairs::kNone) {
                put(o, u);
                i += 2;
            } else if (sjis_classes.row[b] != kNoRow) {
                put(o, kQ);  // a lead without a trail byte
                i += 1;
            } else {
                put(o, b >= 0xA1 && b <= 0xDF ? cp932_kana_to_unicode[b - 0xA1] : b);
                i += 1;
            }
        }
    }
    while (i < n) {
        if (o >= lim) {
            o = win.more(o, n - i, factor);
            lim = win.limit();
        }
        const unsigned b = p[i];
        if (b < 0x80) {
            i = copy_ascii(o, lim, p, i, n);
        } else if (sjis_classes.row[b] != kNoRow) {
            if (i + 1 == n) break;
            const unsigned t = p[i + 1];
            if (sjis_classes.trail[t]) {
                const unsigned u = cp932_to_unicode[sjis_classes.row[b] * 192u + t - 0x40];
                put(o, u ? u : kQ);
                i += 2;
            } else {
                put(o, kQ);
                i += 1;
            }
        } else if (b >= 0xA1 && b <= 0xDF) {
            put(o, cp932_kana_to_unicode[b - 0xA1]);
            ++i;
        } else {
            put(o, b);  // 80, A0, FD-FF keep their values
            ++i;
        }
    }
    win.close(o);
    in.erase(0, i);
}

void unicode_to_sjis_cp932_engine::translate() {
    const std::size_t n = untranslated_buffer.size();
    byte_window win(translated_buffer);
    char* o = win.open(n, 2);
    char* lim = win.limit();
    const wchar_t* q = untranslated_buffer.data();
    for (std::size_t i = 0; i < n; ++i) {
        if (o >= lim) {
            o = win.more(o, n - i, 2);
            lim = win.limit();
        }
        const std::uint32_t u = unit_value(q[i]);
        if (u < 0x80) {
            *o++ = static_cast<char>(u);
            continue;
        }
        const unsigned c = u <= 0xFFFF ? unicode_to_cp932(u) : 0;
        if (c >= 0x100) {
            detail::store_le16(o, (c >> 8) | ((c & 0xFF) << 8));
            o += 2;
        } else if (c) {
            put(o, c);
        } else if (u < 0xE000 || u > 0xF8FF) {
            put(o, kQ);
        }
    }
    win.close(o);
    untranslated_buffer.clear();
}

void euc_to_unicode_engine::translate() {
    std::string& in = untranslated_buffer;
    const unsigned char* p = bytes_of(in);
    const std::size_t n = in.size();
    std::size_t i = 0;
    unit_window win(translated_buffer);
    wchar_t* o = win.open(n, 1);
    wchar_t* lim = win.limit();
    const std::size_t factor = 1;
    auto valid = [](unsigned c) { return c >= 0xA1 && c <= 0xFE; };
    // Fast loop: the two bytes after a lead byte are always there, and up
    // to `stop` every character fits below the window limit (none gives
    // more units than it has bytes).
    const euc_pairs& pairs = euc_pair_table();
    while (i + kAhead <= n) {
        if (o >= lim) {
            o = win.more(o, n - i, factor);
            lim = win.limit();
        }
        const std::size_t stop = std::min(n - kAhead + 1, i + static_cast<std::size_t>(lim - o));
        while (i < stop) {
            const unsigned b = p[i];
            if (b < 0x80) {
                i = ascii_run(o, lim, p, i, n);
                continue;
            }
            const unsigned h = p[i + 1];
            const unsigned v = pairs.code[pairs.base[b] + h];
            if (v != euc_pairs::kNone) {
                // JIS X 0208, the bulk of any EUC-JP text.
                put(o, v);
                i += 2;
            } else if (b == 0x8F) {
                if (!valid(h)) {
                    put(o, kQ);
                    i += 1;
                } else if (!valid(p[i + 2])) {
                    put(o, kQ);
                    i += 2;
                } else {
                    const unsigned u = jisx0212_pair(h, p[i + 2]);
                    put(o, u ? u : kQ);
                    i += 3;
                }
            } else if (is_euc_lead(b)) {
                if (!valid(h)) {
                    put(o, kQ);
                    i += 1;
                } else {
                    const unsigned u = euc_pair(b, h);
                    put(o, u ? u : kQ);
                    i += 2;
                }
            } else {
                put(o, b);
                ++i;
            }
        }
    }
    while (i < n) {
        if (o >= lim) {
            o = win.more(o, n - i, factor);
            lim = win.limit();
        }
        const unsigned b = p[i];
        if (b < 0x80) {
            i = copy_ascii(o, lim, p, i, n);
        } else if (b == 0x8F) {
            // A byte outside A1-FE ends the character there and is read anew.
            if (i + 1 == n) break;
            if (!valid(p[i + 1])) {
                put(o, kQ);
                i += 1;
                continue;
            }
            if (i + 2 == n) break;
            if (!valid(p[i + 2])) {
                put(o, kQ);
                i += 2;
                continue;
            }
            const unsigned u = jisx0212_pair(p[i + 1], p[i + 2]);
            put(o, u ? u : kQ);
            i += 3;
        } else if (is_euc_lead(b)) {
            if (i + 1 == n) break;
            const unsigned h = p[i + 1];
            if (!valid(h)) {
                put(o, kQ);
                i += 1;
                continue;
            }
            const unsigned u = euc_pair(b, h);
            put(o, u ? u : kQ);
            i += 2;
        } else {
            put(o, b);
            ++i;
        }
    }
    win.close(o);
    in.erase(0, i);
}

void unicode_to_euc_engine::translate() {
    const std::size_t n = untranslated_buffer.size();
    byte_window win(translated_buffer);
    char* o = win.open(n, 3);
    char* lim = win.limit();
    for (std::size_t i = 0; i < n; ++i) {
        if (o >= lim) {
            o = win.more(o, n - i, 3);
            lim = win.limit();
        }
        const std::uint32_t u = unit_value(untranslated_buffer[i]);
        if (u < 0x80) {
            put(o, u);
            continue;
        }
        const unsigned v = u <= 0xFFFF ? unicode_to_euc(u) : 0;
        if (v >= 0x8000) {
            put2(o, v >> 8, v & 0xFF);
        } else if (v) {
            put(o, 0x8F);
            put2(o, (v >> 8) | 0x80, v & 0xFF);
        } else if (u < 0xE000 || u > 0xF8FF) {
            put(o, kQ);
        }
    }
    win.close(o);
    untranslated_buffer.clear();
}

void sjis_to_euc_engine::translate() {
    std::string& in = untranslated_buffer;
    const unsigned char* p = bytes_of(in);
    const std::size_t n = in.size();
    std::size_t i = 0;
    byte_window win(translated_buffer);
    char* o = win.open(n, 2);
    char* lim = win.limit();
    const std::size_t factor = 2;
    // Fast loop: the byte after a lead byte is always there.
    while (i + kAhead <= n) {
        if (o >= lim) {
            o = win.more(o, n - i, factor);
            lim = win.limit();
        }
        const unsigned b = p[i];
        if (b < 0x80) {
            i = ascii_run(o, lim, p, i, n);
            continue;
        }
        const unsigned t = p[i + 1];
        const unsigned row = sjis_classes.row[b];
        if (row < kSjisEucRows && sjis_classes.trail[t]) {
            // 81-9F and E0-EF: JIS X 0208 by the standard relation.
            detail::store_le16(o, sjis_euc.code[row * 192 + t - 0x40]);
            o += 2;
            i += 2;
        } else if (b - 0xA1 <= 0xDF - 0xA1) {
            put2(o, 0x8E, b);
            ++i;
        } else if (sjis_classes.row[b] == kNoRow) {
            put(o, b);
            ++i;
        } else if (!sjis_classes.trail[t]) {
            put(o, kQ);
            i += 1;
        } else if (b <= 0xF9) {
            put(o, kQ);  // user-defined area: no EUC-JP code
            i += 2;
        } else {
            const unsigned e = ibm_extension_to_euc(b, t);
            if (e) {
                put2(o, e >> 8, e & 0xFF);
                i += 2;
            } else {
                put(o, kQ);
                i += 1;
            }
        }
    }
    while (i < n) {
        if (o >= lim) {
            o = win.more(o, n - i, factor);
            lim = win.limit();
        }
        const unsigned b = p[i];
        if (b < 0x80) {
            i = copy_ascii(o, lim, p, i, n);
        } else if (is_sjis_lead(b)) {
            if (i + 1 == n) break;
            const unsigned t = p[i + 1];
            if (!is_sjis_trail(t)) {
                put(o, kQ);
                i += 1;
            } else if (b >= 0xF0 && b <= 0xF9) {
                put(o, kQ);  // user-defined area: no EUC-JP code
                i += 2;
            } else if (b >= 0xFA) {
                const unsigned e = ibm_extension_to_euc(b, t);
                if (e) {
                    put2(o, e >> 8, e & 0xFF);
                    i += 2;
                } else {
                    put(o, kQ);
                    i += 1;
                }
            } else {
                const byte_pair e = tables::sjis_to_euc(b, t);
                put2(o, e.first, e.second);
                i += 2;
            }
        } else if (b >= 0xA1 && b <= 0xDF) {
            put2(o, 0x8E, b);
            ++i;
        } else {
            put(o, b);
            ++i;
        }
    }
    win.close(o);
    in.erase(0, i);
}

void euc_to_sjis_engine::translate() {
    std::string& in = untranslated_buffer;
    const unsigned char* p = bytes_of(in);
    const std::size_t n = in.size();
    std::size_t i = 0;
    byte_window win(translated_buffer);
    char* o = win.open(n, 1);
    char* lim = win.limit();
    const std::size_t factor = 1;
    while (i < n) {
        if (o >= lim) {
            o = win.more(o, n - i, factor);
            lim = win.limit();
        }
        const unsigned b = p[i];
        if (b < 0x80) {
            i = copy_ascii(o, lim, p, i, n);
        } else if (b == 0x8F) {
            // JIS X 0212 has no Shift_JIS form. A byte below 0x80 ends the
            // character there and is read anew.
            if (i + 1 == n) break;
            if (p[i + 1] < 0x80) {
                put(o, kQ);
                i += 1;
                continue;
            }
            if (i + 2 == n) break;
            put(o, kQ);
            i += p[i + 2] < 0x80 ? 2 : 3;
        } else if (is_euc_lead(b)) {
            if (i + 1 == n) break;
            const unsigned f = p[i + 1];
            if (b == 0x8E && f >= 0xA1 && f <= 0xDF) {
                put(o, f);
                i += 2;
            } else if (f < 0x80) {
                put(o, kQ);
                i += 1;
            } else if (b == 0x8E) {
                put(o, kQ);  // no half-width katakana
                i += 2;
            } else if (b >= 0xF9 && b <= 0xFC) {
                // Rows 89-92 hold the NEC-selected IBM extensions.
                const unsigned s = euc_to_ibm_extension(b, f);
                if (s) {
                    put2(o, s >> 8, s & 0xFF);
                    i += 2;
                } else {
                    put(o, kQ);
                    i += 1;
                }
            } else {
                const byte_pair s = tables::euc_to_sjis(b, f);
                put2(o, s.first, s.second);
                i += 2;
            }
        } else {
            put(o, b);
            ++i;
        }
    }
    win.close(o);
    in.erase(0, i);
}

void sjis_to_jis_engine::translate() {
    std::string& in = untranslated_buffer;
    const unsigned char* p = bytes_of(in);
    const std::size_t n = in.size();
    std::size_t i = 0;
    byte_window win(translated_buffer);
    char* o = win.open(n, 4);
    char* lim = win.limit();
    const std::size_t factor = 4;
    jis_writer w{o, state};
    while (i < n) {
        if (o >= lim) {
            o = win.more(o, n - i, factor);
            lim = win.limit();
        }
        const unsigned b = p[i];
        if (b < 0x80) {
            w.need(0);
            i = copy_ascii(o, lim, p, i, n);
        } else if (is_sjis_lead(b)) {
            if (i + 1 == n) break;
            const unsigned t = p[i + 1];
            if (!is_sjis_trail(t)) {
                w.need(0);
                put(o, kQ);
                i += 1;
            } else if (b >= 0xF0 && b <= 0xF9) {
                w.need(0);
                put(o, kQ);  // user-defined area: no JIS code
                i += 2;
            } else if (b >= 0xFA) {
                const unsigned e = ibm_extension_to_euc(b, t);
                if (e) {
                    w.need(1);
                    put2(o, (e >> 8) & 0x7F, e & 0x7F);
                    i += 2;
                } else {
                    w.need(0);
                    put(o, kQ);
                    i += 1;
                }
            } else {
                w.need(1);
                const byte_pair j = tables::sjis_to_jis(b, t);
                put2(o, j.first, j.second);
                i += 2;
            }
        } else if (b >= 0xA1 && b <= 0xDF) {
            w.need(2);
            put(o, b - 0x80);
            ++i;
        } else {
            w.need(0);
            put(o, b);
            ++i;
        }
    }
    win.close(o);
    in.erase(0, i);
}

void sjis_to_jis_engine::flush() { close_jis(*this); }

void sjis_to_jis_engine::clear() {
    tc_translate_engine::clear();
    state = 0;
}

void euc_to_jis_engine::translate() {
    std::string& in = untranslated_buffer;
    const unsigned char* p = bytes_of(in);
    const std::size_t n = in.size();
    std::size_t i = 0;
    byte_window win(translated_buffer);
    char* o = win.open(n, 3);
    char* lim = win.limit();
    const std::size_t factor = 3;
    jis_writer w{o, state};
    while (i < n) {
        if (o >= lim) {
            o = win.more(o, n - i, factor);
            lim = win.limit();
        }
        const unsigned b = p[i];
        if (b < 0x80) {
            w.need(0);
            i = copy_ascii(o, lim, p, i, n);
        } else if (b == 0x8E) {
            if (i + 1 == n) break;
            const unsigned f = p[i + 1];
            if (f >= 0xA1 && f <= 0xDF) {
                w.need(2);
                put(o, f - 0x80);
                i += 2;
            } else {
                w.need(0);
                put(o, kQ);
                i += f < 0x80 ? 1 : 2;
            }
        } else if (b == 0x8F) {
            // A byte below 0x80 ends the character there and is read anew.
            if (i + 1 == n) break;
            if (p[i + 1] < 0x80) {
                w.need(0);
                put(o, kQ);
                i += 1;
                continue;
            }
            if (i + 2 == n) break;
            if (p[i + 2] < 0x80) {
                w.need(0);
                put(o, kQ);
                i += 2;
                continue;
            }
            w.need(3);
            put2(o, p[i + 1] & 0x7F, p[i + 2] & 0x7F);
            i += 3;
        } else if (is_euc_lead(b)) {
            if (i + 1 == n) break;
            const unsigned f = p[i + 1];
            if (f >= 0x80) {
                w.need(1);
                put2(o, b & 0x7F, f & 0x7F);
                i += 2;
            } else {
                w.need(0);
                put(o, kQ);
                i += 1;
            }
        } else {
            w.need(0);
            put(o, b);
            ++i;
        }
    }
    win.close(o);
    in.erase(0, i);
}

void euc_to_jis_engine::flush() { close_jis(*this); }

void euc_to_jis_engine::clear() {
    tc_translate_engine::clear();
    state = 0;
}

namespace {

// The two JIS decoders differ only in what they write per character.
enum class jis_target { sjis, euc };

template <jis_target Target>
void decode_jis(std::string& in, std::string& translated, std::int32_t& state) {
    const unsigned char* p = bytes_of(in);
    const std::size_t n = in.size();
    std::size_t i = 0;
    byte_window win(translated);
    char* o = win.open(n, 2);
    char* lim = win.limit();
    const std::size_t factor = 2;
    while (i < n) {
        if (o >= lim) {
            o = win.more(o, n - i, factor);
            lim = win.limit();
        }
        const unsigned b = p[i];
        if (b == ESC) {
            const escape e = read_escape(p, i, n);
            if (e.used == 0) break;
            if (e.state >= 0) state = e.state;
            i += e.used;
            continue;
        }
        if (b == SO || b == SI) {
            state = b == SO ? 4 : 0;
            ++i;
            continue;
        }
        switch (state) {
            case 1:
            case 3: {
                if (i + 1 == n) goto done;
                const unsigned c = p[i + 1];
                if (Target == jis_target::euc) {
                    if (state == 3) put(o, 0x8F);
                    put2(o, b | 0x80, c | 0x80);
                    i += 2;
                } else if (state == 3) {
                    put(o, kQ);  // JIS X 0212 has no Shift_JIS form
                    i += 2;
                } else if (b >= 0x79 && b <= 0x7C) {
                    const unsigned s = euc_to_ibm_extension(b | 0x80, c | 0x80);
                    // Without an entry the pair still counts as one
                    // character, so the pairs after it stay aligned.
                    if (s) {
                        put2(o, s >> 8, s & 0xFF);
                    } else {
                        put(o, kQ);
                    }
                    i += 2;
                } else {
                    const byte_pair s = tables::jis_to_sjis(b, c);
                    put2(o, s.first, s.second);
                    i += 2;
                }
                break;
            }
            case 2:
            case 4:
                if (Target == jis_target::euc) put(o, 0x8E);
                put(o, (b + 0x80) & 0xFF);
                ++i;
                break;
            default:
                if (b < 0x80) {
                    i = copy_jis_ascii(o, lim, p, i, n);
                } else {
                    put(o, b);
                    ++i;
                }
                break;
        }
    }
done:
    win.close(o);
    in.erase(0, i);
}

}  // namespace

void jis_to_sjis_engine::translate() {
    decode_jis<jis_target::sjis>(untranslated_buffer, translated_buffer, state);
}

void jis_to_sjis_engine::flush() {
    state = 0;
    tc_translate_engine::flush();
}

void jis_to_sjis_engine::clear() {
    tc_translate_engine::clear();
    state = 0;
}

void jis_to_euc_engine::translate() {
    decode_jis<jis_target::euc>(untranslated_buffer, translated_buffer, state);
}

void jis_to_euc_engine::flush() {
    state = 0;
    tc_translate_engine::flush();
}

void jis_to_euc_engine::clear() {
    tc_translate_engine::clear();
    state = 0;
}

jis_to_iso2022jp_engine::jis_to_iso2022jp_engine() { initialize(); }

void jis_to_iso2022jp_engine::translate() {
    std::string& in = untranslated_buffer;
    const unsigned char* p = bytes_of(in);
    const std::size_t n = in.size();
    std::size_t i = 0;
    byte_window win(translated_buffer);
    char* o = win.open(n, 3);
    char* lim = win.limit();
    const std::size_t factor = 3;
    jis_writer w{o, output_state};
    while (i < n) {
        if (o >= lim) {
            o = win.more(o, n - i, factor);
            lim = win.limit();
        }
        const unsigned b = p[i];
        if (b == ESC) {
            const escape e = read_escape(p, i, n);
            if (e.used == 0) break;
            if (e.state >= 0) state = e.state;
            i += e.used;
            continue;
        }
        if (b == SO || b == SI) {
            state = b == SO ? 4 : 0;
            ++i;
            continue;
        }
        if (state == 1 || state == 3) {
            if (i + 1 == n) break;
            if (state == 1) {
                w.need(1);
                put2(o, b, p[i + 1]);
            } else {
                w.need(0);
                put(o, kQ);  // JIS X 0212 has no ISO-2022-JP form
            }
            i += 2;
        } else if (state == 2 || state == 4) {
            if (b < 0x21 || b > 0x5F) {
                w.need(0);
                put(o, kQ);
                ++i;
                continue;
            }
            const unsigned k = b - 0x21;
            unsigned code = kana_plain[k];
            std::size_t used = 1;
            if (kana_voiced[k]) {
                if (i + 1 == n) break;  // a sound mark may follow
                const unsigned mark = p[i + 1];
                if (mark == 0x5E) {
                    code = kana_voiced[k], used = 2;
                } else if (mark == 0x5F && kana_semivoiced[k]) {
                    code = kana_semivoiced[k], used = 2;
                }
            }
            w.need(1);
            put2(o, code >> 8, code & 0xFF);
            i += used;
        } else {
            w.need(0);
            if (b < 0x80) {
                i = copy_jis_ascii(o, lim, p, i, n);
            } else {
                put(o, b);
                ++i;
            }
        }
    }
    win.close(o);
    in.erase(0, i);
}

void jis_to_iso2022jp_engine::flush() {
    {
        byte_window win(translated_buffer);
        char* o = win.open(0, 0);
        jis_writer w{o, output_state};
        std::string& in = untranslated_buffer;
        if ((state == 2 || state == 4) && in.size() == 1) {
            const unsigned b = static_cast<unsigned char>(in[0]);
            if (b >= 0x21 && b <= 0x5F) {
                const unsigned code = kana_plain[b - 0x21];
                w.need(1);
                put2(o, code >> 8, code & 0xFF);
                in.clear();
            }
        }
        w.need(0);
        win.close(o);
    }
    state = 0;
    tc_translate_engine::flush();
}

void jis_to_iso2022jp_engine::clear() {
    tc_translate_engine::clear();
    state = 0;
    output_state = 0;
}

}  // namespace transcode
