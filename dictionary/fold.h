#pragma once
// The one folding of dictionary keys and queries: what the user types and
// what the dictionary holds meet here, so both go through this function.
//   katakana -> hiragana (ヴ -> ゔ; ヷ-ヺ have no hiragana and stay),
//   half-width katakana -> full-width, a following ﾞ or ﾟ joined to its kana,
//   full-width ASCII -> ASCII, U+3000 -> space, A-Z -> a-z.
// Input is UTF-8; a byte that starts no valid sequence becomes U+FFFD.

#include <string>
#include <string_view>
#include <vector>

namespace lumenvik {

std::string foldForLookup(std::string_view utf8);

// Number of code points of valid UTF-8 (each stray byte counts one).
std::size_t codePointCount(std::string_view utf8);

// The words of gloss text, folded: runs of letters and digits (and of
// non-ASCII letters), outside the parenthesised and braced notes such as
// "(n)", "(1)", "(uk)" or "{comp}". The dictionary's English keys, and the
// words of an English query.
std::vector<std::string> glossWords(std::string_view glosses);

}  // namespace lumenvik
