#include "app/run_key_win32.h"

#include <windows.h>

#include <vector>

namespace lumenvik {

namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kValueName[] = L"Lumenvik";

// Closes the key on every way out.
class OpenKey {
  public:
    OpenKey(REGSAM access, bool create) {
        if (create) {
            status_ = ::RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, access, nullptr,
                                        &key_, nullptr);
        } else {
            status_ = ::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, access, &key_);
        }
    }
    ~OpenKey() {
        if (status_ == ERROR_SUCCESS) ::RegCloseKey(key_);
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    LONG status() const { return status_; }
    HKEY get() const { return key_; }

  private:
    HKEY key_ = nullptr;
    LONG status_;
};

}  // namespace

std::optional<std::u16string> Win32RunKey::read() {
    OpenKey key(KEY_QUERY_VALUE, false);
    if (key.status() != ERROR_SUCCESS) return std::nullopt;
    DWORD type = 0;
    DWORD bytes = 0;
    if (::RegQueryValueExW(key.get(), kValueName, nullptr, &type, nullptr, &bytes) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return std::nullopt;
    }
    // One unit more than asked for: a stored text need not end in a zero.
    std::vector<wchar_t> text(bytes / sizeof(wchar_t) + 1, L'\0');
    DWORD size = static_cast<DWORD>((text.size() - 1) * sizeof(wchar_t));
    if (::RegQueryValueExW(key.get(), kValueName, nullptr, &type,
                           reinterpret_cast<BYTE*>(text.data()), &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::wstring value(text.data());
    if (type == REG_EXPAND_SZ) {
        // "%ProgramFiles%\..." names the file only once expanded.
        const DWORD units = ::ExpandEnvironmentStringsW(value.c_str(), nullptr, 0);
        std::wstring expanded(units, L'\0');
        if (units == 0 ||
            ::ExpandEnvironmentStringsW(value.c_str(), &expanded[0], units) != units) {
            return std::nullopt;
        }
        expanded.resize(units - 1);
        value = expanded;
    }
    return std::u16string(value.begin(), value.end());
}

bool Win32RunKey::write(const std::u16string& value, uint32_t& error) {
    OpenKey key(KEY_SET_VALUE, true);
    LONG status = key.status();
    if (status == ERROR_SUCCESS) {
        const std::wstring text(value.begin(), value.end());
        status = ::RegSetValueExW(key.get(), kValueName, 0, REG_SZ,
                                  reinterpret_cast<const BYTE*>(text.c_str()),
                                  static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    error = static_cast<uint32_t>(status);
    return status == ERROR_SUCCESS;
}

bool Win32RunKey::remove(uint32_t& error) {
    OpenKey key(KEY_SET_VALUE, false);
    LONG status = key.status();
    if (status == ERROR_SUCCESS) status = ::RegDeleteValueW(key.get(), kValueName);
    // Gone already is what was wanted.
    if (status == ERROR_FILE_NOT_FOUND) status = ERROR_SUCCESS;
    error = static_cast<uint32_t>(status);
    return status == ERROR_SUCCESS;
}

}  // namespace lumenvik
