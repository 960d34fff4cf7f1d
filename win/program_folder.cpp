#include "win/program_folder.h"

#include <windows.h>

namespace lumenvik::win {

std::wstring programPath() {
    // The path may be longer than MAX_PATH: grow until it fits.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        if (path.size() >= 32768) return {};
        path.resize(path.size() * 2);
    }
}

std::string besideProgram(const std::string& name) {
    // Read in UTF-16, where a separator is never part of another character
    // (in code page 932 the second byte of "表" or "ソ" is the backslash's).
    const std::wstring path = programPath();
    const std::size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return name;
    // The folder in the ANSI code page, as the INI and file functions that
    // take it read it.
    const int units = static_cast<int>(slash + 1);
    const int bytes =
        ::WideCharToMultiByte(CP_ACP, 0, path.data(), units, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return name;
    std::string folder(static_cast<std::size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, path.data(), units, &folder[0], bytes, nullptr, nullptr);
    return folder + name;
}

}  // namespace lumenvik::win
