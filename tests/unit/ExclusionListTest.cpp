// The exclusion list: matching rules, the file it lives in, the scanners' excluded rows and the
// results page's Exclude command.

#include "definitions/ExclusionList.h"

#include <gtest/gtest.h>

#include "scan/ScanSession.h"
#include "support/FakeApplication.h"
#include "support/FakePlatform.h"
#include "support/ScriptedLoadControl.h"

namespace qm::defs {
namespace {

using test::FakeMachine;
constexpr const char* kFile = "C:\\data\\ENoSignature.dat";

TEST(ExclusionList, MatchingRules) {
    test::FakeFileSystem files;
    files.PutFile(kFile,
                  "c:\\apps\\toolbar2\\run.exe\r\n\r\n   \r\n  Hand Edited  \r\n"
                  "left|right\r\nHKEY_CURRENT_USER\\Software\\Bar\n");
    test::ScriptedLoadControl control;
    ExclusionList list;
    list.Load(files, kFile, control);
    EXPECT_EQ(list.size(), 5u) << "blank lines are no entries; \"|\" splits one";
    EXPECT_TRUE(list.IsExcluded("C:\\APPS\\Toolbar2\\RUN.EXE"));
    EXPECT_TRUE(list.IsExcluded("  c:\\apps\\toolbar2\\run.exe "));
    EXPECT_TRUE(list.IsExcluded("RIGHT"));
    EXPECT_TRUE(list.IsExcluded("hkey_current_user\\software\\bar"));
    EXPECT_FALSE(list.IsExcluded("left|right"));
    // An entry's own blanks stay: only the candidate is trimmed.
    EXPECT_FALSE(list.IsExcluded("Hand Edited"));
    EXPECT_TRUE(list.IsExcludedFolder("hand edited"));
    // Containment is plain text: the entry's path holds "c:\apps\toolbar".
    EXPECT_TRUE(list.IsExcludedFolder("C:\\Apps\\Toolbar"));
    EXPECT_FALSE(list.IsExcluded("C:\\Apps\\Toolbar"));
    EXPECT_FALSE(list.IsExcludedFolder("C:\\Apps\\Other"));
    EXPECT_FALSE(list.IsExcluded(""));
    EXPECT_FALSE(list.IsExcludedFolder(""));

    list.Load(files, "C:\\data\\missing.dat", control);
    EXPECT_EQ(list.size(), 0u);
}

TEST(ExclusionList, AHugeLineIsCutAndTheLinesAfterItStillCount) {
    test::FakeFileSystem files;
    files.PutFile(kFile, "before\r\n" + std::string(20u << 20, 'x') + "\r\nafter\r\n");
    test::ScriptedLoadControl control;
    ExclusionList list;
    list.Load(files, kFile, control);
    EXPECT_EQ(list.size(), 3u);
    EXPECT_TRUE(list.IsExcluded("after"));
    EXPECT_TRUE(list.IsExcludedFolder("xxxx"));
}

TEST(ExclusionList, AddAppendsOneTrimmedLineAndReloads) {
    test::FakeFileSystem files;
    test::ScriptedLoadControl control;
    ExclusionList list;
    ASSERT_TRUE(list.Add(files, kFile, "  C:\\a.exe  ", control));
    EXPECT_EQ(files.Content(kFile), "C:\\a.exe\r\n");
    // A hand-edited file without a final line end keeps its last line whole.
    files.PutFile(kFile, "first");
    ASSERT_TRUE(list.Add(files, kFile, "second", control));
    EXPECT_EQ(files.Content(kFile), "first\r\nsecond\r\n");
    EXPECT_TRUE(list.IsExcluded("FIRST"));
    files.failWrites = true;
    EXPECT_FALSE(list.Add(files, kFile, "third", control));
    EXPECT_FALSE(list.IsExcluded("third"));
    EXPECT_EQ(files.Content(kFile), "first\r\nsecond\r\n");
}

// ALLOW answered in the memory shield's alert while the list loads: the entry is added and the
// list reloaded inside the outer load. The outer load must neither undo the newer reload nor
// leave the look-up pointing into strings that have moved (short entries live inside the
// strings themselves; AddressSanitizer catches a stale view in the sanitizer build).
TEST(ExclusionList, AnEntryAddedWhileTheListLoadsLeavesEveryLookUpSound) {
    test::FakeFileSystem files;
    std::string many;
    for (int i = 0; i < 200; ++i)
        many += "e" + std::to_string(i) + ".exe\r\n";
    files.PutFile(kFile, many);
    test::ScriptedLoadControl control;
    ExclusionList list;
    list.Load(files, kFile, control);
    test::ScriptedLoadControl nested;
    control.events = 0;
    control.onEvents = [&](long long pause) {
        if (pause != 5) return;
        // The previous list stays whole while the new one is read.
        EXPECT_TRUE(list.IsExcluded("e150.exe"));
        ASSERT_TRUE(list.Add(files, kFile, "ALLOWED.EXE", nested));
    };
    list.Load(files, kFile, control);
    for (int i = 0; i < 200; ++i)
        EXPECT_TRUE(list.IsExcluded("E" + std::to_string(i) + ".EXE")) << i;
    EXPECT_TRUE(list.IsExcluded("allowed.exe"));
    EXPECT_FALSE(list.IsExcluded("e200.exe"));
}

class ExcludedScanTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m.PutCompleteDefinitionSet();
        m.PutDefinitionFile("FileDefinition.dat", {"bar.dll=Demo Bar|[progfil]Demo\\Bar|Toolbar",
                                                   "keep.dll=Kept One|[progfil]Demo\\Bar|Adware"});
        m.PutDefinitionFile("DirectoryDefinition.dat",
                            {"Bar=Demo Bar Folder|[progfil]Demo\\Bar|Toolbar"});
        m.files.PutFolder("C:\\Program Files\\Demo\\Bar");
        m.files.PutFile("C:\\Program Files\\Demo\\Bar\\bar.dll", "MZ");
        m.files.PutFile("C:\\Program Files\\Demo\\Bar\\keep.dll", "MZ");
        m.files.PutFile(std::string(FakeMachine::kDataFolder) + "\\ENoSignature.dat",
                        "C:\\Program Files\\Demo\\Bar\\keep.dll\r\n");
        fake.LoadDefinitionState();
    }
    std::vector<std::string> Live() const {
        std::vector<std::string> rows;
        for (const auto& r : form.lvwSpywareFound.rows)
            rows.push_back(r.text + "|" + r.SubItem(1) + "|" + std::to_string(r.icon));
        return rows;
    }

    test::FakeApplication fake;
    FakeMachine& m = fake.m;
    ui::FrmMain& form = fake.form;
    scan::ScanSession& session = fake.session;
    app::Application& app = fake.app;
};

TEST_F(ExcludedScanTest, KnownLocationsAndTheWalkShowExcludedItemsWithoutCountingThem) {
    app.StartScan();  // Smart Scan
    EXPECT_EQ(Live(), (std::vector<std::string>{
                          "Demo Bar|C:\\Program Files\\Demo\\Bar\\bar.dll|3",
                          "EXCLUDED|C:\\Program Files\\Demo\\Bar\\keep.dll|5",
                          // The folder holds an excluded file: removing it would remove that.
                          "EXCLUDED|C:\\Program Files\\Demo\\Bar|5"}));
    EXPECT_EQ(form.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.rows.size(), 1u);
    EXPECT_EQ(form.lvwFilesToBeDeleted.rows.size(), 1u);
    EXPECT_EQ(form.lbltracesFound.caption, "1");

    form.SelectScanKind(ui::ScanKind::Folder);
    m.pickers.folder = "C:\\Program Files\\Demo";
    app.StartScan();
    EXPECT_EQ(Live(),
              (std::vector<std::string>{"EXCLUDED|c:\\program files\\demo\\bar|5",
                                        "Demo Bar|c:\\program files\\demo\\bar\\bar.dll|3",
                                        "EXCLUDED|c:\\program files\\demo\\bar\\keep.dll|5"}));
    EXPECT_EQ(form.lbltracesFound.caption, "1");
}

TEST_F(ExcludedScanTest, ViewExclusionsOpensTheFileOrSaysThereIsNone) {
    const std::string file = std::string(FakeMachine::kDataFolder) + "\\ENoSignature.dat";
    app.ViewExclusions();
    EXPECT_EQ(m.launcher.started, std::vector<std::string>{"notepad " + file});
    ASSERT_TRUE(m.files.DeleteFile(file));
    app.ViewExclusions();
    ASSERT_EQ(m.prompts.shown.size(), 1u);
    EXPECT_EQ(m.prompts.shown[0].text, "No exclusion file exists yet.");
    EXPECT_EQ(m.prompts.shown[0].title, "No Exclusion File");
    EXPECT_EQ(m.launcher.started.size(), 1u);
}

TEST_F(ExcludedScanTest, ExcludeCommandStoresCheckedRowsAndTakesThemOffEveryList) {
    const std::string file = std::string(FakeMachine::kDataFolder) + "\\ENoSignature.dat";
    app.Exclude();  // nothing anywhere
    ASSERT_EQ(m.prompts.shown.size(), 1u);
    EXPECT_EQ(m.prompts.shown[0].text, "Sorry, there are no entries to be excluded.");

    auto& results = form.lvwPicRemoveListOfSpywareFoundAndToBeRemoved;
    results.Add("Cookie: tracker.example").SetSubItem(1, "C:\\Cookies\\user@tracker[1].txt");
    results.Add("cookie: Other").SetSubItem(1, "C:\\Cookies\\other.txt");
    results.Add("Demo Bar").SetSubItem(1, "C:\\x\\bar.dll");
    form.lvwCookiesToDelete.Add("C:\\Cookies\\user@tracker[1].txt");
    app.Exclude();  // none checked: asked, nothing written
    EXPECT_EQ(m.prompts.shown.back().title, "Really Exclude?");
    EXPECT_EQ(results.rows.size(), 3u);

    results.rows[0].checked = results.rows[1].checked = true;
    form.lvwCookiesToDelete.rows[0].checked = true;  // the mark follows the results row
    m.prompts.answers = {ui::MessageAnswer::No};
    app.Exclude();
    EXPECT_EQ(results.rows.size(), 3u);
    m.prompts.answers = {ui::MessageAnswer::Yes};
    app.Exclude();
    EXPECT_EQ(m.files.Content(file),
              "C:\\Program Files\\Demo\\Bar\\keep.dll\r\nC:\\Cookies\\user@tracker[1].txt\r\n"
              "tracker.example\r\nC:\\Cookies\\other.txt\r\ncookie: Other\r\n");
    ASSERT_EQ(results.rows.size(), 1u);
    EXPECT_EQ(results.rows[0].text, "Demo Bar");
    EXPECT_TRUE(form.lvwCookiesToDelete.rows.empty());
    EXPECT_TRUE(app.Store().Exclusions().IsExcluded("TRACKER.EXAMPLE"));
}

}  // namespace
}  // namespace qm::defs
