#pragma once
// Where the search window opens ([Options] showOn=): on the primary
// monitor, on the monitor under the mouse pointer, or on the monitor of the
// window the user works in.

#include <optional>
#include <string>

namespace lumenvik {

enum class ShowOn { primary, mouse, active };

// The file's word for each choice: "primary", "mouse", "active".
const char* showOnName(ShowOn where);

// The choice `text` names (letter case and surrounding blanks ignored);
// nothing for any other text. An empty text is the default, primary.
std::optional<ShowOn> parseShowOn(const std::string& text);

// The message about a value that names no choice (UTF-8).
std::string showOnMessage(const std::string& value);

}  // namespace lumenvik
