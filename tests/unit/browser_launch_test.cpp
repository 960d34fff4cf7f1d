#include "search/browser_launch.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace lumenvik {
namespace {

const char kUrl[] = "http://www.example.jp/search?q=a+b";

const char kCaptionNotFound[] = "規定のブラウザが見つかりません";
const char kCaptionReadFailed[] = "規定のブラウザ情報を取得できませんでした。";
const char kText1[] =
    "HKEY_CLASSES_ROOT\\http\\shellとブラウザが関連付いていません。\r\nwindowsの設定を確認して"
    "ください。";
const char kText2[] =
    "HKEY_CLASSES_ROOT\\http\\shellの値取得に失敗しました。\r\nwindowsの設定を確認してください。";
const char kText3[] = "ブラウザが関連付いていません。\r\nwindowsの設定を確認してください。";

// A made-up registry: keys below HKEY_CLASSES_ROOT, each a path with a
// default value (or none when reading it fails) and named values, and the
// UserChoice ProgIds of HKEY_CURRENT_USER. Everything the launch does is
// logged in order.
class FakeRegistry : public BrowserPlatform {
  public:
    struct Message {
        std::string text;
        std::string caption;
        std::size_t keysOpenWhenShown;
    };

    void setKey(const std::string& path, std::optional<std::string> value) { keys_[path] = value; }
    void setValue(const std::string& path, const std::string& name, const std::string& value) {
        if (!keys_.count(path)) keys_[path] = std::nullopt;
        named_[path][name] = value;
    }
    void setUserChoice(const std::string& scheme, const std::string& progId) {
        userChoices_[scheme] = progId;
    }

    bool openClassesRootKey(const std::string& path, RegistryKey& key) override {
        log.push_back("open " + path);
        auto it = keys_.find(path);
        if (it == keys_.end()) return false;
        key = nextHandle_++;
        handlePaths_[key] = path;
        open_.insert(key);
        return true;
    }

    bool readDefaultValue(RegistryKey key, std::size_t bufferUnits, std::string& value) override {
        EXPECT_TRUE(open_.count(key)) << "read of a key that is not open";
        const std::string& path = handlePaths_[key];
        log.push_back("read " + path + " " + std::to_string(bufferUnits));
        const std::optional<std::string>& stored = keys_[path];
        if (!stored || stored->size() + 1 > bufferUnits) return false;
        value = *stored;
        return true;
    }

    bool readValue(RegistryKey key, const std::string& name, std::string& value) override {
        EXPECT_TRUE(open_.count(key)) << "read of a key that is not open";
        const std::string& path = handlePaths_[key];
        log.push_back("value " + path + " [" + name + "]");
        if (name.empty()) {
            if (!keys_[path]) return false;
            value = *keys_[path];
            return true;
        }
        const auto values = named_.find(path);
        if (values == named_.end() || !values->second.count(name)) return false;
        value = values->second.at(name);
        return true;
    }

    void closeKey(RegistryKey key) override {
        EXPECT_EQ(open_.erase(key), 1u) << "close of a key that is not open";
        log.push_back("close " + handlePaths_[key]);
    }

    bool readUserChoice(const std::string& scheme, std::string& progId) override {
        log.push_back("choice " + scheme);
        const auto it = userChoices_.find(scheme);
        if (it == userChoices_.end()) return false;
        progId = it->second;
        return true;
    }

    // Upper-cases the ASCII letters of UTF-8 text (no byte of a multi-byte
    // character is ASCII).
    std::string upperCase(const std::string& text) override {
        std::string out = text;
        for (char& c : out) {
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        }
        return out;
    }

    void start(const BrowserStart& start) override {
        log.push_back("start");
        starts.push_back(start);
    }

    void messageBox(const std::string& text, const std::string& caption) override {
        log.push_back("message");
        messages.push_back({text, caption, open_.size()});
    }

    std::vector<std::string> log;
    std::vector<BrowserStart> starts;
    std::vector<Message> messages;

  private:
    std::map<std::string, std::optional<std::string>> keys_;
    std::map<std::string, std::map<std::string, std::string>> named_;
    std::map<std::string, std::string> userChoices_;
    std::map<RegistryKey, std::string> handlePaths_;
    std::set<RegistryKey> open_;
    RegistryKey nextHandle_ = 0x80000100;
};

// The length of a word whose limits do not matter.
constexpr std::size_t kWord = 3;

void expectOnlyMessage(const FakeRegistry& reg, const char* text, const char* caption) {
    ASSERT_EQ(reg.messages.size(), 1u);
    EXPECT_EQ(reg.messages[0].text, text);
    EXPECT_EQ(reg.messages[0].caption, caption);
    EXPECT_EQ(reg.messages[0].keysOpenWhenShown, 0u);
    EXPECT_TRUE(reg.starts.empty());
}

void expectLaunch(const FakeRegistry& reg, const std::string& file, const std::string& params) {
    ASSERT_EQ(reg.starts.size(), 1u);
    EXPECT_EQ(reg.starts[0].way, BrowserStart::Way::shell);
    EXPECT_EQ(reg.starts[0].file, file);
    EXPECT_EQ(reg.starts[0].parameters, params);
    EXPECT_TRUE(reg.messages.empty());
}

TEST(LaunchInDefaultBrowser, EmptyVerbMeansOpenAndOtherBrowsersGetTheUrl) {
    FakeRegistry reg;
    reg.setKey("http\\shell", "");
    reg.setKey("http\\shell\\open\\command", "\"C:\\Fox\\fox.exe\" -url \"%1\"");
    EXPECT_EQ(LaunchIssue::issued, launchInDefaultBrowser(kUrl, kWord, reg));
    expectLaunch(reg, kUrl, "");
    EXPECT_EQ(reg.log,
              (std::vector<std::string>{"choice http", "open http\\shell", "read http\\shell 148",
                                        "close http\\shell", "open http\\shell\\open\\command",
                                        "read http\\shell\\open\\command 532",
                                        "close http\\shell\\open\\command", "start"}));
}

TEST(LaunchInDefaultBrowser, NonEmptyVerbIsUsedUnchanged) {
    FakeRegistry reg;
    reg.setKey("http\\shell", "OpenNew");
    reg.setKey("http\\shell\\OpenNew\\command", "fox.exe %1");
    reg.setKey("http\\shell\\open\\command", "wrong.exe");
    EXPECT_EQ(LaunchIssue::issued, launchInDefaultBrowser(kUrl, kWord, reg));
    expectLaunch(reg, kUrl, "");
    EXPECT_EQ(reg.log[4], "open http\\shell\\OpenNew\\command");
}

TEST(LaunchInDefaultBrowser, VerbOf147BytesIsReadAnd148Fails) {
    const std::string verb147(147, 'v');
    FakeRegistry ok;
    ok.setKey("http\\shell", verb147);
    ok.setKey("http\\shell\\" + verb147 + "\\command", "fox.exe");
    EXPECT_EQ(LaunchIssue::issued, launchInDefaultBrowser(kUrl, kWord, ok));
    expectLaunch(ok, kUrl, "");

    FakeRegistry tooLong;
    tooLong.setKey("http\\shell", std::string(148, 'v'));
    EXPECT_EQ(LaunchIssue::failed, launchInDefaultBrowser(kUrl, kWord, tooLong));
    expectOnlyMessage(tooLong, kText2, kCaptionReadFailed);
    EXPECT_EQ(tooLong.log,
              (std::vector<std::string>{"choice http", "open http\\shell", "read http\\shell 148",
                                        "close http\\shell", "message"}));
}

TEST(LaunchInDefaultBrowser, CommandOf531BytesIsReadAnd532FailsNamingTheShellKey) {
    const std::string command531 = "fox.exe " + std::string(531 - 8, 'x');
    ASSERT_EQ(command531.size(), 531u);
    FakeRegistry ok;
    ok.setKey("http\\shell", "");
    ok.setKey("http\\shell\\open\\command", command531);
    EXPECT_EQ(LaunchIssue::issued, launchInDefaultBrowser(kUrl, kWord, ok));
    expectLaunch(ok, kUrl, "");

    FakeRegistry tooLong;
    tooLong.setKey("http\\shell", "");
    tooLong.setKey("http\\shell\\open\\command", command531 + "x");
    EXPECT_EQ(LaunchIssue::failed, launchInDefaultBrowser(kUrl, kWord, tooLong));
    expectOnlyMessage(tooLong, kText2, kCaptionReadFailed);
    EXPECT_EQ(tooLong.log.back(), "message");
    EXPECT_EQ(tooLong.log[tooLong.log.size() - 2], "close http\\shell\\open\\command");
}

TEST(LaunchInDefaultBrowser, MissingOrUnreadableKeysGiveTheirMessageAndNoLaunch) {
    FakeRegistry noShell;
    EXPECT_EQ(LaunchIssue::failed, launchInDefaultBrowser(kUrl, kWord, noShell));
    expectOnlyMessage(noShell, kText1, kCaptionNotFound);
    // No second key is even tried.
    EXPECT_EQ(noShell.log,
              (std::vector<std::string>{"choice http", "open http\\shell", "message"}));

    FakeRegistry shellUnreadable;
    shellUnreadable.setKey("http\\shell", std::nullopt);
    EXPECT_EQ(LaunchIssue::failed, launchInDefaultBrowser(kUrl, kWord, shellUnreadable));
    expectOnlyMessage(shellUnreadable, kText2, kCaptionReadFailed);

    FakeRegistry noCommand;
    noCommand.setKey("http\\shell", "");
    noCommand.setKey("http\\shell\\edit\\command", "fox.exe");
    EXPECT_EQ(LaunchIssue::failed, launchInDefaultBrowser(kUrl, kWord, noCommand));
    expectOnlyMessage(noCommand, kText3, kCaptionNotFound);

    FakeRegistry commandUnreadable;
    commandUnreadable.setKey("http\\shell", "open");
    commandUnreadable.setKey("http\\shell\\open\\command", std::nullopt);
    EXPECT_EQ(LaunchIssue::failed, launchInDefaultBrowser(kUrl, kWord, commandUnreadable));
    expectOnlyMessage(commandUnreadable, kText2, kCaptionReadFailed);
}

struct IeCase {
    const char* command;
    const char* program;  // nullptr: not Internet Explorer, the URL goes to the shell
};

void checkIeCases(const std::vector<IeCase>& cases) {
    for (const IeCase& c : cases) {
        FakeRegistry reg;
        reg.setKey("http\\shell", "");
        reg.setKey("http\\shell\\open\\command", c.command);
        EXPECT_EQ(LaunchIssue::issued, launchInDefaultBrowser(kUrl, kWord, reg)) << c.command;
        SCOPED_TRACE(c.command);
        if (c.program) {
            expectLaunch(reg, c.program, std::string("-new ") + kUrl);
        } else {
            expectLaunch(reg, kUrl, "");
        }
    }
}

// The start's answer comes later; what it says when the browser did not
// start is decided with the start.
TEST(LaunchInDefaultBrowser, ABrowserTheShellCannotStartIsReportedNamingTheCommand) {
    const char* const commands[] = {"\"C:\\Gone\\fox.exe\" \"%1\"",
                                    "\"C:\\Gone\\iexplore.exe\" -nohome"};
    for (const char* command : commands) {
        SCOPED_TRACE(command);
        FakeRegistry reg;
        reg.setKey("http\\shell", "");
        reg.setKey("http\\shell\\open\\command", command);
        EXPECT_EQ(LaunchIssue::issued, launchInDefaultBrowser(kUrl, kWord, reg));
        ASSERT_EQ(reg.starts.size(), 1u);
        EXPECT_TRUE(reg.messages.empty()) << "nothing told before the answer";
        const LaunchMessage failed = launchFailedMessage(reg.starts[0]);
        EXPECT_EQ(failed.caption, "ブラウザを起動できません");
        EXPECT_NE(failed.text.find(command), std::string::npos);
    }
}

TEST(LaunchInDefaultBrowser, InternetExplorerIsRecognisedInAnyLetterCase) {
    checkIeCases({
        {"\"C:\\Program Files\\Internet Explorer\\iexplore.exe\" -nohome",
         "C:\\Program Files\\Internet Explorer\\iexplore.exe"},
        {"\"C:\\PROGRA~1\\INTERN~1\\IEXPLORE.EXE\" -nohome",
         "C:\\PROGRA~1\\INTERN~1\\IEXPLORE.EXE"},
        {"C:\\Ie\\IExplore.Exe %1", "C:\\Ie\\IExplore.Exe"},
        {"iexplore", "iexplore"},
        // Merely a folder name holding it counts as well.
        {"C:\\iexplorer-tools\\viewer.exe \"%1\"", "C:\\iexplorer-tools\\viewer.exe"},
        {"C:\\Fox\\fox.exe -osint -url \"%1\"", nullptr},
        {"C:\\IEXPLOR\\E.exe", nullptr},
    });
}

TEST(LaunchInDefaultBrowser, MendedInternetExplorerLaunchStartsTheProgramOfTheCommand) {
    checkIeCases({
        // Quoted path: the path without its quotes, arguments dropped.
        {"\"C:\\Program Files\\Internet Explorer\\iexplore.exe\" -nohome \"%1\"",
         "C:\\Program Files\\Internet Explorer\\iexplore.exe"},
        // Unquoted: up to the first blank.
        {"C:\\PROGRA~1\\INTERN~1\\iexplore.exe -nohome", "C:\\PROGRA~1\\INTERN~1\\iexplore.exe"},
        {"C:\\PROGRA~1\\INTERN~1\\iexplore.exe\t%1", "C:\\PROGRA~1\\INTERN~1\\iexplore.exe"},
        {"  C:\\Ie\\iexplore.exe", "C:\\Ie\\iexplore.exe"},
        // Quoted without its closing quote: the rest of the command.
        {"\"C:\\My Ie\\iexplore.exe", "C:\\My Ie\\iexplore.exe"},
        // A command that names no program falls back to the shell with the URL.
        {"\"\" iexplore", nullptr},
    });
}

TEST(LaunchInDefaultBrowser, CommandsWithJapaneseFoldersAreUtf8Text) {
    checkIeCases({
        // "表" and "ソ" end in the byte 0x5C in code page 932; as UTF-8 text
        // no byte of theirs is a backslash or a letter.
        {"C:\\表\\iexplore.exe", "C:\\表\\iexplore.exe"},
        {"\"C:\\ソフト\\IEXPLORE.EXE\" %1", "C:\\ソフト\\IEXPLORE.EXE"},
        {"C:\\日本語\\fox.exe \"%1\"", nullptr},
    });
}

TEST(CommandProgram, FirstTokenOfTheCommand) {
    const struct {
        const char* command;
        const char* program;
    } cases[] = {
        {"", ""},
        {"   ", ""},
        {"\"\"", ""},
        {"a.exe", "a.exe"},
        {"a.exe b c", "a.exe"},
        {"\"C:\\A B\\a.exe\" b", "C:\\A B\\a.exe"},
        {"\"C:\\A B\\a.exe\"b", "C:\\A B\\a.exe"},
        {" \t\"x y\"", "x y"},
        {"\"open", "open"},
    };
    for (const auto& c : cases) EXPECT_EQ(commandProgram(c.command), c.program) << c.command;
}

}  // namespace
}  // namespace lumenvik

namespace lumenvik {
namespace {

// The URLs come encoded: a word of quotes, blanks and "%1" is
// "%22a+b%25%31" by then, and only a URL template the user wrote can
// bring a quote or a blank of its own.
TEST(BrowserCommandLine, TheUrlIsOneQuotedArgumentWhereverItGoes) {
    const std::string fox = "\"C:\\Program Files\\Fox\\fox.exe\"";
    const struct {
        std::string command;
        std::string url;
        std::string line;
    } cases[] = {
        {fox + " -private-window %1", "https://x.jp/?q=%22a+b%221",
         fox + " -private-window \"https://x.jp/?q=%22a+b%221\""},
        {fox + " \"%1\" -new", "https://x.jp/?q=%251", fox + " \"https://x.jp/?q=%251\" -new"},
        {fox + " ", "https://x.jp/a b\"c", fox + " \"https://x.jp/a%20b%22c\""},
        {"fox.exe", "https://x.jp/a\\", "fox.exe \"https://x.jp/a\\\\\""},
        {"fox.exe %1 %1", "http://a/%1", "fox.exe \"http://a/%1\" \"http://a/%1\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(browserCommandLine(c.command, c.url), c.line) << c.command;
    }
}

TEST(LaunchWithCommand, StartsTheCommandLineOrNamesTheProgramThatFailed) {
    FakeRegistry reg;
    EXPECT_EQ(LaunchIssue::issued, launchWithCommand("\"C:\\Gone\\fox.exe\" -p", kUrl, kWord, reg));
    ASSERT_EQ(reg.starts.size(), 1u);
    EXPECT_EQ(reg.starts[0].way, BrowserStart::Way::process);
    EXPECT_EQ(reg.starts[0].commandLine, "\"C:\\Gone\\fox.exe\" -p \"" + std::string(kUrl) + "\"");
    const LaunchMessage failed = launchFailedMessage(reg.starts[0]);
    EXPECT_EQ(failed.caption, "ブラウザを起動できません");
    EXPECT_NE(failed.text.find("\r\nC:\\Gone\\fox.exe\r\n"), std::string::npos);
    EXPECT_TRUE(reg.messages.empty());
}

// The browser the user chose in Windows' Settings, as the registry holds it
// for http: a UserChoice ProgId and its command; or no UserChoice, and the
// old handler of HKEY_CLASSES_ROOT\http\shell, here Internet Explorer's.
// `browser` is a mode's own browser<k>=, which goes before either.
struct ChoiceCase {
    const char* what;
    const char* progId;    // nullptr: no UserChoice
    const char* command;   // the ProgId's shell\open\command; nullptr: no such key
    const char* delegate;  // its DelegateExecute; nullptr: none
    const char* browser;   // a browser<k>= command; nullptr: none
    BrowserStart::Way way;
    const char* fileOrLine;  // shell: the file; process: the command line
    const char* parameters;  // shell: the parameters
};

const char kIe[] = "\"C:\\Program Files\\Internet Explorer\\iexplore.exe\" %1";
const char kIeProgram[] = "C:\\Program Files\\Internet Explorer\\iexplore.exe";

TEST(ChooseBrowser, TheUserChoiceOfTheSchemeDecidesAndBrowserKGoesFirst) {
    using Way = BrowserStart::Way;
    const std::string u = kUrl;
    const ChoiceCase cases[] = {
        {"no UserChoice: the http handler, IE's", nullptr, nullptr, nullptr, nullptr, Way::shell,
         kIeProgram, "-new http://www.example.jp/search?q=a+b"},
        {"a command with %1", "FoxURL", "\"C:\\Fox\\fox.exe\" -osint -url \"%1\"", nullptr, nullptr,
         Way::process, "\"C:\\Fox\\fox.exe\" -osint -url \"http://www.example.jp/search?q=a+b\"",
         ""},
        {"a command without %1", "ChromeHTML", "C:\\Ch\\chrome.exe --single-argument", nullptr,
         nullptr, Way::process,
         "C:\\Ch\\chrome.exe --single-argument \"http://www.example.jp/search?q=a+b\"", ""},
        {"IE's ProgId, whatever its command", "ie.HTTP", "C:\\Ie\\browser.exe %1", nullptr, nullptr,
         Way::shell, "C:\\Ie\\browser.exe", "-new http://www.example.jp/search?q=a+b"},
        {"IE's command under another ProgId", "OldIE", kIe, nullptr, nullptr, Way::shell,
         kIeProgram, "-new http://www.example.jp/search?q=a+b"},
        {"DelegateExecute", "AppXq0fevzme2pys62n3e0fbqa7peapykr8v", "",
         "{4ED3A719-CEA8-4BD9-910D-E252F997AFC2}", nullptr, Way::shell,
         "http://www.example.jp/search?q=a+b", ""},
        {"DelegateExecute beside a command", "MSEdgeHTM", "C:\\Edge\\msedge.exe %1",
         "{4ED3A719-CEA8-4BD9-910D-E252F997AFC2}", nullptr, Way::shell,
         "http://www.example.jp/search?q=a+b", ""},
        {"a ProgId without a command", "Gone.URL", nullptr, nullptr, nullptr, Way::shell,
         "http://www.example.jp/search?q=a+b", ""},
        {"an empty command", "Blank.URL", "  ", nullptr, nullptr, Way::shell,
         "http://www.example.jp/search?q=a+b", ""},
        {"browser<k> before the UserChoice", "FoxURL", "\"C:\\Fox\\fox.exe\" \"%1\"", nullptr,
         "C:\\Mine\\mine.exe -p %1", Way::process,
         "C:\\Mine\\mine.exe -p \"http://www.example.jp/search?q=a+b\"", ""},
    };
    for (const ChoiceCase& c : cases) {
        SCOPED_TRACE(c.what);
        FakeRegistry reg;
        reg.setKey("http\\shell", "");
        reg.setKey("http\\shell\\open\\command", kIe);
        if (c.progId) {
            reg.setUserChoice("http", c.progId);
            const std::string key = std::string(c.progId) + "\\shell\\open\\command";
            if (c.command) reg.setKey(key, std::string(c.command));
            if (c.delegate) reg.setValue(key, "DelegateExecute", c.delegate);
        }
        const LaunchIssue issue = c.browser ? launchWithCommand(c.browser, u, kWord, reg)
                                            : launchInDefaultBrowser(u, kWord, reg);
        EXPECT_EQ(issue, LaunchIssue::issued);
        EXPECT_TRUE(reg.messages.empty());
        ASSERT_EQ(reg.starts.size(), 1u);
        const BrowserStart& got = reg.starts[0];
        EXPECT_EQ(got.way, c.way);
        EXPECT_EQ(got.way == Way::shell ? got.file : got.commandLine, c.fileOrLine);
        EXPECT_EQ(got.parameters, c.parameters);
        EXPECT_EQ(got.url, u);
        if (c.browser) {
            EXPECT_EQ(reg.log, (std::vector<std::string>{"start"})) << "no registry read";
        } else if (c.progId) {
            for (const std::string& step : reg.log) {
                EXPECT_EQ(step.find("http\\shell"), std::string::npos) << step;
            }
        }
    }
}

TEST(ChooseBrowser, EachSchemeHasItsOwnUserChoice) {
    FakeRegistry reg;
    reg.setKey("http\\shell", "");
    reg.setKey("http\\shell\\open\\command", kIe);
    reg.setUserChoice("http", "FoxURL");
    reg.setKey("FoxURL\\shell\\open\\command", std::string("fox.exe %1"));
    // No UserChoice for https: the http handler, as before.
    EXPECT_EQ(LaunchIssue::issued, launchInDefaultBrowser("HTTPS://x.jp/", kWord, reg));
    EXPECT_EQ(LaunchIssue::issued, launchInDefaultBrowser("http://x.jp/", kWord, reg));
    ASSERT_EQ(reg.starts.size(), 2u);
    EXPECT_EQ(reg.starts[0].file, kIeProgram);
    EXPECT_EQ(reg.starts[0].parameters, "-new HTTPS://x.jp/");
    EXPECT_EQ(reg.starts[1].commandLine, "fox.exe \"http://x.jp/\"");
    EXPECT_EQ(reg.log[0], "choice https");

    const struct {
        const char* url;
        const char* scheme;
    } schemes[] = {
        {"http://a", "http"}, {"Svn+SSH://a", "svn+ssh"}, {"x-y.z:a", "x-y.z"},   {"://a", ""},
        {"1http://a", ""},    {"ht tp://a", ""},          {"no scheme here", ""}, {"", ""}};
    for (const auto& c : schemes) EXPECT_EQ(urlScheme(c.url), c.scheme) << c.url;
}

// The limits, counted in UTF-16 units: Internet Explorer's URL of 2,083,
// and Windows' command line of 32,767 with its terminating NUL.
TEST(LaunchBrowser, AStartOverItsLimitIsToldWithTheWordsLengthAndNothingStarts) {
    const std::string head = "http://x.jp/?q=";                    // 15 units
    const std::string fox = "\"C:\\\xF0\x9F\x98\x80\\fox.exe\" ";  // 16 units, 😀 two of them
    const struct {
        const char* what;
        bool ie;  // the http handler is IE's; else a UserChoice command
        std::size_t urlUnits;
        bool fits;
        const char* limit;
    } cases[] = {
        {"IE: 2,083", true, 2083, true, "2,083"},
        {"IE: 2,084", true, 2084, false, "2,083"},
        // Command line: fox (16) + quoted URL (2 + URL) + NUL.
        {"command line: 32,767", false, 32767 - 16 - 2 - 1, true, "32,767"},
        {"command line: 32,768", false, 32767 - 16 - 2, false, "32,767"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FakeRegistry reg;
        reg.setKey("http\\shell", "");
        reg.setKey("http\\shell\\open\\command", kIe);
        if (!c.ie) {
            reg.setUserChoice("http", "FoxURL");
            reg.setKey("FoxURL\\shell\\open\\command", fox);
        }
        const std::string url = head + std::string(c.urlUnits - head.size(), 'a');
        const LaunchIssue issue = launchInDefaultBrowser(url, 30000, reg);
        if (c.fits) {
            EXPECT_EQ(issue, LaunchIssue::issued);
            EXPECT_EQ(reg.starts.size(), 1u);
            EXPECT_TRUE(reg.messages.empty());
            continue;
        }
        EXPECT_EQ(issue, LaunchIssue::tooLong);
        EXPECT_TRUE(reg.starts.empty());
        ASSERT_EQ(reg.messages.size(), 1u);
        EXPECT_EQ(reg.messages[0].caption, "検索語が長すぎます");
        EXPECT_NE(reg.messages[0].text.find("30,000 文字"), std::string::npos);
        EXPECT_NE(reg.messages[0].text.find(std::string(" ") + c.limit + " 文字"),
                  std::string::npos);
    }
}

TEST(LaunchBrowser, AnOverdueStartNamesWhatIsStarting) {
    const BrowserStart start = commandBrowser("fox.exe", kUrl);
    const LaunchMessage overdue = launchOverdueMessage(start, 30);
    EXPECT_EQ(overdue.caption, "ブラウザが応答しません");
    EXPECT_NE(overdue.text.find("30 秒"), std::string::npos);
    EXPECT_NE(overdue.text.find("fox.exe \"" + std::string(kUrl) + "\""), std::string::npos);
}

}  // namespace
}  // namespace lumenvik
