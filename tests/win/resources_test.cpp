// The resources as compiled into the program: template 129 read back from
// its binary form, the string table and the icon.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/win/dialog_template_reader.h"

namespace {

// The texts of the template, in UTF-8 as the template stores them.
const char kLabelUtf8[] = u8"【 google 】 検索";
const char kHintUtf8[] = u8"（隠すにはCtrlキーを2回で押します）";

TEST(Resources, SearchWindowTemplateIsAsDesigned) {
    const BYTE* base = lvtest::findDialogTemplate(IDD_SEARCH_WINDOW);
    ASSERT_NE(base, nullptr);
    const lvtest::DialogTemplate t = lvtest::readDialogTemplate(base);
    EXPECT_EQ(t.version, 1);
    EXPECT_EQ(t.signature, 0xFFFF);     // extended template
    EXPECT_EQ(t.exStyle, 0x00000088u);  // WS_EX_TOPMOST | WS_EX_TOOLWINDOW
    EXPECT_EQ(t.style, 0x90C802C2u);
    EXPECT_EQ(t.x, 0);
    EXPECT_EQ(t.y, 0);
    EXPECT_EQ(t.cx, 384);
    EXPECT_EQ(t.cy, 39);
    EXPECT_EQ(t.menu, "");  // no menu
    EXPECT_EQ(t.cls, "");   // the dialog class
    EXPECT_EQ(t.caption, "Lumenvik");
    EXPECT_EQ(t.pointSize, 8);
    EXPECT_EQ(t.font, "MS Shell Dlg");

    ASSERT_EQ(t.count, 3);
    const std::vector<lvtest::DialogItem>& items = t.items;
    struct Expected {
        int id;
        const char* cls;  // predefined classes are ordinals: 0x81 edit, 0x82 static
        short x, y, cx, cy;
        DWORD style;
        std::string text;
    };
    const Expected expected[] = {
        {1002, "#129", 0, 15, 384, 24, 0x50810080u, ""},
        {1003, "#130", 3, 3, 174, 8, 0x50020000u, kLabelUtf8},
        {-1, "#130", 180, 4, 200, 8, 0x50020002u, kHintUtf8},
    };
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const lvtest::DialogItem& it = items[static_cast<size_t>(i)];
        const Expected& e = expected[i];
        EXPECT_EQ(it.id, e.id);
        // windres writes class names as text; the platform treats both alike.
        EXPECT_TRUE(it.cls == e.cls || (std::string(e.cls) == "#129" && it.cls == "EDIT") ||
                    (std::string(e.cls) == "#130" && it.cls == "STATIC"))
            << it.cls;
        EXPECT_EQ(it.x, e.x);
        EXPECT_EQ(it.y, e.y);
        EXPECT_EQ(it.cx, e.cx);
        EXPECT_EQ(it.cy, e.cy);
        EXPECT_EQ(it.style, e.style);
        EXPECT_EQ(it.exStyle, 0u);
        EXPECT_EQ(it.text, e.text);
    }
}

TEST(Resources, StringTableGivesTheTextsInCodePage932) {
    struct Case {
        UINT id;
        const char* text;  // this file's literals are compiled to code page 932
    };
    const Case cases[] = {
        {IDS_ALREADY_RUNNING_CAPTION, "Lumenvik - 起動エラー"},
        {IDS_ALREADY_RUNNING_TEXT,
         "このアプリケーションは既に起動しています。\r\n2つ同時には起動できません。"},
        {IDS_HOOK_FAILED, "起動できんがや"},
        {IDS_IME_CLOSE_FAILED, "IME閉じるのに失敗"},
        {IDS_IME_RELEASE_FAILED, "IME開放するのに失敗"},
    };
    ASSERT_EQ(::GetACP(), 932u);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        char buffer[512] = {};
        const int n = ::LoadStringA(::GetModuleHandleA(nullptr), c.id, buffer, sizeof buffer);
        EXPECT_EQ(std::string(buffer, n > 0 ? static_cast<size_t>(n) : 0), c.text);
    }
}

TEST(Resources, IconComesInTheLargeAndSmallSizes) {
    for (int metric : {SM_CXICON, SM_CXSMICON}) {
        const int size = ::GetSystemMetrics(metric);
        SCOPED_TRACE(size);
        HICON icon = static_cast<HICON>(::LoadImageA(::GetModuleHandleA(nullptr),
                                                     MAKEINTRESOURCEA(IDI_APP_ICON), IMAGE_ICON,
                                                     size, size, LR_DEFAULTCOLOR));
        ASSERT_NE(icon, nullptr);
        ICONINFO info{};
        ASSERT_TRUE(::GetIconInfo(icon, &info));
        BITMAP bm{};
        ::GetObjectA(info.hbmColor, sizeof bm, &bm);
        EXPECT_EQ(bm.bmWidth, size);
        ::DeleteObject(info.hbmColor);
        ::DeleteObject(info.hbmMask);
        ::DestroyIcon(icon);
    }
}

}  // namespace
