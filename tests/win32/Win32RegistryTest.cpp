// The registry, drives and machine-wide settings against the prefix's real registry and
// drives.
#include "platform/win32/Win32Registry.h"

#include <gtest/gtest.h>

#include <string>

#include "app/MachineSettings.h"
#include "platform/win32/Win32Drives.h"
#include "platform/win32/WinApi.h"
#include "settings/SettingsStore.h"

namespace qm::platform::win32 {
namespace {

using Status = RegistryRead::Status;

class Win32RegistryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        unique_ = "Quillmarsh test " + std::to_string(::GetCurrentProcessId()) + "-" +
                  std::to_string(::GetTickCount64());
        key_ = "Software\\" + unique_;
    }
    void TearDown() override {
        ::RegDeleteTreeA(HKEY_CURRENT_USER, key_.c_str());
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, ("SOFTWARE\\" + unique_).c_str());
        registry_.DeleteValue(root::kCurrentUser, app::kRunKey, unique_);
    }
    void PutRaw(const std::string& name, DWORD type, const void* data, DWORD size) {
        HKEY key = nullptr;
        ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                    nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        ::RegSetValueExA(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
        ::RegCloseKey(key);
    }

    Win32Registry registry_;
    std::string unique_;
    std::string key_;
};

TEST_F(Win32RegistryTest, ValuesReadBackWithTheirTypes) {
    EXPECT_EQ(registry_.ReadValue(root::kCurrentUser, key_, "x").status, Status::NoKey);
    ASSERT_TRUE(registry_.WriteString(root::kCurrentUser, key_, "Text", "hello world"));
    ASSERT_TRUE(registry_.WriteString(root::kCurrentUser, key_, "Empty", ""));
    const DWORD number = 42;
    PutRaw("Number", REG_DWORD, &number, sizeof number);
    const char binary[] = {1, 2, 3};
    PutRaw("Binary", REG_BINARY, binary, sizeof binary);
    PutRaw("Unterminated", REG_SZ, "abc", 3);  // stored without its NUL

    const RegistryRead text = registry_.ReadValue(root::kCurrentUser, key_, "text");
    EXPECT_EQ(text.status, Status::Ok);
    EXPECT_EQ(text.type, RegistryValueType::String);
    EXPECT_EQ(text.text, "hello world");
    EXPECT_EQ(registry_.ReadValue(root::kCurrentUser, key_, "Empty").text, "");
    const RegistryRead num = registry_.ReadValue(root::kCurrentUser, key_, "Number");
    EXPECT_EQ(num.type, RegistryValueType::Number);
    EXPECT_EQ(num.number, 42u);
    EXPECT_EQ(registry_.ReadValue(root::kCurrentUser, key_, "Binary").type,
              RegistryValueType::Other);
    EXPECT_EQ(registry_.ReadValue(root::kCurrentUser, key_, "Unterminated").text, "abc");
    EXPECT_EQ(registry_.ReadValue(root::kCurrentUser, key_, "Absent").status, Status::NoValue);

    EXPECT_TRUE(registry_.DeleteValue(root::kCurrentUser, key_, "Text"));
    EXPECT_EQ(registry_.ReadValue(root::kCurrentUser, key_, "Text").status, Status::NoValue);
    EXPECT_FALSE(registry_.DeleteValue(root::kCurrentUser, key_, "Text"));
}

TEST_F(Win32RegistryTest, MachineSettingsLiveUnderTheCompanysKey) {
    settings::MemorySettingsStore store;
    settings::ProgramSettings user(store, "Quillmarsh");
    struct NoPrompts final : ui::Prompts {
        int shown = 0;
        ui::MessageAnswer ShowMessage(const std::string&, const std::string&, ui::MessageButtons,
                                      ui::MessageIcon) override {
            ++shown;
            return ui::MessageAnswer::Abort;
        }
    } prompts;
    app::MachineSettings machine(registry_, user, prompts,
                                 ProductInfo{"Quillmarsh", " " + unique_ + " ", "", 1, 0});
    EXPECT_EQ(machine.ReadMachineSetting("Quillmarsh", "Settings", "FirstTime", "").value, "");
    machine.WriteMachineSetting("Quillmarsh", "Settings", "FirstTime", "Yes");
    EXPECT_EQ(prompts.shown, 0) << "the prefix's user may write the machine-wide branch";
    const RegistryRead direct = registry_.ReadValue(
        root::kLocalMachine, "SOFTWARE\\" + unique_ + "\\Quillmarsh\\Settings", "FirstTime");
    EXPECT_EQ(direct.text, "Yes");
    EXPECT_EQ(machine.ReadMachineSetting("Quillmarsh", "Settings", "FirstTime", "").value, "Yes");
}

TEST_F(Win32RegistryTest, RunEntryIsFoundByTheExecutablesName) {
    EXPECT_FALSE(app::RunEntryPresentForThisUser(registry_, unique_, "Quillmarsh"));
    ASSERT_TRUE(registry_.WriteString(root::kCurrentUser, app::kRunKey, unique_,
                                      "\"C:\\Program Files\\Quillmarsh\\QUILLMARSH.exe\" /tray"));
    EXPECT_TRUE(app::RunEntryPresentForThisUser(registry_, " " + unique_ + " ", "Quillmarsh"));
    EXPECT_FALSE(app::RunEntryPresentForThisUser(registry_, unique_, "Other"));
}

TEST(Win32DrivesTest, TheSystemDriveIsListedAndAMissingOneIsNot) {
    Win32Drives drives;
    bool sawC = false;
    for (const DriveInfo& d : drives.List()) {
        if (d.letter == "C") {
            sawC = true;
            EXPECT_EQ(d.kind, DriveKind::Fixed);
            EXPECT_TRUE(d.ready);
        }
    }
    EXPECT_TRUE(sawC);
    EXPECT_TRUE(drives.VolumeReadable("C:\\"));
    // The highest letter that the prefix does not map.
    const DWORD mapped = ::GetLogicalDrives();
    for (int i = 25; i >= 3; --i) {
        if ((mapped & (1u << i)) == 0) {
            EXPECT_FALSE(drives.VolumeReadable(std::string(1, static_cast<char>('A' + i)) + ":\\"));
            break;
        }
    }
}

}  // namespace
}  // namespace qm::platform::win32
