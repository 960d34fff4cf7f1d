#pragma once
// The five search modes of the search box, their labels and their cycling
// order (the order of the mode keys).

namespace lumenvik {

// 0 google web search, 1 google image search, 2 goo English-to-Japanese,
// 3 goo Japanese-to-English, 4 goo all dictionaries.
using SearchMode = int;

constexpr SearchMode kFirstSearchMode = 0;
constexpr SearchMode kLastSearchMode = 4;

// The text of the mode label beside the search box, or nullptr for a value
// outside 0-4. The texts are in the system code page of the build (the
// Windows build turns the UTF-8 of the source into code page 932).
const char* searchModeLabel(SearchMode mode);

// One step back / forward in the cycle, wrapping 0 <-> 4.
SearchMode priorSearchMode(SearchMode mode);
SearchMode nextSearchMode(SearchMode mode);

}  // namespace lumenvik
