#include "app/tray_menu.h"

#include "app/foreground_win32.h"
#include "platform/monitor_lookup.h"
#include "tray/menu_anchor.h"
#include "win/owned_handle.h"

namespace lumenvik {

void openTrayMenu(HWND owner, const SearchSettings& settings) {
    POINT cursor{};
    ::GetCursorPos(&cursor);
    // This also shows the window, whose activation runs the show path.
    forceForeground(owner);

    // The building calls' results are ignored: a menu missing an item still
    // opens and works.
    win::OwnedMenu menu(::CreatePopupMenu());
    win::OwnedMenu range(::CreateMenu());
    if (!menu) return;
    ::AppendMenuW(range.get(), MF_STRING | (settings.japanLocal == 0 ? MF_CHECKED : MF_UNCHECKED),
                  ID_TRAY_WEB_ALL, L"WEB全体から検索(&W)");
    ::AppendMenuW(range.get(), MF_STRING | (settings.japanLocal != 0 ? MF_CHECKED : MF_UNCHECKED),
                  ID_TRAY_JAPANESE_PAGES, L"日本語のページを検索(&J)");
    ::AppendMenuW(menu.get(), MF_STRING, ID_TRAY_SETTINGS, L"設定(&S)");
    ::AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    // Once attached, the submenu is destroyed with the menu.
    if (::AppendMenuW(menu.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(range.get()),
                      L"google検索範囲設定(&G)")) {
        range.release();
    }
    ::AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu.get(), MF_STRING | (settings.googleStart != 0 ? MF_CHECKED : MF_UNCHECKED),
                  ID_TRAY_GOOGLE_START, L"常にgoogle検索モードから開始(&A)");
    ::AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu.get(), MF_STRING, ID_TRAY_CLEAR_HISTORY, L"履歴を消去(&C)");
    ::AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu.get(), MF_STRING, ID_TRAY_EXIT, L"終了(&X)");

    win::Win32MonitorLookup monitors;
    const int x = menuAnchorX(ScreenPoint{cursor.x, cursor.y}, monitors);
    // Ignored: the chosen command arrives as WM_COMMAND, and a menu that
    // could not open has nothing to report.
    ::TrackPopupMenu(menu.get(), 0, x, cursor.y, 0, owner, nullptr);
}

}  // namespace lumenvik
