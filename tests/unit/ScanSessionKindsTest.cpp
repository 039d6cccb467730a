// The outcome of each scan kind on the fake machine: a complete definition set, a missing
// file, a cancelled picker, the chosen file or folder, and the phases the options switch off.

#include "ScanSessionFixture.h"

#include <gtest/gtest.h>

#include <string>

namespace qm::scan {
namespace {

using test::KindName;
using test::KindParamName;
using test::kProduct;
using test::ScanSessionTest;
using ui::MessageButtons;
using ui::MessageIcon;
using ui::ScanKind;

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

}  // namespace
}  // namespace qm::scan
