#include "app/dictionary_list.h"

#include <algorithm>
#include <utility>

#include "resources/resource.h"
#include "win/dpi.h"
#include "win/program_folder.h"
#include "win/text.h"

namespace lumenvik {

void DictionaryList::open() {
    const std::string path = win::besideProgram("lumenvik-dict.bin");
    std::string problem;
    const auto outcome = file_.open(win::wide(path), problem);
    usable_ = outcome == win::MappedDictionary::Outcome::open;
    if (outcome == win::MappedDictionary::Outcome::unusable) {
        ::OutputDebugStringA(("dictionary " + path + " not used: " + problem + "\n").c_str());
    }
}

void DictionaryList::create(HWND dialog, HWND box) {
    if (!usable_) return;
    dialog_ = dialog;
    box_ = box;
    list_ = ::CreateWindowExW(0, L"LISTBOX", L"",
                              WS_CHILD | WS_DISABLED | WS_BORDER | LBS_HASSTRINGS |
                                  LBS_OWNERDRAWFIXED | LBS_NOINTEGRALHEIGHT,
                              0, 0, 0, 0, dialog, reinterpret_cast<HMENU>(IDC_DICTIONARY_LIST),
                              ::GetModuleHandleW(nullptr), nullptr);
    if (list_ == nullptr) {
        ::OutputDebugStringA("dictionary list not made\n");
        usable_ = false;
    }
    dpi_ = win::windowDpi(dialog);
}

void DictionaryList::dpiChanged(int dpi) {
    if (list_ == nullptr || dpi <= 0) return;
    if (dpi_ > 0) extra_ = ::MulDiv(extra_, dpi, dpi_);
    dpi_ = dpi;
}

void DictionaryList::relayout() {
    if (list_ == nullptr) return;
    layout();
    ::InvalidateRect(list_, nullptr, TRUE);
}

void DictionaryList::update(const std::wstring& text, bool enabled) {
    std::vector<DictionaryRow> found;
    if (usable_ && list_ != nullptr && enabled && !text.empty()) {
        if (!file_.reader().lookup(win::utf8(text), DictionaryReader::kMaxRows, found)) {
            // Found corrupt on the way: told once, and no list from now on.
            ::OutputDebugStringA("dictionary lumenvik-dict.bin not used: corrupt\n");
            usable_ = false;
        }
    }
    std::vector<Row> rows;
    for (const DictionaryRow& r : found) {
        rows.push_back({win::wide(std::string(r.headword)), win::wide(rowText(r))});
    }
    // The same rows again (a mode or composition message with the same
    // text): the selection stays and nothing is redrawn.
    const bool same = rows.size() == rows_.size() &&
                      std::equal(rows.begin(), rows.end(), rows_.begin(),
                                 [](const Row& a, const Row& b) { return a.text == b.text; });
    if (same) return;
    rows_ = std::move(rows);
    selected_ = -1;
    if (list_ == nullptr) return;
    ::SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(list_, LB_RESETCONTENT, 0, 0);
    for (const Row& r : rows_) {
        ::SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(r.text.c_str()));
    }
    ::SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    layout();
}

void DictionaryList::layout() {
    // Rows at the height of the window's font (scaled with the window).
    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(dialog_, WM_GETFONT, 0, 0));
    ::SendMessageW(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    int rowHeight = 16;
    if (HDC dc = ::GetDC(list_)) {
        HGDIOBJ old = ::SelectObject(dc, font);
        TEXTMETRICW metrics{};
        if (::GetTextMetricsW(dc, &metrics)) rowHeight = metrics.tmHeight + metrics.tmHeight / 3;
        ::SelectObject(dc, old);
        ::ReleaseDC(list_, dc);
    }
    ::SendMessageW(list_, LB_SETITEMHEIGHT, 0, rowHeight);

    RECT window{}, box{};
    ::GetWindowRect(dialog_, &window);
    ::GetWindowRect(box_, &box);
    ::MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&box), 2);
    const int border = 2 * ::GetSystemMetrics(SM_CYBORDER);
    const int listHeight = rows_.empty() ? 0 : static_cast<int>(rows_.size()) * rowHeight + border;
    if (listHeight == 0 && extra_ == 0) return;
    const int width = window.right - window.left;
    const int height = window.bottom - window.top - extra_ + listHeight;
    if (listHeight > 0) {
        ::SetWindowPos(list_, nullptr, box.left, box.bottom, box.right - box.left, listHeight,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // The top-left corner stays: the window grows and shrinks at its bottom.
    ::SetWindowPos(dialog_, nullptr, 0, 0, width, height,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    extra_ = listHeight;
    ::ShowWindow(list_, listHeight > 0 ? SW_SHOWNA : SW_HIDE);
}

void DictionaryList::select(bool backward) {
    if (rows_.empty()) return;
    const int count = static_cast<int>(rows_.size());
    if (selected_ < 0) {
        selected_ = backward ? count - 1 : 0;
    } else {
        selected_ = (selected_ + (backward ? count - 1 : 1)) % count;
    }
    ::SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(selected_), 0);
    ::InvalidateRect(list_, nullptr, FALSE);
}

std::wstring DictionaryList::selectedHeadword() const {
    return selected_ >= 0 ? rows_[static_cast<std::size_t>(selected_)].headword : std::wstring();
}

std::wstring DictionaryList::selectedText() const {
    return selected_ >= 0 ? rows_[static_cast<std::size_t>(selected_)].text : std::wstring();
}

bool DictionaryList::draw(const DRAWITEMSTRUCT& item) const {
    if (list_ == nullptr || item.hwndItem != list_) return false;
    if (item.itemID == static_cast<UINT>(-1) || item.itemID >= rows_.size()) return true;
    // The system's colours; the list is disabled only to keep the focus
    // away, so it is drawn as an enabled one.
    const bool selected = static_cast<int>(item.itemID) == selected_;
    ::FillRect(item.hDC, &item.rcItem,
               ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    ::SetBkMode(item.hDC, TRANSPARENT);
    ::SetTextColor(item.hDC, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    RECT text = item.rcItem;
    text.left += 4;
    text.right -= 4;
    const std::wstring& line = rows_[item.itemID].text;
    ::DrawTextW(item.hDC, line.c_str(), static_cast<int>(line.size()), &text,
                DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    return true;
}

}  // namespace lumenvik
