// The background timers (the two shields, the schedule and the automatic update) on the fake
// machine: a tick that arrives while the program starts, while a message box is open or while
// long work runs does nothing; the same tick afterwards does its work.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "support/FakeApplication.h"

namespace qm::app {
namespace {

struct TimerCase {
    const char* name;
    ui::Timer ui::FrmMain::*timer;
    // How much of its work the timer has done so far, as the fake machine shows it.
    std::function<long long(test::FakeMachine&)> work;
};

class TimerGuard : public ::testing::TestWithParam<TimerCase> {
  protected:
    void SetUp() override {
        m.PutCompleteDefinitionSet();
        const auto set = [&](const char* key, const char* value) {
            m.settings.Write("Quillmarsh", settings::section::kOptions, key, value);
        };
        // A daily schedule due at the fake clock's moment, and automatic update on.
        set("chkAutomaticScanYesOrNo", "1");
        set("Day", "7");
        set("Time", "8:46:21 PM");
        set("chkAutomaticUpdate", "1");
        m.processes.running = {{10, "idle.exe", "C:\\idle.exe"}};
    }
    ui::Timer& Timer() { return form.*GetParam().timer; }
    long long Work() { return GetParam().work(m); }
    // One tick, as the window hands it on, with its timer running.
    void Tick() {
        Timer().enabled = true;
        app.TimerTick(Timer());
    }
    // The automatic update waits for 300 idle seconds; its next tick is the one that acts.
    void ReadyUpdate() {
        if (&Timer() != &form.timUpdate) return;
        for (int i = 0; i < 300; ++i)
            Tick();
    }

    test::FakeApplication fake;
    test::FakeMachine& m = fake.m;
    ui::FrmMain& form = fake.form;
    Application& app = fake.app;
};

TEST_P(TimerGuard, NoTickActsDuringStartUpAMessageBoxOrLongWork) {
    long long during = -1;
    // While start-up loads the definitions and the settings.
    m.pump.onEvents = [&](long long) {
        if (during >= 0) return;
        during = Work();
        Tick();
        during = Work() - during;
    };
    ASSERT_TRUE(app.Start());
    EXPECT_EQ(during, 0) << "during start-up";
    m.pump.onEvents = nullptr;
    ReadyUpdate();

    // Inside a message box: "Apply" of a dated schedule without a date.
    form.cmbDays.listIndex = schedule::kOnDate;
    form.dtpScheduleDate.value.clear();
    m.prompts.whileShowing = [&] {
        const long long before = Work();
        Tick();
        during = Work() - before;
    };
    app.ApplySchedule();
    ASSERT_FALSE(m.prompts.shown.empty());
    EXPECT_EQ(during, 0) << "inside a message box";
    m.prompts.whileShowing = nullptr;

    // During a scan's events.
    during = -1;
    m.pump.onEvents = [&](long long) {
        if (during >= 0) return;
        during = Work();
        Tick();
        during = Work() - during;
    };
    app.RunScan(false);
    EXPECT_EQ(during, 0) << "during a scan";
    m.pump.onEvents = nullptr;

    // Nothing holds the program: the tick does its work.
    form.cmdScanNow.enabled = true;
    const long long before = Work();
    Tick();
    EXPECT_GT(Work(), before);
}

INSTANTIATE_TEST_SUITE_P(
    EachBackgroundTimer, TimerGuard,
    ::testing::Values(
        TimerCase{"MemoryShield", &ui::FrmMain::tmrMemoryInspected,
                  [](test::FakeMachine& m) { return static_cast<long long>(m.processes.lists); }},
        TimerCase{"HomePageShield", &ui::FrmMain::tmrCheckHomePage,
                  [](test::FakeMachine& m) { return static_cast<long long>(m.registry.opens); }},
        TimerCase{"Scheduler", &ui::FrmMain::tmrScheduler,
                  [](test::FakeMachine& m) {
                      return static_cast<long long>(m.settings
                                                        .Read("Quillmarsh",
                                                              settings::section::kOptions,
                                                              "LastScheduledScan", "")
                                                        .size());
                  }},
        TimerCase{
            "AutomaticUpdate", &ui::FrmMain::timUpdate,
            [](test::FakeMachine& m) { return static_cast<long long>(m.http.asked.size()); }}),
    [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace qm::app
