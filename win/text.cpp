#include "win/text.h"

#include <windows.h>

namespace lumenvik::win {

namespace {

std::wstring widened(UINT codePage, const std::string& text) {
    if (text.empty()) return std::wstring();
    const int size = static_cast<int>(text.size());
    const int units = ::MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    if (units <= 0) return std::wstring();
    std::wstring out(static_cast<std::size_t>(units), L'\0');
    ::MultiByteToWideChar(codePage, 0, text.data(), size, &out[0], units);
    return out;
}

}  // namespace

std::wstring wide(const std::string& utf8) { return widened(CP_UTF8, utf8); }

std::wstring wideFromAnsi(const std::string& ansi) { return widened(CP_ACP, ansi); }

std::string utf8(const std::wstring& text) {
    if (text.empty()) return std::string();
    const int size = static_cast<int>(text.size());
    const int bytes =
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return std::string();
    std::string out(static_cast<std::size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, &out[0], bytes, nullptr, nullptr);
    return out;
}

}  // namespace lumenvik::win
