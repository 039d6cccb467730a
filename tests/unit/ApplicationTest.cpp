// The program put together: the bracket around long work, which must leave the program usable
// however a scan ends, and the stored yes-or-no settings as every reader sees them.

#include "app/Application.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "support/FakeApplication.h"

namespace qm::app {
namespace {

using test::FakeMachine;

class ApplicationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m.PutCompleteDefinitionSet();
        form.SelectScanKind(ui::ScanKind::Smart);
    }
    void SetOption(const std::string& key, const std::string& value) {
        m.settings.Write("Quillmarsh", settings::section::kOptions, key, value);
    }

    test::FakeApplication fake;
    FakeMachine& m = fake.m;
    ui::FrmMain& form = fake.form;
    Application& app = fake.app;
};

TEST_F(ApplicationTest, AScanThatThrowsLeavesTheProgramUsable) {
    int calls = 0;
    m.pump.onEvents = [&](long long) {
        if (++calls == 3) throw std::runtime_error("disk gone");
    };
    EXPECT_EQ(app.RunScan(false), work::LongWork::Outcome::Failed);
    EXPECT_FALSE(app.Busy());
    EXPECT_TRUE(app.CanClose());
    EXPECT_FALSE(app.Session().Scanning());
    EXPECT_EQ(form.lblStatus.caption, "Scanning was cancelled.");
    // Controls and timers as between scans (both shields on by default, no schedule).
    EXPECT_TRUE(form.cmdScanNow.enabled);
    EXPECT_TRUE(form.cmdSettings.enabled);
    EXPECT_FALSE(form.cmdStop.enabled);
    EXPECT_EQ(form.mousePointer, ui::MousePointer::Default);
    EXPECT_TRUE(form.tmrMemoryInspected.enabled);
    EXPECT_TRUE(form.tmrCheckHomePage.enabled);
    EXPECT_FALSE(form.tmrScheduler.enabled);

    m.pump.onEvents = nullptr;
    EXPECT_EQ(app.RunScan(false), work::LongWork::Outcome::Done);
    EXPECT_EQ(form.lblStatus.caption, "Scanning complete.");
}

// The pump lets clicks through during a scan: none of them may start other work or reach the
// options, whose clicks would restart the shield timers the scan has paused.
TEST_F(ApplicationTest, WhileAScanRunsOtherWorkAndTheOptionsAreRefused) {
    bool tried = false;
    work::LongWork::Outcome second = work::LongWork::Outcome::Done;
    bool closable = true;
    m.pump.onEvents = [&](long long) {
        if (tried) return;
        tried = true;
        second = app.RunScan(false);
        closable = app.CanClose();
        app.ShowOptionsTab(2);
        form.chkAutoProtect.value = form.chkAutoProtect.value ? 0 : 1;  // as the window does
        app.CheckBoxClicked(form.chkAutoProtect);
        app.OptionClicked(form.optMemorySheildOff);
    };
    const int autoProtectBefore = form.chkAutoProtect.value;
    EXPECT_EQ(app.RunScan(false), work::LongWork::Outcome::Done);
    ASSERT_TRUE(tried);
    EXPECT_EQ(second, work::LongWork::Outcome::Refused);
    EXPECT_FALSE(closable);
    EXPECT_FALSE(form.frmOptions.visible);
    EXPECT_EQ(form.chkAutoProtect.value, autoProtectBefore);
    EXPECT_FALSE(form.optMemorySheildOff.value);
    EXPECT_EQ(
        m.settings.Read("Quillmarsh", settings::section::kOptions, "optMemorySheildOff", "<unset>"),
        "<unset>");
    EXPECT_EQ(form.lblStatus.caption, "Scanning complete.");

    // Between scans the same menu entry opens the tab.
    app.ShowOptionsTab(2);
    EXPECT_TRUE(form.frmOptions.visible);
}

// The report written at the end of a scan gives each reported file the length and company the
// scan read when it judged the file.
TEST_F(ApplicationTest, TheReportTakesWhatTheScanReadOfEachFile) {
    m.PutDefinitionFile("FileDefinition.dat", {"adbar.exe=Demo AdBar|[progfil]Demo|Adware"});
    m.files.PutFolder("C:\\Program Files\\Demo");
    m.files.PutFile("C:\\Program Files\\Demo\\adbar.exe", "MZ 8 bytes");
    fake.LoadDefinitionState();
    app.RunScan(false);
    const auto report = m.files.Content(std::string(FakeMachine::kDataFolder) + "\\Scan_Log.txt");
    ASSERT_TRUE(report);
    EXPECT_NE(
        report->find("File: C:\\Program Files\\Demo\\adbar.exe\r\n\r\nName: Demo AdBar\r\n\r\n"
                     "Company: \r\n\r\nType: File\r\n\r\nSize: 10 bytes\r\n"),
        std::string::npos)
        << *report;
}

// Settings are stored as "True"/"False", "1"/"0" or "Yes"/"No"; every reader must agree with
// what the options page shows.
struct StoredFlag {
    const char* text;
    bool on;
};

class StoredFlags : public ApplicationTest, public ::testing::WithParamInterface<StoredFlag> {};

TEST_P(StoredFlags, ReadAlikeByTheScanAndTheTimers) {
    constexpr const char* kCookies = "C:\\users\\tester\\Cookies";
    m.shell.folders[33] = kCookies;
    m.files.PutFolder(kCookies);
    m.files.PutFile(std::string(kCookies) + "\\tester@tracker[1].txt", "id\n1\ntracker.example/\n");
    for (const char* key : {"chkScanCookies", "chkAutomaticScanYesOrNo", "optMemorySheildOn",
                            "optIEHomePageSheildOn"}) {
        SetOption(key, GetParam().text);
    }
    app.RunScan(false);
    EXPECT_EQ(form.lvwCookiesToDelete.rows.size(), GetParam().on ? 1u : 0u);
    EXPECT_EQ(form.tmrScheduler.enabled, GetParam().on);
    EXPECT_EQ(form.tmrMemoryInspected.enabled, GetParam().on);
    EXPECT_EQ(form.tmrCheckHomePage.enabled, GetParam().on);
}

INSTANTIATE_TEST_SUITE_P(Encodings, StoredFlags,
                         ::testing::Values(StoredFlag{"True", true}, StoredFlag{"1", true},
                                           StoredFlag{"Yes", true}, StoredFlag{"true", true},
                                           StoredFlag{"False", false}, StoredFlag{"0", false},
                                           StoredFlag{"No", false}),
                         [](const auto& p) { return std::string(p.param.text); });

}  // namespace
}  // namespace qm::app
