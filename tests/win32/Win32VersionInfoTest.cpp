// Win32VersionInfo reads this test program's own version resource, which the build gives it
// the same way as the program's executables.
#include "platform/win32/Win32VersionInfo.h"

#include <gtest/gtest.h>

#include "platform/win32/Handle.h"
#include "platform/win32/WinApi.h"

namespace qm::platform::win32 {
namespace {

TEST(Win32VersionInfoTest, OwnProductInfoComesFromTheRunningProgramsResource) {
    const ProductInfo info = Win32VersionInfo().OwnProductInfo();
    EXPECT_EQ(info.productName, "Quillmarsh");
    EXPECT_EQ(info.companyName, "Quillmarsh Software");
    EXPECT_EQ(info.website, "www.quillmarsh.example");
    EXPECT_EQ(info.major, 1);
    EXPECT_EQ(info.minor, 0);
}

// The same resource script gives every executable the icon the windows and the tray show.
TEST(Win32VersionInfoTest, TheProgramCarriesTheApplicationIcon) {
    UniqueIcon icon(static_cast<HICON>(
        ::LoadImageA(::GetModuleHandleA(nullptr), "AAA", IMAGE_ICON, 32, 32, 0)));
    EXPECT_TRUE(icon) << "error " << ::GetLastError();
}

}  // namespace
}  // namespace qm::platform::win32
