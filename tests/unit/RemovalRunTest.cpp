// Repair Now on the fake machine, after a real Smart Scan: what is asked, what is backed up
// and deleted, what survives both passes, and the figures afterwards.

#include "removal/RemovalRun.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/FakeApplication.h"

namespace qm::removal {
namespace {

using test::FakeMachine;
using ui::MessageAnswer;

constexpr const char* kCookies = "C:\\users\\tester\\Cookies";
constexpr const char* kAdBar = "C:\\Program Files\\Demo\\AdBar";
const std::string kQuarantine = std::string(FakeMachine::kDataFolder) + "\\quarantine";

class RemovalRunTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m.shell.folders[33] = kCookies;
        m.files.PutFolder(kCookies);
        m.PutCompleteDefinitionSet();
        // Two files of one threat, a folder, a value, a key and a cookie.
        m.PutDefinitionFile("FileDefinition.dat",
                            {"adbar.exe=Demo AdBar|[progfil]Demo\\AdBar|Adware",
                             "bar.dll=Demo AdBar|[progfil]Demo\\AdBar|Adware"});
        m.PutDefinitionFile("DirectoryDefinition.dat",
                            {"Demo Spy=Demo Spy|[progfil]Demo Spy|Spyware"});
        m.PutDefinitionFile("RegistryDefinition.dat", {"1^Software\\Demo^Dialer=Demo Dialer|Dialer",
                                                       "1^Software\\Demo Key^=Demo Key|Adware"});
        m.files.PutFolder(kAdBar);
        m.files.PutFile(std::string(kAdBar) + "\\AdBar.exe", "MZ adbar");
        m.files.PutFile(std::string(kAdBar) + "\\bar.dll", "MZ bar");
        m.files.PutFolder("C:\\Program Files\\Demo Spy");
        m.files.PutFile("C:\\Program Files\\Demo Spy\\spy.dat", "spy");
        m.registry.Put(platform::root::kCurrentUser, "Software\\Demo", "Dialer", {});
        m.registry.Put(platform::root::kCurrentUser, "Software\\Demo Key", "", {});
        m.files.PutFile(std::string(kCookies) + "\\tester@tracker[1].txt",
                        "id\n1\ntracker.example/\n");
        fake.LoadDefinitionState();
        form.SelectScanKind(ui::ScanKind::Smart);
        app.RunScan(false);
        ASSERT_EQ(form.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.rows.size(), 6u);
    }
    // Ticks the results rows whose text starts so, as the user's clicks do.
    void Tick(const std::string& prefix) {
        for (auto& row : form.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.rows) {
            if (row.text.rfind(prefix, 0) == 0) {
                row.checked = true;
                app.ResultCheckChanged(row);
            }
        }
    }
    std::string Removed() const {
        return m.settings.Read("Quillmarsh", "Settings", "lblDefRemoved", "<unset>");
    }

    test::FakeApplication fake;
    FakeMachine& m = fake.m;
    ui::FrmMain& form = fake.form;
    app::Application& app = fake.app;
};

TEST_F(RemovalRunTest, NothingTickedIsSaidOnceAndNothingIsRemoved) {
    app.RepairNow();
    ASSERT_EQ(m.prompts.shown.size(), 1u);
    EXPECT_EQ(m.prompts.shown[0].text,
              "No entries are selected.  You must check the box next to at least one item in the "
              "list.");
    EXPECT_TRUE(m.files.Has(std::string(kAdBar) + "\\AdBar.exe"));
    EXPECT_FALSE(app.LastRemoval().ran);
}

// The confirmation names the quarantine, and System Restore only where the system has it; a
// No removes nothing.
class Confirmation : public RemovalRunTest, public ::testing::WithParamInterface<bool> {};

TEST_P(Confirmation, NamesTheQuarantineAndTheRestorePointWhereThereIsOne) {
    m.systemRestore.available = GetParam();
    Tick("Demo AdBar");
    m.prompts.answers = {MessageAnswer::No};
    app.RepairNow();
    ASSERT_EQ(m.prompts.shown.size(), 1u);
    std::string expected =
        "Are you sure you want to delete the selected files?\r\n\r\nDeleted files will be backed "
        "up in the following folder in case you need to recover them:\r\n\r\n" +
        kQuarantine;
    if (GetParam()) {
        expected +=
            "\r\n\r\nIn addition, a System Restore Point will be created using Windows System "
            "Restore, accessible through:\r\n\r\nStart > Programs > Accessories > System Tools > "
            "System Restore";
    }
    EXPECT_EQ(m.prompts.shown[0].text, expected);
    EXPECT_EQ(m.prompts.shown[0].title, "Really Delete?");
    EXPECT_TRUE(m.files.Has(std::string(kAdBar) + "\\AdBar.exe"));
}

INSTANTIATE_TEST_SUITE_P(SystemRestore, Confirmation, ::testing::Bool());

TEST_F(RemovalRunTest, EverythingTickedIsBackedUpAndRemovedInsideARestorePoint) {
    app.SelectAll();
    m.prompts.answers = {MessageAnswer::Yes};
    long long pumps = 0;
    m.pump.onEvents = [&](long long) { ++pumps; };
    app.RepairNow();

    const RemovalReport& r = app.LastRemoval();
    EXPECT_EQ(r.removed.size(), 6u);  // two files, a folder, a value, a key, a cookie
    EXPECT_TRUE(r.failed.empty());
    EXPECT_TRUE(r.restorePoint);
    // A caller's own type, MODIFY_SETTINGS: 6 is the one System Restore keeps for itself.
    EXPECT_EQ(m.systemRestore.types, std::vector<int>{12});
    EXPECT_EQ(m.systemRestore.begun.size(), 1u);
    EXPECT_EQ(m.systemRestore.ended.size(), 1u);
    EXPECT_GT(pumps, 20001);  // "Gathering information..." lets the window breathe
    for (const char* gone :
         {"C:\\Program Files\\Demo\\AdBar\\adbar.exe", "C:\\Program Files\\Demo\\AdBar\\bar.dll",
          "C:\\Program Files\\Demo Spy"}) {
        EXPECT_FALSE(m.files.Has(gone)) << gone;
    }
    EXPECT_FALSE(m.files.Has(std::string(kCookies) + "\\tester@tracker[1].txt"));
    EXPECT_EQ(m.files.Content(kQuarantine + "\\AdBar.exe"), "MZ adbar");
    EXPECT_EQ(m.files.Content(kQuarantine + "\\Demo Spy\\spy.dat"), "spy");
    EXPECT_FALSE(m.registry.Get(platform::root::kCurrentUser, "Software\\Demo", "Dialer"));
    EXPECT_FALSE(m.registry.KeyOpens(platform::root::kCurrentUser, "Software\\Demo Key",
                                     platform::RegistryAccess::Read));
    const auto log = m.files.Content(kQuarantine + "\\QuarantineLog.txt");
    ASSERT_TRUE(log);
    EXPECT_NE(log->find(" - File: adbar.exe\r\n - Location: " + std::string(kAdBar) +
                        "\\adbar.exe\r\n\r\n\r\n"),
              std::string::npos);
    // The lists keep nothing that was removed; the figure counts what really went.
    EXPECT_TRUE(form.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.rows.empty());
    EXPECT_TRUE(form.lvwFilesToBeDeleted.rows.empty());
    EXPECT_EQ(Removed(), "6");
    EXPECT_EQ(form.lblDefRemoved.caption, "6");
    EXPECT_TRUE(form.lblRemove.enabled);
    EXPECT_TRUE(form.tmrMemoryInspected.enabled);
    EXPECT_FALSE(form.frmDelete.visible);
}

// A file another program holds open survives both passes: it is listed, stays offered, and is
// left for the next start only because its verified backup is in the quarantine.
TEST_F(RemovalRunTest, AHeldFileIsListedKeptAndLeftForTheNextStartWithItsBackupSafe) {
    const std::string held = std::string(kAdBar) + "\\bar.dll";
    m.files.failDeletesOf = {held};
    Tick("Demo AdBar");
    m.prompts.answers = {MessageAnswer::Yes};
    app.RepairNow();

    const RemovalReport& r = app.LastRemoval();
    EXPECT_EQ(r.failed, std::vector<std::string>{held});
    EXPECT_EQ(r.scheduledAtRestart, std::vector<std::string>{held});
    EXPECT_EQ(m.files.deleteAtRestart, std::vector<std::string>{held});
    ASSERT_TRUE(form.frmDelete.visible);
    ASSERT_EQ(form.frmDelete.lstProblem.rows.size(), 1u);
    EXPECT_EQ(form.frmDelete.lstProblem.rows[0].text, held);
    EXPECT_TRUE(form.frmDelete.lblRestart.visible);
    EXPECT_FALSE(m.files.Has(std::string(kAdBar) + "\\AdBar.exe"));
    // The held file's rows stay, unticked, for another try.
    const auto& work = form.lvwFilesToBeDeleted.rows;
    const auto heldRow = std::find_if(work.begin(), work.end(),
                                      [&](const ui::ListItem& row) { return row.text == held; });
    ASSERT_NE(heldRow, work.end());
    EXPECT_FALSE(heldRow->checked);
    EXPECT_EQ(form.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.rows.size(), 5u);
    EXPECT_EQ(Removed(), "1");

    app.CopyProblemList();
    EXPECT_EQ(m.clipboard.text, held + "\r\n");
    app.DeleteFailedOk();
    EXPECT_FALSE(form.frmDelete.visible);
}

// Without its backup nothing is deleted, and nothing is left for the next start either.
TEST_F(RemovalRunTest, AFileThatCannotBeCopiedStaysAndIsNotScheduled) {
    const std::string unreadable = std::string(kAdBar) + "\\adbar.exe";
    m.files.failCopiesOf = {unreadable};
    Tick("Demo AdBar");
    m.prompts.answers = {MessageAnswer::Yes};
    app.RepairNow();
    EXPECT_TRUE(m.files.Has(unreadable));
    EXPECT_EQ(app.LastRemoval().failed, std::vector<std::string>{unreadable});
    EXPECT_TRUE(app.LastRemoval().scheduledAtRestart.empty());
    EXPECT_TRUE(m.files.deleteAtRestart.empty());
}

// Whatever survives both passes, file, registry entry or cookie, stays listed and ticked off;
// "Delete Failed" says "deleted at restart" only of what Windows was asked to delete; and a
// later run's window holds that run's failures alone.
TEST_F(RemovalRunTest, WhatCouldNotBeRemovedStaysListedAndIsSaidOfThisRunOnly) {
    const std::string unreadable = std::string(kAdBar) + "\\adbar.exe";
    const std::string held = std::string(kAdBar) + "\\bar.dll";
    const std::string cookie = std::string(kCookies) + "\\tester@tracker[1].txt";
    m.files.failCopiesOf = {unreadable};
    m.files.failDeletesOf = {held, cookie};
    m.registry.readOnlyRoots = {platform::root::kCurrentUser};
    app.SelectAll();
    m.prompts.answers = {MessageAnswer::Yes};
    app.RepairNow();

    std::vector<std::string> listed;
    for (const auto& row : form.frmDelete.lstProblem.rows)
        listed.push_back(row.text + " | " + row.SubItem(1));
    EXPECT_EQ(listed, (std::vector<std::string>{
                          unreadable + " | not deleted", held + " | deleted at restart",
                          "HKEY_CURRENT_USER\\Software\\Demo\\Dialer | not deleted",
                          "HKEY_CURRENT_USER\\Software\\Demo Key | not deleted",
                          cookie + " | deleted at restart"}));
    EXPECT_TRUE(form.frmDelete.visible);
    EXPECT_TRUE(form.frmDelete.lblRestart.visible);
    // Every row but the removed folder's stays, ticked off for another try.
    const auto& results = form.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.rows;
    EXPECT_EQ(results.size(), 5u);
    for (const auto& row : results)
        EXPECT_FALSE(row.checked) << row.text;
    EXPECT_EQ(form.lvwRegistryToBeDeleted.rows.size(), 2u);
    EXPECT_EQ(Removed(), "1");  // the folder

    // The Remove label starts a run of its own: nothing is ticked, so nothing failed.
    app.DeleteFailedOk();
    app.RemoveSelected();
    EXPECT_TRUE(form.frmDelete.lstProblem.rows.empty());
    EXPECT_FALSE(form.frmDelete.visible);

    // A page button takes along whatever of the removal's bar and labels still shows.
    form.pgbDeleteSpywaresFound.visible = form.lblDeletingCaption.visible = true;
    app.ShowResultsPage();
    EXPECT_FALSE(form.pgbDeleteSpywaresFound.visible || form.lblDeletingCaption.visible);
}

// The confirmation promised a restore point: when none could be made the user hears why.
TEST_F(RemovalRunTest, ARestorePointThatCouldNotBeMadeIsSaidWithItsReason) {
    m.systemRestore.beginSucceeds = false;
    Tick("Cookie");
    m.prompts.answers = {MessageAnswer::Yes};
    app.RepairNow();
    EXPECT_FALSE(app.LastRemoval().restorePoint);
    EXPECT_EQ(app.LastRemoval().restorePointFailure, "System Restore is turned off.");
    EXPECT_TRUE(form.frmSignatureUpdated.visible);
    EXPECT_NE(form.frmSignatureUpdated.lblUpdateInfo.caption.find("System Restore is turned off."),
              std::string::npos);
}

TEST_F(RemovalRunTest, TheRemovedFigureAddsUpAcrossRunsAndCountsOnlyWhatWasThere) {
    m.settings.Write("Quillmarsh", "Settings", "lblDefRemoved", "10");
    Tick("Cookie");
    m.prompts.answers = {MessageAnswer::Yes};
    app.RepairNow();
    EXPECT_EQ(Removed(), "11");
    // A file gone before the run and a file listed twice: one removal in all.
    m.files.DeleteFile(std::string(kAdBar) + "\\bar.dll");
    form.lvwFilesToBeDeleted.Add(std::string(kAdBar) + "\\AdBar.exe").SetSubItem(1, "Demo AdBar");
    Tick("Demo AdBar");
    m.prompts.answers = {MessageAnswer::Yes};
    app.RepairNow();
    EXPECT_EQ(Removed(), "12");
    Tick("Demo Dialer");
    m.prompts.answers = {MessageAnswer::Yes};
    app.RepairNow();
    EXPECT_EQ(Removed(), "13");
}

// A scheduled scan with automatic removal asks nothing and removes everything it found.
TEST_F(RemovalRunTest, AScheduledScanWithAutomaticRemovalRemovesWithoutAsking) {
    m.settings.Write("Quillmarsh", "Settings", "chkAutoDel", "1");
    m.prompts.shown.clear();
    app.RunScan(true);
    EXPECT_TRUE(m.prompts.shown.empty());
    EXPECT_EQ(app.LastRemoval().removed.size(), 6u);
    EXPECT_TRUE(form.frmResults.visible);
}

}  // namespace
}  // namespace qm::removal
