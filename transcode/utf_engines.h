// Leaf engines between UTF-16 code units (std::wstring) and UTF-8, UTF-16
// bytes in either order, and 7-bit text (utf8.cpp, utf16.cpp,
// seven_bit.cpp). The UTF-8 sequence lengths are in byte_classes.h.
#pragma once

#include <cstdint>
#include <string>

#include "transcode/byte_classes.h"
#include "transcode/engine.h"

namespace transcode {

// UTF-8 to UTF-16. Overlong forms are accepted; a byte that is not a
// continuation byte ends a sequence early with one U+003F and is then read
// on its own; a code point above U+10FFFF gives one U+003F.
class utf8_to_unicode_engine : public tc_translate_engine<std::string, std::wstring> {
  public:
    void translate() override;
};

// UTF-16 to UTF-8. A surrogate that is not part of a pair is encoded on its
// own; a final high surrogate waits for the next unit.
class unicode_to_utf8_engine : public tc_translate_engine<std::wstring, std::string> {
  public:
    void translate() override;
};

// UTF-16LE bytes to units; an odd last byte waits (U+003F at flush).
class WORD_to_unicode_engine : public tc_translate_engine<std::string, std::wstring> {
  public:
    void translate() override;
    void flush() override;
};

// Units to UTF-16LE bytes.
class unicode_to_WORD_engine : public tc_translate_engine<std::wstring, std::string> {
  public:
    void translate() override;
    void flush() override;
};

// UTF-16BE bytes to units; an odd last byte waits (U+003F at flush).
class cross_WORD_to_unicode_engine : public tc_translate_engine<std::string, std::wstring> {
  public:
    void translate() override;
    void flush() override;
};

// Units to UTF-16BE bytes.
class unicode_to_cross_WORD_engine : public tc_translate_engine<std::wstring, std::string> {
  public:
    void translate() override;
    void flush() override;
};

// 7-bit bytes to units; bytes 0x80 and above give U+003F.
class ansi_to_unicode_engine : public tc_translate_engine<std::string, std::wstring> {
  public:
    void translate() override;
};

// Units below 0x80 to bytes; the private use area U+E000-U+F8FF is dropped,
// anything else gives "?".
class unicode_to_ansi_engine : public tc_translate_engine<std::wstring, std::string> {
  public:
    void translate() override;
};

class unicode_to_sjis_cp932_engine;

// One-shot conversions of UTF-8 into UTF-16LE bytes and into CP932 in a
// single pass: the result of the two stages one after the other.
std::string translate_all(
    twin_translate_engine<utf8_to_unicode_engine, unicode_to_WORD_engine>& engine,
    const std::string& input);
std::string translate_all(
    twin_translate_engine<utf8_to_unicode_engine, unicode_to_sjis_cp932_engine>& engine,
    const std::string& input);

}  // namespace transcode
