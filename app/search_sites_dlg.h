#pragma once
// The search-site dialog "検索サイトの設定" and its mode editor: the Win32
// layer over search/mode_list.h. The list shows the modes in order (label,
// encoding, first URL); OK writes the keys that changed into
// [SearchModes] through the settings file's one-piece save, Cancel (or
// Escape) writes nothing. Both are modal: the dialog's own loop gives them
// Tab, Enter (OK), Escape (Cancel) and the access keys.

#include <string>

#include "platform/browser_platform.h"
#include "resources/resource.h"
#include "search/mode_list.h"
#include "settings/search_settings.h"
#include "win/window.h"

namespace lumenvik {

// One mode's fields. The preview below them shows, at each keystroke, the
// URLs a search of 日本語 opens, made by the search's own road; a field the
// reader would refuse is marked ("×" before its label) with the reason
// under the preview, and OK and テスト stay disabled meanwhile.
class CModeEditDlg : public win::CDialogImpl<CModeEditDlg> {
  public:
    enum { IDD = IDD_MODE_EDIT_DIALOG };

    CModeEditDlg(std::size_t index, ModeKeys keys, bool japanLocal, win::BrowserLaunches& launches);

    bool ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                              LRESULT& result) override;

    // The mode's keys with what the user changed (after OK).
    const ModeKeys& keys() const { return keys_; }

  private:
    void initialise();
    ModeFields shownFields() const;
    // Reads the fields, checks them and shows the preview.
    void update();
    void insertWord();
    void browse();
    void test();

    // The preview's lines, read-only: a multi-line edit control would keep
    // Tab, Enter and Escape from the dialog.
    class PreviewField : public win::CWindowImpl<PreviewField> {
      public:
        bool ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                  LRESULT& result) override;
    };

    PreviewField preview_;
    std::size_t index_;
    ModeKeys keys_;
    ModeFields opened_;  // the fields as the editor opened
    bool japanLocal_;
    win::BrowserLaunches& launches_;
    int lastUrlField_ = IDC_MODE_URL1;
};

class CSearchSitesDlg : public win::CDialogImpl<CSearchSitesDlg> {
  public:
    enum { IDD = IDD_SEARCH_SITES_DIALOG };

    CSearchSitesDlg(SearchSettings& settings, win::BrowserLaunches& launches)
        : settings_(settings), launches_(launches), before_(""), list_("") {}

    bool ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                              LRESULT& result) override;

    // Reads the settings file and runs the dialog over `owner` (none when
    // null). A file that exists and cannot be read is told and the dialog
    // does not open: nothing could be saved into it. True after OK saved.
    bool run(HWND owner);

  private:
    void initialise();
    // The list's rows from list_, `selected` selected; the buttons follow.
    void fill(int selected);
    void updateButtons();
    int selection() const;
    void edit(int index);
    void add();
    void onOK();

    SearchSettings& settings_;
    win::BrowserLaunches& launches_;
    ModeList before_;
    ModeList list_;
};

}  // namespace lumenvik
