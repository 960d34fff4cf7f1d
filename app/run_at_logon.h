#pragma once
// Starting with Windows: the value "Lumenvik" under the user's Run key
// (HKCU\Software\Microsoft\Windows\CurrentVersion\Run) holds the quoted
// path of the program. The program writes or deletes it only when the user
// chooses the tray menu's item; the value comes in through RunKeyPort
// (app/run_key_win32.h answers it from the registry). Texts are UTF-16, as
// the registry and the file system hold them: a path is compared unit by
// unit, never through a conversion that could make two paths one.

#include <cstdint>
#include <optional>
#include <string>

namespace lumenvik {

class RunKeyPort {
  public:
    virtual ~RunKeyPort() = default;
    // The value's text (with the environment's variables put in, for an
    // expandable value); nothing when there is no such value.
    virtual std::optional<std::u16string> read() = 0;
    // Each false, with the platform's error code in `error`, on failure.
    virtual bool write(const std::u16string& value, uint32_t& error) = 0;
    virtual bool remove(uint32_t& error) = 0;
};

// The value that starts the program at `exePath`: the path in quotes, so
// that a path with blanks is one word.
std::u16string runValueFor(const std::u16string& exePath);

// Whether `value` starts the program at `exePath`: its first word (quoted
// or not) names that file, letter case of the Latin letters ignored as the
// file system ignores it; arguments after it do not matter.
bool runValueNames(const std::u16string& value, const std::u16string& exePath);

// The mark of the menu item: the value is there and starts this program.
bool runsAtLogon(RunKeyPort& key, const std::u16string& exePath);

// The menu item chosen: a value that starts this program is deleted; no
// value, or one that names another path, is made to start this one. False,
// with the platform's error code, when the registry refused.
bool toggleRunAtLogon(RunKeyPort& key, const std::u16string& exePath, uint32_t& error);

}  // namespace lumenvik
