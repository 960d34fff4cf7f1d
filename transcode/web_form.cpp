// The web-form encoders. They need no tables of their own: the standard's
// index of JIS X 0208 is the code page 932 double-byte set (its pointers run
// in code order), so the library's Unicode-to-CP932 and Unicode-to-EUC-JP
// tables, which keep the lowest code of each character, already give the
// index's first pointer. What the standard's encoders do differently is
// decided here, character by character.
#include "transcode/web_form.h"

#include "transcode/japanese_engines.h"
#include "transcode/jis_shift.h"
#include "transcode/tables.h"

namespace transcode {

namespace {

constexpr std::uint32_t kReplacement = 0xFFFD;

bool half_width_katakana(std::uint32_t c) { return c >= 0xFF61 && c <= 0xFF9F; }

// The Shift_JIS code the standard writes for `c` (BMP, above U+0080): the
// first code of the index that holds it, skipping the NEC-selected IBM
// extensions ED40-EEFC; 0 when there is none.
unsigned sjis_code(std::uint32_t c) {
    unsigned code = tables::unicode_to_cp932(c);
    if (code < 0x100) return 0;  // half-width katakana are written before
    const unsigned lead = code >> 8, trail = code & 0xFF;
    // The library's one-way entries (U+00A2 to 8191, U+301C to 8160, ...)
    // are characters the index does not hold.
    if (tables::cp932_pair(lead, trail) != c) return 0;
    if (lead == 0xED || lead == 0xEE) {
        // Each of those characters is also an IBM extension, FA40-FC4B.
        const tables::byte_pair e = tables::sjis_to_euc(lead, trail);
        code = tables::euc_to_ibm_extension(e.first, e.second);
    }
    return code;
}

// The EUC-JP code the standard writes for `c` (BMP, above U+007F): JIS X
// 0208 only (NEC row 13 and the NEC-selected rows 89-92 included); 0 for a
// JIS X 0212 character or none.
unsigned euc_code(std::uint32_t c) {
    const unsigned code = tables::unicode_to_euc(c);
    return code >= 0xA100 ? code : 0;  // JIS X 0212 is stored below 0x8000
}

void put(std::string& out, unsigned byte) { out.push_back(static_cast<char>(byte)); }

void put_utf8(std::string& out, std::uint32_t c) {
    if (c < 0x80) {
        put(out, c);
    } else if (c < 0x800) {
        put(out, 0xC0 | c >> 6);
        put(out, 0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        put(out, 0xE0 | c >> 12);
        put(out, 0x80 | (c >> 6 & 0x3F));
        put(out, 0x80 | (c & 0x3F));
    } else {
        put(out, 0xF0 | c >> 18);
        put(out, 0x80 | (c >> 12 & 0x3F));
        put(out, 0x80 | (c >> 6 & 0x3F));
        put(out, 0x80 | (c & 0x3F));
    }
}

}  // namespace

unicode_to_web_form_engine::unicode_to_web_form_engine(encoding_id target)
    : target_(target == encoding_sjis || target == encoding_euc || target == encoding_iso2022jp
                  ? target
                  : encoding_utf8) {
    initialize();  // the kana composition maps
}

void unicode_to_web_form_engine::write_reference(std::uint32_t c) {
    translated_buffer += "&#" + std::to_string(c) + ";";
}

// The standard's ISO-2022-JP encoder, with a half-width katakana and the
// sound mark `next` joined where they have one full-width form.
void unicode_to_web_form_engine::write_iso2022jp(std::uint32_t c, std::uint32_t next,
                                                 std::size_t& used) {
    std::string& out = translated_buffer;
    const auto switch_to = [&](iso_state to) {
        if (state_ == to) return;
        put(out, detail::ESC);
        out += to == iso_state::roman ? "(J" : to == iso_state::jis0208 ? "$B" : "(B";
        state_ = to;
    };
    if (c == detail::ESC || c == detail::SO || c == detail::SI) {
        // They would switch the site's decoder: an error, like any other.
        if (state_ == iso_state::jis0208) switch_to(iso_state::ascii);
        write_reference(kReplacement);
        return;
    }
    if (c < 0x80) {
        // The Roman set is ASCII but for 5C (yen sign) and 7E (overline).
        if (state_ != iso_state::roman || c == 0x5C || c == 0x7E) switch_to(iso_state::ascii);
        put(out, c);
        return;
    }
    if (c == 0xA5 || c == 0x203E) {
        switch_to(iso_state::roman);
        put(out, c == 0xA5 ? 0x5C : 0x7E);
        return;
    }
    if (c == 0x2212) c = 0xFF0D;
    unsigned code = 0;  // JIS X 0208, two 7-bit bytes
    if (half_width_katakana(c)) {
        const unsigned mark = next == 0xFF9E || next == 0xFF9F ? next - 0xFF40 : 0;
        const detail::kana_jis0208 k = detail::kana_to_jis0208(c - 0xFF40, mark);
        code = k.code;
        if (k.joined) ++used;
    } else if (c <= 0xFFFF) {
        code = euc_code(c) & 0x7F7F;
    }
    if (code == 0) {
        if (state_ == iso_state::jis0208) switch_to(iso_state::ascii);
        write_reference(c);
        return;
    }
    switch_to(iso_state::jis0208);
    put(out, code >> 8);
    put(out, code & 0xFF);
}

// Writes the character at `i`; returns the units it used, or 0 when it must
// wait for more input (never at the end).
std::size_t unicode_to_web_form_engine::encode_at(std::size_t i, bool end) {
    const std::wstring& in = untranslated_buffer;
    std::string& out = translated_buffer;
    // wchar_t may be signed: a negative element becomes a value above 0xFFFF.
    std::uint32_t c = static_cast<std::uint32_t>(in[i]);
    std::size_t used = 1;
    if (c >= 0xD800 && c <= 0xDBFF) {
        if (i + 1 == in.size()) {
            if (!end) return 0;
            c = kReplacement;
        } else {
            const auto low = static_cast<std::uint32_t>(in[i + 1]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                used = 2;
            } else {
                c = kReplacement;
            }
        }
    } else if ((c >= 0xDC00 && c <= 0xDFFF) || c > 0xFFFF) {
        c = kReplacement;
    }

    switch (target_) {
        case encoding_iso2022jp: {
            std::uint32_t next = 0;
            if (half_width_katakana(c) && detail::kana_takes_sound_mark(c - 0xFF40)) {
                if (i + 1 < in.size()) {
                    next = static_cast<std::uint32_t>(in[i + 1]);
                } else if (!end) {
                    return 0;
                }
            }
            write_iso2022jp(c, next, used);
            return used;
        }
        case encoding_sjis:
        case encoding_euc: {
            const bool sjis = target_ == encoding_sjis;
            if (c < 0x80 || (sjis && c == 0x80)) {
                put(out, c);
            } else if (c == 0xA5 || c == 0x203E) {
                put(out, c == 0xA5 ? 0x5C : 0x7E);
            } else if (half_width_katakana(c)) {
                if (!sjis) put(out, 0x8E);
                put(out, c - 0xFF61 + 0xA1);
            } else {
                const std::uint32_t looked_up = c == 0x2212 ? 0xFF0D : c;
                const unsigned code = looked_up > 0xFFFF ? 0
                                      : sjis             ? sjis_code(looked_up)
                                                         : euc_code(looked_up);
                if (code == 0) {
                    write_reference(c);
                } else {
                    put(out, code >> 8);
                    put(out, code & 0xFF);
                }
            }
            return used;
        }
        default:
            put_utf8(out, c);
            return used;
    }
}

void unicode_to_web_form_engine::translate() {
    std::wstring& in = untranslated_buffer;
    translated_buffer.reserve(translated_buffer.size() + in.size() * 2);
    std::size_t i = 0;
    while (i < in.size()) {
        const std::size_t used = encode_at(i, false);
        if (used == 0) break;
        i += used;
    }
    in.erase(0, i);
}

void unicode_to_web_form_engine::flush() {
    std::wstring& in = untranslated_buffer;
    for (std::size_t i = 0; i < in.size();) i += encode_at(i, true);
    in.clear();
    if (state_ != iso_state::ascii) {
        translated_buffer += "\x1B(B";
        state_ = iso_state::ascii;
    }
}

void unicode_to_web_form_engine::clear() {
    tc_translate_engine::clear();
    state_ = iso_state::ascii;
}

std::string translate_web_form(const std::wstring& utf16, encoding_id target) {
    unicode_to_web_form_engine engine(target);
    return translate_all(engine, utf16);
}

}  // namespace transcode
