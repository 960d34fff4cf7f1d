#pragma once
// Opening a URL in the user's default web browser, found through the
// handler of the "http" protocol under HKEY_CLASSES_ROOT.

#include <cstddef>
#include <cstdint>
#include <string>

namespace lumenvik {

// An open registry key as the platform layer hands it out.
using RegistryKey = std::uintptr_t;

// The platform calls the launch needs. The Windows build answers them with
// the registry, CharUpperBuffW, ShellExecuteExW, CreateProcessW and MessageBoxW; the tests
// with a made-up registry. Every text is UTF-8.
class BrowserPlatform {
  public:
    virtual ~BrowserPlatform() = default;
    // Opens `path` below HKEY_CLASSES_ROOT.
    virtual bool openClassesRootKey(const std::string& path, RegistryKey& key) = 0;
    // Reads the key's default (unnamed) value as text through a buffer of
    // `bufferBytes` bytes of the ANSI code page. Fails when the read fails, also when the value
    // and its terminating NUL need more than `bufferBytes`.
    virtual bool readDefaultValue(RegistryKey key, std::size_t bufferBytes, std::string& value) = 0;
    virtual void closeKey(RegistryKey key) = 0;
    // An upper-cased copy.
    virtual std::string upperCase(const std::string& text) = 0;
    // Starts `file` through the shell: no owner window, no directory,
    // SW_SHOWNORMAL; empty `parameters` means none. False when the shell
    // could not start it (the shell gave 32 or less).
    virtual bool shellExecute(const std::string& operation, const std::string& file,
                              const std::string& parameters) = 0;
    // Starts the program of `commandLine` (a program and its arguments, as
    // a process is given them) as a new process. False when it could not.
    virtual bool createProcess(const std::string& commandLine) = 0;
    // A modal MB_OK message box with no owner window.
    virtual void messageBox(const std::string& text, const std::string& caption) = 0;
};

// Looks the default browser up and launches it with `url`. True when the
// shell started it; false after telling the user in a message box that the
// registry gave no usable browser (every key opened is closed before the
// message) or that the shell could not start the registered command (an
// uninstalled or moved browser; the message names the command).
//
// Internet Explorer (a command holding "IEXPLORE" in any letter case) is
// started as its own program with "-new " and the URL as parameters, so
// that the search opens in a new window; every other browser gets the URL
// through the shell.
bool launchInDefaultBrowser(const std::string& url, BrowserPlatform& platform);

// The command line that opens `url` with a user's browser command:
// `command` with each "%1" replaced by the URL as one quoted argument, or,
// without "%1", the command with the quoted URL appended as its last
// argument. A "%1" already between quotes gets the URL alone. The URL's
// quotes and blanks are percent-encoded (a word's bytes already are), and
// backslashes before the closing quote doubled, so nothing in it ends the
// argument.
std::string browserCommandLine(const std::string& command, const std::string& url);

// Opens `url` with a user's browser command (browserCommandLine). True when
// the process started; false after a message box naming the program.
bool launchWithCommand(const std::string& command, const std::string& url,
                       BrowserPlatform& platform);

// The program of a registry command: the quoted path without its quotes
// when the command starts with a quote (the rest of the command when the
// closing quote is missing), otherwise everything up to the first blank.
// Blanks before it are skipped.
std::string commandProgram(const std::string& command);

}  // namespace lumenvik
