#pragma once
// The program's own texts are UTF-8 (its sources, the settings file's labels,
// the search words); the windows take UTF-16. These convert at that border,
// whatever the system's ANSI code page.

#include <string>

namespace lumenvik::win {

// UTF-8 as UTF-16; a byte that forms no UTF-8 becomes U+FFFD.
std::wstring wide(const std::string& utf8);
// UTF-16 as UTF-8; an unpaired surrogate becomes U+FFFD.
std::string utf8(const std::wstring& text);

// Text in the process's ANSI code page (what an A function gave) as UTF-16.
std::wstring wideFromAnsi(const std::string& ansi);

}  // namespace lumenvik::win
