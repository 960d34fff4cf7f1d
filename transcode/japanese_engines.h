// Leaf engines between Shift_JIS (code page 932 form), EUC-JP, 7-bit JIS,
// ISO-2022-JP and UTF-16, and the library's one-time initialisation. Each
// encoding has its own source file: shift_jis.cpp, euc_jp.cpp, jis.cpp.
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

// The shift states of a JIS stream (a signed 32-bit field of the engines).
enum jis_state : std::int32_t {
    jis_ascii = 0,        // ESC ( B or ESC ( J
    jis_x0208 = 1,        // ESC $ B
    jis_kana_escape = 2,  // half-width katakana by ESC ( I
    jis_x0212 = 3,        // ESC $ ( D
    jis_kana_shift = 4,   // half-width katakana by SO (0x0E), left by SI (0x0F)
};

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
    jis_state state = jis_ascii;
};

class euc_to_jis_engine : public tc_translate_engine<std::string, std::string> {
  public:
    void translate() override;
    void flush() override;
    void clear() override;
    jis_state state = jis_ascii;
};

// Decoders of JIS: the shift state persists between calls.
class jis_to_sjis_engine : public tc_translate_engine<std::string, std::string> {
  public:
    void translate() override;
    void flush() override;
    void clear() override;
    jis_state state = jis_ascii;
};

class jis_to_euc_engine : public tc_translate_engine<std::string, std::string> {
  public:
    void translate() override;
    void flush() override;
    void clear() override;
    jis_state state = jis_ascii;
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
    jis_state state = jis_ascii;         // input shift state
    jis_state output_state = jis_ascii;  // jis_ascii or jis_x0208
};

class unicode_to_utf8_engine;

// One-shot conversions of the decoders into UTF-8 in a single pass: the
// result of the two stages one after the other.
std::string translate_all(
    twin_translate_engine<sjis_cp932_to_unicode_engine, unicode_to_utf8_engine>& engine,
    const std::string& input);
std::string translate_all(
    twin_translate_engine<euc_to_unicode_engine, unicode_to_utf8_engine>& engine,
    const std::string& input);

}  // namespace transcode
