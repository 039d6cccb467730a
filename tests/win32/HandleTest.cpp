// Ownership rules of the handle wrapper, observed through the real handle table: a handle is
// closed exactly when its last owner lets go of it.
#include <gtest/gtest.h>

#include <utility>

#include "TempFolder.h"
#include "platform/win32/Handle.h"
#include "platform/win32/WinApi.h"

namespace qm::platform::win32 {
namespace {

bool IsOpen(HANDLE h) {
    DWORD flags = 0;
    return ::GetHandleInformation(h, &flags) != FALSE;
}

class HandleTest : public ::testing::Test {
  protected:
    UniqueFile OpenFile() {
        return UniqueFile(::CreateFileA(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    void SetUp() override { wintest::PutFile(path_, "x"); }

    wintest::TempFolder folder_;
    std::string path_ = folder_ / "file.txt";
};

TEST_F(HandleTest, FailedOpensAreInvalidForEachKindOfHandle) {
    EXPECT_FALSE(UniqueFile().valid());
    EXPECT_FALSE(UniqueRegKey().valid());

    // CreateFileA and FindFirstFileA fail with INVALID_HANDLE_VALUE, not NULL.
    UniqueFile missing(::CreateFileA((folder_ / "missing").c_str(), GENERIC_READ, 0, nullptr,
                                     OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(missing);
    WIN32_FIND_DATAA data{};
    UniqueFind none(::FindFirstFileA((folder_ / "missing*").c_str(), &data));
    EXPECT_FALSE(none);

    // Registry keys fail with NULL and are filled in through put().
    UniqueRegKey key;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, key.put()),
              ERROR_SUCCESS);
    EXPECT_TRUE(key);
    UniqueRegKey absent;
    EXPECT_NE(::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Quillmarsh test: no such key", 0,
                              KEY_READ, absent.put()),
              ERROR_SUCCESS);
    EXPECT_FALSE(absent);
}

TEST_F(HandleTest, GoingOutOfScopeAndResetCloseTheHandle) {
    HANDLE raw = nullptr;
    {
        UniqueFile file = OpenFile();
        ASSERT_TRUE(file);
        raw = file.get();
        EXPECT_TRUE(IsOpen(raw));
    }
    EXPECT_FALSE(IsOpen(raw));

    UniqueFile file = OpenFile();
    raw = file.get();
    file.reset();
    EXPECT_FALSE(file);
    EXPECT_FALSE(IsOpen(raw));
}

TEST_F(HandleTest, MovingTransfersOwnershipWithoutClosing) {
    UniqueFile first = OpenFile();
    const HANDLE raw = first.get();

    UniqueFile second(std::move(first));
    EXPECT_FALSE(first);  // NOLINT(bugprone-use-after-move): the moved-from state is the point
    EXPECT_EQ(second.get(), raw);
    EXPECT_TRUE(IsOpen(raw));

    // Assigning over an owner closes what it held before.
    UniqueFile third = OpenFile();
    const HANDLE replaced = third.get();
    third = std::move(second);
    EXPECT_FALSE(IsOpen(replaced));
    EXPECT_TRUE(IsOpen(raw));
    EXPECT_EQ(third.get(), raw);
}

TEST_F(HandleTest, ReleaseGivesUpOwnership) {
    HANDLE raw = nullptr;
    {
        UniqueFile file = OpenFile();
        raw = file.release();
        EXPECT_FALSE(file);
    }
    EXPECT_TRUE(IsOpen(raw));
    EXPECT_TRUE(::CloseHandle(raw));
}

}  // namespace
}  // namespace qm::platform::win32
