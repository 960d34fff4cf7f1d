#pragma once
// What the settings dialog's Cancel does to the live record, apart from its
// window. The dialog edits the record in place and OK saves it; Cancel puts
// back the nine values the record held when the dialog opened, so that what
// an earlier OK or a tray option saved since start-up stays in the record
// and, through the next save, in the file.

#include "settings/search_settings.h"

namespace lumenvik {

// Copies the nine values (not the file names or the store).
void copySettingValues(const SearchSettings& from, SearchSettings& to);

class SettingsEdit {
  public:
    explicit SettingsEdit(SearchSettings& live) : live_(live) {}

    // The dialog opens: its values now are what Cancel returns to.
    void begin() { copySettingValues(live_, opened_); }
    // The record as the dialog found it; nothing is written.
    void cancel() { copySettingValues(opened_, live_); }

  private:
    SearchSettings& live_;
    SearchSettings opened_;
};

}  // namespace lumenvik
