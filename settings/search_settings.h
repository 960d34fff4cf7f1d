#pragma once
// The one record of user settings and its INI file. The file access goes
// through ProfileStore so the logic is tested natively; the Windows build
// hands the private profile functions in.

#include <cstdint>
#include <string>

namespace lumenvik {

// The narrow view of the INI functions the settings need. Section and key
// names are passed bare (no padding blanks).
class ProfileStore {
public:
    virtual ~ProfileStore() = default;
    // True when a file exists at exactly this path.
    virtual bool fileExists(const std::string& path) = 0;
    // The platform's integer reading of a key; `fallback` when the key is missing.
    virtual int32_t readInt(const std::string& path, const std::string& section,
                            const std::string& key, int32_t fallback) = 0;
    // Writes one key's value text; failures are not reported.
    virtual void writeString(const std::string& path, const std::string& section,
                             const std::string& key, const std::string& value) = 0;
};

struct SearchSettings {
    // The nine values, always handled as one block in this order.
    int32_t mode_prior;
    int32_t mode_next;
    int32_t history_prior;
    int32_t history_next;
    int32_t showWindowKey;
    int32_t keyInterval;
    int32_t historySize;
    int32_t googleStart;
    int32_t japanLocal;

    std::string defaultFileName;
    std::string lastFileName;
};

}  // namespace lumenvik
