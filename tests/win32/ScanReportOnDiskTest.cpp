// The scan report on the real file system: a file row naming one of Wine's own programs shows
// its real company and length, a second report takes the first one's place, and a report that
// cannot be moved into place leaves the previous one whole.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TempFolder.h"
#include "platform/win32/Handle.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/WinApi.h"
#include "report/ScanReport.h"
#include "ui/FrmMain.h"

namespace qm::report {
namespace {

// The prefix's copy of one of Wine's programs, else the one in Wine's own folder (drive Z:).
std::string WineProgram(const std::string& name) {
    char windows[MAX_PATH] = {};
    ::GetWindowsDirectoryA(windows, MAX_PATH);
    for (const std::string& folder :
         {std::string(windows),
          std::string("Z:\\usr\\lib\\x86_64-linux-gnu\\wine\\x86_64-windows")}) {
        const std::string path = folder + "\\" + name;
        if (wintest::PathExists(path)) return path;
    }
    return {};
}

std::vector<std::string> Names(platform::FileSystem& files, const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : files.ListFolder(folder))
        names.push_back(entry.name);
    return names;
}

class ScanReportOnDiskTest : public ::testing::Test {
  protected:
    ReportInputs Inputs(const ui::ListView& rows) {
        return ReportInputs{"12/8/2026 8:40:00 PM",
                            "12/8/2026 8:46:21 PM",
                            "31",
                            "402",
                            "1,234",
                            rows,
                            "Quillmarsh",
                            1,
                            0};
    }

    wintest::TempFolder data;
    platform::win32::Win32FileSystem files;
    const std::string report = data / "Scan_Log.txt";
};

TEST_F(ScanReportOnDiskTest, AFileRowShowsItsRealCompanyAndLengthAndTheNextReportReplacesIt) {
    const std::string regedit = WineProgram("regedit.exe");
    ASSERT_FALSE(regedit.empty()) << "Wine's regedit.exe not found";
    const auto image = wintest::FileContent(regedit);
    ASSERT_TRUE(image);
    ui::ListView results;
    ui::ListItem& row = results.Add("Registry Editor", ui::detection::kFile);
    row.SetSubItem(1, regedit);
    row.SetSubItem(3, "Low");
    row.SetSubItem(4, "Edits the registry");
    // Enough rows for the report to be written in several pieces.
    for (int i = 0; i < 2500; ++i) {
        ui::ListItem& cookie = results.Add("Tracker " + std::to_string(i), ui::detection::kCookie);
        cookie.SetSubItem(1, data / ("cookie" + std::to_string(i) + ".txt"));
        cookie.SetSubItem(4, "Follows the user from site to site");
    }

    ASSERT_TRUE(MakeReport(files, data.path(), Inputs(results)));
    const auto first = wintest::FileContent(report);
    ASSERT_TRUE(first);
    ASSERT_GT(first->size(), 2u * 256 * 1024);
    EXPECT_EQ(*first, MakeReportText(files, data.path(), Inputs(results)));
    EXPECT_NE(first->find("File: " + regedit +
                          "\r\n\r\nName: Registry Editor\r\n\r\n"
                          "Company: Microsoft Corporation\r\n\r\nType: File\r\n\r\nSize: " +
                          std::to_string(image->size()) + " bytes\r\n\r\n"),
              std::string::npos)
        << *first;

    // A shorter report: nothing of the first may remain after it.
    const ui::ListView none;
    const std::string second = MakeReportText(files, data.path(), Inputs(none));
    ASSERT_LT(second.size(), first->size());
    ASSERT_TRUE(WriteReport(files, data.path(), second));
    EXPECT_EQ(wintest::FileContent(report), second);
    EXPECT_EQ(Names(files, data.path()), std::vector<std::string>{"Scan_Log.txt"});
}

TEST_F(ScanReportOnDiskTest, AReportThatCannotTakeThePlaceOfTheOldOneLeavesItWhole) {
    wintest::PutFile(report, "the previous report");
    const ui::ListView none;
    {
        // Another program holds the old report open and shares nothing.
        platform::win32::UniqueFile held(::CreateFileA(report.c_str(), GENERIC_READ, 0, nullptr,
                                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                                       nullptr));
        ASSERT_TRUE(held);
        EXPECT_FALSE(MakeReport(files, data.path(), Inputs(none)));
        // Its length comes from the folder entry, without opening it; a folder has none.
        EXPECT_EQ(files.FileSize(report), std::string("the previous report").size());
        EXPECT_EQ(files.FileSize(data.path()), std::nullopt);
    }
    EXPECT_EQ(wintest::FileContent(report), "the previous report");
    EXPECT_EQ(Names(files, data.path()), std::vector<std::string>{"Scan_Log.txt"})
        << "the new report's scratch file is gone";
}

}  // namespace
}  // namespace qm::report
