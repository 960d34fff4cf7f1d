#pragma once
// Keeps the Wine prefix's registry as it was: the "http" protocol's shell
// key (HKEY_CLASSES_ROOT\http\shell, or another key of HKEY_CLASSES_ROOT or
// HKEY_CURRENT_USER), which the browser tests rewrite, is saved when a guard
// is made and put back when it goes.
// The saved copy is
// also written to a file, so that a run that was killed before it could
// restore is repaired by the next guard.

#include <windows.h>

#include <string>
#include <vector>

namespace lvtest {

class HttpShellGuard {
  public:
    explicit HttpShellGuard(const std::string& backupFile, const std::string& root = "http\\shell",
                            HKEY hive = HKEY_CLASSES_ROOT);
    ~HttpShellGuard();
    HttpShellGuard(const HttpShellGuard&) = delete;
    HttpShellGuard& operator=(const HttpShellGuard&) = delete;

    // Puts the saved state back now (the destructor does it again).
    void restore();

    struct Value {
        std::string name;
        DWORD type;
        std::string data;
    };
    struct Key {
        std::string path;  // below the hive
        std::vector<Value> values;
    };

  private:
    std::string backupFile_;
    std::string root_;
    HKEY hive_;
    std::vector<Key> saved_;  // parents before children; empty: the key did not exist
};

// Registry edits for the tests, below HKEY_CLASSES_ROOT unless a hive is
// named. False on failure.
bool setDefaultValue(const std::string& path, const std::string& text);
bool deleteDefaultValue(const std::string& path);
bool deleteKeyTree(const std::string& path, HKEY hive = HKEY_CLASSES_ROOT);
// A value as UTF-16, of type REG_SZ or REG_EXPAND_SZ ("" for the default one).
bool setValueW(HKEY hive, const std::wstring& path, const std::wstring& name,
               const std::wstring& text, DWORD type = REG_SZ);

}  // namespace lvtest
