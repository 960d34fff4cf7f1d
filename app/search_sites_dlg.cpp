#include "app/search_sites_dlg.h"

#include <commdlg.h>

#include <vector>

#include "platform/settings_file.h"
#include "search/search_command.h"
#include "settings/save_report.h"
#include "win/text.h"

namespace lumenvik {
namespace {

constexpr char16_t kSampleWord[] = u"日本語";
constexpr int kUrlFields[kMaxSitesPerMode] = {IDC_MODE_URL1, IDC_MODE_URL2, IDC_MODE_URL3,
                                              IDC_MODE_URL4};
// The fields a refused key marks, by its kind, with the name the reason
// gives it.
struct FieldOfKind {
    const char* kind;
    int field;
    const char* name;
};
constexpr FieldOfKind kFieldsOfKinds[] = {
    {"label", IDC_MODE_NAME, "名前"},      {"url", IDC_MODE_URL1, "URL"},
    {"url_2", IDC_MODE_URL2, "URL 2"},     {"url_3", IDC_MODE_URL3, "URL 3"},
    {"url_4", IDC_MODE_URL4, "URL 4"},     {"encoding", IDC_MODE_ENCODING, "文字コード"},
    {"ime", IDC_MODE_IME, "日本語入力"},   {"browser", IDC_MODE_BROWSER, "ブラウザー"},
    {"dict", IDC_MODE_DICTIONARY, "辞書"},
};
// The input method's choices in the drop-down's order.
constexpr ImeWish kImeChoices[] = {ImeWish::keep, ImeWish::on, ImeWish::off};
constexpr const wchar_t* kImeTexts[] = {L"そのまま", L"オン", L"オフ"};

std::string itemText(HWND dialog, int id) {
    HWND item = ::GetDlgItem(dialog, id);
    const int length = ::GetWindowTextLengthW(item);
    std::wstring text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
    const int got = ::GetWindowTextW(item, &text[0], static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    return win::utf8(text);
}

void setItemText(HWND dialog, int id, const std::string& text) {
    ::SetDlgItemTextW(dialog, id, win::wide(text).c_str());
}

int comboIndex(HWND dialog, int id) {
    return static_cast<int>(::SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0));
}

// The editor's own launches, as a search's: the mode's browser, each site
// in turn, the answers to the search window.
class TestPorts : public win::LaunchingPorts {
  public:
    using LaunchingPorts::LaunchingPorts;
    std::u16string readBoxText() override { return kSampleWord; }
    void setBoxText(const std::u16string&) override {}
};

void centreOver(HWND window, HWND owner) {
    RECT area{};
    if (owner == nullptr || !::GetWindowRect(owner, &area)) area = win::primaryWorkArea();
    win::centreWindowIn(window, area);
}

std::string encodingShown(transcode::encoding_id id) {
    for (const EncodingChoice& c : encodingChoices()) {
        if (c.id == id) return c.shown;
    }
    return "UTF-8";
}

}  // namespace

CModeEditDlg::CModeEditDlg(std::size_t index, ModeKeys keys, bool japanLocal,
                           win::BrowserLaunches& launches)
    : index_(index), keys_(std::move(keys)), japanLocal_(japanLocal), launches_(launches) {}

bool CModeEditDlg::ProcessWindowMessage(HWND /*hwnd*/, UINT msg, WPARAM wParam, LPARAM /*lParam*/,
                                        LRESULT& result) {
    if (msg == WM_INITDIALOG) {
        initialise();
        result = FALSE;  // the focus is set
        return true;
    }
    if (msg != WM_COMMAND) return false;
    const int id = LOWORD(wParam);
    const int notification = HIWORD(wParam);
    result = 0;
    switch (id) {
        case IDOK:
            update();
            if (::IsWindowEnabled(::GetDlgItem(m_hWnd, IDOK)) == FALSE) return true;
            keys_ = keysOfFields(index_, keys_, opened_, shownFields());
            EndDialog(IDOK);
            return true;
        case IDCANCEL:
            EndDialog(IDCANCEL);
            return true;
        case IDC_MODE_INSERT_WORD:
            insertWord();
            return true;
        case IDC_MODE_BROWSE:
            browse();
            return true;
        case IDC_MODE_TEST:
            test();
            return true;
        case IDC_MODE_DICTIONARY:
            update();
            return true;
        case IDC_MODE_ENCODING:
        case IDC_MODE_IME:
            if (notification == CBN_SELCHANGE) update();
            return true;
        default:
            break;
    }
    if (notification == EN_SETFOCUS) {
        for (int field : kUrlFields) {
            if (field == id) lastUrlField_ = id;
        }
    }
    if (notification == EN_CHANGE && id != IDC_MODE_PREVIEW) {
        update();
        return true;
    }
    return false;
}

bool CModeEditDlg::PreviewField::ProcessWindowMessage(HWND /*hwnd*/, UINT msg, WPARAM wParam,
                                                      LPARAM lParam, LRESULT& result) {
    if (msg != WM_GETDLGCODE) return false;
    result = DefWindowProc(msg, wParam, lParam) & ~static_cast<LRESULT>(DLGC_WANTALLKEYS);
    return true;
}

void CModeEditDlg::initialise() {
    centreOver(m_hWnd, ::GetWindow(m_hWnd, GW_OWNER));
    preview_.SubclassWindow(::GetDlgItem(m_hWnd, IDC_MODE_PREVIEW));
    for (const EncodingChoice& c : encodingChoices()) {
        ::SendDlgItemMessageW(m_hWnd, IDC_MODE_ENCODING, CB_ADDSTRING, 0,
                              reinterpret_cast<LPARAM>(win::wide(c.shown).c_str()));
    }
    for (const wchar_t* text : kImeTexts) {
        ::SendDlgItemMessageW(m_hWnd, IDC_MODE_IME, CB_ADDSTRING, 0,
                              reinterpret_cast<LPARAM>(text));
    }
    opened_ = fieldsOfMode(index_, keys_);
    setItemText(m_hWnd, IDC_MODE_NAME, opened_.label);
    for (std::size_t i = 0; i < kMaxSitesPerMode; ++i) {
        setItemText(m_hWnd, kUrlFields[i], opened_.urls[i]);
    }
    for (std::size_t i = 0; i < encodingChoices().size(); ++i) {
        if (encodingChoices()[i].id == opened_.encoding) {
            ::SendDlgItemMessageW(m_hWnd, IDC_MODE_ENCODING, CB_SETCURSEL, i, 0);
        }
    }
    for (std::size_t i = 0; i < 3; ++i) {
        if (kImeChoices[i] == opened_.ime) {
            ::SendDlgItemMessageW(m_hWnd, IDC_MODE_IME, CB_SETCURSEL, i, 0);
        }
    }
    setItemText(m_hWnd, IDC_MODE_BROWSER, opened_.browser);
    ::CheckDlgButton(m_hWnd, IDC_MODE_DICTIONARY, opened_.dictionary ? BST_CHECKED : BST_UNCHECKED);
    // What the fields hold now, read back as the user's edits will be: the
    // controls' own forms (line ends, lengths) are then no change.
    opened_ = shownFields();
    update();
    ::SetFocus(::GetDlgItem(m_hWnd, IDC_MODE_NAME));
}

ModeFields CModeEditDlg::shownFields() const {
    ModeFields fields;
    fields.label = itemText(m_hWnd, IDC_MODE_NAME);
    for (std::size_t i = 0; i < kMaxSitesPerMode; ++i) {
        fields.urls[i] = itemText(m_hWnd, kUrlFields[i]);
    }
    const int encoding = comboIndex(m_hWnd, IDC_MODE_ENCODING);
    if (encoding >= 0 && static_cast<std::size_t>(encoding) < encodingChoices().size()) {
        fields.encoding = encodingChoices()[static_cast<std::size_t>(encoding)].id;
    }
    const int ime = comboIndex(m_hWnd, IDC_MODE_IME);
    if (ime >= 0 && ime < 3) fields.ime = kImeChoices[ime];
    fields.browser = itemText(m_hWnd, IDC_MODE_BROWSER);
    fields.dictionary = ::IsDlgButtonChecked(m_hWnd, IDC_MODE_DICTIONARY) == BST_CHECKED;
    return fields;
}

void CModeEditDlg::update() {
    const ModeFields fields = shownFields();
    const ModeKeys keys = keysOfFields(index_, keys_, opened_, fields);
    const std::vector<ModeProblem> problems = modeProblems(index_, keys);
    // The further sites are written without gaps: url_2 is the first
    // filled field after the first URL.
    std::vector<int> moreFields;
    for (std::size_t i = 1; i < kMaxSitesPerMode; ++i) {
        if (fields.urls[i].find_first_not_of(" \t") != std::string::npos) {
            moreFields.push_back(kUrlFields[i]);
        }
    }
    std::vector<int> marked;
    std::string reasons;
    for (const ModeProblem& problem : problems) {
        const std::string kind = modeKeyKind(problem.key);
        for (const FieldOfKind& f : kFieldsOfKinds) {
            if (kind != f.kind) continue;
            int field = f.field;
            std::string name = f.name;
            if (kind.compare(0, 4, "url_") == 0) {
                const std::size_t n = static_cast<std::size_t>(kind[4] - '2');
                if (n < moreFields.size()) field = moreFields[n];
                for (std::size_t i = 1; i < kMaxSitesPerMode; ++i) {
                    if (kUrlFields[i] == field) name = "URL " + std::to_string(i + 1);
                }
            }
            marked.push_back(field);
            if (!reasons.empty()) reasons += "\r\n";
            reasons += "× " + name + ": " + problem.reason;
        }
    }
    for (const FieldOfKind& f : kFieldsOfKinds) {
        const int label = f.field + IDC_MODE_LABEL_OFFSET;
        if (::GetDlgItem(m_hWnd, label) == nullptr) continue;
        std::string text = itemText(m_hWnd, label);
        const bool isMarked = text.compare(0, 3, "× ") == 0;
        bool mark = false;
        for (int field : marked) mark = mark || field == f.field;
        if (mark && !isMarked) setItemText(m_hWnd, label, "× " + text);
        if (!mark && isMarked) setItemText(m_hWnd, label, text.substr(3));
    }
    setItemText(m_hWnd, IDC_MODE_PROBLEM, reasons);
    const bool good = problems.empty();
    ::EnableWindow(::GetDlgItem(m_hWnd, IDOK), good ? TRUE : FALSE);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_MODE_TEST), good ? TRUE : FALSE);
    std::string preview;
    if (good) {
        for (const std::string& url :
             searchUrls(siteOfMode(index_, keys), japanLocal_, kSampleWord)) {
            if (!preview.empty()) preview += "\r\n";
            preview += url;
        }
    }
    setItemText(m_hWnd, IDC_MODE_PREVIEW, preview);
}

void CModeEditDlg::insertWord() {
    HWND field = ::GetDlgItem(m_hWnd, lastUrlField_);
    ::SendMessageW(field, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"[search_word]"));
    ::SetFocus(field);
}

void CModeEditDlg::browse() {
    wchar_t file[MAX_PATH + 1] = L"";
    OPENFILENAMEW open{};
    open.lStructSize = sizeof open;
    open.hwndOwner = m_hWnd;
    open.lpstrFilter = L"プログラム (*.exe)\0*.exe\0すべてのファイル (*.*)\0*.*\0";
    open.lpstrFile = file;
    open.nMaxFile = MAX_PATH;
    open.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!::GetOpenFileNameW(&open)) return;
    // The path quoted whole, the URL in its own argument.
    const std::wstring command = L"\"" + std::wstring(file) + L"\" %1";
    ::SetDlgItemTextW(m_hWnd, IDC_MODE_BROWSER, command.c_str());
}

void CModeEditDlg::test() {
    const ModeKeys keys = keysOfFields(index_, keys_, opened_, shownFields());
    if (!modeProblems(index_, keys).empty()) return;
    TestPorts ports(launches_);
    openSearch(siteOfMode(index_, keys), japanLocal_, kSampleWord, ports);
}

bool CSearchSitesDlg::run(HWND owner) {
    std::string bytes;
    if (!win::readFileBytes(settings_.lastFileName, bytes)) {
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
            const std::wstring text =
                L"設定ファイルを読めないため、検索サイトの設定を開けません。\r\n\r\n" +
                win::wide(settings_.lastFileName) + L"\r\n" + platformReason(error);
            ::MessageBoxW(owner, text.c_str(), L"Lumenvik - 設定エラー", MB_OK);
            return false;
        }
        bytes.clear();
    }
    before_ = ModeList(bytes);
    list_ = before_;
    return DoModal(owner) == IDOK;
}

bool CSearchSitesDlg::ProcessWindowMessage(HWND /*hwnd*/, UINT msg, WPARAM wParam,
                                           LPARAM /*lParam*/, LRESULT& result) {
    if (msg == WM_INITDIALOG) {
        initialise();
        result = FALSE;
        return true;
    }
    if (msg != WM_COMMAND) return false;
    const int id = LOWORD(wParam);
    const int notification = HIWORD(wParam);
    const int selected = selection();
    const auto index = static_cast<std::size_t>(selected < 0 ? 0 : selected);
    result = 0;
    switch (id) {
        case IDOK:
            onOK();
            return true;
        case IDCANCEL:
            EndDialog(IDCANCEL);
            return true;
        case IDC_SITE_LIST:
            if (notification == LBN_SELCHANGE) updateButtons();
            if (notification == LBN_DBLCLK && selected >= 0) edit(selected);
            return true;
        case IDC_SITE_ADD:
            add();
            return true;
        case IDC_SITE_EDIT:
            if (selected >= 0) edit(selected);
            return true;
        case IDC_SITE_REMOVE:
            if (selected >= 0 && list_.remove(index)) {
                fill(selected < static_cast<int>(list_.count()) ? selected : selected - 1);
            }
            return true;
        case IDC_SITE_UP:
            if (selected >= 0 && list_.moveUp(index)) fill(selected - 1);
            return true;
        case IDC_SITE_DOWN:
            if (selected >= 0 && list_.moveDown(index)) fill(selected + 1);
            return true;
        default:
            return false;
    }
}

void CSearchSitesDlg::initialise() {
    centreOver(m_hWnd, ::GetWindow(m_hWnd, GW_OWNER));
    // Columns in dialog units: the label, the encoding, the URL.
    const int stops[] = {120, 170};
    ::SendDlgItemMessageW(m_hWnd, IDC_SITE_LIST, LB_SETTABSTOPS, 2,
                          reinterpret_cast<LPARAM>(stops));
    ::SendDlgItemMessageW(m_hWnd, IDC_SITE_LIST, LB_SETHORIZONTALEXTENT, 1200, 0);
    fill(0);
    ::SetFocus(::GetDlgItem(m_hWnd, IDC_SITE_LIST));
}

void CSearchSitesDlg::fill(int selected) {
    HWND list = ::GetDlgItem(m_hWnd, IDC_SITE_LIST);
    ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (std::size_t i = 0; i < list_.count(); ++i) {
        const SearchSite site = siteOfMode(i, list_.keys(i));
        const ModeFields fields = fieldsOfMode(i, list_.keys(i));
        // The URL last: a long label or URL then moves no other column.
        std::string row = site.label + "\t" + encodingShown(site.encoding) + "\t" + fields.urls[0];
        if (!site.moreUrls.empty()) row += " (+" + std::to_string(site.moreUrls.size()) + ")";
        ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(win::wide(row).c_str()));
    }
    ::SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
    updateButtons();
}

int CSearchSitesDlg::selection() const {
    return static_cast<int>(::SendDlgItemMessageW(m_hWnd, IDC_SITE_LIST, LB_GETCURSEL, 0, 0));
}

void CSearchSitesDlg::updateButtons() {
    const int selected = selection();
    const auto index = static_cast<std::size_t>(selected < 0 ? 0 : selected);
    const auto enable = [&](int id, bool on) {
        HWND button = ::GetDlgItem(m_hWnd, id);
        // A button that is disabled while it has the focus would leave the
        // keyboard nowhere: the list takes it.
        if (!on && ::GetFocus() == button) ::SetFocus(::GetDlgItem(m_hWnd, IDC_SITE_LIST));
        ::EnableWindow(button, on ? TRUE : FALSE);
    };
    enable(IDC_SITE_ADD, list_.canAdd());
    enable(IDC_SITE_EDIT, selected >= 0);
    enable(IDC_SITE_REMOVE, selected >= 0 && list_.canRemove(index));
    enable(IDC_SITE_UP, selected >= 0 && list_.canMoveUp(index));
    enable(IDC_SITE_DOWN, selected >= 0 && list_.canMoveDown(index));
}

void CSearchSitesDlg::edit(int index) {
    const auto i = static_cast<std::size_t>(index);
    CModeEditDlg editor(i, list_.keys(i), settings_.japanLocal != 0, launches_);
    if (editor.DoModal(m_hWnd) != IDOK) return;
    list_.change(i, editor.keys());
    fill(index);
}

void CSearchSitesDlg::add() {
    if (!list_.canAdd()) return;
    const std::size_t index = list_.count();
    CModeEditDlg editor(index, ModeKeys{}, settings_.japanLocal != 0, launches_);
    if (editor.DoModal(m_hWnd) != IDOK) return;
    list_.add(editor.keys());
    fill(static_cast<int>(index));
}

void CSearchSitesDlg::onOK() {
    const std::vector<IniValue> changes = list_.changesFrom(before_);
    // Nothing changed, nothing written. A failed save has been told; the
    // dialog stays with its edits, for OK again or Cancel.
    if (!changes.empty() && !saveOrReport(settings_, m_hWnd, changes)) return;
    EndDialog(IDOK);
}

}  // namespace lumenvik
