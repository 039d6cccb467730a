#include "app/ScanScheduler.h"

#include <cmath>
#include <cstdlib>

#include "text/Text.h"

namespace qm::app {

namespace {

constexpr const char* kNull = "Null";
// The latest moment a scheduled scan started for (or an "Apply" made past), in whole seconds
// of the date value: a restart in the same minute, or a reboot, must not run it again.
constexpr const char* kLastMoment = "LastScheduledScan";

// A stored mode: a whole number, else the default; out of range is kept and never matches.
int ParseMode(const std::string& text) {
    const std::string trimmed = text::Trim(text);
    char* end = nullptr;
    const long mode = std::strtol(trimmed.c_str(), &end, 10);
    if (trimmed.empty() || *end != '\0') return schedule::kDaily;
    return mode < -1 || mode > 100 ? -1 : static_cast<int>(mode);
}

double SecondsBetween(double earlier, double later) {
    return std::round((later - earlier) * 86400.0);
}

}  // namespace

void ScanScheduler::ReadStored() {
    settings::ProgramSettings& s = settings_;
    const std::string last = text::Trim(s.Read(settings::section::kOptions, kLastMoment, ""));
    char* end = nullptr;
    const long long seconds = std::strtoll(last.c_str(), &end, 10);
    lastStarted_ =
        !last.empty() && *end == '\0' && seconds > 0 ? static_cast<double>(seconds) / 86400.0 : -1;
    stored_.mode = ParseMode(s.Read(settings::section::kOptions, "Day", "7"));
    stored_.date.reset();
    stored_.time.reset();
    const std::string date = s.Read(settings::section::kOptions, "Date", kNull);
    const std::string time = s.Read(settings::section::kOptions, "Time", kNull);
    if (date != kNull) {
        if (const auto value = context_.platform.dates.Parse(date))
            stored_.date = std::floor(*value);
    }
    if (time != kNull) {
        if (const auto value = context_.platform.dates.Parse(time)) {
            stored_.time = *value - std::floor(*value);
        }
    }
}

void ScanScheduler::ShowModeControls() {
    ui::FrmMain& f = form_;
    const int mode = f.cmbDays.listIndex;
    if (mode == schedule::kOnDate) {
        f.dtpScheduleDate.enabled = true;
        f.dtpScheduleTime.enabled = true;
    } else if (mode == schedule::kNever) {
        f.dtpScheduleDate = {"", false, f.dtpScheduleDate.visible};
        f.dtpScheduleTime = {"", false, f.dtpScheduleTime.visible};
    } else {
        f.dtpScheduleDate = {"", false, f.dtpScheduleDate.visible};
        f.dtpScheduleTime.enabled = true;
    }
}

void ScanScheduler::LoadSchedule() {
    ui::FrmMain& f = form_;
    settings::ProgramSettings& s = settings_;
    f.chkAutoDel.value = s.ReadCheck(settings::section::kSettings, "chkAutoDel", 0);
    ReadStored();
    const bool armed = s.ReadCheck(settings::section::kOptions, "chkAutomaticScanYesOrNo", 0) != 0;
    f.chkAutomaticScanYesOrNo.value = armed ? 1 : 0;
    const std::string day = s.Read(settings::section::kOptions, "Day", "None");
    if (day == "None") {
        f.cmbDays.listIndex = schedule::kDaily;
    } else {
        const std::string date = s.Read(settings::section::kOptions, "Date", kNull);
        const std::string time = s.Read(settings::section::kOptions, "Time", kNull);
        f.dtpScheduleDate.value = date == kNull ? "" : date;
        f.dtpScheduleTime.value = time == kNull ? "" : time;
        const int mode = ParseMode(day);
        f.cmbDays.listIndex = mode >= 0 && mode <= schedule::kNever ? mode : schedule::kDaily;
    }
    // The box follows what is stored, so the tab never shows a schedule as on that is off.
    f.cmbDays.enabled = armed;
    if (armed) {
        ShowModeControls();
    } else {
        f.dtpScheduleDate.enabled = false;
        f.dtpScheduleTime.enabled = false;
    }
    f.tmrScheduler.enabled = armed;
}

bool ScanScheduler::SaveSchedule() {
    ui::FrmMain& f = form_;
    settings::ProgramSettings& s = settings_;
    if (f.cmbDays.listIndex == schedule::kOnDate && f.dtpScheduleDate.value.empty()) {
        context_.prompts.ShowMessage(context_.messages.getMessages("MSG_DATE"),
                                     context_.product.productName, ui::MessageButtons::Ok,
                                     ui::MessageIcon::None);
        return false;
    }
    s.WriteCheck(settings::section::kOptions, "chkAutomaticScanYesOrNo",
                 f.chkAutomaticScanYesOrNo.value);
    if (s.ReadCheck(settings::section::kOptions, "chkAutomaticScanYesOrNo", 0) != 1) {
        f.tmrScheduler.enabled = false;
        ReadStored();
        return true;
    }
    s.Write(settings::section::kOptions, "Day", std::to_string(f.cmbDays.listIndex));
    s.Write(settings::section::kOptions, "Time",
            f.dtpScheduleTime.value.empty() ? kNull : f.dtpScheduleTime.value);
    s.Write(settings::section::kOptions, "Date",
            f.dtpScheduleDate.value.empty() ? kNull : f.dtpScheduleDate.value);
    // A time applied in the past waits for its next occurrence: every moment up to now counts
    // as run. One still ahead today runs today.
    RememberStarted(platform::DateValueOf(context_.platform.clock.Now()));
    ReadStored();
    f.tmrScheduler.enabled = true;
    return true;
}

void ScanScheduler::ApplyClicked() {
    if (!SaveSchedule()) return;
    form_.CmdProceed.enabled = false;
    LoadSchedule();
}

void ScanScheduler::ResetClicked() {
    form_.cmbDays.listIndex = schedule::kDaily;
    form_.chkAutomaticScanYesOrNo.value = 0;
    ApplyClicked();
}

void ScanScheduler::EnableClicked() {
    ui::FrmMain& f = form_;
    if (f.chkAutomaticScanYesOrNo.value != 0) {
        f.tmrScheduler.enabled = true;
        f.cmbDays.enabled = true;
        if (f.cmbDays.listIndex >= 0 && f.cmbDays.listIndex <= schedule::kDaily) {
            ShowModeControls();
        }
    } else {
        f.cmbDays.enabled = false;
        f.dtpScheduleDate.enabled = false;
        f.dtpScheduleTime.enabled = false;
        f.tmrScheduler.enabled = false;
    }
    f.CmdProceed.enabled = true;
}

void ScanScheduler::DaysChanged() {
    ShowModeControls();
    form_.CmdProceed.enabled = true;
}

void ScanScheduler::PickerChanged() {
    form_.CmdProceed.enabled = true;
}

void ScanScheduler::RememberStarted(double moment) {
    lastStarted_ = moment;
    settings_.Write(settings::section::kOptions, kLastMoment,
                    std::to_string(std::llround(moment * 86400.0)));
}

bool ScanScheduler::Due() {
    form_.tmrScheduler.interval = kQuietTickMilliseconds;
    const int mode = stored_.mode;
    if (mode < 0 || mode > schedule::kOnDate || !stored_.time) return false;
    if (mode == schedule::kOnDate && !stored_.date) return false;
    const platform::LocalTime local = context_.platform.clock.Now();
    const double now = platform::DateValueOf(local);
    const double today = std::floor(now);
    bool due = false;
    double nearest = 86400;  // seconds to today's moment when it is still ahead
    // The latest occurrence at or before now: today's, or yesterday's for a moment just
    // before midnight.
    for (int back = 0; back <= 1 && !due; ++back) {
        const double day = mode == schedule::kOnDate ? *stored_.date : today - back;
        if (mode <= schedule::kSunday) {
            // The weekday itself, not its name in the user's language: list index 0 is
            // Monday, the clock's day 0 is Sunday.
            const int weekday = ((local.dayOfWeek - back) % 7 + 7) % 7;
            if ((mode + 1) % 7 != weekday) continue;
        }
        const double moment = day + *stored_.time;
        const double late = SecondsBetween(moment, now);
        if (late < 0) {
            if (back == 0) nearest = -late;
            continue;
        }
        if (late > kCatchUpSeconds || SecondsBetween(moment, lastStarted_) >= 0) continue;
        if (!form_.cmdScanNow.enabled) continue;  // kept for a later tick
        RememberStarted(moment);
        due = true;
    }
    // Close to a moment the tick is as fine as the schedule's seconds; otherwise once a second
    // is enough, since a late tick still starts the occurrence, and costs almost nothing.
    if (nearest <= kNearSeconds) form_.tmrScheduler.interval = kFineTickMilliseconds;
    return due;
}

}  // namespace qm::app
