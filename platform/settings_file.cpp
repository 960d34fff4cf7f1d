#include "platform/settings_file.h"

#include <windows.h>

#include "win/text.h"

namespace lumenvik::win {

SettingsFileState Win32SettingsFile::state() {
    SettingsFileState s;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(wide(path_).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return s;
    }
    s.exists = true;
    s.lastWrite = (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                  data.ftLastWriteTime.dwLowDateTime;
    s.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return s;
}

bool Win32SettingsFile::readAll(std::string& bytes) { return readFileBytes(path_, bytes); }

bool readFileBytes(const std::string& path, std::string& bytes) {
    // Shared for writing too: an editor may hold the file open.
    HANDLE file = ::CreateFileW(wide(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bytes.clear();
    char buffer[4096];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ::ReadFile(file, buffer, sizeof buffer, &got, nullptr) != FALSE) && got > 0) {
        bytes.append(buffer, got);
    }
    const DWORD error = ::GetLastError();
    ::CloseHandle(file);
    if (!ok) ::SetLastError(error);
    return ok;
}

}  // namespace lumenvik::win
