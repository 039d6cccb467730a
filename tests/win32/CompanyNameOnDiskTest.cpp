// The company reader on real executables: Wine's own programs and libraries, whose version
// tables name Microsoft with a "StringFileInfo" block of type word 0, and this test program,
// whose table the build writes with windres.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/WinApi.h"
#include "scan/CompanyName.h"

namespace qm::scan {
namespace {

bool IsImage(platform::FileSystem& files, const std::string& path) {
    auto reader = files.OpenForReading(path);
    char head[2] = {};
    return reader && reader->Read(head, 2) == 2 && head[0] == 'M' && head[1] == 'Z';
}

// One of Wine's PE files: from the Linux folder they are installed in, reached through drive Z:,
// else the copy in the prefix's Windows or system folder.
std::string WineImage(platform::FileSystem& files, const std::string& name) {
    char windows[MAX_PATH] = {}, system[MAX_PATH] = {};
    ::GetWindowsDirectoryA(windows, MAX_PATH);
    ::GetSystemDirectoryA(system, MAX_PATH);
    for (const std::string& folder :
         {std::string("Z:\\usr\\lib\\x86_64-linux-gnu\\wine\\x86_64-windows"), std::string(windows),
          std::string(system)}) {
        if (IsImage(files, folder + "\\" + name)) return folder + "\\" + name;
    }
    return {};
}

struct RealFile {
    const char* name;
    const char* company;
    friend void PrintTo(const RealFile& f, std::ostream* os) { *os << f.name; }
};

class CompanyNameOnDiskTest : public ::testing::TestWithParam<RealFile> {};

TEST_P(CompanyNameOnDiskTest, WineImagesNameTheirCompany) {
    platform::win32::Win32FileSystem files;
    const std::string path = WineImage(files, GetParam().name);
    ASSERT_FALSE(path.empty()) << "Wine's " << GetParam().name << " not found";
    EXPECT_EQ(ReadCompanyName(files, path), GetParam().company);
}

INSTANTIATE_TEST_SUITE_P(Wine, CompanyNameOnDiskTest,
                         ::testing::Values(RealFile{"regedit.exe", "Microsoft Corporation"},
                                           RealFile{"kernel32.dll", "Microsoft Corporation"},
                                           RealFile{"notepad.exe", ""}),
                         [](const auto& p) {
                             std::string name = p.param.name;
                             return name.substr(0, name.find('.'));
                         });

TEST(CompanyNameOnDiskTest, TheBuildsOwnVersionResourceNamesItsCompany) {
    char self[MAX_PATH] = {};
    ASSERT_GT(::GetModuleFileNameA(nullptr, self, MAX_PATH), 0u);
    platform::win32::Win32FileSystem files;
    EXPECT_EQ(ReadCompanyName(files, self), "Quillmarsh Software");
}

}  // namespace
}  // namespace qm::scan
