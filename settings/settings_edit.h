#pragma once
// What the settings dialog's OK and Cancel do to the live record, apart
// from its window. The dialog edits the record in place and OK saves what
// it changed; Cancel puts back the nine values the record held when the
// dialog opened, so that what an earlier OK or a tray option saved since
// start-up stays in the record.

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
    // What OK writes: the values that differ from those the dialog opened
    // with, so that a key the user changed in the file meanwhile (and not
    // in the dialog) keeps the file's value.
    std::vector<IniValue> changedValues() const;

  private:
    SearchSettings& live_;
    SearchSettings opened_;
};

}  // namespace lumenvik
