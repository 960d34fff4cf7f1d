#pragma once
// Opening a URL in the browser the user chose: the ProgId of the URL's
// scheme under UrlAssociations\<scheme>\UserChoice (what Windows 8 and
// later set in Settings), else the handler of the "http" protocol under
// HKEY_CLASSES_ROOT. The decision is made here, before anything starts; the
// start itself is the platform's, and its answer comes back later.

#include <cstddef>
#include <cstdint>
#include <string>

namespace lumenvik {

// An open registry key as the platform layer hands it out.
using RegistryKey = std::uintptr_t;

// One start of a browser, decided before it is made.
struct BrowserStart {
    enum class Way {
        shell,    // ShellExecuteExW of `file` with `parameters` ("open")
        process,  // CreateProcessW of `commandLine`
    };
    Way way = Way::shell;
    std::string file;         // shell: a program, or the URL itself
    std::string parameters;   // shell: "-new " and the URL for Internet Explorer; else empty
    std::string commandLine;  // process
    std::string url;          // the URL it opens
    // The launch-failure message's text, naming what could not be started.
    std::string failureText;
    // What the start hands over, in UTF-16 units, and the most it may be:
    // the URL against Internet Explorer's limit, or the command line with
    // its terminating NUL (for the shell's launches the one it builds from
    // the registry's command, or the URL alone) against Windows'.
    std::size_t length = 0;
    std::size_t limit = 0;
    bool urlLimit = false;  // `limit` is Internet Explorer's URL limit
    // The site it opens, named in its messages when the search opens
    // several (search/search_command.h); empty otherwise.
    std::string site;
};

// The platform calls the launch needs. The Windows build answers them with
// the registry's W functions, CharUpperBuffW, a launch thread
// (ShellExecuteExW, CreateProcessW) and MessageBoxW; the tests with a
// made-up registry. Every text is UTF-8.
class BrowserPlatform {
  public:
    virtual ~BrowserPlatform() = default;
    // Opens `path` below HKEY_CLASSES_ROOT.
    virtual bool openClassesRootKey(const std::string& path, RegistryKey& key) = 0;
    // Reads the key's default (unnamed) value as text through a buffer of
    // `bufferUnits` UTF-16 units. Fails when the read fails, also when the
    // value and its terminating NUL need more than `bufferUnits`.
    virtual bool readDefaultValue(RegistryKey key, std::size_t bufferUnits, std::string& value) = 0;
    // Reads the value `name` of the key ("" for the default one) whole,
    // with the environment variables of a REG_EXPAND_SZ expanded. False
    // when it does not exist or holds no text.
    virtual bool readValue(RegistryKey key, const std::string& name, std::string& value) = 0;
    virtual void closeKey(RegistryKey key) = 0;
    // The ProgId value of the UserChoice key of `scheme` under
    // HKEY_CURRENT_USER\Software\Microsoft\Windows\Shell\Associations\UrlAssociations;
    // false when there is none.
    virtual bool readUserChoice(const std::string& scheme, std::string& progId) = 0;
    // An upper-cased copy.
    virtual std::string upperCase(const std::string& text) = 0;
    // Hands the start over and returns at once; whether it started is told
    // later (launchFailedMessage, launchOverdueMessage).
    virtual void start(const BrowserStart& start) = 0;
    // A modal MB_OK message box with no owner window.
    virtual void messageBox(const std::string& text, const std::string& caption) = 0;
};

// What handing a launch over came to.
enum class LaunchIssue {
    issued,   // handed to the platform; its answer comes later
    failed,   // no browser could be determined: the user has been told
    tooLong,  // over the limit: the user has been told, nothing started
};

// Decides how the user's browser opens `url`. With a UserChoice for the
// URL's scheme: the ProgId's shell\open\command started with the URL
// (browserCommandLine), Internet Explorer's (its command, or the ProgId
// IE.HTTP or IE.HTTPS) as "-new " and the URL, and a ProgId with a
// DelegateExecute or without a command through the shell on the URL.
// Without one, the handler under HKEY_CLASSES_ROOT\http\shell: Internet
// Explorer (a command holding "IEXPLORE" in any letter case) as "-new "
// and the URL, every other browser through the shell on the URL. False
// after telling the user in a message box that the registry gave no
// usable browser (every key opened is closed before the message).
bool chooseDefaultBrowser(const std::string& url, BrowserPlatform& platform, BrowserStart& start);

// The start of a user's browser command (browser<k>=, [Options] browser=).
BrowserStart commandBrowser(const std::string& command, const std::string& url);

// Hands `start` over unless it is over its limit, which is told in a
// message box naming the word's length (`wordLength`, UTF-16 units) and the
// limit; nothing is cut.
LaunchIssue launchBrowser(const BrowserStart& start, std::size_t wordLength,
                          BrowserPlatform& platform);

// chooseDefaultBrowser, then launchBrowser; the start names `site`.
LaunchIssue launchInDefaultBrowser(const std::string& url, std::size_t wordLength,
                                   BrowserPlatform& platform, const std::string& site = "");
// commandBrowser, then launchBrowser; the start names `site`.
LaunchIssue launchWithCommand(const std::string& command, const std::string& url,
                              std::size_t wordLength, BrowserPlatform& platform,
                              const std::string& site = "");

// The command line that opens `url` with a browser command:
// `command` with each "%1" replaced by the URL as one quoted argument, or,
// without "%1", the command with the quoted URL appended as its last
// argument. A "%1" already between quotes gets the URL alone. The URL's
// quotes and blanks are percent-encoded (a word's bytes already are), and
// backslashes before the closing quote doubled, so nothing in it ends the
// argument.
std::string browserCommandLine(const std::string& command, const std::string& url);

// The program of a registry command: the quoted path without its quotes
// when the command starts with a quote (the rest of the command when the
// closing quote is missing), otherwise everything up to the first blank.
// Blanks before it are skipped.
std::string commandProgram(const std::string& command);

// The scheme of a URL in lower case ("http"), or "" when it has none.
std::string urlScheme(const std::string& url);

struct LaunchMessage {
    std::string text;
    std::string caption;
};
// The message when the start could not be made (its site named first,
// where it has one).
LaunchMessage launchFailedMessage(const BrowserStart& start);
// The message when the start has not answered within `seconds`.
LaunchMessage launchOverdueMessage(const BrowserStart& start, int seconds);

}  // namespace lumenvik
