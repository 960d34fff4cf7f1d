#include "platform/profile_store.h"

#include <windows.h>

#include "settings/ini_edit.h"
#include "platform/settings_file.h"

namespace lumenvik::win {

bool Win32ProfileStore::fileExists(const std::string& path) {
    WIN32_FIND_DATAA found;
    HANDLE find = ::FindFirstFileA(path.c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return false;
    ::FindClose(find);
    return true;
}

int32_t Win32ProfileStore::readInt(const std::string& path, const std::string& section,
                                   const std::string& key, int32_t fallback) {
    // The platform reads "-5" as the unsigned 4294967291: the cast gives back -5.
    return static_cast<int32_t>(
        ::GetPrivateProfileIntA(section.c_str(), key.c_str(), fallback, path.c_str()));
}

std::string Win32ProfileStore::readString(const std::string& path, const std::string& section,
                                          const std::string& key) {
    // Longer values are cut: no setting read as text is anywhere near it.
    char value[256] = {};
    ::GetPrivateProfileStringA(section.c_str(), key.c_str(), "", value, sizeof value, path.c_str());
    return value;
}

bool Win32ProfileStore::writeString(const std::string& path, const std::string& section,
                                    const std::string& key, const std::string& value) {
    std::string text;
    if (fileExists(path) && !readFileBytes(path, text)) return false;
    // A UTF-16 file is written by the platform, which keeps its text whole;
    // any other file by a change of the one line, because the platform would
    // write it all anew through the ANSI code page and garble UTF-8 text.
    if (text.compare(0, 2, "\xFF\xFE") == 0 || text.compare(0, 2, "\xFE\xFF") == 0) {
        return ::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                            path.c_str()) != FALSE;
    }
    return writeFileBytes(path, withIniValue(text, section, key, value));
}

Win32ProfileStore& profileStore() {
    static Win32ProfileStore store;
    return store;
}

}  // namespace lumenvik::win
