// A threat planted deeper than MAX_PATH, where the ANSI file calls stop, is found by every kind
// of scan: the walks list the deep branch, the known-location pass finds the file its record
// names, and the location reported reaches the file, so the removal can act on it.
#include <gtest/gtest.h>

#include <string>

#include "DiskScan.h"
#include "TempFolder.h"
#include "platform/win32/WinApi.h"
#include "text/Text.h"

namespace qm::scan {
namespace {

using ui::ScanKind;

class LongPathScanOnDiskTest : public ::testing::TestWithParam<ScanKind> {};

TEST_P(LongPathScanOnDiskTest, FindsAThreatPastMaxPath) {
    wintest::TempFolder temp;
    platform::win32::Win32FileSystem files;
    // The tree is built through the seam under test; the name carries the process id, so a
    // whole-drive walk meets no other run's threat.
    const std::string top = temp / "lvl";
    std::string deep = top;
    for (int i = 0; deep.size() < 280; ++i)
        deep += "\\seg" + std::to_string(i) + "_" + std::string(24, 'x');
    const std::string name = "qmlong-" + std::to_string(::GetCurrentProcessId()) + "-threat.exe";
    const std::string threat = deep + "\\" + name;
    ASSERT_TRUE(files.CreateFolder(deep));
    ASSERT_TRUE(files.WriteWholeFile(threat, "MZ"));
    ASSERT_GT(threat.size(), 300u);

    const std::string data = temp / "data";
    ASSERT_TRUE(files.CreateFolder(data));
    // A name longer than 16 characters with ".exe" matches on its name alone, wherever the
    // walk meets it; the Smart Scan looks in the record's folder.
    ASSERT_TRUE(
        files.WriteWholeFile(data + "\\FileDefinition.dat",
                             wintest::Scrambled({name + "=Long Deep|" + deep + "|Adware"})));
    for (const char* empty : {"DirectoryDefinition.dat", "RegistryDefinition.dat",
                              "ExeDefinition.dat", "BlockedCookies.dat"}) {
        ASSERT_TRUE(files.WriteWholeFile(data + "\\" + empty, ""));
    }

    wintest::DiskScan scan(data);
    scan.pickers.file = threat;
    scan.pickers.folder = top;
    scan.form.lvwHardDrives.Add("C").checked = true;
    scan.form.SelectScanKind(GetParam());
    scan.app->StartScan();

    EXPECT_EQ(scan.form.lblStatus.caption, "Scanning complete.");
    const auto& rows = scan.form.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.rows;
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].text, "Long Deep");
    EXPECT_EQ(text::Lower(rows[0].SubItem(1)), text::Lower(threat));
    ASSERT_EQ(scan.form.lvwFilesToBeDeleted.rows.size(), 1u);
    EXPECT_TRUE(scan.machine.files.Attributes(scan.form.lvwFilesToBeDeleted.rows[0].text))
        << "the path the removal gets reaches the file";
}

std::string KindName(const ::testing::TestParamInfo<ScanKind>& info) {
    switch (info.param) {
        case ScanKind::Smart:
            return "Smart";
        case ScanKind::FullSystem:
            return "FullSystem";
        case ScanKind::File:
            return "File";
        case ScanKind::Folder:
            return "Folder";
    }
    return "Unknown";
}

INSTANTIATE_TEST_SUITE_P(EveryKind, LongPathScanOnDiskTest,
                         ::testing::Values(ScanKind::File, ScanKind::Folder, ScanKind::Smart,
                                           ScanKind::FullSystem),
                         KindName);

}  // namespace
}  // namespace qm::scan
