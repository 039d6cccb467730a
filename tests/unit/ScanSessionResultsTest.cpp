// The lists and counters of a scan: empty at its start, risks and details at its end, the
// scheduled scan's own removal, and Select All passing its marks to the worklists.

#include "ScanSessionFixture.h"

#include <gtest/gtest.h>

namespace qm::scan {
namespace {

using test::kProduct;
using test::ScanSessionTest;
using ui::MessageAnswer;
using ui::ScanKind;

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

}  // namespace
}  // namespace qm::scan
