// The search range chosen in the tray menu, seen in the URL of the next search.
#include "tests/win/search_fixture.h"
#include "tests/win/tray_driver.h"

namespace {

using namespace lvtest;

constexpr UINT kToggleWindow = 0x040A;
const char kWebUrl[] =
    "http://www.google.co.jp/search?hl=ja&q=abc&btnG=Google+%E6%A4%9C%E7%B4%A2&lr=";

class TraySearchTest : public SearchFixture {
  protected:
    // Chooses a menu item, then hides the window the menu showed, so that
    // the next search shows it with the show key as a user does.
    void choose(const char* item) {
        ASSERT_TRUE(chooseTrayItem(program, probe, item));
        if (::IsWindowVisible(program.window())) {
            ::PostMessageA(program.window(), kToggleWindow, 0, 0);
        }
        ASSERT_TRUE(waitVisible(false));
    }

    MenuProbe probe;
};

TEST_F(TraySearchTest, TheSearchRangeChosenInTheMenuChangesTheNextSearchsUrl) {
    registerBrowser();
    startWith();
    ASSERT_TRUE(probe.attach(program.window()));

    search("abc");
    ASSERT_TRUE(waitLaunches(1));
    EXPECT_EQ(launches()[0], std::string(kWebUrl) + "lang_ja");

    choose(u8"WEB全体から検索(&W)");
    search("abc");
    ASSERT_TRUE(waitLaunches(2));
    EXPECT_EQ(launches()[1], kWebUrl);

    choose(u8"日本語のページを検索(&J)");
    search("abc");
    ASSERT_TRUE(waitLaunches(3));
    EXPECT_EQ(launches()[2], std::string(kWebUrl) + "lang_ja");
}

}  // namespace
