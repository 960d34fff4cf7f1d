#include "platform/browser_platform.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <vector>

namespace lumenvik::win {
namespace {

HKEY toHkey(RegistryKey key) { return reinterpret_cast<HKEY>(key); }

}  // namespace

bool Win32BrowserPlatform::openClassesRootKey(const std::string& path, RegistryKey& key) {
    HKEY opened = nullptr;
    if (::RegOpenKeyA(HKEY_CLASSES_ROOT, path.c_str(), &opened) != ERROR_SUCCESS) return false;
    open_.emplace_back(opened);
    key = reinterpret_cast<RegistryKey>(opened);
    return true;
}

bool Win32BrowserPlatform::readDefaultValue(RegistryKey key, std::size_t bufferBytes,
                                            std::string& value) {
    // One byte more than the size handed over, so that the text always ends
    // in a NUL even if the registry stored it without one.
    std::vector<char> buffer(bufferBytes + 1, '\0');
    LONG size = static_cast<LONG>(bufferBytes);
    if (::RegQueryValueA(toHkey(key), "", buffer.data(), &size) != ERROR_SUCCESS) return false;
    value.assign(buffer.data());
    return true;
}

void Win32BrowserPlatform::closeKey(RegistryKey key) {
    const auto it = std::find_if(open_.begin(), open_.end(), [&](const OwnedRegKey& owned) {
        return owned.get() == toHkey(key);
    });
    if (it != open_.end()) open_.erase(it);  // its owner closes it
}

std::string Win32BrowserPlatform::upperCase(const std::string& text) {
    std::vector<char> copy(text.begin(), text.end());
    copy.push_back('\0');
    ::CharUpperA(copy.data());
    return std::string(copy.data(), text.size());
}

bool Win32BrowserPlatform::shellExecute(const std::string& operation, const std::string& file,
                                        const std::string& parameters) {
    // The result is an instance handle only in name: values above 32 mean
    // the program was started.
    const HINSTANCE result =
        ::ShellExecuteA(nullptr, operation.c_str(), file.c_str(),
                        parameters.empty() ? nullptr : parameters.c_str(), nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

void Win32BrowserPlatform::messageBox(const std::string& text, const std::string& caption) {
    ::MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_OK);
}

}  // namespace lumenvik::win
