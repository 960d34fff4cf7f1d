// The "web form" flavour of the Japanese encoders: UTF-16 text written as a
// browser writes a form's text for a page in Shift_JIS, EUC-JP or
// ISO-2022-JP, by the encoders of the WHATWG Encoding Standard. Sites are
// built for what browsers send, so the search road uses these; files and
// text keep the library's own engines and their mappings.
//
// Where they differ from unicode_to_sjis_cp932_engine, unicode_to_euc_engine
// and the JIS engines:
//   - a character the encoder cannot encode becomes an HTML numeric
//     character reference, "&#" + its code point in decimal + ";", never "?"
//     and never nothing (the private use area too);
//   - U+00A5 and U+203E are the bytes 5C and 7E (ISO-2022-JP: in the Roman
//     set, ESC ( J); U+2212 is written as U+FF0D;
//   - Shift_JIS writes the IBM extensions (FA40-FC4B) where the library
//     writes their NEC-selected codes (ED40-EEFC), and U+0080 as the byte 80;
//   - EUC-JP writes JIS X 0208 only: JIS X 0212 characters are references;
//   - U+00A2, U+00A3, U+00AC, U+2014, U+2016 and U+301C, which the index of
//     JIS X 0208 lacks, are references;
//   - ISO-2022-JP makes ESC, SO and SI of the text references to U+FFFD, so
//     no escape sequence typed into a word reaches the site as one.
// One difference from the standard is kept on purpose: on ISO-2022-JP a
// half-width katakana and the sound mark after it become one full-width
// character (ｶﾞ is ガ), as jis_to_iso2022jp_engine composes them.
// An unpaired surrogate (and an element above 0xFFFF, which no UTF-16 unit
// is) is U+FFFD.
#pragma once

#include <cstdint>
#include <string>

#include "transcode/encoding.h"
#include "transcode/engine.h"

namespace transcode {

class unicode_to_web_form_engine : public tc_translate_engine<std::wstring, std::string> {
  public:
    // encoding_sjis, encoding_euc or encoding_iso2022jp; any other target
    // gives UTF-8, which holds every character (as a browser sends a form
    // of a UTF-8 or UTF-16 page).
    explicit unicode_to_web_form_engine(encoding_id target);

    // A high surrogate at the end waits for its low half, and on ISO-2022-JP
    // a half-width katakana that a sound mark could join waits for the next
    // unit.
    void translate() override;
    // What waits is written as it stands, then ISO-2022-JP returns to ASCII.
    void flush() override;
    void clear() override;

    encoding_id target() const { return target_; }

  private:
    std::size_t encode_at(std::size_t i, bool end);
    void write_iso2022jp(std::uint32_t c, std::uint32_t next, std::size_t& used);
    void write_reference(std::uint32_t c);

    encoding_id target_;
    // ISO-2022-JP's output state: ASCII, JIS X 0201 Roman or JIS X 0208.
    enum class iso_state { ascii, roman, jis0208 } state_ = iso_state::ascii;
};

// One-shot conversion with a fresh engine.
std::string translate_web_form(const std::wstring& utf16, encoding_id target);

}  // namespace transcode
