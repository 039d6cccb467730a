// What surrounds a scan: the controls that could start a second one, the pointer and the
// background timers during it, and the completion stamps it leaves.

#include "ScanSessionFixture.h"

#include <gtest/gtest.h>

namespace qm::scan {
namespace {

using test::ScanSessionTest;
using test::Snapshot;
using ui::MessageAnswer;
using ui::ScanKind;

// ---- Controls, pointer and background timers around a scan --------------------------------

TEST_F(ScanSessionTest, ControlsThatCouldStartASecondScanAreDisabledThroughoutTheScan) {
    m.PutCompleteDefinitionSet();
    Select(ScanKind::FullSystem);
    const auto snaps = RecordDuringScan();
    ASSERT_GE(snaps.size(), 2u);
    for (const Snapshot& s : snaps) {
        EXPECT_FALSE(s.cmdScanNow);
        EXPECT_FALSE(s.cmdScan);
        EXPECT_FALSE(s.cmdResults);
        EXPECT_FALSE(s.cmdSettings);
        EXPECT_FALSE(s.cmdLog);
        EXPECT_FALSE(s.cmdUpdate);
        EXPECT_FALSE(s.cmdStatus);
        EXPECT_TRUE(s.scanPageVisible);
        EXPECT_EQ(s.pointer, ui::MousePointer::Hourglass);
    }
    // Pause and Stop are off while the definitions load and on during the drive walk.
    EXPECT_FALSE(snaps.front().cmdPause);
    EXPECT_FALSE(snaps.front().cmdStop);
    EXPECT_TRUE(snaps.back().cmdPause);
    EXPECT_TRUE(snaps.back().cmdStop);

    EXPECT_TRUE(form.cmdScanNow.enabled);
    EXPECT_TRUE(form.cmdScan.enabled);
    EXPECT_TRUE(form.cmdResults.enabled);
    EXPECT_TRUE(form.cmdSettings.enabled);
    EXPECT_TRUE(form.cmdLog.enabled);
    EXPECT_TRUE(form.cmdUpdate.enabled);
    EXPECT_TRUE(form.cmdStatus.enabled);
    EXPECT_TRUE(form.cmdRemove.enabled);
    EXPECT_FALSE(form.cmdPause.enabled);
    EXPECT_FALSE(form.cmdStop.enabled);
    EXPECT_EQ(form.mousePointer, ui::MousePointer::Default);
}

TEST_F(ScanSessionTest, SmartScanDisablesTheControlsToo) {
    m.PutCompleteDefinitionSet();
    m.PutDefinitionFile("Safety.dat", {"SDIR|Windows=x|[windir]", "SFILE|a=x|C:\\a.exe"});
    Select(ScanKind::Smart);
    const auto snaps = RecordDuringScan();
    ASSERT_FALSE(snaps.empty());
    for (const Snapshot& s : snaps) {
        EXPECT_FALSE(s.cmdScanNow);
        EXPECT_FALSE(s.cmdScan);
        EXPECT_TRUE(s.cmdStop);
        EXPECT_FALSE(s.tmrMemoryInspected);
    }
    EXPECT_TRUE(form.cmdScanNow.enabled);
}

TEST_F(ScanSessionTest, BackgroundTimersPauseDuringTheScanAndFollowTheSettingsAfterwards) {
    m.PutCompleteDefinitionSet();
    Select(ScanKind::FullSystem);
    form.tmrTimeOut.enabled = true;
    SetOption("chkAutomaticScanYesOrNo", "1");
    SetOption("optIEHomePageSheildOn", "False");
    SetOption("optMemorySheildOn", "True");
    const auto snaps = RecordDuringScan();
    ASSERT_FALSE(snaps.empty());
    for (const Snapshot& s : snaps) {
        EXPECT_FALSE(s.tmrMemoryInspected);
        EXPECT_FALSE(s.tmrCheckHomePage);
        EXPECT_FALSE(s.tmrScheduler);
        EXPECT_FALSE(s.tmrTimeOut);
    }
    EXPECT_TRUE(form.tmrScheduler.enabled);
    EXPECT_FALSE(form.tmrCheckHomePage.enabled);
    EXPECT_TRUE(form.tmrMemoryInspected.enabled);
    EXPECT_FALSE(form.tmrTimeOut.enabled);  // not restarted
    EXPECT_EQ(form.tmrMemoryInspected.interval, 2000);
    EXPECT_EQ(form.tmrCheckHomePage.interval, 5000);
}

TEST_F(ScanSessionTest, BackgroundTimersWithDefaultSettingsAfterAScan) {
    m.PutCompleteDefinitionSet();
    Select(ScanKind::Smart);
    SetOption("optMemorySheildOn", "False");
    app.StartScan();
    EXPECT_FALSE(form.tmrScheduler.enabled);  // automatic scans default to off
    EXPECT_TRUE(form.tmrCheckHomePage.enabled);
    EXPECT_FALSE(form.tmrMemoryInspected.enabled);
}

// ---- Completion stamps ------------------------------------------------------------------------

TEST_F(ScanSessionTest, FinishTimeIsStoredAsTheLastScanOnly) {
    m.PutCompleteDefinitionSet();
    Select(ScanKind::FullSystem);
    m.clock.now = "1/2/2027 3:04:05 PM";
    m.pump.onEvents = [&](long long) { m.clock.now = "1/2/2027 3:10:00 PM"; };
    app.StartScan();
    EXPECT_EQ(session.StartTime(), "1/2/2027 3:04:05 PM");
    EXPECT_EQ(session.FinishTime(), "1/2/2027 3:10:00 PM");
    EXPECT_EQ(Stored("Settings", "lblLastScan"), "1/2/2027 3:10:00 PM");
    EXPECT_EQ(Stored("Settings", "lblLastFullScan"), "<unset>");
    EXPECT_EQ(form.lblLastScan.caption, "1/2/2027 3:10:00 PM");
    EXPECT_EQ(form.lblLastFullScan.caption, "Never");
}

TEST_F(ScanSessionTest, CompleteSystemScanOptionStoresTheLastFullScanToo) {
    m.PutCompleteDefinitionSet();
    Select(ScanKind::Smart);
    form.optScanAllSelectedHardDrive.value = true;
    form.optScanOnlyKnownSoftwares.value = false;
    m.clock.now = "3/3/2027 9:00:00 AM";
    app.StartScan();
    EXPECT_EQ(Stored("Settings", "lblLastScan"), "3/3/2027 9:00:00 AM");
    EXPECT_EQ(Stored("Settings", "lblLastFullScan"), "3/3/2027 9:00:00 AM");
    EXPECT_EQ(form.lblLastFullScan.caption, "3/3/2027 9:00:00 AM");
}

TEST_F(ScanSessionTest, CancelledScanIsStampedToo) {
    m.PutCompleteDefinitionSet();
    Select(ScanKind::FullSystem);
    m.clock.now = "4/4/2027 4:04:04 AM";
    m.prompts.answers = {MessageAnswer::Yes};
    m.pump.onEvents = [&](long long call) {
        if (call == 1) session.StopScan();
    };
    app.StartScan();
    ASSERT_EQ(form.lblStatus.caption, "Scanning was cancelled.");
    EXPECT_EQ(Stored("Settings", "lblLastScan"), "4/4/2027 4:04:04 AM");
}

}  // namespace
}  // namespace qm::scan
