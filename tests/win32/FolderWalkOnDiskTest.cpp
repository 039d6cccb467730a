// A Folder Scan over real folders: names outside the code page and paths past MAX_PATH do not
// stop the walk, and the threats in and around them are found.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "DiskScan.h"
#include "TempFolder.h"
#include "platform/win32/WinApi.h"

namespace qm::scan {
namespace {

void MakeFolderW(const std::wstring& path) {
    ASSERT_TRUE(::CreateDirectoryW(path.c_str(), nullptr)) << ::GetLastError();
}

void PutFileW(const std::wstring& path) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << ::GetLastError();
    DWORD written = 0;
    ::WriteFile(file, "MZ", 2, &written, nullptr);
    ::CloseHandle(file);
}

TEST(FolderWalkOnDiskTest, UnusualNamesAndOverlongPathsDoNotStopTheWalk) {
    wintest::TempFolder temp;
    const std::string data = temp / "data";
    ASSERT_TRUE(::CreateDirectoryA(data.c_str(), nullptr));
    // Names longer than 16 characters with ".exe" match on their name alone, wherever they lie.
    wintest::PutFile(
        data + "\\FileDefinition.dat",
        wintest::Scrambled({"qmwalk-unicode-threat.exe=Walk Unicode|[drive]\\x\\y|Adware",
                            "qmwalk-deep-threat.exe=Walk Deep|[drive]\\x\\y|Adware",
                            "qmwalk-after-threat.exe=Walk After|[drive]\\x\\y|Adware"}));
    for (const char* name : {"DirectoryDefinition.dat", "RegistryDefinition.dat",
                             "ExeDefinition.dat", "BlockedCookies.dat"}) {
        wintest::PutFile(data + "\\" + name, "");
    }

    const std::wstring walk = L"\\\\?\\" + wintest::Widen(temp / "walk");
    MakeFolderW(walk);
    // A folder and a file whose names the ANSI code page cannot show.
    MakeFolderW(walk + L"\\\u6570\u636e");
    PutFileW(walk + L"\\\u6570\u636e\\qmwalk-unicode-threat.exe");
    PutFileW(walk + L"\\\u4e2d\u6587.txt");
    // A branch deeper than MAX_PATH, with a threat at its bottom.
    std::wstring deep = walk + L"\\deep";
    MakeFolderW(deep);
    while (deep.size() < 330) {
        deep += L"\\" + std::wstring(40, L'd');
        MakeFolderW(deep);
    }
    PutFileW(deep + L"\\qmwalk-deep-threat.exe");
    // And a threat the walk meets after the deep branch.
    MakeFolderW(walk + L"\\zz-after");
    PutFileW(walk + L"\\zz-after\\qmwalk-after-threat.exe");

    wintest::DiskScan scan(data);
    scan.pickers.folder = temp / "walk";
    ui::FrmMain& form = scan.form;
    form.SelectScanKind(ui::ScanKind::Folder);
    scan.app->StartScan();

    EXPECT_EQ(form.lblStatus.caption, "Scanning complete.");
    std::vector<std::string> found;
    for (const auto& row : form.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.rows)
        found.push_back(row.text);
    // The file below the unusual folder name is reached through the folder's short name, the
    // one past MAX_PATH through the deep branch.
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (std::vector<std::string>{"Walk After", "Walk Deep", "Walk Unicode"}));
    for (const auto& row : form.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.rows) {
        EXPECT_EQ(row.SubItem(1).find('?'), std::string::npos) << row.SubItem(1);
        EXPECT_TRUE(scan.machine.files.Attributes(row.SubItem(1)))
            << "the reported path reaches the file";
    }
}

}  // namespace
}  // namespace qm::scan
