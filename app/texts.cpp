#include "app/texts.h"

namespace lumenvik {

std::string loadText(UINT id) {
    char buffer[1024];
    const int length = ::LoadStringA(::GetModuleHandleA(nullptr), id, buffer, sizeof buffer);
    return length > 0 ? std::string(buffer, static_cast<size_t>(length)) : std::string();
}

void showTextMessage(UINT id) { ::MessageBoxA(nullptr, loadText(id).c_str(), "", MB_OK); }

}  // namespace lumenvik
