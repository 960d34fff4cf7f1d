#include "app/key_release.h"

namespace lumenvik {
namespace {

bool same(uint32_t key, int32_t setting) { return static_cast<int64_t>(key) == setting; }

KeyReleaseDecision decision(KeyReleaseAction action, bool passOn, SearchMode mode = 0) {
    return KeyReleaseDecision{action, passOn, mode};
}

}  // namespace

KeyReleaseDecision decideKeyRelease(uint32_t key, const SearchSettings& settings, bool composing,
                                    bool enterCommitted, bool shiftHeld, SearchMode currentMode) {
    if (!composing) {
        if (same(key, settings.mode_prior)) return decision(KeyReleaseAction::ModePrior, true);
        if (same(key, settings.mode_next)) return decision(KeyReleaseAction::ModeNext, true);
        if (same(key, settings.history_next)) return decision(KeyReleaseAction::HistoryNewer, true);
        if (same(key, settings.history_prior))
            return decision(KeyReleaseAction::HistoryOlder, true);
    }
    if (key == kEnterKey) {
        if (enterCommitted) return decision(KeyReleaseAction::SwallowCommitEnter, false);
        return decision(KeyReleaseAction::SearchThenHide, true, shiftHeld ? 0 : currentMode);
    }
    if (key == kEscapeKey) return decision(KeyReleaseAction::Hide, true);
    return decision(KeyReleaseAction::Ignore, false);
}

}  // namespace lumenvik
