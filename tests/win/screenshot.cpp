#include "tests/win/screenshot.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "tests/win/program_driver.h"

namespace lvtest {

void takeScreenshot(const std::string& unixPath) {
    ::Sleep(300);  // let it paint
    ::DeleteFileA(windowsPath(unixPath).c_str());
    ASSERT_TRUE(runHostCommand("/usr/bin/import -window root " + unixPath, 20000));
    // Complete once the PNG's closing chunk is there.
    EXPECT_TRUE(waitFor(
        [&] {
            const std::string png = readFile(windowsPath(unixPath));
            return png.size() > 12 && png.compare(png.size() - 8, 4, "IEND") == 0;
        },
        20000))
        << unixPath;
}

}  // namespace lvtest
