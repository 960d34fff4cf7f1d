#pragma once
// Reading the settings dialog's two number fields (double-press interval and
// history size). The fields accept any text; what they hold is turned into a
// setting value with every keystroke, without limits or messages.

#include <cstdint>
#include <string>

namespace lumenvik {

// The field's text read as an unsigned decimal number:
// - leading blanks (spaces, tabs) are skipped;
// - then the run of ASCII digits is the number, and reading stops at the
//   first byte that is not a digit ("12abc" gives 12, "12 3" gives 12);
// - text with no digit there gives 0: empty text, letters, a sign ("-5",
//   "+5"), full-width digits;
// - a number above INT32_MAX, the largest value a setting can hold, gives
//   INT32_MAX; it never wraps around (4294967297 does not become 1).
int32_t numberFieldValue(const std::string& text);

}  // namespace lumenvik
