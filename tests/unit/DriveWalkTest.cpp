// The walk of a folder or a drive, handing every entry to the candidate checks.

#include <gtest/gtest.h>

#include "platform/FileSystem.h"
#include "scan/ScanSession.h"
#include "support/FakeApplication.h"
#include "support/FakePlatform.h"

namespace qm::scan {
namespace {

using test::FakeMachine;
namespace attr = platform::attr;

class DriveWalkTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m.PutCompleteDefinitionSet();
        m.PutDefinitionFile("FileDefinition.dat",
                            {"bar.dll=Demo Bar|[progfil]Demo\\Bar|Toolbar",
                             "secret.exe=Hidden Thing|[progfil]Demo\\Bar|Spyware",
                             "inside.dll=Inside|[progfil]Demo\\Bar\\locked|Adware"});
        m.PutDefinitionFile("DirectoryDefinition.dat",
                            {"Bar=Demo Bar Folder|[drive]\\Vendor\\Demo\\Bar|Toolbar"});
        m.files.PutFolder("C:\\Vendor");
        m.files.PutFolder("C:\\Vendor\\Demo");
        m.files.PutFolder("C:\\Vendor\\Demo\\Bar");
        m.files.PutFile("C:\\Vendor\\Demo\\Bar\\bar.dll", "MZ");
        m.files.PutFile("C:\\Vendor\\Demo\\Bar\\secret.exe", "MZ", attr::kHidden);
        // Wine keeps no attributes on folders, so only here can the walk meet a customised
        // (read-only) folder, one with everyday bits set, and a junction, which is not followed.
        m.files.PutFolder("C:\\Vendor\\Demo\\Bar\\locked", attr::kDirectory | attr::kReadOnly);
        m.files.PutFolder("C:\\Vendor\\Demo\\Bar\\indexed",
                          attr::kDirectory | attr::kArchive | 0x2000 /* not indexed */);
        m.files.PutFolder("C:\\Vendor\\Demo\\Bar\\link", attr::kDirectory | attr::kReparsePoint);
        for (const char* folder : {"locked", "indexed", "link"})
            m.files.PutFile(std::string("C:\\Vendor\\Demo\\Bar\\") + folder + "\\inside.dll", "MZ");
        m.files.PutFolder("C:\\Vendor\\Demo\\Empty");
    }

    test::FakeApplication fake;
    FakeMachine& m = fake.m;
    ui::FrmMain& form = fake.form;
    scan::ScanSession& session = fake.session;
    app::Application& app = fake.app;
};

TEST_F(DriveWalkTest, FolderScanReportsWhatTheWalkMeets) {
    form.SelectScanKind(ui::ScanKind::Folder);
    m.pickers.folder = "C:\\Vendor";
    app.StartScan();
    const auto& results = form.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.rows;
    ASSERT_EQ(results.size(), 4u);
    EXPECT_EQ(results[0].text, "Demo Bar Folder Directory");
    EXPECT_EQ(results[0].icon, ui::detection::kFolder);
    EXPECT_EQ(results[0].SubItem(1), "c:\\vendor\\demo\\bar");
    EXPECT_EQ(form.lvwSpywareFound.rows[0].icon, ui::detection::kFile);
    EXPECT_EQ(results[1].text, "Demo Bar");
    EXPECT_EQ(results[1].SubItem(1), "c:\\vendor\\demo\\bar\\bar.dll");
    EXPECT_EQ(results[2].SubItem(1), "c:\\vendor\\demo\\bar\\indexed\\inside.dll");
    EXPECT_EQ(results[3].SubItem(1), "c:\\vendor\\demo\\bar\\locked\\inside.dll");
    // Vendor (the chosen folder) + Demo, Bar, Empty + bar.dll, locked, indexed, link + the two
    // files walked inside: the hidden file is never seen and the junction is not followed.
    EXPECT_EQ(form.lblFilesFolderInspected.caption, "10");
    EXPECT_EQ(form.lblStatus.caption, "Scanning complete.");
}

// An entry the code page cannot name (and that has no short name) is neither checked nor
// entered under some look-alike name: the walk counts it instead, and the console shows it.
TEST_F(DriveWalkTest, AnEntryWithoutANameIsCountedNotEntered) {
    m.files.nameless = {"C:\\Vendor\\Demo\\Bar\\locked", "C:\\Vendor\\Demo\\Bar\\bar.dll"};
    form.SelectScanKind(ui::ScanKind::Folder);
    m.pickers.folder = "C:\\Vendor";
    app.StartScan();
    const auto& results = form.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.rows;
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[1].SubItem(1), "c:\\vendor\\demo\\bar\\indexed\\inside.dll");
    EXPECT_EQ(session.Counters().skipped, 2);
}

TEST_F(DriveWalkTest, FullSystemScanWalksOnlyTickedDrives) {
    form.SelectScanKind(ui::ScanKind::FullSystem);
    form.lvwHardDrives.Add("C").checked = false;
    app.StartScan();
    EXPECT_TRUE(form.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.rows.empty());

    form.lvwHardDrives.rows[0].checked = true;
    form.lvwHardDrives.Add("Q").checked = true;  // no such drive: skipped
    app.StartScan();
    EXPECT_EQ(form.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.rows.size(), 4u);
    EXPECT_EQ(form.lblStatus.caption, "Scanning complete.");
}

TEST_F(DriveWalkTest, AFolderThatVanishesDuringTheWalkIsPassedOver) {
    form.SelectScanKind(ui::ScanKind::Folder);
    m.pickers.folder = "C:\\Vendor";
    // Another program deletes Bar after the walk listed it, before the walk goes into it.
    m.pump.onEvents = [&](long long) {
        if (session.Counters().filesInspected == 3) m.files.RemoveTree("C:\\Vendor\\Demo\\Bar");
    };
    app.StartScan();
    const auto& results = form.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.rows;
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].text, "Demo Bar Folder Directory");
    EXPECT_EQ(form.lblFilesFolderInspected.caption, "4");  // Vendor, Demo, Bar, Empty
    EXPECT_EQ(form.lblStatus.caption, "Scanning complete.");
}

TEST_F(DriveWalkTest, StopDuringTheWalkLeavesEveryLevel) {
    form.SelectScanKind(ui::ScanKind::Folder);
    m.pickers.folder = "C:\\Vendor\\";
    m.pump.onEvents = [&](long long) {
        if (session.Counters().filesInspected >= 2) {
            m.prompts.answers.push_back(ui::MessageAnswer::Yes);
            session.StopScan();
        }
    };
    app.StartScan();
    EXPECT_LE(session.Counters().filesInspected, 3);
    EXPECT_EQ(form.lblStatus.caption, "Scanning was cancelled.");
}

}  // namespace
}  // namespace qm::scan
