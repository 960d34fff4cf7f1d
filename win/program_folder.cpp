#include "win/program_folder.h"

#include <windows.h>

namespace lumenvik::win {

std::string besideProgram(const std::string& name) {
    // The path may be longer than MAX_PATH: grow until it fits.
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameA(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length == 0) return name;
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        if (path.size() >= 32768) return name;
        path.resize(path.size() * 2);
    }
    // The last separator, walked from the start: in code page 932 the second
    // byte of a character may be 0x5C, the backslash ("表", "ソ").
    std::size_t end = std::string::npos;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (::IsDBCSLeadByte(static_cast<BYTE>(path[i])) && i + 1 < path.size()) {
            ++i;
        } else if (path[i] == '\\' || path[i] == '/') {
            end = i + 1;
        }
    }
    if (end == std::string::npos) return name;
    return path.substr(0, end) + name;
}

}  // namespace lumenvik::win
