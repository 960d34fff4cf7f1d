#include "tests/win/registry_guard.h"

#include <cstdio>

#include "tests/win/program_driver.h"

namespace lvtest {
namespace {

void saveTree(HKEY hive, const std::string& path, std::vector<HttpShellGuard::Key>& out) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(hive, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    HttpShellGuard::Key node{path, {}};
    for (DWORD i = 0;; ++i) {
        char name[16384];
        DWORD nameLength = sizeof name;
        DWORD type = 0;
        DWORD dataLength = 0;
        if (::RegEnumValueA(key, i, name, &nameLength, nullptr, &type, nullptr, &dataLength) !=
            ERROR_SUCCESS)
            break;
        std::string data(dataLength, '\0');
        nameLength = sizeof name;
        ::RegEnumValueA(key, i, name, &nameLength, nullptr, &type,
                        reinterpret_cast<BYTE*>(&data[0]), &dataLength);
        data.resize(dataLength);
        node.values.push_back({std::string(name, nameLength), type, data});
    }
    out.push_back(node);
    std::vector<std::string> children;
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD nameLength = sizeof name;
        if (::RegEnumKeyExA(key, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        children.emplace_back(name, nameLength);
    }
    ::RegCloseKey(key);
    for (const std::string& child : children) saveTree(hive, path + "\\" + child, out);
}

void putBack(HKEY hive, const std::string& root, const std::vector<HttpShellGuard::Key>& keys) {
    deleteKeyTree(root, hive);
    for (const auto& node : keys) {
        HKEY key = nullptr;
        if (::RegCreateKeyExA(hive, node.path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                              nullptr) != ERROR_SUCCESS) {
            std::fprintf(stderr, "cannot restore %s\n", node.path.c_str());
            continue;
        }
        for (const auto& v : node.values) {
            ::RegSetValueExA(key, v.name.c_str(), 0, v.type,
                             reinterpret_cast<const BYTE*>(v.data.data()),
                             static_cast<DWORD>(v.data.size()));
        }
        ::RegCloseKey(key);
    }
}

std::string hex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out.empty() ? "-" : out;
}

std::string unhex(const std::string& text) {
    std::string out;
    if (text == "-") return out;
    for (std::size_t i = 0; i + 1 < text.size(); i += 2)
        out += static_cast<char>(std::stoi(text.substr(i, 2), nullptr, 16));
    return out;
}

// One line per key ("K path") and per value ("V name type data"), every
// field in hex so that any byte survives.
std::string serialize(const std::vector<HttpShellGuard::Key>& keys) {
    std::string out;
    for (const auto& node : keys) {
        out += "K " + hex(node.path) + "\n";
        for (const auto& v : node.values)
            out += "V " + hex(v.name) + " " + std::to_string(v.type) + " " + hex(v.data) + "\n";
    }
    return out;
}

std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> out;
    std::size_t pos = 0;
    while (pos <= line.size()) {
        std::size_t end = line.find(' ', pos);
        if (end == std::string::npos) end = line.size();
        out.push_back(line.substr(pos, end - pos));
        pos = end + 1;
    }
    return out;
}

bool deserialize(const std::string& text, std::vector<HttpShellGuard::Key>& keys) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        const std::vector<std::string> f = fields(text.substr(pos, end - pos));
        pos = end + 1;
        if (f.size() == 2 && f[0] == "K") {
            keys.push_back({unhex(f[1]), {}});
        } else if (f.size() == 4 && f[0] == "V" && !keys.empty()) {
            keys.back().values.push_back(
                {unhex(f[1]), static_cast<DWORD>(std::stoul(f[2])), unhex(f[3])});
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace

HttpShellGuard::HttpShellGuard(const std::string& backupFile, const std::string& root, HKEY hive)
    : backupFile_(backupFile), root_(root), hive_(hive) {
    // A run that ended before restoring left its copy behind: that is the
    // state to keep, not whatever the killed run had made of the key.
    if (fileExists(backupFile_)) {
        std::vector<Key> leftover;
        if (deserialize(readFile(backupFile_), leftover) && !leftover.empty())
            putBack(hive_, root_, leftover);
    }
    saveTree(hive_, root_, saved_);
    writeFile(backupFile_, serialize(saved_));
}

HttpShellGuard::~HttpShellGuard() {
    restore();
    ::DeleteFileA(backupFile_.c_str());
}

void HttpShellGuard::restore() {
    if (saved_.empty()) {
        deleteKeyTree(root_, hive_);
    } else {
        putBack(hive_, root_, saved_);
    }
}

bool setDefaultValue(const std::string& path, const std::string& text) {
    HKEY key = nullptr;
    if (::RegCreateKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                          nullptr) != ERROR_SUCCESS)
        return false;
    const LONG set =
        ::RegSetValueExA(key, "", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                         static_cast<DWORD>(text.size() + 1));
    ::RegCloseKey(key);
    return set == ERROR_SUCCESS;
}

bool deleteDefaultValue(const std::string& path) {
    HKEY key = nullptr;
    if (::RegCreateKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                          nullptr) != ERROR_SUCCESS)
        return false;
    const LONG deleted = ::RegDeleteValueA(key, "");
    ::RegCloseKey(key);
    return deleted == ERROR_SUCCESS || deleted == ERROR_FILE_NOT_FOUND;
}

bool deleteKeyTree(const std::string& path, HKEY hive) {
    const LONG deleted = ::RegDeleteTreeA(hive, path.c_str());
    if (deleted != ERROR_SUCCESS && deleted != ERROR_FILE_NOT_FOUND) return false;
    // RegDeleteTree empties the key; the key itself goes here.
    const LONG removed = ::RegDeleteKeyA(hive, path.c_str());
    return removed == ERROR_SUCCESS || removed == ERROR_FILE_NOT_FOUND;
}

bool setValueW(HKEY hive, const std::wstring& path, const std::wstring& name,
               const std::wstring& text, DWORD type) {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(hive, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const LONG set = ::RegSetValueExW(key, name.empty() ? nullptr : name.c_str(), 0, type,
                                      reinterpret_cast<const BYTE*>(text.c_str()),
                                      static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
    return set == ERROR_SUCCESS;
}

}  // namespace lvtest
