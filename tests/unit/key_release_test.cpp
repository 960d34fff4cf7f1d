#include "app/key_release.h"

#include <gtest/gtest.h>

#include <ostream>

#include "tests/unit/test_settings.h"

namespace lumenvik {

std::ostream& operator<<(std::ostream& os, KeyReleaseAction action) {
    static const char* const kNames[] = {
        "ModePrior",          "ModeNext",       "HistoryNewer", "HistoryOlder",
        "SwallowCommitEnter", "SearchThenHide", "Hide",         "Ignore"};
    return os << kNames[static_cast<int>(action)];
}

namespace {

using A = KeyReleaseAction;

SearchSettings withKeys(int32_t modePrior, int32_t modeNext, int32_t historyPrior,
                        int32_t historyNext) {
    SearchSettings s = testSettings();
    s.mode_prior = modePrior;
    s.mode_next = modeNext;
    s.history_prior = historyPrior;
    s.history_next = historyNext;
    return s;
}

struct ReleaseCase {
    const char* what;
    SearchSettings settings;
    uint32_t key;
    bool composing;
    bool enterCommitted;
    bool shift;
    SearchMode mode;
    A action;
    bool passOn;
    SearchMode searchMode;  // checked for SearchThenHide only
};

void check(const ReleaseCase& c) {
    const KeyReleaseDecision d =
        decideKeyRelease(c.key, c.settings, c.composing, c.enterCommitted, c.shift, c.mode);
    EXPECT_EQ(d.action, c.action) << c.what;
    EXPECT_EQ(d.passOn, c.passOn) << c.what;
    if (c.action == A::SearchThenHide) {
        EXPECT_EQ(d.searchMode, c.searchMode) << c.what;
    }
}

TEST(KeyRelease, DefaultKeysEnterEscapeAndOthers) {
    const SearchSettings s = testSettings();
    const ReleaseCase cases[] = {
        {"Page Up", s, 0x21, false, false, false, 2, A::ModePrior, true, 0},
        {"Page Down", s, 0x22, false, false, false, 2, A::ModeNext, true, 0},
        {"Down", s, 0x28, false, false, false, 2, A::HistoryNewer, true, 0},
        {"Up", s, 0x26, false, false, false, 2, A::HistoryOlder, true, 0},
        {"Enter", s, 13, false, false, false, 3, A::SearchThenHide, true, 3},
        {"Shift+Enter searches the web", s, 13, false, false, true, 3, A::SearchThenHide, true, 0},
        {"Escape", s, 27, false, false, false, 3, A::Hide, true, 0},
        {"a letter", s, 'A', false, false, false, 0, A::Ignore, false, 0},
        {"Shift itself", s, 0x10, false, false, true, 0, A::Ignore, false, 0},
        {"code 0", s, 0, false, false, false, 0, A::Ignore, false, 0},
    };
    for (const ReleaseCase& c : cases) check(c);
}

TEST(KeyRelease, EnterThatCommittedAConversionIsSwallowed) {
    const SearchSettings s = testSettings();
    const ReleaseCase cases[] = {
        {"committed", s, 13, false, true, false, 1, A::SwallowCommitEnter, false, 0},
        {"committed, Shift", s, 13, false, true, true, 1, A::SwallowCommitEnter, false, 0},
        {"committed, still composing", s, 13, true, true, false, 1, A::SwallowCommitEnter, false,
         0},
        {"Escape ignores the flag", s, 27, false, true, false, 1, A::Hide, true, 0},
    };
    for (const ReleaseCase& c : cases) check(c);
}

TEST(KeyRelease, OpenCompositionLeavesTheFourKeysAloneButNotEnterOrEscape) {
    const SearchSettings s = testSettings();
    const ReleaseCase cases[] = {
        {"Page Up", s, 0x21, true, false, false, 2, A::Ignore, false, 0},
        {"Page Down", s, 0x22, true, false, false, 2, A::Ignore, false, 0},
        {"Up", s, 0x26, true, false, false, 2, A::Ignore, false, 0},
        {"Down", s, 0x28, true, false, false, 2, A::Ignore, false, 0},
        {"Enter", s, 13, true, false, false, 2, A::SearchThenHide, true, 2},
        {"Escape", s, 27, true, false, false, 2, A::Hide, true, 0},
    };
    for (const ReleaseCase& c : cases) check(c);
}

TEST(KeyRelease, FirstMatchingSettingWinsWhenTwoShareAKey) {
    const int32_t k = 0x70;  // F1
    const ReleaseCase cases[] = {
        {"mode_prior = mode_next", withKeys(k, k, 0x26, 0x28), k, false, false, false, 0,
         A::ModePrior, true, 0},
        {"all four the same", withKeys(k, k, k, k), k, false, false, false, 0, A::ModePrior, true,
         0},
        {"mode_next = history_next", withKeys(0x21, k, 0x26, k), k, false, false, false, 0,
         A::ModeNext, true, 0},
        {"mode_next = history_prior", withKeys(0x21, k, k, 0x28), k, false, false, false, 0,
         A::ModeNext, true, 0},
        // history_next is tried before history_prior.
        {"history_prior = history_next", withKeys(0x21, 0x22, k, k), k, false, false, false, 0,
         A::HistoryNewer, true, 0},
        {"mode_prior = history_prior", withKeys(k, 0x22, k, 0x28), k, false, false, false, 0,
         A::ModePrior, true, 0},
    };
    for (const ReleaseCase& c : cases) check(c);
}

TEST(KeyRelease, SettingOfThirteenOrTwentySevenTakesEnterOrEscape) {
    const ReleaseCase cases[] = {
        {"mode_next = Enter", withKeys(0x21, 13, 0x26, 0x28), 13, false, false, false, 1,
         A::ModeNext, true, 0},
        {"history_prior = Enter, even after a commit", withKeys(0x21, 0x22, 13, 0x28), 13, false,
         true, false, 1, A::HistoryOlder, true, 0},
        {"mode_prior = Escape", withKeys(27, 0x22, 0x26, 0x28), 27, false, false, false, 1,
         A::ModePrior, true, 0},
        {"history_next = Escape", withKeys(0x21, 0x22, 0x26, 27), 27, false, false, false, 1,
         A::HistoryNewer, true, 0},
        // While composing, Enter and Escape are themselves again.
        {"mode_next = Enter, composing", withKeys(0x21, 13, 0x26, 0x28), 13, true, false, false, 1,
         A::SearchThenHide, true, 1},
        {"mode_prior = Escape, composing", withKeys(27, 0x22, 0x26, 0x28), 27, true, false, false,
         1, A::Hide, true, 0},
    };
    for (const ReleaseCase& c : cases) check(c);
}

TEST(KeyRelease, KeysOfHexEightyAndAboveWorkLikeAnyOther) {
    const ReleaseCase cases[] = {
        {"VK_OEM_1 as mode_prior", withKeys(0xBA, 0x22, 0x26, 0x28), 0xBA, false, false, false, 0,
         A::ModePrior, true, 0},
        {"VK_OEM_PLUS as mode_next", withKeys(0x21, 0xBB, 0x26, 0x28), 0xBB, false, false, false, 0,
         A::ModeNext, true, 0},
        {"VK_F17 as history_next", withKeys(0x21, 0x22, 0x26, 0x80), 0x80, false, false, false, 0,
         A::HistoryNewer, true, 0},
        {"0xFF as history_prior", withKeys(0x21, 0x22, 0xFF, 0x28), 0xFF, false, false, false, 0,
         A::HistoryOlder, true, 0},
        {"unassigned 0xDB", testSettings(), 0xDB, false, false, false, 0, A::Ignore, false, 0},
    };
    for (const ReleaseCase& c : cases) check(c);
}

}  // namespace
}  // namespace lumenvik
