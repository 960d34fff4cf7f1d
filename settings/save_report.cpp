#include "settings/save_report.h"

#include <string>

#include "win/text.h"

namespace lumenvik {

// Without the line end the platform's words end with.
std::wstring platformReason(uint32_t error) {
    wchar_t* message = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<LPWSTR>(&message), 0, nullptr);
    std::wstring text = length > 0 && message != nullptr ? std::wstring(message, length) : L"";
    if (message != nullptr) ::LocalFree(message);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) {
        text.pop_back();
    }
    return text + L"（エラー " + std::to_wstring(static_cast<unsigned long>(error)) + L"）";
}

bool saveOrReport(SearchSettings& settings, HWND owner, const std::vector<IniValue>& values) {
    uint32_t error = 0;
    if (settings.saveValues(values, &error)) return true;
    const std::wstring text =
        L"設定を保存できませんでした。\r\n\r\n" + win::wide(settings.lastFileName) + L"\r\n" +
        platformReason(error) +
        L"\r\n\r\n変更した設定はこのまま使われます。lumenvik.exe のあるフォルダーに書き込めるように"
        L"してから、もう一度保存してください。";
    ::MessageBoxW(owner, text.c_str(), L"Lumenvik - 保存エラー", MB_OK);
    return false;
}

}  // namespace lumenvik
