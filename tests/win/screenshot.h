#pragma once
// Pictures of the whole X screen for the tests that leave one behind.

#include <string>

namespace lvtest {

// Lets the screen paint, then saves it as the PNG `unixPath` with the host's
// import and waits until the file is complete. Fails the test when import
// cannot be run (fatally: wrap the call in ASSERT_NO_FATAL_FAILURE to stop).
void takeScreenshot(const std::string& unixPath);

}  // namespace lvtest
