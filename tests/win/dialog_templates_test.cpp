// Templates 202 (settings dialog), 203 (key-capture dialog) and the
// access keys of 204 and 205 (search-site dialog, mode editor) as compiled
// into the program: read back from their binary form.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/win/dialog_template_reader.h"

namespace {

using Item = lvtest::DialogItem;
using Template = lvtest::DialogTemplate;

// The extended template `id`; an empty one when missing or not extended.
Template load(int id) {
    const BYTE* data = lvtest::findDialogTemplate(id);
    if (data == nullptr) return Template{};
    Template t = lvtest::readDialogTemplate(data);
    return t.extended() ? t : Template{};
}

// Control kinds by class and the style bits that make them what they are.
enum Kind { defButton, button, group, label, edit, readOnlyEdit, check, radio };

struct Expected {
    int id;
    Kind kind;
    const char* text;
    short x, y, cx, cy;
};

std::string upper(std::string s) {
    for (char& c : s) c = static_cast<char>(::toupper(static_cast<unsigned char>(c)));
    return s;
}

void expectKind(const Item& it, Kind kind) {
    const std::string cls = upper(it.cls);
    const bool isButton = cls == "BUTTON" || cls == "#128";
    const bool isEdit = cls == "EDIT" || cls == "#129";
    const bool isStatic = cls == "STATIC" || cls == "#130";
    const DWORD type = it.style & 0x0F;
    EXPECT_EQ(it.style & (WS_CHILD | WS_VISIBLE), static_cast<DWORD>(WS_CHILD | WS_VISIBLE));
    switch (kind) {
        case defButton:
            EXPECT_TRUE(isButton && type == BS_DEFPUSHBUTTON) << it.cls;
            break;
        case button:
            EXPECT_TRUE(isButton && type == BS_PUSHBUTTON) << it.cls;
            break;
        case group:
            EXPECT_TRUE(isButton && type == BS_GROUPBOX) << it.cls;
            break;
        case label:
            EXPECT_TRUE(isStatic && (it.style & 0x1F) == SS_LEFT) << it.cls;
            break;
        case edit:
        case readOnlyEdit:
            EXPECT_TRUE(isEdit) << it.cls;
            EXPECT_NE(it.style & WS_BORDER, 0u);
            EXPECT_NE(it.style & ES_AUTOHSCROLL, 0u);
            EXPECT_EQ((it.style & ES_READONLY) != 0, kind == readOnlyEdit);
            break;
        case check:
            EXPECT_TRUE(isButton && type == BS_AUTOCHECKBOX) << it.cls;
            break;
        case radio:
            EXPECT_TRUE(isButton && type == BS_AUTORADIOBUTTON) << it.cls;
            break;
    }
}

void expectItems(const Template& t, const std::vector<Expected>& expected) {
    ASSERT_EQ(t.items.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const Item& it = t.items[i];
        const Expected& e = expected[i];
        SCOPED_TRACE(testing::Message() << "item " << i << " id " << e.id);
        EXPECT_EQ(it.id, e.id);
        expectKind(it, e.kind);
        EXPECT_EQ(it.text, e.text);
        EXPECT_EQ(it.x, e.x);
        EXPECT_EQ(it.y, e.y);
        EXPECT_EQ(it.cx, e.cx);
        EXPECT_EQ(it.cy, e.cy);
    }
}

TEST(DialogTemplates, SettingsDialogIsLaidOutAsDesigned) {
    const Template t = load(IDD_CONFIG_DIALOG);
    EXPECT_EQ(t.style, static_cast<DWORD>(WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU |
                                          DS_MODALFRAME | DS_SETFONT));
    EXPECT_EQ(t.cx, 322);
    EXPECT_EQ(t.cy, 191);
    EXPECT_EQ(t.caption, u8"Lumenvikの設定");
    EXPECT_EQ(t.font, "MS Shell Dlg");
    EXPECT_EQ(t.pointSize, 8);
    expectItems(t, {
                       {1, defButton, u8"保存/OK", 270, 6, 50, 14},
                       {2, button, u8"キャンセル", 270, 23, 50, 14},
                       {1012, button, u8"規定値に戻す", 270, 42, 50, 14},
                       {-1, group, u8"起動設定", 6, 0, 246, 36},
                       {-1, label, u8"検索ウィンドウ表示キー", 12, 13, 75, 8},
                       {1004, readOnlyEdit, "", 90, 7, 60, 14},
                       {1013, button, u8"変更", 156, 6, 24, 14},
                       {-1, label, u8"ダブルクリック間隔", 30, 24, 56, 8},
                       {1005, edit, "", 90, 21, 60, 14},
                       {-1, label, u8"ミリ秒", 156, 24, 18, 8},
                       {-1, group, u8"検索モード", 6, 38, 246, 52},
                       {-1, label, u8"検索モード切替前キー", 12, 50, 73, 8},
                       {1006, readOnlyEdit, "", 90, 48, 60, 14},
                       {1016, button, u8"変更", 156, 48, 25, 14},
                       {-1, label, u8"検索モード切替次キー", 12, 64, 73, 8},
                       {1007, readOnlyEdit, "", 90, 62, 60, 14},
                       {1017, button, u8"変更", 156, 63, 25, 14},
                       {-1, label, u8"ウィンドウ起動時はgoogleモードで開始", 26, 78, 123, 8},
                       {1011, check, "", 156, 78, 16, 10},
                       {-1, group, u8"googleモードの検索範囲", 6, 91, 246, 30},
                       {1021, radio, u8"ウェブ全体から検索", 12, 102, 77, 10},
                       {1022, radio, u8"日本語のページを検索", 96, 102, 89, 10},
                       {-1, group, u8"履歴", 6, 123, 246, 56},
                       {-1, label, u8"検索履歴前キー", 32, 137, 54, 8},
                       {1008, readOnlyEdit, "", 90, 132, 60, 14},
                       {1018, button, u8"変更", 156, 131, 24, 14},
                       {-1, label, u8"検索履歴次キー", 32, 149, 54, 8},
                       {1009, readOnlyEdit, "", 90, 147, 60, 14},
                       {1019, button, u8"変更", 156, 147, 24, 14},
                       {-1, label, u8"検索履歴の保持数", 22, 163, 64, 8},
                       {1010, edit, "", 90, 161, 60, 14},
                       {-1, label, u8"件", 159, 164, 9, 8},
                       {1023, button, u8"検索サイト(&W)...", 256, 61, 64, 14},
                   });
    // The two radio buttons form one group of their own.
    ASSERT_EQ(t.items.size(), 33u);
    EXPECT_NE(t.items[20].style & WS_GROUP, 0u);
    EXPECT_EQ(t.items[21].style & WS_GROUP, 0u);
    EXPECT_NE(t.items[22].style & WS_GROUP, 0u);
}

TEST(DialogTemplates, KeyCaptureDialogIsLaidOutAsDesigned) {
    const Template t = load(IDD_GET_KEY_DIALOG);
    EXPECT_EQ(t.style,
              static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT));
    EXPECT_EQ(t.cx, 178);
    EXPECT_EQ(t.cy, 65);
    EXPECT_EQ(t.caption, "Dialog");
    EXPECT_EQ(t.font, "MS Shell Dlg");
    EXPECT_EQ(t.pointSize, 8);
    expectItems(t, {
                       {-1, label, u8"割り当てるキーを単独で押してください。", 30, 9, 124, 8},
                       {1015, readOnlyEdit, "", 71, 20, 40, 14},
                       {2, button, u8"キャンセル", 66, 38, 50, 14},
                   });
    ASSERT_EQ(t.items.size(), 3u);
    // The field is the only tab stop and wants Enter; Cancel notifies.
    EXPECT_NE(t.items[1].style & WS_TABSTOP, 0u);
    EXPECT_NE(t.items[1].style & ES_WANTRETURN, 0u);
    EXPECT_EQ(t.items[2].style & WS_TABSTOP, 0u);
    EXPECT_NE(t.items[2].style & BS_NOTIFY, 0u);
}

// The search-site dialog and the mode editor: every access key names one
// control (a clash would make Alt+letter stop at the first of them).
TEST(DialogTemplates, TheSearchSiteDialogsGiveEachAccessKeyToOneControl) {
    const struct {
        int id;
        std::size_t keys;
    } dialogs[] = {{IDD_SEARCH_SITES_DIALOG, 6}, {IDD_MODE_EDIT_DIALOG, 13}};
    for (const auto& d : dialogs) {
        const Template t = load(d.id);
        ASSERT_FALSE(t.items.empty()) << d.id;
        std::vector<char> keys;
        for (const Item& it : t.items) {
            const std::size_t amp = it.text.find('&');
            if (amp == std::string::npos || amp + 1 >= it.text.size()) continue;
            keys.push_back(
                static_cast<char>(::toupper(static_cast<unsigned char>(it.text[amp + 1]))));
        }
        EXPECT_EQ(keys.size(), d.keys) << d.id;
        for (std::size_t i = 0; i < keys.size(); ++i) {
            for (std::size_t j = i + 1; j < keys.size(); ++j) {
                EXPECT_NE(keys[i], keys[j]) << d.id << ": " << keys[i];
            }
        }
    }
}

}  // namespace
