// The scan schedule against the fake machine's clock: an occurrence starts at the first tick
// at or after its moment and only once, not when it is more than five minutes old; weekly
// schedules compare the weekday; the tick never reads the settings; the Schedule tab's rules.

#include "app/ScanScheduler.h"

#include <gtest/gtest.h>

#include <memory>

#include "support/FakeApplication.h"

namespace qm::app {
namespace {

using test::FakeMachine;

// Counts the reads, so the tick can be shown to ask the store nothing.
class CountingStore final : public settings::SettingsStore {
  public:
    explicit CountingStore(settings::SettingsStore& inner) : inner_(inner) {}
    int reads = 0;
    std::string Read(const std::string& app, const std::string& section, const std::string& key,
                     const std::string& fallback) override {
        ++reads;
        return inner_.Read(app, section, key, fallback);
    }
    void Write(const std::string& app, const std::string& section, const std::string& key,
               const std::string& value) override {
        inner_.Write(app, section, key, value);
    }

  private:
    settings::SettingsStore& inner_;
};

class ScanSchedulerTest : public ::testing::Test {
  protected:
    ScanSchedulerTest() { i18n::LoadDefaultMessages(messages); }
    // Tuesday 8 December 2026, as the fake clock starts.
    void Store(int mode, const std::string& time, const std::string& date = "Null") {
        m.settings.Write("Quillmarsh", settings::section::kOptions, "chkAutomaticScanYesOrNo", "1");
        m.settings.Write("Quillmarsh", settings::section::kOptions, "Day", std::to_string(mode));
        m.settings.Write("Quillmarsh", settings::section::kOptions, "Time", time);
        m.settings.Write("Quillmarsh", settings::section::kOptions, "Date", date);
        scheduler.LoadSchedule();
    }
    void At(int hour, int minute, int second, int day = 8, int dayOfWeek = 2) {
        m.clock.local = {2026, 12, day, dayOfWeek, hour, minute, second};
    }

    FakeMachine m;
    CountingStore store{m.settings};
    ui::FrmMain form;
    i18n::MessageCatalogue messages;
    ScanScheduler scheduler{form, m.Context(store, messages)};
};

struct Lateness {
    int seconds;
    bool starts;
};

class ScheduledMoment : public ScanSchedulerTest, public ::testing::WithParamInterface<Lateness> {};

TEST_P(ScheduledMoment, StartsAtTheFirstTickAtOrAfterItWithinFiveMinutes) {
    Store(schedule::kDaily, "2:30:00 PM");
    const int at = 14 * 3600 + 30 * 60 + GetParam().seconds;
    At(at / 3600, at / 60 % 60, at % 60);
    EXPECT_EQ(scheduler.Due(), GetParam().starts);
    EXPECT_FALSE(scheduler.Due()) << "once per occurrence";
}

INSTANTIATE_TEST_SUITE_P(Ticks, ScheduledMoment,
                         ::testing::Values(Lateness{-1, false}, Lateness{0, true},
                                           Lateness{7, true}, Lateness{300, true},
                                           Lateness{301, false}, Lateness{3 * 3600, false}));

TEST_F(ScanSchedulerTest, ABusyStartKeepsTheOccurrenceAndTheNextDayHasItsOwn) {
    Store(schedule::kDaily, "11:59:00 PM");
    At(23, 59, 30);
    form.cmdScanNow.enabled = false;  // a scan is running
    EXPECT_FALSE(scheduler.Due());
    form.cmdScanNow.enabled = true;
    At(0, 1, 0, 9, 3);  // past midnight, still within five minutes of yesterday's moment
    EXPECT_TRUE(scheduler.Due());
    At(23, 59, 0, 9, 3);
    EXPECT_TRUE(scheduler.Due()) << "the next day's occurrence";
}

// "Delete spyware automatically" makes a repeated moment a second removal: a moment runs once
// across a restart in the same minute, a missed one still runs at the next start, and a time
// applied in the past waits for its next occurrence.
TEST_F(ScanSchedulerTest, AMomentRunsOnceAcrossRestartsAndAnApplyInThePastWaits) {
    Store(schedule::kDaily, "2:30:00 PM");
    At(14, 30, 0);
    EXPECT_TRUE(scheduler.Due());
    const auto restart = [&] {
        auto again = std::make_unique<ScanScheduler>(form, m.Context(store, messages));
        again->LoadSchedule();
        return again;
    };
    At(14, 32, 0);
    EXPECT_FALSE(restart()->Due()) << "restarted two minutes later";
    At(14, 33, 0, 9, 3);
    auto nextDay = restart();
    EXPECT_TRUE(nextDay->Due()) << "the next day's moment, missed by three minutes";

    form.chkAutomaticScanYesOrNo.value = 1;
    form.cmbDays.listIndex = schedule::kDaily;
    form.dtpScheduleTime.value = "2:31:00 PM";
    At(14, 34, 0, 9, 3);
    nextDay->ApplyClicked();
    At(14, 34, 1, 9, 3);
    EXPECT_FALSE(nextDay->Due());
    EXPECT_FALSE(restart()->Due());
    At(14, 31, 0, 10, 4);
    EXPECT_TRUE(restart()->Due()) << "its next occurrence";
}

TEST_F(ScanSchedulerTest, WeeklySchedulesCompareTheWeekdayAndAGivenDateOnlyThatDay) {
    Store(1, "8:00:00 AM");  // Tuesday
    At(8, 0, 0);
    EXPECT_TRUE(scheduler.Due());
    Store(0, "8:00:00 AM");  // Monday
    EXPECT_FALSE(scheduler.Due());
    Store(schedule::kOnDate, "8:00:00 AM", "12/9/2026");
    EXPECT_FALSE(scheduler.Due());
    At(8, 0, 1, 9, 3);
    EXPECT_TRUE(scheduler.Due());
    // Unreadable or out-of-range schedules never start anything.
    for (const auto& [mode, time] :
         std::vector<std::pair<int, std::string>>{{schedule::kDaily, "25:99 PM"},
                                                  {12, "8:00:00 AM"},
                                                  {schedule::kNever, "8:00:00 AM"}}) {
        Store(mode, time);
        At(8, 0, 2, 9, 3);
        EXPECT_FALSE(scheduler.Due()) << mode << " " << time;
    }
}

TEST_F(ScanSchedulerTest, TheTickAsksTheStoreNothingAndIsFineOnlyNearAMoment) {
    Store(schedule::kDaily, "2:30:00 PM");
    const int reads = store.reads;
    At(9, 0, 0);
    for (int i = 0; i < 1000; ++i)
        scheduler.Due();
    EXPECT_EQ(store.reads, reads);
    EXPECT_EQ(form.tmrScheduler.interval, ScanScheduler::kQuietTickMilliseconds);
    At(14, 29, 58);
    scheduler.Due();
    EXPECT_EQ(form.tmrScheduler.interval, ScanScheduler::kFineTickMilliseconds);
    At(14, 30, 0);
    EXPECT_TRUE(scheduler.Due());
    EXPECT_EQ(form.tmrScheduler.interval, ScanScheduler::kQuietTickMilliseconds);
}

TEST_F(ScanSchedulerTest, TheTabStoresOnlyOnApplyAndRefusesADateScheduleWithoutADate) {
    scheduler.LoadSchedule();
    EXPECT_EQ(form.cmbDays.listIndex, schedule::kDaily) << "never saved";
    EXPECT_EQ(form.chkAutomaticScanYesOrNo.value, 0);

    form.chkAutomaticScanYesOrNo.value = 1;
    scheduler.EnableClicked();
    EXPECT_TRUE(form.cmbDays.enabled);
    EXPECT_FALSE(form.dtpScheduleDate.enabled);
    EXPECT_TRUE(form.dtpScheduleTime.enabled);
    form.cmbDays.listIndex = schedule::kOnDate;
    scheduler.DaysChanged();
    EXPECT_TRUE(form.dtpScheduleDate.enabled);
    EXPECT_TRUE(form.CmdProceed.enabled);
    EXPECT_EQ(m.settings.Read("Quillmarsh", settings::section::kOptions, "Day", "None"), "None");

    scheduler.ApplyClicked();
    ASSERT_EQ(m.prompts.shown.size(), 1u);
    EXPECT_EQ(m.prompts.shown[0].text, "Please select the date that you want to scan.");
    EXPECT_EQ(m.settings.Read("Quillmarsh", settings::section::kOptions, "Day", "None"), "None");

    form.dtpScheduleDate.value = "12/24/2026";
    form.dtpScheduleTime.value = "6:15:00 PM";
    scheduler.ApplyClicked();
    EXPECT_EQ(m.settings.Read("Quillmarsh", settings::section::kOptions, "Day", ""), "8");
    EXPECT_EQ(m.settings.Read("Quillmarsh", settings::section::kOptions, "Date", ""), "12/24/2026");
    EXPECT_EQ(m.settings.Read("Quillmarsh", settings::section::kOptions, "Time", ""), "6:15:00 PM");
    EXPECT_FALSE(form.CmdProceed.enabled);
    EXPECT_TRUE(form.tmrScheduler.enabled);

    scheduler.ResetClicked();
    EXPECT_EQ(
        m.settings.Read("Quillmarsh", settings::section::kOptions, "chkAutomaticScanYesOrNo", ""),
        "0");
    EXPECT_EQ(form.cmbDays.listIndex, schedule::kOnDate) << "the stored mode comes back";
    EXPECT_EQ(form.chkAutomaticScanYesOrNo.value, 0) << "the box follows what is stored";
    EXPECT_FALSE(form.tmrScheduler.enabled);
}

TEST(ScheduledScan, StartsFromTheTickAndRemovesWhatItFoundWhenAskedTo) {
    test::FakeApplication fake;
    FakeMachine& m = fake.m;
    m.PutCompleteDefinitionSet();
    m.PutDefinitionFile("FileDefinition.dat", {"qmbad.exe=Bad|[progfil]Bad|Adware"});
    m.files.PutFile("C:\\Program Files\\Bad\\qmbad.exe", "MZ bad");
    m.settings.Write("Quillmarsh", settings::section::kSettings, "chkAutoDel", "1");
    m.settings.Write("Quillmarsh", settings::section::kOptions, "chkAutomaticScanYesOrNo", "1");
    m.settings.Write("Quillmarsh", settings::section::kOptions, "Day", "7");
    m.settings.Write("Quillmarsh", settings::section::kOptions, "Time", "8:46:00 PM");
    fake.app.Start();
    fake.form.SelectScanKind(ui::ScanKind::Smart);
    fake.app.TimerTick(fake.form.tmrScheduler);  // 8:46:21 PM by the fake clock
    EXPECT_TRUE(fake.app.LastRemoval().ran);
    EXPECT_FALSE(m.files.Has("C:\\Program Files\\Bad\\qmbad.exe"));
    EXPECT_TRUE(m.prompts.shown.empty()) << "nothing asked";
}

}  // namespace
}  // namespace qm::app
