// One scan from Start to the final status line, on the fake machine: the outcome of each scan
// kind, missing definition files, Stop and Pause arriving through the event pump, the throttled
// screen refresh, the switched-off phases, the controls and background timers around a scan,
// the completion stamps, the status page and Select All.

#include "scan/ScanSession.h"

#include <gtest/gtest.h>

#include <utility>

#include "support/FakeApplication.h"
#include "support/FakePlatform.h"

namespace qm::scan {
namespace {

using test::FakeMachine;
using ui::MessageAnswer;
using ui::MessageButtons;
using ui::MessageIcon;
using ui::ScanKind;

constexpr const char* kProduct = "Quillmarsh";

// What the screen looked like at one moment inside a scan.
struct Snapshot {
    bool cmdResults, cmdSettings, cmdScanNow, cmdScan, cmdLog, cmdUpdate, cmdStatus;
    bool cmdPause, cmdStop;
    bool tmrMemoryInspected, tmrCheckHomePage, tmrScheduler, tmrTimeOut;
    bool scanPageVisible;
    ui::MousePointer pointer;
};

class ScanSessionTest : public ::testing::Test {
  protected:
    test::FakeApplication fake;
    FakeMachine& m = fake.m;
    ui::FrmMain& form = fake.form;
    scan::ScanSession& session = fake.session;
    app::Application& app = fake.app;

    void SetUp() override { form.lvwHardDrives.Add("C").checked = true; }

    void SetOption(const std::string& key, const std::string& value) {
        m.settings.Write(kProduct, "OptionAndSettings", key, value);
    }
    std::string Stored(const std::string& section, const std::string& key) {
        return m.settings.Read(kProduct, section, key, "<unset>");
    }
    std::string DataPath(const std::string& name) const {
        return std::string(FakeMachine::kDataFolder) + "\\" + name;
    }
    // Selects the kind; File and Folder Scans get a chosen file or folder.
    void Select(ScanKind kind) {
        form.SelectScanKind(kind);
        m.pickers.file = "C:\\Downloads\\setup.exe";
        m.pickers.folder = "C:\\Downloads";
    }
    Snapshot Snap() const {
        return Snapshot{form.cmdResults.enabled,
                        form.cmdSettings.enabled,
                        form.cmdScanNow.enabled,
                        form.cmdScan.enabled,
                        form.cmdLog.enabled,
                        form.cmdUpdate.enabled,
                        form.cmdStatus.enabled,
                        form.cmdPause.enabled,
                        form.cmdStop.enabled,
                        form.tmrMemoryInspected.enabled,
                        form.tmrCheckHomePage.enabled,
                        form.tmrScheduler.enabled,
                        form.tmrTimeOut.enabled,
                        form.frmScan.visible,
                        form.mousePointer};
    }
    // Records the screen at every event pause of the scan.
    std::vector<Snapshot> RecordDuringScan() {
        std::vector<Snapshot> snaps;
        m.pump.onEvents = [&](long long) { snaps.push_back(Snap()); };
        app.StartScan();
        m.pump.onEvents = nullptr;
        return snaps;
    }
    void PutFileDefinitions(int count) {
        std::vector<std::string> lines;
        for (int i = 0; i < count; ++i) {
            lines.push_back("f" + std::to_string(i) + ".exe=Threat " + std::to_string(i) +
                            "|[progfil]Vendor|Adware");
        }
        m.PutDefinitionFile("FileDefinition.dat", lines);
    }
};

const char* KindName(ScanKind kind) {
    switch (kind) {
        case ScanKind::Smart:
            return "Smart";
        case ScanKind::FullSystem:
            return "FullSystem";
        case ScanKind::File:
            return "File";
        case ScanKind::Folder:
            return "Folder";
    }
    return "?";
}

std::string KindParamName(const ::testing::TestParamInfo<ScanKind>& p) {
    return KindName(p.param);
}

// ---- Outcome of each kind ---------------------------------------------------------------------

class EachScanKind : public ScanSessionTest, public ::testing::WithParamInterface<ScanKind> {};

TEST_P(EachScanKind, CompleteDefinitionSetEndsWithScanningComplete) {
    m.PutCompleteDefinitionSet();
    Select(GetParam());
    app.StartScan();
    EXPECT_EQ(form.lblStatus.caption, "Scanning complete.");
    EXPECT_EQ(form.pb1.value, 100);
    EXPECT_EQ(form.pb2.value, 100);
    EXPECT_TRUE(m.prompts.shown.empty());
    EXPECT_FALSE(session.Scanning());
    EXPECT_FALSE(session.StopRequested());
    EXPECT_TRUE(m.files.Has(DataPath("FileDefinition.dat")));
}

TEST_P(EachScanKind, MissingCookieFileShowsTheMissingBoxReportsNothingAndEndsCompleted) {
    m.PutCompleteDefinitionSet();
    m.files.DeleteFile(DataPath("BlockedCookies.dat"));
    Select(GetParam());
    app.StartScan();

    ASSERT_EQ(m.prompts.shown.size(), 1u);
    const auto& box = m.prompts.shown[0];
    EXPECT_EQ(box.text,
              "Definition files are missing or they have been corrupted. Please run Live Update.");
    EXPECT_EQ(box.title, kProduct);
    EXPECT_EQ(box.icon, MessageIcon::Information);
    EXPECT_EQ(box.buttons, MessageButtons::Ok);

    EXPECT_TRUE(form.lvwSpywareFound.rows.empty());
    EXPECT_TRUE(form.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.rows.empty());
    EXPECT_EQ(session.Counters().itemsFound, 0);
    EXPECT_EQ(form.lblSoftwareFound.caption, "0");
    EXPECT_EQ(form.lblStatus.caption, "Scanning complete.");
    // The incomplete set is deleted so that the next step is a full update.
    EXPECT_FALSE(m.files.Has(DataPath("FileDefinition.dat")));
    EXPECT_FALSE(m.files.Has(DataPath("ExeDefinition.dat")));
}

INSTANTIATE_TEST_SUITE_P(Kinds, EachScanKind,
                         ::testing::Values(ScanKind::Smart, ScanKind::FullSystem, ScanKind::File,
                                           ScanKind::Folder),
                         KindParamName);

// ---- File and Folder Scans --------------------------------------------------------------------

class PickerCancelled : public ScanSessionTest, public ::testing::WithParamInterface<ScanKind> {};

TEST_P(PickerCancelled, NothingIsScannedAndTheScanEndsCompleted) {
    m.PutCompleteDefinitionSet();
    form.SelectScanKind(GetParam());
    app.StartScan();
    EXPECT_EQ(form.lblStatus.caption, "Scanning complete.");
    EXPECT_FALSE(app.Store().Definitions().Loaded());
    EXPECT_TRUE(m.prompts.shown.empty());
}

TEST_P(PickerCancelled, IncompleteSetIsNeitherReportedNorDeleted) {
    // Without a chosen item the kind's driver never runs, so neither does its file check.
    m.PutCompleteDefinitionSet();
    m.files.DeleteFile(DataPath("BlockedCookies.dat"));
    form.SelectScanKind(GetParam());
    app.StartScan();
    EXPECT_TRUE(m.prompts.shown.empty());
    EXPECT_TRUE(m.files.Has(DataPath("FileDefinition.dat")));
    EXPECT_EQ(form.lblStatus.caption, "Scanning complete.");
}

INSTANTIATE_TEST_SUITE_P(Kinds, PickerCancelled,
                         ::testing::Values(ScanKind::File, ScanKind::Folder), KindParamName);

TEST_F(ScanSessionTest, FolderScanShowsTheChosenFolderWithOneTrailingBackslash) {
    m.PutCompleteDefinitionSet();
    form.SelectScanKind(ScanKind::Folder);
    m.pickers.folder = "C:\\Data";
    app.StartScan();
    EXPECT_EQ(form.lblPercentageCompleted.caption, "Scanning C:\\Data\\...");
    EXPECT_TRUE(app.Store().Definitions().Loaded());

    m.pickers.folder = "D:\\Other\\";
    app.StartScan();
    EXPECT_EQ(form.lblPercentageCompleted.caption, "Scanning D:\\Other\\...");
}

TEST_F(ScanSessionTest, FileScanShowsTheChosenFile) {
    m.PutCompleteDefinitionSet();
    form.SelectScanKind(ScanKind::File);
    m.pickers.file = "C:\\Downloads\\setup.exe";
    app.StartScan();
    EXPECT_EQ(form.lblPercentageCompleted.caption, "Scanning C:\\Downloads\\setup.exe...");
    EXPECT_TRUE(app.Store().Definitions().Loaded());
}

TEST_F(ScanSessionTest, SmartScanDoesNotLoadTheInMemoryDefinitions) {
    m.PutCompleteDefinitionSet();
    Select(ScanKind::Smart);
    app.StartScan();
    EXPECT_FALSE(app.Store().Definitions().Loaded());
}

// ---- Stop ------------------------------------------------------------------------------------

TEST_F(ScanSessionTest, StopConfirmedWhileDefinitionsLoadCancelsTheScan) {
    m.PutCompleteDefinitionSet();
    PutFileDefinitions(300);
    Select(ScanKind::FullSystem);
    m.prompts.answers = {MessageAnswer::Yes};
    m.pump.onEvents = [&](long long call) {
        if (call == 40) session.StopScan(true);
    };
    app.StartScan();

    ASSERT_EQ(m.prompts.shown.size(), 1u);
    EXPECT_EQ(m.prompts.shown[0].text, "Are you sure?");
    EXPECT_EQ(form.lblStatus.caption, "Scanning was cancelled.");
    EXPECT_EQ(form.lblPercentageCompleted.caption, "0% Completed.");
    EXPECT_EQ(form.pbgMain.value, 0);
    EXPECT_TRUE(session.StopRequested());
    // A load stopped part-way is not kept as the definition set.
    EXPECT_FALSE(app.Store().Definitions().Loaded());
    EXPECT_TRUE(app.Store().Definitions().FileTable().empty());

    // The next scan of the same run loads the whole set and checks against all of it.
    m.pump.onEvents = nullptr;
    app.StartScan();
    EXPECT_EQ(form.lblStatus.caption, "Scanning complete.");
    EXPECT_FALSE(session.StopRequested());
    EXPECT_TRUE(app.Store().Definitions().Loaded());
    EXPECT_EQ(app.Store().Definitions().FileTable().size(), 300u);
}

TEST_F(ScanSessionTest, StopAnsweredNoChangesNothing) {
    m.PutCompleteDefinitionSet();
    PutFileDefinitions(100);
    Select(ScanKind::FullSystem);
    m.prompts.answers = {MessageAnswer::No};
    m.pump.onEvents = [&](long long call) {
        if (call == 10) session.StopScan();
    };
    app.StartScan();

    ASSERT_EQ(m.prompts.shown.size(), 1u);
    EXPECT_EQ(m.prompts.shown[0].text, "Are you sure you want to stop the scan?");
    EXPECT_FALSE(session.StopRequested());
    EXPECT_EQ(form.lblStatus.caption, "Scanning complete.");
    EXPECT_EQ(app.Store().Definitions().FileTable().size(), 100u);
}

struct StopCase {
    bool fromLabel;
    const char* question;
};

void PrintTo(const StopCase& c, std::ostream* os) {
    *os << (c.fromLabel ? "lblStop" : "cmdStop");
}

class StopQuestion : public ScanSessionTest, public ::testing::WithParamInterface<StopCase> {};

TEST_P(StopQuestion, AsksYesOrNoAndYesSetsTheStopFlag) {
    form.mousePointer = ui::MousePointer::Hourglass;
    m.prompts.answers = {MessageAnswer::Yes};
    session.StopScan(GetParam().fromLabel);
    ASSERT_EQ(m.prompts.shown.size(), 1u);
    const auto& box = m.prompts.shown[0];
    EXPECT_EQ(box.text, GetParam().question);
    EXPECT_EQ(box.title, kProduct);
    EXPECT_EQ(box.buttons, MessageButtons::YesNo);
    EXPECT_EQ(box.icon, MessageIcon::Question);
    EXPECT_TRUE(session.StopRequested());
    EXPECT_EQ(form.mousePointer, ui::MousePointer::Default);
}

TEST_P(StopQuestion, NoLeavesTheFlagAndThePointer) {
    form.mousePointer = ui::MousePointer::Hourglass;
    m.prompts.answers = {MessageAnswer::No};
    session.StopScan(GetParam().fromLabel);
    EXPECT_FALSE(session.StopRequested());
    EXPECT_EQ(form.mousePointer, ui::MousePointer::Hourglass);
}

INSTANTIATE_TEST_SUITE_P(Buttons, StopQuestion,
                         ::testing::Values(StopCase{false,
                                                    "Are you sure you want to stop the scan?"},
                                           StopCase{true, "Are you sure?"}));

// ---- Pause -----------------------------------------------------------------------------------

TEST_F(ScanSessionTest, PauseShowsTheProductNameAndDisablesPauseAndStopWhileOpen) {
    form.cmdPause.enabled = true;
    form.cmdStop.enabled = true;
    bool pauseWhileOpen = true, stopWhileOpen = true;
    m.prompts.whileShowing = [&] {
        pauseWhileOpen = form.cmdPause.enabled;
        stopWhileOpen = form.cmdStop.enabled;
    };
    session.PauseScan();
    ASSERT_EQ(m.prompts.shown.size(), 1u);
    EXPECT_EQ(m.prompts.shown[0].text, "Quillmarsh has been paused.  Click OK to resume.");
    EXPECT_EQ(m.prompts.shown[0].title, kProduct);
    EXPECT_EQ(m.prompts.shown[0].buttons, MessageButtons::Ok);
    EXPECT_FALSE(pauseWhileOpen);
    EXPECT_FALSE(stopWhileOpen);
    EXPECT_TRUE(form.cmdPause.enabled);
    EXPECT_TRUE(form.cmdStop.enabled);
}

TEST_F(ScanSessionTest, PauseDuringAScanHoldsItAndTheScanCompletesAfterOk) {
    m.PutCompleteDefinitionSet();
    Select(ScanKind::FullSystem);
    bool paused = false;
    bool enabledAfterPause = false;
    std::vector<bool> whileOpen;
    m.prompts.whileShowing = [&] {
        whileOpen.push_back(form.cmdPause.enabled);
        whileOpen.push_back(form.cmdStop.enabled);
        whileOpen.push_back(session.Scanning());
    };
    m.pump.onEvents = [&](long long) {
        if (!paused && form.cmdPause.enabled) {  // the drive walk: Pause is clickable
            paused = true;
            session.PauseScan();
            enabledAfterPause = form.cmdPause.enabled && form.cmdStop.enabled;
        }
    };
    app.StartScan();
    ASSERT_TRUE(paused);
    EXPECT_EQ(whileOpen, (std::vector<bool>{false, false, true}));
    EXPECT_TRUE(enabledAfterPause);
    EXPECT_EQ(form.lblStatus.caption, "Scanning complete.");
    EXPECT_FALSE(form.cmdPause.enabled);
}

// ---- Throttled progress -----------------------------------------------------------------------

class Progress : public ScanSessionTest {
  protected:
    void SetUp() override {
        ScanSessionTest::SetUp();
        auto& c = session.MutableCounters();
        c.processesInspected = 3;
        c.registryInspected = 5;
        c.filesInspected = 7;
        c.itemsFound = 2;
        for (ui::Label* l :
             {&form.lblMemoryInspected, &form.lblRegistryInspected, &form.lblFilesFolderInspected,
              &form.lblSoftwareFound, &form.lblRemovePicSoftwareFound, &form.lblStatus}) {
            l->caption = "untouched";
        }
        form.pb1.Set(10);
        form.pb2.Set(20);
    }
    void ExpectUntouched() {
        EXPECT_EQ(form.lblMemoryInspected.caption, "untouched");
        EXPECT_EQ(form.lblRegistryInspected.caption, "untouched");
        EXPECT_EQ(form.lblFilesFolderInspected.caption, "untouched");
        EXPECT_EQ(form.lblSoftwareFound.caption, "untouched");
        EXPECT_EQ(form.lblRemovePicSoftwareFound.caption, "untouched");
        EXPECT_EQ(form.lblStatus.caption, "untouched");
        EXPECT_EQ(form.pb1.value, 10);
        EXPECT_EQ(form.pb2.value, 20);
    }
};

TEST_F(Progress, TwentyFourCallsChangeNothingAndTheTwentyFifthRefreshesEverything) {
    for (int i = 0; i < 24; ++i)
        session.ProgressUpdate("Scanning essex.exe", 50, 60);
    ExpectUntouched();

    session.ProgressUpdate("Scanning essex.exe", 50, 60);
    EXPECT_EQ(form.lblMemoryInspected.caption, "3");
    EXPECT_EQ(form.lblRegistryInspected.caption, "5");
    EXPECT_EQ(form.lblFilesFolderInspected.caption, "7");
    EXPECT_EQ(form.lblSoftwareFound.caption, "2");
    EXPECT_EQ(form.lblRemovePicSoftwareFound.caption, "2");
    EXPECT_EQ(form.lblStatus.caption, "Scanning es.exe");  // through the word filter
    EXPECT_EQ(form.pb1.value, 50);
    EXPECT_EQ(form.pb2.value, 60);
}

TEST_F(Progress, CountStartsAgainAfterARefresh) {
    for (int i = 0; i < 25; ++i)
        session.ProgressUpdate("first", 50, 60);
    ASSERT_EQ(form.lblStatus.caption, "first");
    session.MutableCounters().filesInspected = 99;
    for (int i = 0; i < 24; ++i)
        session.ProgressUpdate("second", 70, 80);
    EXPECT_EQ(form.lblStatus.caption, "first");
    EXPECT_EQ(form.lblFilesFolderInspected.caption, "7");
    session.ProgressUpdate("second", 70, 80);
    EXPECT_EQ(form.lblStatus.caption, "second");
    EXPECT_EQ(form.lblFilesFolderInspected.caption, "99");
    EXPECT_EQ(form.pb1.value, 70);
}

TEST_F(Progress, NegativePercentageLeavesItsBarUnchanged) {
    for (int i = 0; i < 25; ++i)
        session.ProgressUpdate("a", -1, 40);
    EXPECT_EQ(form.pb1.value, 10);
    EXPECT_EQ(form.pb2.value, 40);
    for (int i = 0; i < 25; ++i)
        session.ProgressUpdate("b", 30, -5);
    EXPECT_EQ(form.pb1.value, 30);
    EXPECT_EQ(form.pb2.value, 40);
    EXPECT_EQ(form.lblStatus.caption, "b");
}

TEST_F(Progress, ImmediateUpdateRefreshesAtOnceWithoutTouchingTheCount) {
    for (int i = 0; i < 24; ++i)
        session.ProgressUpdate("throttled", 50, 60);
    session.ProgressUpdateNow("Loading definitions, please wait...", 0, 0);
    EXPECT_EQ(form.lblStatus.caption, "Loading definitions, please wait...");
    EXPECT_EQ(form.lblSoftwareFound.caption, "2");
    EXPECT_EQ(form.pb1.value, 0);
    EXPECT_EQ(form.pb2.value, 0);
    // The throttle still stood at 24: the next call is the 25th.
    session.ProgressUpdate("25th", 50, 60);
    EXPECT_EQ(form.lblStatus.caption, "25th");
}

TEST_F(Progress, CounterUpdateWritesOnlyTheCountersAndRestartsTheCount) {
    for (int i = 0; i < 24; ++i)
        session.ProgressUpdate("throttled", 50, 60);
    session.CounterUpdate();
    EXPECT_EQ(form.lblFilesFolderInspected.caption, "7");
    EXPECT_EQ(form.lblRemovePicSoftwareFound.caption, "2");
    EXPECT_EQ(form.lblStatus.caption, "untouched");
    EXPECT_EQ(form.pb1.value, 10);
    for (int i = 0; i < 24; ++i)
        session.ProgressUpdate("again", 50, 60);
    EXPECT_EQ(form.lblStatus.caption, "untouched");
    session.ProgressUpdate("again", 50, 60);
    EXPECT_EQ(form.lblStatus.caption, "again");
}

// ---- Switched-off phases ----------------------------------------------------------------------

struct PhaseSwitchCase {
    ScanKind kind;
    const char* key;
    const char* value;
    bool registryLabel;  // which label shows the switch: registry or memory
    const char* expected;
};

void PrintTo(const PhaseSwitchCase& c, std::ostream* os) {
    *os << KindName(c.kind) << " " << c.key << "=" << c.value;
}

class PhaseSwitch : public ScanSessionTest,
                    public ::testing::WithParamInterface<PhaseSwitchCase> {};

TEST_P(PhaseSwitch, SwitchedOffPhaseShowsNotSelected) {
    const auto& c = GetParam();
    m.PutCompleteDefinitionSet();
    Select(c.kind);
    SetOption(c.key, c.value);
    app.StartScan();
    const std::string& shown =
        c.registryLabel ? form.lblRegistryInspected.caption : form.lblMemoryInspected.caption;
    EXPECT_EQ(shown, c.expected);
    EXPECT_EQ(form.lblStatus.caption, "Scanning complete.");
}

INSTANTIATE_TEST_SUITE_P(
    Settings, PhaseSwitch,
    ::testing::Values(
        PhaseSwitchCase{ScanKind::Smart, "chkScanRegistry", "False", true, "Not Selected"},
        PhaseSwitchCase{ScanKind::Smart, "chkScanRegistry", "0", true, "Not Selected"},
        PhaseSwitchCase{ScanKind::FullSystem, "chkScanRegistry", "False", true, "Not Selected"},
        PhaseSwitchCase{ScanKind::FullSystem, "chkScanRegistry", "0", true, "Not Selected"},
        // The complete set holds one registry definition: checked when the phase runs.
        PhaseSwitchCase{ScanKind::Smart, "chkScanRegistry", "True", true, "1"},
        PhaseSwitchCase{ScanKind::Smart, "chkScanRegistry", "1", true, "1"},
        PhaseSwitchCase{ScanKind::Smart, "chkSweepMemory", "False", false, "Not Selected"},
        PhaseSwitchCase{ScanKind::FullSystem, "chkSweepMemory", "0", false, "Not Selected"},
        PhaseSwitchCase{ScanKind::Smart, "chkSweepMemory", "True", false, "0"},
        PhaseSwitchCase{ScanKind::Smart, "unrelatedKey", "False", true, "1"}));

TEST_F(ScanSessionTest, SwitchedOffPhaseIsSelectedAgainOnTheNextScan) {
    m.PutCompleteDefinitionSet();
    Select(ScanKind::Smart);
    SetOption("chkScanRegistry", "False");
    app.StartScan();
    ASSERT_EQ(form.lblRegistryInspected.caption, "Not Selected");
    SetOption("chkScanRegistry", "True");
    app.StartScan();
    EXPECT_EQ(form.lblRegistryInspected.caption, "1");
}

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

// ---- Lists, counters and the end of a scan ----------------------------------------------------

TEST_F(ScanSessionTest, ScanStartsFromEmptyListsAndZeroCounters) {
    m.PutCompleteDefinitionSet();
    Select(ScanKind::Smart);
    for (ui::ListView* list :
         {&form.lvwSpywareFound, &form.lvwPicRemoveListOfSpywareFoundAndToBeRemoved,
          &form.lvwFilesToBeDeleted, &form.lvwFileNotFounds, &form.lvwRegistryToBeDeleted,
          &form.lvwCookiesToDelete}) {
        list->Add("left over");
    }
    session.MutableCounters().itemsFound = 12;
    session.MutableCounters().filesInspected = 40;
    form.lbltracesFound.caption = "12";
    form.lblTotalNoOfRunningItems.caption = "9";
    app.StartScan();
    for (const ui::ListView* list :
         {&form.lvwSpywareFound, &form.lvwPicRemoveListOfSpywareFoundAndToBeRemoved,
          &form.lvwFilesToBeDeleted, &form.lvwFileNotFounds, &form.lvwRegistryToBeDeleted,
          &form.lvwCookiesToDelete}) {
        EXPECT_TRUE(list->rows.empty());
    }
    EXPECT_EQ(session.Counters().itemsFound, 0);
    EXPECT_EQ(form.lblSoftwareFound.caption, "0");
    // This scan's own file and folder signatures only (one of each), not the 40 from before.
    EXPECT_EQ(form.lblFilesFolderInspected.caption, "2");
    EXPECT_EQ(form.lbltracesFound.caption, "0");
    EXPECT_EQ(form.lblTotalNoOfRunningItems.caption, "0");
}

TEST_F(ScanSessionTest, ResultsGetTheirRiskAndDetailsAtTheEndOfTheScan) {
    m.PutCompleteDefinitionSet();
    Select(ScanKind::FullSystem);
    m.pump.onEvents = [&](long long) {
        auto& results = form.lvwPicRemoveListOfSpywareFoundAndToBeRemoved;
        if (!results.rows.empty()) return;
        auto& row = results.Add("tracker", ui::detection::kCookie);
        row.SetSubItem(1, "C:\\cookies\\user@tracker[1].txt");
        row.SetSubItem(2, "Tracking Cookie");
    };
    app.StartScan();
    const auto& rows = form.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.rows;
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].SubItem(3), "Low");
    EXPECT_EQ(rows[0].SubItem(4), "Not malicious but can be a privacy concern");
}

TEST_F(ScanSessionTest, OnlyACompletedScheduledScanRemovesByItself) {
    m.PutCompleteDefinitionSet();
    Select(ScanKind::FullSystem);
    m.settings.Write(kProduct, "Settings", "chkAutoDel", "1");
    const auto findSomething = [&](long long) {
        auto& results = form.lvwPicRemoveListOfSpywareFoundAndToBeRemoved;
        if (results.rows.empty()) results.Add("Bad Thing", ui::detection::kFile);
    };
    m.pump.onEvents = findSomething;
    // A scan started by the user does not remove anything by itself.
    app.RunScan(false);
    EXPECT_FALSE(app.LastRemoval().ran);
    EXPECT_FALSE(form.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.rows.at(0).checked);
    // Nor does a scheduled one that was stopped.
    m.prompts.answers = {MessageAnswer::Yes};
    bool stopped = false;
    m.pump.onEvents = [&](long long) {
        if (!std::exchange(stopped, true)) session.StopScan(true);
    };
    app.RunScan(true);
    EXPECT_EQ(form.lblStatus.caption, "Scanning was cancelled.");
    EXPECT_FALSE(app.LastRemoval().ran);
    // A scheduled scan that ran to its end does, without asking.
    m.pump.onEvents = findSomething;
    m.prompts.shown.clear();
    app.RunScan(true);
    EXPECT_TRUE(app.LastRemoval().ran);
    EXPECT_TRUE(m.prompts.shown.empty());
    EXPECT_TRUE(form.frmResults.visible);
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

// ---- Status page ------------------------------------------------------------------------------

TEST_F(ScanSessionTest, StatusPageShowsCountsVersionDateAndStamps) {
    m.PutCompleteDefinitionSet();
    m.files.PutFile(DataPath("date.dat"), "5/1/2026 10:00:00 AM\r\n");
    app.Store().SetCounts(defs::SignatureCounts{1000, 200, 30, 4});
    app.RefreshStatusPage();
    EXPECT_EQ(form.lblDefCount.caption, "1,234");
    EXPECT_EQ(form.lblVersion.caption, "1.0");
    EXPECT_EQ(form.lblDefVersion.caption, "5/1/2026 10:00:00 AM PST");
    EXPECT_EQ(form.lblDefRemoved.caption, "0");
    EXPECT_EQ(form.lblLastScan.caption, "Never");
    EXPECT_EQ(form.lblLastFullScan.caption, "Never");
}

TEST_F(ScanSessionTest, StatusPageShowsStoredValues) {
    m.PutCompleteDefinitionSet();
    m.settings.Write(kProduct, "Settings", "lblDefRemoved", "17");
    m.settings.Write(kProduct, "Settings", "lblLastScan", "1/1/2027 1:00:00 AM");
    m.settings.Write(kProduct, "Settings", "lblLastFullScan", "12/31/2026 11:00:00 PM");
    app.Store().SetCounts(defs::SignatureCounts{1, 1234567, 0, 0});
    app.RefreshStatusPage();
    EXPECT_EQ(form.lblDefCount.caption, "1,234,568");
    EXPECT_EQ(form.lblDefRemoved.caption, "17");
    EXPECT_EQ(form.lblLastScan.caption, "1/1/2027 1:00:00 AM");
    EXPECT_EQ(form.lblLastFullScan.caption, "12/31/2026 11:00:00 PM");
    // Without a date stamp the definitions carry the default date.
    EXPECT_EQ(form.lblDefVersion.caption, "3/16/2006 12:00:00 AM PST");
}

TEST_F(ScanSessionTest, StatusPageKeepsAskingForLiveUpdateWhileTheSetIsIncomplete) {
    // An incomplete set has no definitions to date: the page must not claim the default date.
    m.PutCompleteDefinitionSet();
    m.files.DeleteFile(std::string(FakeMachine::kDataFolder) + "\\BlockedCookies.dat");
    app.RefreshStatusPage();
    EXPECT_EQ(form.lblDefVersion.caption, "Files Missing, Run Live Update");

    // A scan that found the set incomplete leaves the same text after it ends.
    app.StartScan();
    EXPECT_EQ(form.lblDefVersion.caption, "Files Missing, Run Live Update");
    EXPECT_EQ(form.lblStatus.caption, "Scanning complete.");
}

TEST_F(ScanSessionTest, StatusPageVersionIsMajorDotMinor) {
    platform::ProductInfo product = m.version.info;
    product.major = 10;
    product.minor = 3;
    m.version.info = product;
    app::Application other(app::FrontEnd{m.platform, m.settings, m.prompts, m.pickers, m.pump},
                           app::StartOptions{std::string(FakeMachine::kDataFolder), {}});
    other.RefreshStatusPage();
    EXPECT_EQ(other.Form().lblVersion.caption, "10.3");
    EXPECT_EQ(other.Form().lblDefCount.caption, "0");
}

// ---- Select All -------------------------------------------------------------------------------

TEST_F(ScanSessionTest, SelectAllTicksEveryRowAndPassesNewMarksToTheWorklists) {
    auto& results = form.lvwPicRemoveListOfSpywareFoundAndToBeRemoved;
    results.Add("Bad Thing", ui::detection::kFile).SetSubItem(1, "C:\\bad.exe");
    results.Add("tracker", ui::detection::kCookie).SetSubItem(1, "C:\\cookies\\t.txt");
    results.Add("Bad Key", ui::detection::kRegistry).SetSubItem(1, "HKEY_LOCAL_MACHINE\\Bad");
    results.Add("Bad Folder", ui::detection::kFolder).SetSubItem(1, "C:\\Program Files\\Bad");
    auto& already = results.Add("Old Thing", ui::detection::kFile);
    already.SetSubItem(1, "C:\\old.exe");
    already.checked = true;

    auto& files = form.lvwFilesToBeDeleted;
    files.Add("C:\\bad.exe").SetSubItem(1, "Bad Thing");
    files.Add("D:\\bad.exe").SetSubItem(1, "Bad Thing");    // same threat name: ticked too
    files.Add("C:\\other.exe").SetSubItem(1, "bad thing");  // case differs: left alone
    files.Add("C:\\Program Files\\Bad").SetSubItem(1, "Bad Folder");
    files.Add("C:\\old.exe").SetSubItem(1, "Old Thing");
    form.lvwCookiesToDelete.Add("C:\\cookies\\t.txt");
    form.lvwCookiesToDelete.Add("C:\\cookies\\other.txt");
    auto& reg = form.lvwRegistryToBeDeleted.Add("2");
    reg.SetSubItem(1, "SOFTWARE\\Bad");
    reg.SetSubItem(3, "Bad Key");

    app.SelectAll();

    for (const auto& r : results.rows)
        EXPECT_TRUE(r.checked) << r.text;
    EXPECT_TRUE(files.rows[0].checked);
    EXPECT_TRUE(files.rows[1].checked);
    EXPECT_FALSE(files.rows[2].checked);
    EXPECT_TRUE(files.rows[3].checked);
    // A row that was already ticked is not passed on again.
    EXPECT_FALSE(files.rows[4].checked);
    EXPECT_TRUE(form.lvwCookiesToDelete.rows[0].checked);
    EXPECT_FALSE(form.lvwCookiesToDelete.rows[1].checked);
    EXPECT_TRUE(form.lvwRegistryToBeDeleted.rows[0].checked);
}

// ---- Percentages ------------------------------------------------------------------------------

struct PercentCase {
    double numerator, denominator;
    int expected;
};

void PrintTo(const PercentCase& c, std::ostream* os) {
    *os << c.numerator << "/" << c.denominator;
}

class Percentages : public ::testing::TestWithParam<PercentCase> {};

TEST_P(Percentages, WholeNumbersWithHalvesToEven) {
    EXPECT_EQ(Percent(GetParam().numerator, GetParam().denominator), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Values, Percentages,
                         ::testing::Values(PercentCase{1, 8, 12},   // 12.5
                                           PercentCase{3, 8, 38},   // 37.5
                                           PercentCase{1, 200, 0},  // 0.5
                                           PercentCase{3, 200, 2},  // 1.5
                                           PercentCase{5, 200, 2},  // 2.5
                                           PercentCase{2, 3, 67}, PercentCase{1, 3, 33},
                                           PercentCase{7, 7, 100}, PercentCase{0, 9, 0},
                                           PercentCase{5, 0, -1}));  // bars stay as they are

}  // namespace
}  // namespace qm::scan
