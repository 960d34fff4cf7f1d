#pragma once
// The user's search modes, from the section [SearchModes] of the settings
// file. For an index k from 0 to 15:
//   url<k>       the URL template: http:// or https://, holding
//                "[search_word]" (the only token of a user's template);
//   label<k>     the label; "【 " + the URL's host + " 】検索" when absent;
//   encoding<k>  utf-8 (also when absent), euc-jp, shift_jis (sjis, cp932)
//                or iso-2022-jp, in any letter case;
//   ime<k>       on or off: the input method's state when mode k becomes
//                the current one; absent, the mode leaves it as it is;
//   browser<k>   the command line that opens mode k's URLs (a program and
//                its arguments, %1 where the URL goes); absent, [Options]
//                browser= serves, and without that the default browser.
//   dict<k>      on or off: whether the offline dictionary's list shows
//                under the box in mode k; absent, off.
//   url<k>_2, url<k>_3, url<k>_4
//                further sites of mode k, templates as url<k> is: one
//                search opens url<k> and then each of them in turn, in the
//                mode's encoding and browser.
// An empty value reads as an absent one. ime<k>, browser<k>, dict<k>,
// url<k>_2 to url<k>_4, and label<k> without a url<k> of its own, also
// apply to a built-in mode k. A valid url<k> replaces built-in mode k for k
// from 0 to 4; from 5 on, modes are added while url<k> is present, and the
// first index without one ends the list. A bad entry leaves its mode as it
// would be without it (the built-in mode, the end of the list, or the mode
// without that further site) and is reported. The program writes this
// section only from the search-site dialog (search/mode_list.h).
//
// The section is read from the file's own bytes, not through the platform's
// INI functions, which read the file through the ANSI code page and so
// garble a label that an editor saved in UTF-8.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "search/search_mode.h"

namespace lumenvik {

constexpr char kSettingsErrorCaption[] = "Lumenvik - 設定エラー";

// Modes 0 to 4 are built in; the user's are numbered on from 5, at most 16
// modes in all.
constexpr std::size_t kBuiltInModeCount = 5;
constexpr std::size_t kMaxModeCount = 16;

struct SearchModesReading {
    SearchModes modes;
    // One line per bad entry: its key, its value and what is wrong.
    std::vector<std::string> problems;
};

// Reads the section from the bytes of the whole file, read as the platform
// reads INI files: a UTF-8 (or UTF-16) byte-order mark is skipped, names
// are matched without regard to letter case or surrounding blanks, the
// first section of the name and the first key of a name count. Labels and
// problem lines come out in `display`, the encoding of the ANSI code page
// (kept as they are when it is encoding_unknown).
SearchModesReading readSearchModes(const std::string& fileBytes, transcode::encoding_id display);

// One mode's keys as the file holds them, by name in lower case without
// the mode's number ("url", "url_2" to "url_4", "label", "encoding", "ime",
// "browser", "dict"), with their values as the platform reads them (a pair
// of quotes around one removed). An empty value is no entry.
using ModeKeys = std::map<std::string, std::string>;

// The keys of every index from 0 to 15 in the section.
std::vector<ModeKeys> sectionModeKeys(const std::string& fileBytes);

// An entry the reader refuses: its key (with the mode's number), its value
// in the display encoding and why.
struct ModeProblem {
    std::string key;
    std::string value;
    std::string reason;
};

// The mode at `index` as readSearchModes makes it from `keys` (a built-in
// mode keeps its own values where the keys leave them), without [Options]
// browser=. False when a user's mode (5 on) has no usable first URL. Every
// refused entry is in `problems`, in the order of the report.
bool readMode(int index, const ModeKeys& keys, transcode::encoding_id display, SearchSite& site,
              std::vector<ModeProblem>& problems);

// A label or value as the user's editor saved it, in `display`: bytes that
// form valid UTF-8 with at least one multi-byte sequence are UTF-8, any
// other bytes code page 932.
std::string textForDisplay(const std::string& bytes, transcode::encoding_id display);

// True when `bytes` are valid UTF-8 (plain ASCII among them).
bool isValidUtf8(const std::string& bytes);

// The text of the one message box that reports `problems`.
std::string settingsErrorText(const std::vector<std::string>& problems);

// What the program knows of the settings file at one moment.
struct SettingsFileState {
    bool exists = false;
    uint64_t lastWrite = 0;  // the platform's last-write time
    uint64_t size = 0;
    bool operator==(const SettingsFileState& o) const {
        return exists == o.exists && lastWrite == o.lastWrite && size == o.size;
    }
};

// The settings file as the modes need it; the Windows build answers with
// the file system.
class SettingsFileView {
  public:
    virtual ~SettingsFileView() = default;
    virtual SettingsFileState state() = 0;
    // The whole file; false when it cannot be read.
    virtual bool readAll(std::string& bytes) = 0;
};

// Keeps the modes in step with the file: read at start-up, and again when
// the file has changed since the last read.
class UserSearchModes {
  public:
    // Reads the file when it is the first call or the file's state differs
    // from that of the last read. Returns true when it read: `modes` then
    // holds what the file defines (the built-in five without a file) and
    // `problems` what was wrong, to be reported once.
    bool refresh(SettingsFileView& file, transcode::encoding_id display, SearchModes& modes,
                 std::vector<std::string>& problems);

  private:
    bool read_ = false;
    SettingsFileState last_;
};

}  // namespace lumenvik
