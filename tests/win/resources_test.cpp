// The resources as compiled into the program: template 129 read back from
// its binary form, the string table and the icon.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "resources/resource.h"

namespace {

// Reads a DLGTEMPLATEEX and its items.
class TemplateReader {
  public:
    explicit TemplateReader(const BYTE* data) : p_(data) {}
    WORD word() {
        WORD w;
        std::memcpy(&w, p_, 2);
        p_ += 2;
        return w;
    }
    DWORD dword() {
        DWORD d;
        std::memcpy(&d, p_, 4);
        p_ += 4;
        return d;
    }
    // sz_Or_Ord: an ordinal ("#n") or UTF-16 text, returned as UTF-8.
    std::string text() {
        WORD first = word();
        if (first == 0xFFFF) return "#" + std::to_string(word());
        std::wstring w;
        for (WORD c = first; c != 0; c = word()) w.push_back(static_cast<wchar_t>(c));
        if (w.empty()) return {};
        int n = ::WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0,
                                      nullptr, nullptr);
        std::string out(static_cast<size_t>(n), '\0');
        ::WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), &out[0], n, nullptr,
                              nullptr);
        return out;
    }
    void alignDword(const BYTE* base) {
        while ((p_ - base) % 4 != 0) ++p_;
    }

  private:
    const BYTE* p_;
};

struct Item {
    DWORD exStyle, style;
    short x, y, cx, cy;
    int id;
    std::string cls, text;
};

// The texts of the template, in UTF-8 as the template stores them.
const char kLabelUtf8[] = u8"【 google 】 検索";
const char kHintUtf8[] = u8"（隠すにはCtrlキーを2回で押します）";

TEST(Resources, SearchWindowTemplateIsAsDesigned) {
    HRSRC found = ::FindResourceA(nullptr, MAKEINTRESOURCEA(IDD_SEARCH_WINDOW), RT_DIALOG);
    ASSERT_NE(found, nullptr);
    const auto* base = static_cast<const BYTE*>(::LockResource(::LoadResource(nullptr, found)));
    ASSERT_NE(base, nullptr);
    TemplateReader r(base);
    EXPECT_EQ(r.word(), 1);             // dlgVer
    EXPECT_EQ(r.word(), 0xFFFF);        // extended template
    r.dword();                          // help id
    EXPECT_EQ(r.dword(), 0x00000088u);  // WS_EX_TOPMOST | WS_EX_TOOLWINDOW
    EXPECT_EQ(r.dword(), 0x90C802C2u);
    const WORD count = r.word();
    EXPECT_EQ(static_cast<short>(r.word()), 0);
    EXPECT_EQ(static_cast<short>(r.word()), 0);
    EXPECT_EQ(static_cast<short>(r.word()), 384);
    EXPECT_EQ(static_cast<short>(r.word()), 39);
    EXPECT_EQ(r.text(), "");  // no menu
    EXPECT_EQ(r.text(), "");  // the dialog class
    EXPECT_EQ(r.text(), "Lumenvik");
    EXPECT_EQ(r.word(), 8);  // point size
    r.word();                // weight
    r.word();                // italic, charset
    EXPECT_EQ(r.text(), "MS Sans Serif");

    ASSERT_EQ(count, 3);
    std::vector<Item> items;
    for (int i = 0; i < count; ++i) {
        r.alignDword(base);
        Item it{};
        r.dword();  // help id
        it.exStyle = r.dword();
        it.style = r.dword();
        it.x = static_cast<short>(r.word());
        it.y = static_cast<short>(r.word());
        it.cx = static_cast<short>(r.word());
        it.cy = static_cast<short>(r.word());
        it.id = static_cast<int>(r.dword());
        it.cls = r.text();
        it.text = r.text();
        const WORD extra = r.word();
        for (WORD k = 0; k < extra; ++k) r.word();  // not used here
        items.push_back(it);
    }
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
        {-1, "#130", 276, 4, 104, 8, 0x50020002u, kHintUtf8},
    };
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const Item& it = items[static_cast<size_t>(i)];
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
