#pragma once
// The search modes as the search-site dialog edits them: each mode's keys
// as the settings file holds them (search/search_modes_file.h), the edits
// of the list (add, remove, move, change) as plain operations, the mode
// editor's fields, and the keys OK writes. Portable: the dialog is a thin
// Win32 layer over this.

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "search/search_modes_file.h"
#include "settings/ini_save.h"

namespace lumenvik {

// The section the modes live in, as the writer names it.
constexpr char kSearchModesSection[] = "SearchModes";

class ModeList {
  public:
    // The modes the program reads from the file's bytes: the five built-in
    // ones and the user's up to the first gap, each with its keys.
    explicit ModeList(const std::string& fileBytes);

    std::size_t count() const { return modes_.size(); }
    const ModeKeys& keys(std::size_t index) const { return modes_[index]; }

    // The built-in modes 0 to 4 stay where they are: Shift+Enter, the
    // return to mode 0 at each show and the tray's search range work on
    // mode 0, and the user's modes are numbered after the five. They can
    // be changed, not removed or moved; the user's modes move among
    // themselves.
    bool canAdd() const { return modes_.size() < kMaxModeCount; }
    bool canRemove(std::size_t index) const {
        return index >= kBuiltInModeCount && index < modes_.size();
    }
    bool canMoveUp(std::size_t index) const {
        return index > kBuiltInModeCount && index < modes_.size();
    }
    bool canMoveDown(std::size_t index) const {
        return index >= kBuiltInModeCount && index + 1 < modes_.size();
    }

    // Each is false, and changes nothing, where the can- function says no.
    // A mode carries all its keys when it moves; the modes after a removed
    // one move up by one, so the numbers from 5 have no gap.
    bool add(ModeKeys keys);
    bool remove(std::size_t index);
    bool moveUp(std::size_t index);
    bool moveDown(std::size_t index);
    void change(std::size_t index, ModeKeys keys) { modes_[index] = std::move(keys); }

    // The values that turn the section `before` was read from into this
    // list: each key of a mode whose value differs, with its new value, or
    // an empty one where the key is gone (an empty value reads as none).
    // The numbers the list no longer reaches are emptied; numbers past both
    // lists, which the program never reads, are left alone.
    std::vector<IniValue> changesFrom(const ModeList& before) const;

  private:
    std::vector<ModeKeys> modes_;
    std::vector<ModeKeys> file_;  // every number 0 to 15 as the file holds it
};

// The mode editor's fields, as the dialog shows them (UTF-8).
struct ModeFields {
    std::string label;
    std::array<std::string, kMaxSitesPerMode> urls;  // empty where unused
    transcode::encoding_id encoding = transcode::encoding_utf8;
    ImeWish ime = ImeWish::keep;
    std::string browser;
    bool dictionary = false;
};

// The four encodings the editor offers, in its drop-down's order, with the
// names the drop-down shows and the values the file takes.
struct EncodingChoice {
    transcode::encoding_id id;
    const char* shown;
    const char* value;
};
const std::array<EncodingChoice, 4>& encodingChoices();

// What the editor shows for mode `index` with `keys`: the file's values,
// and for what the keys leave out the mode as the program reads it (a
// built-in mode's first URL with its fixed values written in, as the file
// would hold it).
ModeFields fieldsOfMode(std::size_t index, const ModeKeys& keys);

// `keys` with each field the user changed from `shown` to `edited`
// written in (blanks around it dropped; an empty field removes its key); a
// field left as shown keeps its key as it was. A built-in mode whose
// encoding changes gets its first URL written too: the file's encoding
// goes with a URL of its own.
ModeKeys keysOfFields(std::size_t index, const ModeKeys& keys, const ModeFields& shown,
                      const ModeFields& edited);

// What stops OK for mode `index` with `keys`: every entry the reader would
// refuse, a user mode without a first URL, a value with a line break.
std::vector<ModeProblem> modeProblems(std::size_t index, const ModeKeys& keys);

// The kind of a key with its mode's number ("url5_2" is "url_2"); empty
// for a name that is no mode key.
std::string modeKeyKind(const std::string& key);

// The mode as a search uses it (labels in UTF-8, without [Options]
// browser=); a user mode that cannot be read gives an empty site.
SearchSite siteOfMode(std::size_t index, const ModeKeys& keys);

}  // namespace lumenvik
