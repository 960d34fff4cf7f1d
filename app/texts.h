#pragma once
// The program's texts from the string table, as code page 932 bytes.

#include <windows.h>

#include <string>

namespace lumenvik {

// Empty when the string is missing.
std::string loadText(UINT id);

// A message box with the text `id` and no owner or caption.
void showTextMessage(UINT id);

}  // namespace lumenvik
