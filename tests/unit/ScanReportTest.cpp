// The scan report on the fake machine: the whole text of an empty scan, each kind of row with
// its company, type and size, the exclusion, browser and quarantine sections, the viewer's folding
// and the one-step replacement of the file.

#include "report/ScanReport.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "support/FakePlatform.h"
#include "support/PeImage.h"

namespace qm::report {
namespace {

using test::FakeMachine;

const std::string kData = FakeMachine::kDataFolder;
const std::string kReport = kData + "\\Scan_Log.txt";
const platform::ProductInfo kProduct{"Quillmarsh", "Quillmarsh Software", "", 2, 7};

// The report of a scan that found nothing, with no exclusion list and no quarantine log.
const std::string kEmptyReport =
    "\r\n\r\n"
    "                   Quillmarshv2.7   Scan Report\r\n\r\n"
    "\r\n\r\n"
    "Remember: Not all items found are malicious.  In particular, cookies and recent document "
    "lists are only privacy concerns.  They cannot hurt your computer.  If you are unsure about "
    "an item please send this log to an expert before removing the item from your computer."
    "\r\n\r\n"
    "\r\n\r\n"
    "-----------------------\r\n\r\n"
    " Scan Started at  : 12/8/2026 8:40:00 PM\r\n\r\n"
    " Scan Finished at : 12/8/2026 8:46:21 PM\r\n\r\n"
    "-----------------------\r\n\r\n"
    "\r\n\r\n"
    "\r\n\r\n"
    " 1)Total Number of Processes inspected: 31\r\n\r\n"
    " 2)Total Number of Registry entries inspected: 402\r\n\r\n"
    " 3)Total Number of Files/Folders inspected: 1,234\r\n\r\n"
    "\r\n\r\n"
    "[Threats Detected]\r\n\r\n\r\n"
    "============================================\r\n\r\n\r\n"
    "Total = 0\r\n\r\n"
    "\r\n\r\n"
    "=====================End Of Report.\r\n";

// The same report as the viewer shows it.
const std::string kEmptyReportViewed =
    "\r\n\r\n"
    "                   Quillmarshv2.7   Scan Report\r\n"
    "\r\n\r\n"
    "Remember: Not all items found are malicious.  In particular, cookies and recent document "
    "lists are only privacy concerns.  They cannot hurt your computer.  If you are unsure about "
    "an item please send this log to an expert before removing the item from your computer."
    "\r\n"
    "\r\n\r\n"
    "-----------------------\r\n"
    " Scan Started at  : 12/8/2026 8:40:00 PM\r\n"
    " Scan Finished at : 12/8/2026 8:46:21 PM\r\n"
    "-----------------------\r\n"
    "\r\n\r\n"
    "\r\n\r\n"
    " 1)Total Number of Processes inspected: 31\r\n"
    " 2)Total Number of Registry entries inspected: 402\r\n"
    " 3)Total Number of Files/Folders inspected: 1,234\r\n"
    "\r\n\r\n"
    "[Threats Detected]\r\n\r\n"
    "============================================\r\n\r\n"
    "Total = 0\r\n"
    "\r\n\r\n"
    "=====================End Of Report.";

constexpr const char* kEnd = "\r\n\r\n=====================End Of Report.\r\n";

std::string AcmeImage() {
    namespace pe = test::pe;
    return pe::Image(pe::VersionSection(pe::VersionInfo({pe::Table({
        {"CompanyName", "Acme Adware Ltd"},
        {"FileDescription", "Toolbar"},
    })})));
}

// One row of the report as the reader sees it.
std::string RowBlock(const std::string& location, const std::string& name,
                     const std::string& company, const std::string& type, std::size_t size) {
    return "============================================\r\n\r\n"
           "File: " +
           location + "\r\n\r\nName: " + name + "\r\n\r\nCompany: " + company +
           "\r\n\r\nType: " + type + "\r\n\r\nSize: " + std::to_string(size) +
           " bytes\r\n\r\nDetail: Shows ads\r\n\r\nRisk: High\r\n\r\n\r\n";
}

class ScanReportTest : public ::testing::Test {
  protected:
    ui::ListItem& AddRow(const std::string& name, const std::string& location, int icon) {
        ui::ListItem& row = results.Add(name, icon);
        row.SetSubItem(1, location);
        row.SetSubItem(2, "Adware");
        row.SetSubItem(3, "High");
        row.SetSubItem(4, "Shows ads");
        return row;
    }
    ReportInputs Inputs() const {
        return ReportInputs{"start", "finish", "1", "2", "3", results, "Q", 1, 0};
    }
    std::string Report() { return MakeReportText(m.files, kData, Inputs()); }
    // What follows the line "Total = N" with its two line breaks.
    std::string Tail() {
        const std::string text = Report();
        const auto total = text.find("Total = ");
        if (total == std::string::npos) return "(no total)";
        return text.substr(text.find("\r\n\r\n", total) + 4);
    }

    FakeMachine m;
    ui::ListView results;
};

TEST_F(ScanReportTest, AScanThatFoundNothingGivesHeaderCountersAndAnEmptyList) {
    ui::FrmMain form;
    form.lblMemoryInspected.caption = "31";
    form.lblRegistryInspected.caption = "402";
    form.lblFilesFolderInspected.caption = "1,234";
    ReportInputs in = InputsFrom(form, "12/8/2026 8:40:00 PM", "12/8/2026 8:46:21 PM", kProduct);
    EXPECT_EQ(MakeReportText(m.files, kData, in), kEmptyReport);
    // What the walk could not enter is said after the counters.
    in.skipped = 2;
    const std::string text = MakeReportText(m.files, kData, in);
    EXPECT_NE(text.find(" 3)Total Number of Files/Folders inspected: 1,234\r\n\r\n"
                        " 4)Files/Folders that could not be scanned (their names cannot be "
                        "shown): 2\r\n"),
              std::string::npos);
}

struct RowCase {
    const char* label;
    int icon;
    std::optional<std::string> file;  // what lies at the location; nothing: no file there
    const char* company;
    const char* type;
    bool sized;  // the size is the file's length
};

class ReportRowTest : public ScanReportTest, public ::testing::WithParamInterface<RowCase> {};

TEST_P(ReportRowTest, EachKindHasItsCompanyTypeAndSize) {
    const RowCase& c = GetParam();
    const std::string location = "C:\\Program Files\\Acme\\item";
    if (c.icon == ui::detection::kFolder) {
        m.files.PutFolder(location);
    } else if (c.file) {
        m.files.PutFile(location, *c.file);
    }
    AddRow("Acme Toolbar", location, c.icon);
    const std::string text = Report();
    EXPECT_NE(text.find("[Threats Detected]\r\n\r\n\r\n" +
                        RowBlock(location, "Acme Toolbar", c.company, c.type,
                                 c.sized ? c.file->size() : 0) +
                        "============================================\r\n\r\n\r\nTotal = 1\r\n"),
              std::string::npos)
        << text;
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ReportRowTest,
    ::testing::Values(RowCase{"FileWithVersionInfo", 3, AcmeImage(), "Acme Adware Ltd", "File",
                              true},
                      RowCase{"FileWithoutCompany", 3, "plain bytes", "", "File", true},
                      RowCase{"Cookie", 1, "id\n42\ntracker.example/\n", "N/A", "Cookie", true},
                      RowCase{"Registry", 2, std::nullopt, "N/A", "Registry", false},
                      // An excluded item is not measured, even when it is a file.
                      RowCase{"Excluded", 5, AcmeImage(), "N/A", "EXCLUDED", false},
                      RowCase{"Folder", 4, std::nullopt, "N/A", "Folder", false}),
    [](const auto& p) { return std::string(p.param.label); });

TEST_F(ScanReportTest, AFailedLookupShowsWhatWasFoundForThatRowNotThePreviousRows) {
    const std::string image = AcmeImage();
    m.files.PutFile("C:\\a\\acme.exe", image);
    AddRow("Acme", "C:\\a\\acme.exe", ui::detection::kFile);
    AddRow("Gone", "C:\\a\\gone.exe", ui::detection::kFile);
    AddRow("Gone cookie", "C:\\cookies\\gone.txt", ui::detection::kCookie);
    const std::string text = Report();
    EXPECT_NE(
        text.find(RowBlock("C:\\a\\acme.exe", "Acme", "Acme Adware Ltd", "File", image.size()) +
                  RowBlock("C:\\a\\gone.exe", "Gone", "", "File", 0) +
                  RowBlock("C:\\cookies\\gone.txt", "Gone cookie", "N/A", "Cookie", 0)),
        std::string::npos)
        << text;
}

struct ListsCase {
    const char* label;
    std::optional<std::string> exclusions;  // ENoSignature.dat; nothing: no list
    std::optional<std::string> quarantine;  // quarantine\QuarantineLog.txt
    std::string tail;                       // the report after "Total = 0"
};

class ReportListsTest : public ScanReportTest, public ::testing::WithParamInterface<ListsCase> {};

TEST_P(ReportListsTest, TheExclusionListAndTheQuarantineLogFollowTheTotal) {
    const ListsCase& c = GetParam();
    if (c.exclusions) m.files.PutFile(kData + "\\ENoSignature.dat", *c.exclusions);
    if (c.quarantine) m.files.PutFile(kData + "\\quarantine\\QuarantineLog.txt", *c.quarantine);
    EXPECT_EQ(Tail(), c.tail);
}

const std::string kLog =
    "12/8/2026 8:46:21 PM - File: bad.exe\r\n - Location: C:\\bad.exe\r\n\r\n\r\n";
const std::string kLogSection =
    "\r\n[Current Quarantine Log]\r\n\r\n"
    "12/8/2026 8:46:21 PM - File: bad.exe\r\n\r\n - Location: C:\\bad.exe\r\n\r\n\r\n\r\n\r\n\r\n"
    "\r\n\r\n\r\n";
const std::string kExclusionSection =
    "\r\n[Files Currently Excluded]\r\n\r\nC:\\tools\\keep.exe\r\nkeep|me too\r\n  \r\n\r\n\r\n";

INSTANTIATE_TEST_SUITE_P(
    Lists, ReportListsTest,
    ::testing::Values(ListsCase{"None", std::nullopt, std::nullopt, kEnd},
                      // Empty lines and lines of one blank are left out; two blanks are an entry.
                      ListsCase{"Exclusions", "C:\\tools\\keep.exe\r\n\r\n \r\nkeep|me too\n  \r\n",
                                std::nullopt, kExclusionSection + kEnd},
                      ListsCase{"OnlyBlankExclusions", "\r\n \r\n", std::nullopt, kEnd},
                      ListsCase{"QuarantineLog", std::nullopt, kLog, kLogSection + kEnd},
                      ListsCase{"Both", "C:\\tools\\keep.exe\r\nkeep|me too\r\n  ", kLog,
                                kExclusionSection + kLogSection + kEnd}),
    [](const auto& p) { return std::string(p.param.label); });

TEST_F(ScanReportTest, TheBrowsersStartPagesAndSearchEnginesFollowTheExclusionList) {
    m.files.PutFile(kData + "\\ENoSignature.dat", "C:\\tools\\keep.exe\r\nkeep|me too\r\n  ");
    m.files.PutFile(kData + "\\quarantine\\QuarantineLog.txt", kLog);
    std::vector<shields::BrowserProfile> profiles(2);
    profiles[0].browser = "Edge";
    profiles[0].profile = "Default";
    profiles[0].profilePath = "C:\\e\\Default";
    profiles[0].readable = true;
    profiles[0].startPages = {"https://start.example/"};
    profiles[0].searchEngineName = "Finder";
    profiles[1].browser = "Firefox";
    profiles[1].profile = "x.default";
    profiles[1].profilePath = "C:\\f\\x.default";
    ReportInputs in = Inputs();
    in.browserProfiles = &profiles;
    const std::string text = MakeReportText(m.files, kData, in);
    const auto total = text.find("Total = 0\r\n\r\n");
    ASSERT_NE(total, std::string::npos) << text;
    EXPECT_EQ(text.substr(total + 13),
              kExclusionSection +
                  "\r\n[Browser Start Pages And Search Engines]\r\n\r\n"
                  "Edge, profile \"Default\": C:\\e\\Default\r\n\r\n"
                  "  At start: the browser's default\r\n\r\n"
                  "  Start page: https://start.example/\r\n\r\n"
                  "  Search engine: Finder\r\n\r\n"
                  "\r\n\r\n"
                  "Firefox, profile \"x.default\": C:\\f\\x.default\r\n\r\n"
                  "  Its settings could not be read.\r\n\r\n"
                  "\r\n\r\n" +
                  kLogSection + kEnd);
    // No profile found: no section at all.
    profiles.clear();
    EXPECT_EQ(MakeReportText(m.files, kData, in).find("[Browser"), std::string::npos);
}

struct ViewCase {
    const char* label;
    std::optional<std::string> file;
    std::string shown;
};

class ReportViewerTest : public ::testing::TestWithParam<ViewCase> {};

TEST_P(ReportViewerTest, BlankLinesBecomeLineBreaksAndOtherLinesJoin) {
    FakeMachine m;
    if (GetParam().file) m.files.PutFile(kReport, *GetParam().file);
    EXPECT_EQ(ViewerText(m.files, kReport), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ReportViewerTest,
    ::testing::Values(ViewCase{"WrittenReport", kEmptyReport, kEmptyReportViewed},
                      // Edited by hand: other line ends, blank-only lines.
                      ViewCase{"EditedByHand", "a\nb\r   \rc\r\n\r\nd", "ab\r\nc\r\nd"},
                      ViewCase{"Missing", std::nullopt, ""}),
    [](const auto& p) { return std::string(p.param.label); });

class ReportWriteTest : public ScanReportTest, public ::testing::WithParamInterface<bool> {};

TEST_P(ReportWriteTest, TheNewReportReplacesTheOldOneOrTheOldOneStaysWhole) {
    const bool diskFull = GetParam();
    m.files.PutFile(kReport, "the previous report");
    m.files.failWrites = diskFull;
    EXPECT_EQ(MakeReport(m.files, kData, Inputs()), !diskFull);
    EXPECT_EQ(m.files.Content(kReport), diskFull ? "the previous report" : Report());
}

INSTANTIATE_TEST_SUITE_P(Disk, ReportWriteTest, ::testing::Values(false, true),
                         [](const auto& p) { return std::string(p.param ? "Full" : "Writable"); });

// The file system's own size query and the one every file system has by reading the file
// through agree, over the chunk the reader reads at a time.
class FileSizeTest : public ::testing::TestWithParam<std::size_t> {};

TEST_P(FileSizeTest, TheLengthIsTheNumberOfBytes) {
    FakeMachine m;
    m.files.PutFile("C:\\f.bin", std::string(GetParam(), 'x'));
    platform::FileSystem& files = m.files;
    for (const std::string& path : {std::string("C:\\f.bin"), std::string("C:\\none"), kData}) {
        const auto expected = path == "C:\\f.bin" ? std::optional<std::uint64_t>(GetParam())
                                                  : std::nullopt;  // missing, or a folder
        EXPECT_EQ(files.FileSize(path), expected) << path;
        EXPECT_EQ(files.platform::FileSystem::FileSize(path), expected) << path;
    }
}

INSTANTIATE_TEST_SUITE_P(Lengths, FileSizeTest, ::testing::Values(0, 1, 16 * 1024 + 1, 100000));

}  // namespace
}  // namespace qm::report
