#include "settings/save_report.h"

#include <cstdio>
#include <string>

namespace lumenvik {

namespace {

// The platform's own words for `error`, without the line end it ends with.
std::string reasonText(uint32_t error) {
    char* message = nullptr;
    const DWORD length = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<LPSTR>(&message), 0, nullptr);
    std::string text = length > 0 && message != nullptr ? std::string(message, length) : "";
    if (message != nullptr) ::LocalFree(message);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) {
        text.pop_back();
    }
    char code[32];
    std::snprintf(code, sizeof code, "（エラー %lu）", static_cast<unsigned long>(error));
    return text + code;
}

}  // namespace

bool saveOrReport(SearchSettings& settings, HWND owner) {
    uint32_t error = 0;
    if (settings.save("", &error)) return true;
    const std::string text =
        "設定を保存できませんでした。\r\n\r\n" + settings.lastFileName + "\r\n" +
        reasonText(error) +
        "\r\n\r\n変更した設定はこのまま使われます。lumenvik.exe のあるフォルダーに書き込めるように"
        "してから、もう一度保存してください。";
    ::MessageBoxA(owner, text.c_str(), "Lumenvik - 保存エラー", MB_OK);
    return false;
}

}  // namespace lumenvik
