// Leaf engines between Shift_JIS (code page 932 form), EUC-JP, 7-bit JIS,
// ISO-2022-JP and UTF-16, and the library's one-time initialisation.
//
// JIS shift states: 0 ASCII, 1 JIS X 0208, 2 half-width katakana by
// ESC ( I, 3 JIS X 0212, 4 half-width katakana by SO (0x0E, left by SI 0x0F).
#pragma once

#include <cstdint>
#include <string>

#include "transcode/engine.h"

namespace transcode {

// Fills the kana composition maps of jis_to_iso2022jp_engine (21 voiced and
// 5 semi-voiced pairs); later calls return at once. Not thread-safe: call it
// before conversions start (jis_to_iso2022jp_engine's constructor calls it
// too).
void initialize();

class sjis_cp932_to_unicode_engine : public tc_translate_engine<std::string, std::wstring> {
  public:
    void translate() override;
};

// Unmappable units give "?"; the private use area U+E000-U+F8FF is dropped.
class unicode_to_sjis_cp932_engine : public tc_translate_engine<std::wstring, std::string> {
  public:
    void translate() override;
};

class euc_to_unicode_engine : public tc_translate_engine<std::string, std::wstring> {
  public:
    void translate() override;
};

// Unmappable units give "?"; the private use area U+E000-U+F8FF is dropped.
class unicode_to_euc_engine : public tc_translate_engine<std::wstring, std::string> {
  public:
    void translate() override;
};

class sjis_to_euc_engine : public tc_translate_engine<std::string, std::string> {
  public:
    void translate() override;
};

class euc_to_sjis_engine : public tc_translate_engine<std::string, std::string> {
  public:
    void translate() override;
};

// Encoders into JIS: flush() returns to ASCII with the closing designation.
class sjis_to_jis_engine : public tc_translate_engine<std::string, std::string> {
  public:
    void translate() override;
    void flush() override;
    void clear() override;
    std::int32_t state = 0;
};

class euc_to_jis_engine : public tc_translate_engine<std::string, std::string> {
  public:
    void translate() override;
    void flush() override;
    void clear() override;
    std::int32_t state = 0;
};

// Decoders of JIS: the shift state persists between calls.
class jis_to_sjis_engine : public tc_translate_engine<std::string, std::string> {
  public:
    void translate() override;
    void flush() override;
    void clear() override;
    std::int32_t state = 0;
};

class jis_to_euc_engine : public tc_translate_engine<std::string, std::string> {
  public:
    void translate() override;
    void flush() override;
    void clear() override;
    std::int32_t state = 0;
};

// JIS to ISO-2022-JP: half-width katakana become full-width JIS X 0208
// katakana (a following sound mark is composed in), JIS X 0212 characters
// become "?".
class jis_to_iso2022jp_engine : public tc_translate_engine<std::string, std::string> {
  public:
    jis_to_iso2022jp_engine();
    void translate() override;
    void flush() override;
    void clear() override;
    std::int32_t state = 0;         // input shift state
    std::int32_t output_state = 0;  // 0 ASCII or 1 JIS X 0208
};

}  // namespace transcode
