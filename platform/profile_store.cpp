#include "platform/profile_store.h"

#include <windows.h>

#include "platform/settings_file.h"
#include "win/text.h"

namespace lumenvik::win {

bool Win32ProfileStore::fileExists(const std::string& path) {
    WIN32_FIND_DATAW found;
    HANDLE find = ::FindFirstFileW(wide(path).c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return false;
    ::FindClose(find);
    return true;
}

int32_t Win32ProfileStore::readInt(const std::string& path, const std::string& section,
                                   const std::string& key, int32_t fallback) {
    // The platform reads "-5" as the unsigned 4294967291: the cast gives back -5.
    return static_cast<int32_t>(::GetPrivateProfileIntW(wide(section).c_str(), wide(key).c_str(),
                                                        fallback, wide(path).c_str()));
}

std::string Win32ProfileStore::readString(const std::string& path, const std::string& section,
                                          const std::string& key) {
    // Longer values are cut: no setting read as text is anywhere near it.
    wchar_t value[256] = {};
    ::GetPrivateProfileStringW(wide(section).c_str(), wide(key).c_str(), L"", value,
                               sizeof value / sizeof value[0], wide(path).c_str());
    return utf8(value);
}

bool Win32ProfileStore::writeValues(const std::string& path, const std::vector<IniValue>& values,
                                    uint32_t& error) {
    Win32FilePort files;
    return saveIniValues(files, path, values, error);
}

FilePort::Read Win32FilePort::read(const std::string& path, std::string& bytes, uint32_t& error) {
    if (readFileBytes(path, bytes)) return Read::ok;
    error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND ? Read::missing : Read::failed;
}

bool Win32FilePort::create(const std::string& path, const std::string& bytes, uint32_t& error) {
    HANDLE file = ::CreateFileW(wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = ::GetLastError();
        return false;
    }
    DWORD written = 0;
    bool ok = bytes.empty() || (::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()),
                                            &written, nullptr) != FALSE &&
                                written == bytes.size());
    // A short write (a full disk) sets no error of its own.
    if (!ok) error = ::GetLastError() != 0 ? ::GetLastError() : ERROR_DISK_FULL;
    if (ok && !::FlushFileBuffers(file)) {
        ok = false;
        error = ::GetLastError();
    }
    if (!::CloseHandle(file) && ok) {
        ok = false;
        error = ::GetLastError();
    }
    return ok;
}

bool Win32FilePort::replace(const std::string& from, const std::string& to, uint32_t& error) {
    if (::MoveFileExW(wide(from).c_str(), wide(to).c_str(),
                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    error = ::GetLastError();
    return false;
}

void Win32FilePort::remove(const std::string& path) { ::DeleteFileW(wide(path).c_str()); }

// A file another process has open cannot be replaced, whatever it shares:
// the refusal lasts as long as that process reads.
bool Win32FilePort::momentary(uint32_t error) {
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION ||
           error == ERROR_LOCK_VIOLATION;
}

void Win32FilePort::pause() { ::Sleep(20); }

Win32ProfileStore& profileStore() {
    static Win32ProfileStore store;
    return store;
}

}  // namespace lumenvik::win
