// 7-bit text to and from UTF-16 units.
#include "transcode/pass_buffer.h"
#include "transcode/utf_engines.h"

namespace transcode {

using detail::bytes_of;
using detail::unit_value;

void ansi_to_unicode_engine::translate() {
    const unsigned char* p = bytes_of(untranslated_buffer);
    const std::size_t n = untranslated_buffer.size();
    const std::size_t old = translated_buffer.size();
    translated_buffer.resize(old + n);
    wchar_t* o = &translated_buffer[0] + old;
    for (std::size_t i = 0; i < n; ++i) {
        o[i] = static_cast<wchar_t>(p[i] < 0x80 ? p[i] : replacement_char);
    }
    untranslated_buffer.clear();
}

// The private use area is dropped, as the Japanese encoders do.
void unicode_to_ansi_engine::translate() {
    const std::size_t n = untranslated_buffer.size();
    detail::output_window<std::string> w(translated_buffer);
    char* o = w.open(n, 1);
    for (std::size_t i = 0; i < n; ++i) {
        if (o >= w.limit()) o = w.more(o, n - i, 1);
        const std::uint32_t u = unit_value(untranslated_buffer[i]);
        if (u >= 0xE000 && u <= 0xF8FF) continue;
        detail::put(o, u < 0x80 ? u : replacement_char);
    }
    w.close(o);
    untranslated_buffer.clear();
}

}  // namespace transcode
