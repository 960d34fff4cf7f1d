#include "app/history_keeper.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/profile_store.h"
#include "search/history_file.h"
#include "win/text.h"

namespace lumenvik {
namespace {

std::string historyPath(const SearchSettings& settings) {
    return historyPathBeside(settings.lastFileName.empty() ? settings.defaultFileName
                                                           : settings.lastFileName);
}

}  // namespace

void HistoryKeeper::load(const SearchSettings& settings, SearchHistory& history,
                         std::size_t boxLimit) {
    if (settings.keepHistory == 0) return;
    win::Win32FilePort files;
    std::vector<std::string> words;
    uint32_t error = 0;
    const std::string path = historyPath(settings);
    recoverInterruptedSave(files, path);  // written as the settings file is
    switch (readHistoryFile(files, path, boxLimit, settings.historySize, words, error)) {
        case HistoryRead::ok:
            break;
        case HistoryRead::unreadable:
            readFailed_ = true;
            break;
        case HistoryRead::noWord:
            keepAside_ = true;
            ::OutputDebugStringA(
                "lumenvik-history.txt holds no word that can be read: it is kept as "
                "lumenvik-history.txt.bad before the history is written\n");
            break;
    }
    // The history holds UTF-8, as the file does.
    for (const std::string& word : words) history.record(word, settings.historySize);
    history.resetCursor();
}

void HistoryKeeper::save(const SearchSettings& settings, const SearchHistory& history) {
    if (settings.keepHistory == 0 || readFailed_) return;
    win::Win32FilePort files;
    const std::string path = historyPath(settings);
    if (keepAside_) {
        if (!keepHistoryAside(files, path)) {
            readFailed_ = true;
            ::OutputDebugStringA(
                "lumenvik-history.txt could not be kept as lumenvik-history.txt.bad (the name "
                "holds another file, or the copy failed): the history is not written in this "
                "run\n");
            return;
        }
        keepAside_ = false;
        ::OutputDebugStringA("lumenvik-history.txt kept as lumenvik-history.txt.bad\n");
    }
    // At most historySize words, the newest: a size lowered in the settings
    // dialog leaves more in memory (they go one per search).
    const std::size_t keep =
        std::min(history.count(), static_cast<std::size_t>(std::max(settings.historySize, 0)));
    std::vector<std::string> oldestFirst;
    for (std::size_t i = keep; i-- > 0;) {
        oldestFirst.push_back(history.entry(i));
    }
    uint32_t error = 0;
    if (writeHistoryFile(files, path, oldestFirst, error) || reported_) return;
    reported_ = true;
    wchar_t reason[512] = L"";
    ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                     reason, sizeof reason / sizeof reason[0], nullptr);
    const std::wstring text =
        L"検索履歴を保存できませんでした。\r\n" + win::wide(path) + L"\r\n" + reason;
    ::MessageBoxW(nullptr, text.c_str(), L"Lumenvik - 保存エラー", MB_OK);
}

void HistoryKeeper::clear(const SearchSettings& settings, SearchHistory& history) {
    history.clear();
    readFailed_ = false;  // the user asked for an empty file (one kept aside first)
    if (settings.keepHistory != 0) {
        save(settings, history);
    } else {
        win::Win32FilePort().remove(historyPath(settings));
    }
}

}  // namespace lumenvik
