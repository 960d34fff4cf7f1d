#pragma once
// The one record of user settings and its INI file. The file access goes
// through ProfileStore so the logic is tested natively; the Windows build
// hands the private profile functions in.

#include <cstdint>
#include <string>
#include <vector>

#include "settings/ini_save.h"
#include "settings/show_on.h"

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
    // The platform's text reading of a key; empty when the key is missing.
    virtual std::string readString(const std::string& path, const std::string& section,
                                   const std::string& key) = 0;
    // Writes the values into the file in one piece: false, with the
    // platform's error code in `error`, when the file was left as it was.
    virtual bool writeValues(const std::string& path, const std::vector<IniValue>& values,
                             uint32_t& error) = 0;
};

struct SearchSettings {
    // Defaults and the default file name, no store and no file access: a
    // scratch record (restore-defaults) or a record filled by hand.
    SearchSettings();
    // Defaults, then the file at `path` (empty: "./lumenvik.ini") if there is one.
    SearchSettings(ProfileStore& store, const std::string& path);

    void setDefaults();
    // Reads the file (the nine values, searchCopiedText, hotKey, keepHistory
    // and showOn); false (values untouched) when there is no file or no store.
    // `lastFileName` becomes the path in any case.
    bool load(const std::string& path);
    // Writes the nine values in one piece (the first start); an empty path
    // means `lastFileName`. False when the file could not be written (it keeps its
    // old text; `error`, when given, gets the platform's reason) or the
    // record has no store. The record keeps its values either way.
    bool save(const std::string& path, uint32_t* error = nullptr);
    // Writes exactly `values` into `lastFileName` in one piece, every other
    // line of the file kept: a choice or an edit of the user's writes only
    // what it changed, so what the user wrote into the file meanwhile
    // stays. Nothing to write succeeds without touching the file. False
    // as for save.
    bool saveValues(const std::vector<IniValue>& values, uint32_t* error = nullptr);
    // Reads the nine values and showOn from `lastFileName` again (the file
    // changed since the last read); false, values untouched, without a file.
    // The other options keep what the start-up read: they act once.
    bool reloadValues();
    void readValue(const std::string& path, const char* section, const char* key, int32_t& field);
    // The nine values as the file holds them, in the file's order.
    std::vector<IniValue> iniValues() const;
    // One of the nine as the file holds it.
    IniValue iniValue(const int32_t SearchSettings::*field) const;

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

    // [Options] searchCopiedText: non-zero turns on the copy gesture (Ctrl+C,
    // C shows the window with the copied text). Read by `load` after the
    // nine, never written: it is no part of the block and only the user
    // sets it, in the file.
    int32_t searchCopiedText = 0;
    // [Options] hotKey: a combination the program registers with the
    // system (settings/hot_key.h); empty for none. Read like
    // searchCopiedText, never written.
    std::string hotKey;
    // [Options] keepHistory: non-zero keeps the search history across
    // restarts in lumenvik-history.txt beside the file (search/history_file.h).
    // Read like searchCopiedText, never written.
    int32_t keepHistory = 0;

    // [Options] showOn: the monitor the window opens on. A value that names
    // no choice leaves primary, and the value itself in showOnProblem for
    // the start-up to report. Written only when chosen from the tray menu
    // (showOnValue).
    ShowOn showOn = ShowOn::primary;
    std::string showOnProblem;
    IniValue showOnValue() const;

    std::string defaultFileName;
    std::string lastFileName;

    // Where the file is read and written; not owned. Copies share it.
    ProfileStore* store = nullptr;
};

// Whether the text of a settings file has a [KeyData] or an [otherInfo]
// section, as every file has once the program (or the user) has put
// settings in it; the file the release ships has search modes and comments
// only. A text in UTF-16 counts as having them.
bool holdsSettingsSections(const std::string& bytes);

}  // namespace lumenvik
