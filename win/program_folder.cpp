#include "win/program_folder.h"

#include <windows.h>

#include "win/text.h"

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
    // Cut in UTF-16, where a separator is never part of another character,
    // and carried as UTF-8, which holds every character of a folder's name
    // (the ANSI code page turns 𠮷, or Japanese on a Western Windows, into "?").
    const std::wstring path = programPath();
    const std::size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return name;
    return utf8(path.substr(0, slash + 1)) + name;
}

}  // namespace lumenvik::win
