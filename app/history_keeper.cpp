#include "app/history_keeper.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/profile_store.h"
#include "search/history_file.h"

namespace lumenvik {
namespace {

std::string historyPath(const SearchSettings& settings) {
    return historyPathBeside(settings.lastFileName.empty() ? settings.defaultFileName
                                                           : settings.lastFileName);
}

// The settings file's path is text of the ANSI code page.
std::wstring wide(const std::string& text, UINT codePage) {
    if (text.empty()) return std::wstring();
    const int length =
        ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0) {
        ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &out[0],
                              length);
    }
    return out;
}

}  // namespace

void HistoryKeeper::load(const SearchSettings& settings, SearchHistory& history,
                         std::size_t boxLimit) {
    if (settings.keepHistory == 0) return;
    win::Win32FilePort files;
    std::vector<std::string> words;
    uint32_t error = 0;
    readFailed_ = !readHistoryFile(files, historyPath(settings), boxLimit, settings.historySize,
                                   words, error);
    // The history holds UTF-8, as the file does.
    for (const std::string& word : words) history.record(word, settings.historySize);
    history.resetCursor();
}

void HistoryKeeper::save(const SearchSettings& settings, const SearchHistory& history) {
    if (settings.keepHistory == 0 || readFailed_) return;
    // At most historySize words, the newest: a size lowered in the settings
    // dialog leaves more in memory (they go one per search).
    const std::size_t keep =
        std::min(history.count(), static_cast<std::size_t>(std::max(settings.historySize, 0)));
    std::vector<std::string> oldestFirst;
    for (std::size_t i = keep; i-- > 0;) {
        oldestFirst.push_back(history.entry(i));
    }
    win::Win32FilePort files;
    const std::string path = historyPath(settings);
    uint32_t error = 0;
    if (writeHistoryFile(files, path, oldestFirst, error) || reported_) return;
    reported_ = true;
    wchar_t reason[512] = L"";
    ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                     reason, sizeof reason / sizeof reason[0], nullptr);
    const std::wstring text =
        L"検索履歴を保存できませんでした。\r\n" + wide(path, CP_ACP) + L"\r\n" + reason;
    ::MessageBoxW(nullptr, text.c_str(), L"Lumenvik - 保存エラー", MB_OK);
}

void HistoryKeeper::clear(const SearchSettings& settings, SearchHistory& history) {
    history.clear();
    readFailed_ = false;  // the user asked for an empty file
    if (settings.keepHistory != 0) {
        save(settings, history);
    } else {
        win::Win32FilePort().remove(historyPath(settings));
    }
}

}  // namespace lumenvik
