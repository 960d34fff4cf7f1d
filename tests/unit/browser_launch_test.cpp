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

// A made-up HKEY_CLASSES_ROOT. Each key is a path with a default value, or
// with none when reading it fails. Everything the launch does is logged in
// order.
class FakeRegistry : public BrowserPlatform {
  public:
    struct Message {
        std::string text;
        std::string caption;
        std::size_t keysOpenWhenShown;
    };
    struct Launch {
        std::string operation;
        std::string file;
        std::string parameters;
    };

    void setKey(const std::string& path, std::optional<std::string> value) { keys_[path] = value; }

    bool openClassesRootKey(const std::string& path, RegistryKey& key) override {
        log.push_back("open " + path);
        auto it = keys_.find(path);
        if (it == keys_.end()) return false;
        key = nextHandle_++;
        handlePaths_[key] = path;
        open_.insert(key);
        return true;
    }

    bool readDefaultValue(RegistryKey key, std::size_t bufferBytes, std::string& value) override {
        EXPECT_TRUE(open_.count(key)) << "read of a key that is not open";
        const std::string& path = handlePaths_[key];
        log.push_back("read " + path + " " + std::to_string(bufferBytes));
        const std::optional<std::string>& stored = keys_[path];
        if (!stored || stored->size() + 1 > bufferBytes) return false;
        value = *stored;
        return true;
    }

    void closeKey(RegistryKey key) override {
        EXPECT_EQ(open_.erase(key), 1u) << "close of a key that is not open";
        log.push_back("close " + handlePaths_[key]);
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

    bool shellExecute(const std::string& operation, const std::string& file,
                      const std::string& parameters) override {
        log.push_back("execute");
        launches.push_back({operation, file, parameters});
        return shellStarts;
    }

    bool createProcess(const std::string& commandLine) override {
        log.push_back("process");
        processes.push_back(commandLine);
        return shellStarts;
    }

    void messageBox(const std::string& text, const std::string& caption) override {
        log.push_back("message");
        messages.push_back({text, caption, open_.size()});
    }

    bool shellStarts = true;  // what ShellExecuteA (and CreateProcessA) make of every launch
    std::vector<std::string> log;
    std::vector<Launch> launches;
    std::vector<std::string> processes;
    std::vector<Message> messages;

  private:
    std::map<std::string, std::optional<std::string>> keys_;
    std::map<RegistryKey, std::string> handlePaths_;
    std::set<RegistryKey> open_;
    RegistryKey nextHandle_ = 0x80000100;
};

void expectOnlyMessage(const FakeRegistry& reg, const char* text, const char* caption) {
    ASSERT_EQ(reg.messages.size(), 1u);
    EXPECT_EQ(reg.messages[0].text, text);
    EXPECT_EQ(reg.messages[0].caption, caption);
    EXPECT_EQ(reg.messages[0].keysOpenWhenShown, 0u);
    EXPECT_TRUE(reg.launches.empty());
}

void expectLaunch(const FakeRegistry& reg, const std::string& file, const std::string& params) {
    ASSERT_EQ(reg.launches.size(), 1u);
    EXPECT_EQ(reg.launches[0].operation, "open");
    EXPECT_EQ(reg.launches[0].file, file);
    EXPECT_EQ(reg.launches[0].parameters, params);
    EXPECT_TRUE(reg.messages.empty());
}

TEST(LaunchInDefaultBrowser, EmptyVerbMeansOpenAndOtherBrowsersGetTheUrl) {
    FakeRegistry reg;
    reg.setKey("http\\shell", "");
    reg.setKey("http\\shell\\open\\command", "\"C:\\Fox\\fox.exe\" -url \"%1\"");
    EXPECT_TRUE(launchInDefaultBrowser(kUrl, reg));
    expectLaunch(reg, kUrl, "");
    EXPECT_EQ(reg.log, (std::vector<std::string>{
                           "open http\\shell", "read http\\shell 148", "close http\\shell",
                           "open http\\shell\\open\\command", "read http\\shell\\open\\command 532",
                           "close http\\shell\\open\\command", "execute"}));
}

TEST(LaunchInDefaultBrowser, NonEmptyVerbIsUsedUnchanged) {
    FakeRegistry reg;
    reg.setKey("http\\shell", "OpenNew");
    reg.setKey("http\\shell\\OpenNew\\command", "fox.exe %1");
    reg.setKey("http\\shell\\open\\command", "wrong.exe");
    EXPECT_TRUE(launchInDefaultBrowser(kUrl, reg));
    expectLaunch(reg, kUrl, "");
    EXPECT_EQ(reg.log[3], "open http\\shell\\OpenNew\\command");
}

TEST(LaunchInDefaultBrowser, VerbOf147BytesIsReadAnd148Fails) {
    const std::string verb147(147, 'v');
    FakeRegistry ok;
    ok.setKey("http\\shell", verb147);
    ok.setKey("http\\shell\\" + verb147 + "\\command", "fox.exe");
    EXPECT_TRUE(launchInDefaultBrowser(kUrl, ok));
    expectLaunch(ok, kUrl, "");

    FakeRegistry tooLong;
    tooLong.setKey("http\\shell", std::string(148, 'v'));
    EXPECT_FALSE(launchInDefaultBrowser(kUrl, tooLong));
    expectOnlyMessage(tooLong, kText2, kCaptionReadFailed);
    EXPECT_EQ(tooLong.log, (std::vector<std::string>{"open http\\shell", "read http\\shell 148",
                                                     "close http\\shell", "message"}));
}

TEST(LaunchInDefaultBrowser, CommandOf531BytesIsReadAnd532FailsNamingTheShellKey) {
    const std::string command531 = "fox.exe " + std::string(531 - 8, 'x');
    ASSERT_EQ(command531.size(), 531u);
    FakeRegistry ok;
    ok.setKey("http\\shell", "");
    ok.setKey("http\\shell\\open\\command", command531);
    EXPECT_TRUE(launchInDefaultBrowser(kUrl, ok));
    expectLaunch(ok, kUrl, "");

    FakeRegistry tooLong;
    tooLong.setKey("http\\shell", "");
    tooLong.setKey("http\\shell\\open\\command", command531 + "x");
    EXPECT_FALSE(launchInDefaultBrowser(kUrl, tooLong));
    expectOnlyMessage(tooLong, kText2, kCaptionReadFailed);
    EXPECT_EQ(tooLong.log.back(), "message");
    EXPECT_EQ(tooLong.log[tooLong.log.size() - 2], "close http\\shell\\open\\command");
}

TEST(LaunchInDefaultBrowser, MissingOrUnreadableKeysGiveTheirMessageAndNoLaunch) {
    FakeRegistry noShell;
    EXPECT_FALSE(launchInDefaultBrowser(kUrl, noShell));
    expectOnlyMessage(noShell, kText1, kCaptionNotFound);
    // No second key is even tried.
    EXPECT_EQ(noShell.log, (std::vector<std::string>{"open http\\shell", "message"}));

    FakeRegistry shellUnreadable;
    shellUnreadable.setKey("http\\shell", std::nullopt);
    EXPECT_FALSE(launchInDefaultBrowser(kUrl, shellUnreadable));
    expectOnlyMessage(shellUnreadable, kText2, kCaptionReadFailed);

    FakeRegistry noCommand;
    noCommand.setKey("http\\shell", "");
    noCommand.setKey("http\\shell\\edit\\command", "fox.exe");
    EXPECT_FALSE(launchInDefaultBrowser(kUrl, noCommand));
    expectOnlyMessage(noCommand, kText3, kCaptionNotFound);

    FakeRegistry commandUnreadable;
    commandUnreadable.setKey("http\\shell", "open");
    commandUnreadable.setKey("http\\shell\\open\\command", std::nullopt);
    EXPECT_FALSE(launchInDefaultBrowser(kUrl, commandUnreadable));
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
        EXPECT_TRUE(launchInDefaultBrowser(kUrl, reg)) << c.command;
        SCOPED_TRACE(c.command);
        if (c.program) {
            expectLaunch(reg, c.program, std::string("-new ") + kUrl);
        } else {
            expectLaunch(reg, kUrl, "");
        }
    }
}

TEST(LaunchInDefaultBrowser, ABrowserTheShellCannotStartIsReportedNamingTheCommand) {
    const char* const commands[] = {"\"C:\\Gone\\fox.exe\" \"%1\"",
                                    "\"C:\\Gone\\iexplore.exe\" -nohome"};
    for (const char* command : commands) {
        SCOPED_TRACE(command);
        FakeRegistry reg;
        reg.setKey("http\\shell", "");
        reg.setKey("http\\shell\\open\\command", command);
        reg.shellStarts = false;
        EXPECT_FALSE(launchInDefaultBrowser(kUrl, reg));
        ASSERT_EQ(reg.launches.size(), 1u) << "tried once, not again";
        ASSERT_EQ(reg.messages.size(), 1u);
        EXPECT_EQ(reg.messages[0].caption, "ブラウザを起動できません");
        EXPECT_NE(reg.messages[0].text.find(command), std::string::npos);
        EXPECT_EQ(reg.log.back(), "message") << "after the attempt";
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
    EXPECT_TRUE(launchWithCommand("fox.exe -p", kUrl, reg));
    EXPECT_EQ(reg.processes,
              (std::vector<std::string>{"fox.exe -p \"" + std::string(kUrl) + "\""}));
    EXPECT_TRUE(reg.messages.empty());
    reg.shellStarts = false;
    EXPECT_FALSE(launchWithCommand("\"C:\\Gone\\fox.exe\" -p %1", kUrl, reg));
    ASSERT_EQ(reg.messages.size(), 1u);
    EXPECT_EQ(reg.messages[0].caption, "ブラウザを起動できません");
    EXPECT_NE(reg.messages[0].text.find("\r\nC:\\Gone\\fox.exe\r\n"), std::string::npos);
    EXPECT_TRUE(reg.launches.empty()) << "the shell is not asked";
}

}  // namespace
}  // namespace lumenvik
