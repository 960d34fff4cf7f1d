#pragma once
// The default-browser launch's platform calls, answered by the registry,
// the shell and message boxes.

#include <vector>

#include "search/browser_launch.h"
#include "win/owned_handle.h"

namespace lumenvik::win {

class Win32BrowserPlatform : public BrowserPlatform {
  public:
    bool openClassesRootKey(const std::string& path, RegistryKey& key) override;
    bool readDefaultValue(RegistryKey key, std::size_t bufferBytes, std::string& value) override;
    void closeKey(RegistryKey key) override;
    std::string upperCase(const std::string& text) override;
    bool shellExecute(const std::string& operation, const std::string& file,
                      const std::string& parameters) override;
    bool createProcess(const std::string& commandLine) override;
    void messageBox(const std::string& text, const std::string& caption) override;

  private:
    // The keys handed out and not closed yet: at the latest they are closed
    // with this object.
    std::vector<OwnedRegKey> open_;
};

}  // namespace lumenvik::win
