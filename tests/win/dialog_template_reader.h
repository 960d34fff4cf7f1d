#pragma once
// Reads a dialog template (DLGTEMPLATEEX) back from its binary form as the
// resource compiler wrote it, for tests that check a template field by field.

#include <windows.h>

#include <string>
#include <vector>

namespace lvtest {

struct DialogItem {
    DWORD helpId = 0, exStyle = 0, style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    int id = 0;
    std::string cls, text;  // ordinals as "#n", texts in UTF-8
};

struct DialogTemplate {
    WORD version = 0, signature = 0;  // 1 and 0xFFFF for an extended template
    DWORD helpId = 0, exStyle = 0, style = 0;
    WORD count = 0;  // items as the header states them
    short x = 0, y = 0, cx = 0, cy = 0;
    std::string menu, cls, caption;
    WORD pointSize = 0, weight = 0, italicCharset = 0;
    std::string font;
    std::vector<DialogItem> items;
    bool extended() const { return version == 1 && signature == 0xFFFF; }
};

// Parses the template at `data`; a template that is not extended comes back
// with only `version` and `signature` filled in.
DialogTemplate readDialogTemplate(const BYTE* data);

// The RT_DIALOG resource `id` of this module, or nullptr.
const BYTE* findDialogTemplate(int id);

}  // namespace lvtest
