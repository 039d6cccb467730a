#pragma once
// The scan schedule: the Schedule tab's controls and their click rules, the stored schedule
// ("Apply" alone writes it), and the tick that says when a scheduled scan is due.
//
// A scheduled occurrence starts at the first tick at or after its moment, once, as long as
// the moment is at most five minutes past: a busy second, an open message box or a machine
// waking from sleep no longer skips it, while a machine switched on hours later does not
// start a scan its user no longer expects. "Once" holds across restarts: the latest moment
// run is kept in the settings.

#include <optional>
#include <string>

#include "settings/SettingsStore.h"
#include "ui/FrmMain.h"
#include "work/Context.h"

namespace qm::app {

// The list indices of `cmbDays`.
namespace schedule {
inline constexpr int kSunday = 6;
inline constexpr int kDaily = 7;
inline constexpr int kOnDate = 8;
inline constexpr int kNever = 9;
}  // namespace schedule

class ScanScheduler {
  public:
    // How long after its moment an occurrence may still start.
    static constexpr int kCatchUpSeconds = 300;
    // The tick's interval: the window's 10 ms within two seconds of a moment, else a second.
    static constexpr int kFineTickMilliseconds = 10;
    static constexpr int kQuietTickMilliseconds = 1000;
    static constexpr double kNearSeconds = 2;

    // The schedule needs nothing of its own: the clock, the dates and the settings are lent.
    ScanScheduler(ui::FrmMain& form, work::Context context)
        : form_(form), context_(std::move(context)), settings_(context_.Settings()) {}

    // The stored schedule into the tab (start-up, and after "Apply").
    void LoadSchedule();
    // "Apply"'s work; false when a "Date & Time" schedule has no date (nothing is stored).
    bool SaveSchedule();

    void ApplyClicked();
    void ResetClicked();
    void EnableClicked();  // `chkAutomaticScanYesOrNo`, its value already toggled
    void DaysChanged();    // `cmbDays`, its new index already set
    void PickerChanged();

    // The tick of `tmrScheduler`: true when a scheduled scan should start now. Each
    // occurrence is answered once; a Start that is disabled leaves it for a later tick. Sets
    // the timer's next interval.
    bool Due();

  private:
    struct Stored {
        int mode = schedule::kDaily;
        std::optional<double> date;  // the day
        std::optional<double> time;  // the fraction of a day
    };
    void ReadStored();
    void ShowModeControls();
    // Remembers, here and in the settings, that every moment up to this one has run.
    void RememberStarted(double moment);

    ui::FrmMain& form_;
    work::Context context_;
    settings::ProgramSettings settings_;
    Stored stored_;
    double lastStarted_ = -1;  // the latest moment that counts as run, in days
};

}  // namespace qm::app
