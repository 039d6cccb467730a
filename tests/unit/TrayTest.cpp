// The tray on the fake machine: minimising to it, the icon's mouse messages, the menu's rise,
// its six idle seconds and the pointer that keeps it, and "Exit Program" off during work.

#include <gtest/gtest.h>

#include "support/FakeApplication.h"

namespace qm::app {
namespace {

class TrayTest : public ::testing::Test {
  protected:
    void SetUp() override { m.PutCompleteDefinitionSet(); }
    // Ticks `timer` until it stops, at most `limit` times; how many it took.
    int TickWhileEnabled(ui::Timer& timer, int limit = 1000) {
        int ticks = 0;
        while (timer.enabled && ticks < limit) {
            app.TimerTick(timer);
            ++ticks;
        }
        return ticks;
    }

    test::FakeApplication fake;
    test::FakeMachine& m = fake.m;
    ui::FrmMain& form = fake.form;
    Application& app = fake.app;
    ui::FrmMenuPopUp& menu = form.frmMenuPopUp;
};

TEST_F(TrayTest, MinimisingLeavesTheIconAndItsClicksOpenTheMenuOrRestoreTheWindow) {
    app.Start();
    app.MinimizeToTray();
    EXPECT_TRUE(form.inTray);
    EXPECT_TRUE(form.trayIcon.bRunningInTray);
    EXPECT_EQ(form.trayIcon.tip, "Quillmarsh");
    EXPECT_EQ(m.settings.Read("Quillmarsh", settings::section::kSettings, "Minimized", ""), "Yes");

    for (const int press : {513, 516}) {  // left or right button down
        menu.Unload();
        app.TrayIconMouse(press);
        EXPECT_TRUE(menu.visible) << press;
        EXPECT_TRUE(menu.mnuClose.enabled);
    }
    // Up from the taskbar's line (768 × 14.5 on the assumed screen) to its target.
    EXPECT_EQ(menu.top, 11136);
    TickWhileEnabled(menu.tmrMenuPopup);
    EXPECT_LE(menu.top, menu.targetTop);
    ASSERT_TRUE(menu.TmrEnablePopDown.enabled);
    // Movement keeps it; six seconds without drop it.
    for (int second = 0; second < 5; ++second)
        app.TimerTick(menu.TmrEnablePopDown);
    app.TrayMenuPointerMoved();
    for (int second = 0; second < 5; ++second)
        app.TimerTick(menu.TmrEnablePopDown);
    EXPECT_TRUE(menu.TmrEnablePopDown.enabled) << "the pointer moved four seconds ago";
    app.TimerTick(menu.TmrEnablePopDown);
    EXPECT_TRUE(menu.tmrPopDown.enabled);
    TickWhileEnabled(menu.tmrPopDown);
    EXPECT_FALSE(menu.visible);

    app.TrayIconMouse(518);  // right double click
    EXPECT_FALSE(form.inTray);
    EXPECT_EQ(form.windowState, ui::WindowState::Normal);
}

TEST_F(TrayTest, AStartInTheTrayShowsOnlyTheIconAndExitIsOffWhileAScanRuns) {
    m.settings.Write("Quillmarsh", settings::section::kSettings, "Minimized", "Yes");
    app.Start();
    EXPECT_TRUE(form.inTray);
    bool exitOffDuringScan = false;
    m.pump.onEvents = [&](long long) {
        app.TrayIconMouse(513);
        exitOffDuringScan = !menu.mnuClose.enabled;
    };
    app.RunScan(false);
    EXPECT_TRUE(exitOffDuringScan);
}

}  // namespace
}  // namespace qm::app
