// Bad input through the real program: words at the search box's limit,
// every byte the box accepts, broken settings files and odd registry values.
// Each case checks the reaction and that nothing is lost: the program keeps
// running, the word reaches the history, the URL and its trace, the settings
// file is left as it was. BAD_INPUT.md beside this file records the cases.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/fuzz/ini_text_store.h"
#include "tests/win/search_fixture.h"
#include "tests/win/tray_driver.h"

namespace {

using namespace lvtest;

const char kWebHead[] = "http://www.google.co.jp/search?hl=ja&q=";
const char kWebTail[] = "&btnG=Google+%E6%A4%9C%E7%B4%A2&lr=lang_ja";
const char kDictHead[] = "http://dictionary.goo.ne.jp/search.php?MT=";
const char kDictTail[] = "&kind=ej&mode=0";

// The whole text of a control, however long, as UTF-8 (read as UTF-16).
std::string longText(HWND hwnd) {
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) {
        return {};
    }
    std::wstring text(length + 1, L'\0');
    DWORD_PTR got = 0;
    if (!::SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]),
                               SMTO_ABORTIFHUNG, 5000, &got)) {
        return {};
    }
    text.resize(got);
    return utf8Of(text);
}

// Puts `text` on the clipboard as code page 932 text.
bool putOnClipboard(const std::string& text) {
    if (!::OpenClipboard(nullptr)) return false;
    ::EmptyClipboard();
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    bool ok = false;
    if (memory != nullptr) {
        char* p = static_cast<char*>(::GlobalLock(memory));
        memcpy(p, text.c_str(), text.size() + 1);
        ::GlobalUnlock(memory);
        ok = ::SetClipboardData(CF_TEXT, memory) != nullptr;
        if (!ok) ::GlobalFree(memory);
    }
    ::CloseClipboard();
    return ok;
}

// Bytes as a form sends them, written from the rule and not taken from the
// program: letters and digits as they are, a blank as "+", every other
// byte "%" and two lower-case hex digits.
std::string formEscaped(const std::string& bytes) {
    std::string out;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if ((b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z')) {
            out += c;
        } else if (b == ' ') {
            out += '+';
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02x", b);
            out += hex;
        }
    }
    return out;
}

// The code points of UTF-8 text (valid UTF-8 only).
std::vector<uint32_t> codePoints(const std::string& utf8) {
    std::vector<uint32_t> out;
    for (size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        const int length = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        uint32_t c = length == 1 ? b : b & (0x7F >> length);
        for (int k = 1; k < length; ++k) c = (c << 6) | (utf8[i + k] & 0x3F);
        out.push_back(c);
        i += length;
    }
    return out;
}

// EUC-JP of the characters the box holds after bytes 20 to FF went in
// through code page 932 (Wine's decoding, read back from the box): glibc
// iconv's EUC-JP for JIS X 0208 and the half-width katakana, its
// EUC-JP-MS for NEC's row 13, and for the NEC-selected IBM extensions
// (CP932 ED40-EEFC) the rows 89 to 92 that the JIS arithmetic gives their
// CP932 codes (U+2170 is EE EF there, FC F1 in EUC; U+6D87 ED DF, FA E1),
// the two-byte code before JIS X 0212's three. What EUC-JP has no code
// for (U+0080, the user-defined area) goes as a form sends it, a numeric
// character reference.
std::string eucOfTheBytesTheBoxHolds(const std::string& utf8) {
    static const struct {
        uint32_t code;
        const char* euc;
    } kEuc[] = {
        {0x2260, "\xA1\xE2"}, {0x30E4, "\xA5\xE4"}, {0x30FB, "\xA1\xA6"}, {0x32A7, "\xAD\xE8"},
        {0x708E, "\xB1\xEA"}, {0x65E7, "\xB5\xEC"}, {0x514B, "\xB9\xEE"}, {0x7F72, "\xBD\xF0"},
        {0x846C, "\xC1\xF2"}, {0x706F, "\xC5\xF4"}, {0x6953, "\xC9\xF6"}, {0x5229, "\xCD\xF8"},
        {0x5292, "\xD1\xFA"}, {0x5C46, "\xD5\xFC"}, {0x64BC, "\xD9\xFE"}, {0x6CDB, "\xDE\xA2"},
        {0x73EE, "\xE0\xE3"}, {0x7CA4, "\xE4\xE5"}, {0x849F, "\xE8\xE7"}, {0x8DDA, "\xEC\xE9"},
        {0x97DC, "\xF0\xEB"}, {0x2170, "\xFC\xF1"}, {0x6D87, "\xFA\xE1"},
    };
    std::string out;
    for (const uint32_t c : codePoints(utf8)) {
        if (c < 0x80) {
            out += static_cast<char>(c);
            continue;
        }
        if (c >= 0xFF61 && c <= 0xFF9F) {  // half-width katakana: 8E A1 to 8E DF
            out += '\x8E';
            out += static_cast<char>(0xA1 + (c - 0xFF61));
            continue;
        }
        const char* euc = nullptr;
        for (const auto& e : kEuc) {
            if (e.code == c) euc = e.euc;
        }
        out += euc != nullptr ? std::string(euc) : "&#" + std::to_string(c) + ";";
    }
    return out;
}

class BadInput : public SearchFixture {
  protected:
    HWND searchBox() { return program.control(kSearchBox); }
    // Pastes `text` into the shown box as a user would (the paste keeps to
    // the control's limit) and returns what the box then holds.
    std::string paste(const std::string& text) {
        EXPECT_TRUE(putOnClipboard(text));
        DWORD_PTR ignored = 0;
        ::SendMessageTimeoutA(searchBox(), WM_PASTE, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
        return longText(searchBox());
    }
    // The message of a word over Internet Explorer's URL limit, naming the
    // word's length; after OK the bar is back with the word.
    void expectTooLong(const std::string& wordLength) {
        HWND shown = nullptr;
        ASSERT_TRUE(waitFor([&] { return (shown = messageBox()) != nullptr; }, 5000));
        EXPECT_EQ(windowText(shown), "検索語が長すぎます");
        const std::string text = windowText(::GetDlgItem(shown, 0xFFFF));
        EXPECT_NE(text.find(wordLength + " 文字"), std::string::npos) << text;
        EXPECT_NE(text.find("2,083 文字"), std::string::npos) << text;
        ::PostMessageA(shown, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(waitFor([&] { return messageBox() == nullptr; }, 3000));
        EXPECT_TRUE(waitVisible(true));
    }
    // The newest history entry, brought back with Up in a fresh show.
    std::string newestHistoryEntry() {
        show();
        release(VK_UP);
        const std::string entry = longText(searchBox());
        release(VK_ESCAPE);
        EXPECT_TRUE(waitVisible(false));
        return entry;
    }
};

// The long words go to a stand-in browser named IExplore.exe, which the
// program starts with "-new" and the URL as the parameters. (Through the
// "http" association, Wine 8's shell overflows a buffer of its own and ends
// the program once the handler's command line with the URL passes about
// 1,024 characters: BAD_INPUT.md.)
// Internet Explorer takes URLs of 2,083 characters at most: a longer one is
// neither started nor cut. The message names the word's length and the
// limit, and the bar comes back with the word whole, to be shortened.
TEST_F(BadInput, AWordOf30000CharactersFillsTheBoxAndIsToldOverTheUrlLimit) {
    registerBrowser("IExplore.exe");
    startWith();
    show();
    const std::string word = paste(std::string(30001, 'a'));
    EXPECT_EQ(word, std::string(30000, 'a')) << "the box holds 30,000 characters at most";
    release(VK_RETURN);
    expectTooLong("30,000");
    EXPECT_EQ(longText(searchBox()), word);
    release(VK_ESCAPE);
    EXPECT_TRUE(waitVisible(false));
    EXPECT_TRUE(launches().empty());
    EXPECT_EQ(newestHistoryEntry(), word);
}

TEST_F(BadInput, AWordOf30000DoubleByteCharactersIsConvertedWholeAndTheProgramRunsOn) {
    registerBrowser("IExplore.exe");
    startWith();
    show();
    std::string nichi, nichi8;
    for (int i = 0; i < 30001; ++i) nichi += "日";  // 93 FA
    for (int i = 0; i < 30000; ++i) nichi8 += u8"日";
    const std::string word = paste(nichi);
    EXPECT_EQ(word, nichi8) << "30,000 characters";
    release(VK_RETURN);
    // Every character is three escaped UTF-8 bytes: 270,000 bytes of URL.
    expectTooLong("30,000");
    release(VK_ESCAPE);
    EXPECT_TRUE(waitVisible(false));
    EXPECT_TRUE(program.running());
    EXPECT_EQ(newestHistoryEntry(), word) << "the word is in the history, whole";
    search("abc");
    EXPECT_TRUE(waitLaunches(1, 10000)) << "and the program still searches";
    EXPECT_EQ(launches().back(), std::string("-new ") + kWebHead + "abc" + kWebTail);
}

TEST_F(BadInput, AWordOfEveryByteFrom20ToFFIsSearchedAsTheBoxHoldsIt) {
    registerBrowser("IExplore.exe");
    startWith();
    std::string bytes;
    for (int b = 0x20; b <= 0xFF; ++b) bytes.push_back(static_cast<char>(b));
    for (int mode = 0; mode <= 2; mode += 2) {
        SCOPED_TRACE(mode);
        show();
        if (mode == 2) {
            release(VK_NEXT);
            release(VK_NEXT);
        }
        DWORD_PTR ignored = 0;
        ASSERT_TRUE(::SendMessageTimeoutA(searchBox(), WM_SETTEXT, 0,
                                          reinterpret_cast<LPARAM>(bytes.c_str()), SMTO_ABORTIFHUNG,
                                          3000, &ignored));
        const std::string held = longText(searchBox());
        ASSERT_FALSE(held.empty());
        RecordProperty(mode == 0 ? "held" : "held_again", held.size());
        release(VK_RETURN);
        EXPECT_TRUE(waitVisible(false));
        ASSERT_TRUE(waitLaunches(mode == 0 ? 1 : 2, 10000));
        // The box's text read as UTF-16 and made UTF-8 by the system, not
        // by the program's converter.
        const std::string url =
            mode == 0 ? kWebHead + formEscaped(held) + kWebTail
                      : kDictHead + formEscaped(eucOfTheBytesTheBoxHolds(held)) + kDictTail;
        EXPECT_EQ(launches().back(), "-new " + url);
        EXPECT_EQ(newestHistoryEntry(), held);
    }
}

// The values a settings file gives, read as the platform reads them (the
// model is checked against the platform in ini_model_test.cpp).
struct Read {
    int32_t modeNext, showKey, keyInterval, historySize;
};
Read readAsThePlatform(const std::string& text) {
    fuzz::IniTextStore store;
    store.files["f"] = text;
    return {store.readInt("f", "KeyData", "mode_next", 0x22),
            store.readInt("f", "KeyData", "showWindowKey", 0x11),
            store.readInt("f", "otherInfo", "keyInterval", 500),
            store.readInt("f", "otherInfo", "historySize", 100)};
}

struct FileCase {
    const char* what;
    const char* text;
};

TEST_F(BadInput, BrokenSettingsFilesAreReadAsThePlatformReadsThemAndLeftAsTheyAre) {
    const FileCase cases[] = {
        {"garbage lines",
         "garbage\r\n[KeyData\r\n=\r\n;;;\r\n\x01\x02\xff\xfe\r\n[KeyData]\r\n"
         "mode_next=36\r\nno equals sign\r\n[[[\r\n"},
        {"empty values",
         "[KeyData]\r\nmode_prior=\r\nmode_next=\r\nshowWindowKey=\r\n[otherInfo]\r\n"
         "keyInterval=\r\nhistorySize=\r\ngoogleStart=\r\njapanLocal=\r\n"},
        {"huge numbers",
         "[KeyData]\r\nmode_next=4294967332\r\nshowWindowKey=99999999999999999999\r\n"
         "[otherInfo]\r\nkeyInterval=2147483647\r\nhistorySize=4294967295\r\n"},
        {"negative numbers",
         "[KeyData]\r\nmode_next=-4294967260\r\n[otherInfo]\r\nkeyInterval=-500\r\n"
         "historySize=-1\r\ngoogleStart=-1\r\njapanLocal=-7\r\n"},
        {"duplicate sections and keys",
         "[KeyData]\r\nmode_next=36\r\nmode_next=35\r\n[otherInfo]\r\nhistorySize=0\r\n"
         "[KeyData]\r\nmode_next=34\r\nshowWindowKey=16\r\n"},
    };
    registerBrowser();
    for (const FileCase& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = dir.file("lumenvik.ini");
        writeFile(path, c.text);
        const Read r = readAsThePlatform(c.text);
        Program p;
        ASSERT_TRUE(p.start(dir.path()));
        ASSERT_TRUE(p.waitReady());
        EXPECT_EQ(readFile(path), c.text) << "starting writes nothing";
        // Show with the show key as read. A key code beyond 255 is no key,
        // and no double press is quick enough for a negative interval: then
        // the window stays hidden and is shown with the toggle message, as
        // the tray icon's double click does.
        const bool keyShows =
            (r.showKey == VK_CONTROL || r.showKey == VK_SHIFT) && r.keyInterval > 100;
        // (Ctrl, the default, is double-pressed also when the key is none.)
        doublePress(r.showKey == VK_SHIFT ? VK_SHIFT : VK_CONTROL);
        EXPECT_EQ(waitFor([&] { return ::IsWindowVisible(p.window()) != FALSE; }, 1500), keyShows);
        if (!keyShows) ::PostMessageA(p.window(), 0x040A, 0, 0);
        ASSERT_TRUE(waitFor([&] { return ::IsWindowVisible(p.window()) != FALSE; }, 3000));
        // The mode key as read cycles the mode (a value beyond 255 is no key).
        if (r.modeNext >= 1 && r.modeNext <= 254) {
            tap(static_cast<WORD>(r.modeNext));
            EXPECT_TRUE(waitFor(
                [&] {
                    return utf8Of(windowTextW(::GetDlgItem(p.window(), kModeLabel))) ==
                           kModeLabels[1];
                },
                3000));
        }
        // A search, to see the history size at work.
        DWORD_PTR ignored = 0;
        ::SendMessageTimeoutA(::GetDlgItem(p.window(), kSearchBox), WM_SETTEXT, 0,
                              reinterpret_cast<LPARAM>("word"), SMTO_ABORTIFHUNG, 3000, &ignored);
        tap(VK_RETURN);
        EXPECT_TRUE(waitFor([&] { return ::IsWindowVisible(p.window()) == FALSE; }, 5000));
        ::PostMessageA(p.window(), 0x040A, 0, 0);
        ASSERT_TRUE(waitFor([&] { return ::IsWindowVisible(p.window()) != FALSE; }, 3000));
        tap(VK_UP);
        const std::string expected = r.historySize >= 1 ? "word" : "";
        EXPECT_TRUE(waitFor(
            [&] { return windowText(::GetDlgItem(p.window(), kSearchBox)) == expected; }, 2000))
            << "history size " << r.historySize;
        tap(VK_ESCAPE);
        EXPECT_EQ(p.exitCleanly(), 0);
        EXPECT_EQ(readFile(path), c.text) << "the file is left as it was";
    }
}

TEST_F(BadInput, ADirectoryWhereTheSettingsFileShouldBeGivesTheDefaults) {
    registerBrowser();
    ASSERT_TRUE(::CreateDirectoryA(dir.file("lumenvik.ini").c_str(), nullptr));
    startWith();
    EXPECT_EQ(messageBox(), nullptr);
    show();
    release(VK_NEXT);
    EXPECT_EQ(label(), kModeLabels[1]) << "Page Down, the default";
    release(VK_ESCAPE);
    EXPECT_TRUE(waitVisible(false));
    EXPECT_EQ(program.exitCleanly(), 0);
    EXPECT_EQ(::GetFileAttributesA(dir.file("lumenvik.ini").c_str()) & FILE_ATTRIBUTE_DIRECTORY,
              static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    ::RemoveDirectoryA(dir.file("lumenvik.ini").c_str());
}

TEST_F(BadInput, ACommandOf531BytesIsReadAndTheLaunchIssued) {
    registerBrowser();
    // The registered command with a second argument that brings it to 531
    // bytes, the longest the program reads.
    std::string command;
    ASSERT_NO_FATAL_FAILURE(readOpenCommand(&command));
    ASSERT_LT(command.size(), 500u);
    const std::string padding(531 - command.size() - 1, 'x');
    command += " " + padding;
    ASSERT_EQ(command.size(), 531u);
    ASSERT_TRUE(setDefaultValue("http\\shell\\open\\command", command));
    startWith();
    watchTraces();
    search("abc");
    // Wine's shell does not start a handler whose registered command is
    // this long (its own reading of the association stops short): the
    // launch is issued and fails, and the message names the whole command
    // the program read.
    HWND shown = nullptr;
    ASSERT_TRUE(waitFor([&] { return (shown = messageBox()) != nullptr; }, 5000));
    EXPECT_EQ(windowText(shown), "ブラウザを起動できません");
    EXPECT_NE(windowText(::GetDlgItem(shown, 0xFFFF)).find(command), std::string::npos);
    ::PostMessageA(shown, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(waitFor([&] { return messageBox() == nullptr; }, 3000));
    DWORD_PTR ignored = 0;
    const bool responds = ::SendMessageTimeoutA(program.window(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG,
                                                3000, &ignored) != 0;
    EXPECT_TRUE(responds);
    EXPECT_EQ(newestHistoryEntry(), "abc");
}

TEST_F(BadInput, ADefaultVerbInJapaneseNamesItsCommandKey) {
    // The verb's command names a browser called IExplore.exe, the "open"
    // command the plain one: the launch line starts with -new only when the
    // program read the command under the Japanese verb. ("表示" ends in the
    // byte 5C, a backslash, inside a double-byte character.)
    registerBrowser();
    const std::string ie = dir.file("IExplore.exe");
    ASSERT_TRUE(::CopyFileA(windowsPath(LVTEST_FAKE_BROWSER).c_str(), ie.c_str(), FALSE));
    const std::string verb = "開く表示";
    ASSERT_TRUE(setDefaultValue("http\\shell\\" + verb + "\\command", "\"" + ie + "\" \"%1\""));
    ASSERT_TRUE(setDefaultValue("http\\shell", verb));
    startWith();
    search("abc");
    EXPECT_EQ(messageBox(), nullptr);
    ASSERT_TRUE(waitLaunches(1));
    EXPECT_EQ(launches()[0], std::string("-new ") + kWebHead + "abc" + kWebTail);
}

// A save that cannot write (the tray menu's search range saves at once):
// one message names the file and the reason, the program runs on with the
// new value, and the file or folder in the way stays as it was, with no
// temporary file left beside it.
TEST_F(BadInput, ASaveThatCannotWriteIsReportedOnceAndTheProgramRunsOn) {
    const char kText[] = "[otherInfo]\r\nhistorySize=20\r\n";
    for (const bool readOnly : {true, false}) {
        SCOPED_TRACE(readOnly ? "read-only file" : "a directory where the file should be");
        const std::string path = dir.file("lumenvik.ini");
        HANDLE held = INVALID_HANDLE_VALUE;
        if (readOnly) {
            writeFile(path, kText);
            ASSERT_TRUE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
            // The tests run as root, whom the attribute does not stop: the
            // file is also held open without write sharing.
            held = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
            ASSERT_NE(held, INVALID_HANDLE_VALUE);
        } else {
            ASSERT_TRUE(::CreateDirectoryA(path.c_str(), nullptr));
        }
        registerBrowser();
        startWith();
        MenuProbe probe;
        ASSERT_TRUE(probe.attach(program.window()));
        ASSERT_TRUE(chooseTrayItem(program, probe, u8"WEB全体から検索(&W)"));
        HWND box = nullptr;
        ASSERT_TRUE(waitFor([&] { return (box = messageBox()) != nullptr; }, 5000));
        EXPECT_EQ(windowText(box), "Lumenvik - 保存エラー");
        const std::string told = windowText(::GetDlgItem(box, 0xFFFF));
        EXPECT_NE(told.find(path + "\r\n"), std::string::npos) << told;
        EXPECT_NE(told.find("（エラー "), std::string::npos) << told;
        ::PostMessageA(box, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(waitFor([&] { return messageBox() == nullptr; }, 3000));
        EXPECT_FALSE(waitFor([&] { return messageBox() != nullptr; }, 500)) << "one message only";
        EXPECT_TRUE(program.running());
        if (::IsWindowVisible(program.window())) ::PostMessageA(program.window(), 0x040A, 0, 0);
        ASSERT_TRUE(waitVisible(false));
        search("abc");
        ASSERT_TRUE(waitLaunches(1));
        EXPECT_EQ(launches()[0], std::string(kWebHead) + "abc&btnG=Google+%E6%A4%9C%E7%B4%A2&lr=")
            << "the new search range is in force";
        EXPECT_EQ(program.exitCleanly(), 0);
        if (readOnly) {
            ::CloseHandle(held);
            EXPECT_EQ(readFile(path), kText);
            ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            ::DeleteFileA(path.c_str());
        } else {
            EXPECT_NE(::GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
            EXPECT_TRUE(::RemoveDirectoryA(path.c_str())) << "the folder is still empty";
        }
        EXPECT_FALSE(fileExists(path + ".new")) << "no temporary file is left";
        ::DeleteFileA(browserLog.c_str());
        registry->restore();
    }
}

}  // namespace
