#pragma once
// The program's texts from the string table, as UTF-16 (the resources hold
// them so), shown right whatever the system's code page.

#include <windows.h>

#include <string>

namespace lumenvik {

// Empty when the string is missing.
std::wstring loadText(UINT id);

// A message box with the text `id` and no owner or caption.
void showTextMessage(UINT id);

}  // namespace lumenvik
