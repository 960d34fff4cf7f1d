#include "app/tray_menu.h"

#include "app/foreground_win32.h"
#include "platform/monitor_lookup.h"
#include "tray/menu_anchor.h"
#include "win/owned_handle.h"

namespace lumenvik {

namespace {

struct ShowOnItem {
    int id;
    ShowOn where;
    const wchar_t* text;
};

constexpr ShowOnItem kShowOnItems[] = {
    {ID_TRAY_SHOW_ON_PRIMARY, ShowOn::primary, L"プライマリモニター"},
    {ID_TRAY_SHOW_ON_MOUSE, ShowOn::mouse, L"マウスのあるモニター"},
    {ID_TRAY_SHOW_ON_ACTIVE, ShowOn::active, L"作業中のウィンドウのモニター"},
};

// Attaches `submenu` to `menu`; once attached, it is destroyed with the menu.
void appendSubmenu(HMENU menu, win::OwnedMenu& submenu, const wchar_t* text) {
    if (::AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(submenu.get()), text)) {
        submenu.release();
    }
}

}  // namespace

std::optional<ShowOn> showOnOfItem(int id) {
    for (const ShowOnItem& item : kShowOnItems) {
        if (item.id == id) return item.where;
    }
    return std::nullopt;
}

void openTrayMenu(HWND owner, const SearchSettings& settings, bool runsAtLogon) {
    POINT cursor{};
    ::GetCursorPos(&cursor);
    // This also shows the window, whose activation runs the show path.
    forceForeground(owner);

    // The building calls' results are ignored: a menu missing an item still
    // opens and works.
    win::OwnedMenu menu(::CreatePopupMenu());
    win::OwnedMenu range(::CreateMenu());
    win::OwnedMenu place(::CreateMenu());
    if (!menu) return;
    ::AppendMenuW(range.get(), MF_STRING | (settings.japanLocal == 0 ? MF_CHECKED : MF_UNCHECKED),
                  ID_TRAY_WEB_ALL, L"WEB全体から検索(&W)");
    ::AppendMenuW(range.get(), MF_STRING | (settings.japanLocal != 0 ? MF_CHECKED : MF_UNCHECKED),
                  ID_TRAY_JAPANESE_PAGES, L"日本語のページを検索(&J)");
    ::AppendMenuW(menu.get(), MF_STRING, ID_TRAY_SETTINGS, L"設定(&S)");
    ::AppendMenuW(menu.get(), MF_STRING, ID_TRAY_SEARCH_SITES, L"検索サイト(&K)...");
    ::AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    appendSubmenu(menu.get(), range, L"google検索範囲設定(&G)");
    ::AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu.get(), MF_STRING | (settings.googleStart != 0 ? MF_CHECKED : MF_UNCHECKED),
                  ID_TRAY_GOOGLE_START, L"常にgoogle検索モードから開始(&A)");
    ::AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    for (const ShowOnItem& item : kShowOnItems) {
        ::AppendMenuW(place.get(), MF_STRING, static_cast<UINT_PTR>(item.id), item.text);
    }
    for (const ShowOnItem& item : kShowOnItems) {
        if (item.where != settings.showOn) continue;
        // A round mark, and the other two items of the group cleared.
        ::CheckMenuRadioItem(place.get(), kShowOnItems[0].id, kShowOnItems[2].id, item.id,
                             MF_BYCOMMAND);
    }
    appendSubmenu(menu.get(), place, L"表示位置(&P)");
    ::AppendMenuW(menu.get(), MF_STRING | (runsAtLogon ? MF_CHECKED : MF_UNCHECKED),
                  ID_TRAY_RUN_AT_LOGON, L"Windows の起動時に実行(&R)");
    ::AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu.get(), MF_STRING, ID_TRAY_CLEAR_HISTORY, L"履歴を消去(&C)");
    ::AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu.get(), MF_STRING, ID_TRAY_EXIT, L"終了(&X)");

    win::Win32MonitorLookup monitors;
    const int x = menuAnchorX(ScreenPoint{cursor.x, cursor.y}, monitors);
    // Ignored: the chosen command arrives as WM_COMMAND, and a menu that
    // could not open has nothing to report.
    ::TrackPopupMenu(menu.get(), 0, x, cursor.y, 0, owner, nullptr);
    // A task switch to the owner: without it Windows shows the next menu
    // of a notification icon and closes it at once.
    ::PostMessageW(owner, WM_NULL, 0, 0);
}

}  // namespace lumenvik
