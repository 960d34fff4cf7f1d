#include "tray/tray_presence.h"

namespace lumenvik {

TrayPresence::Action TrayPresence::start() {
    wanted_ = true;
    return present_ ? Action::None : Action::Add;
}

void TrayPresence::addResult(bool present) { present_ = wanted_ && present; }

TrayPresence::Action TrayPresence::retryTimer() { return retrying() ? Action::Add : Action::None; }

TrayPresence::Action TrayPresence::taskbarCreated() {
    present_ = false;
    return wanted_ ? Action::Add : Action::None;
}

void TrayPresence::removed() {
    wanted_ = false;
    present_ = false;
}

}  // namespace lumenvik
