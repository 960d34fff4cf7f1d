#include "tray/tray_presence.h"

#include <gtest/gtest.h>

namespace lumenvik {
namespace {

using Action = TrayPresence::Action;

// Plays the Win32 side: carries out an add, which succeeds while the
// taskbar exists, and counts the attempts.
struct Shell {
    bool taskbar = false;
    int adds = 0;
    void carryOut(TrayPresence& tray, Action action) {
        if (action != Action::Add) return;
        ++adds;
        tray.addResult(taskbar);
    }
};

TEST(TrayPresence, AnAddThatFailsBeforeTheTaskbarExistsIsRetriedUntilItSucceeds) {
    TrayPresence tray;
    Shell shell;
    shell.carryOut(tray, tray.start());
    EXPECT_TRUE(tray.retrying());
    shell.carryOut(tray, tray.retryTimer());
    EXPECT_EQ(shell.adds, 2);
    EXPECT_TRUE(tray.retrying());

    shell.taskbar = true;
    shell.carryOut(tray, tray.retryTimer());
    EXPECT_TRUE(tray.present());
    EXPECT_FALSE(tray.retrying()) << "the timer stops";
    EXPECT_EQ(tray.retryTimer(), Action::None) << "a tick already queued adds nothing";
}

TEST(TrayPresence, ARecreatedTaskbarGetsTheIconWheneverItIsWanted) {
    TrayPresence tray;
    Shell shell;
    EXPECT_EQ(tray.taskbarCreated(), Action::None) << "not wanted before the first add";

    shell.carryOut(tray, tray.start());  // fails: no taskbar yet
    shell.taskbar = true;
    shell.carryOut(tray, tray.taskbarCreated());
    EXPECT_TRUE(tray.present()) << "added although the first add had failed";

    // A shell that restarts again, and refuses the add this time: retried.
    shell.taskbar = false;
    shell.carryOut(tray, tray.taskbarCreated());
    EXPECT_TRUE(tray.retrying());
    shell.taskbar = true;
    shell.carryOut(tray, tray.retryTimer());
    EXPECT_TRUE(tray.present());
    EXPECT_EQ(shell.adds, 4);
}

TEST(TrayPresence, ExitDuringARetryEndsTheRetriesAndLaterBroadcastsAddNothing) {
    TrayPresence tray;
    Shell shell;
    shell.carryOut(tray, tray.start());
    ASSERT_TRUE(tray.retrying());

    tray.removed();
    EXPECT_FALSE(tray.wanted());
    EXPECT_FALSE(tray.retrying());
    shell.taskbar = true;
    shell.carryOut(tray, tray.retryTimer());
    shell.carryOut(tray, tray.taskbarCreated());
    EXPECT_EQ(shell.adds, 1);
    EXPECT_FALSE(tray.present());
}

}  // namespace
}  // namespace lumenvik
