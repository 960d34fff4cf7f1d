#pragma once
// Percent-encoding of a placeholder value after its conversion to the
// target site's encoding.

#include <string>

namespace lumenvik {

// Byte by byte: a space becomes "+", ASCII letters and digits stay as they
// are, every other byte (punctuation, controls, 0x80-0xFF) becomes "%" and
// two lower-case hex digits. The classes are fixed ASCII ranges and do not
// depend on the locale.
std::string urlEncode(const std::string& text);

}  // namespace lumenvik
