#include "app/texts.h"

namespace lumenvik {

std::wstring loadText(UINT id) {
    wchar_t buffer[1024];
    const int length = ::LoadStringW(::GetModuleHandleW(nullptr), id, buffer, 1024);
    return length > 0 ? std::wstring(buffer, static_cast<size_t>(length)) : std::wstring();
}

void showTextMessage(UINT id) { ::MessageBoxW(nullptr, loadText(id).c_str(), L"", MB_OK); }

}  // namespace lumenvik
