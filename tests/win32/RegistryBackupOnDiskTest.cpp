// A registry removal's backup, imported with the system's registry editor or restored from the
// quarantine, brings back exactly what was deleted: each value's name, type and data, and a
// whole key with its subkeys.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TempFolder.h"
#include "platform/win32/Handle.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/WinApi.h"
#include "removal/RegistryRemoval.h"

namespace qm::removal {
namespace {

struct NoEvents final : defs::LoadControl {
    bool StopRequested() const override { return false; }
    void LetEventsRun() override {}
};

struct Raw {
    DWORD type = 0;
    std::vector<BYTE> data;
    bool operator==(const Raw&) const = default;
};

std::optional<Raw> Read(const std::string& key, const std::string& name) {
    platform::win32::UniqueRegKey k;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, k.put()) != ERROR_SUCCESS)
        return std::nullopt;
    Raw raw;
    DWORD size = 0;
    if (::RegQueryValueExA(k.get(), name.c_str(), nullptr, &raw.type, nullptr, &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    raw.data.resize(size);
    ::RegQueryValueExA(k.get(), name.c_str(), nullptr, &raw.type, raw.data.data(), &size);
    return raw;
}

void Import(const std::string& file) {
    std::string command = "regedit.exe /s \"" + file + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    ASSERT_TRUE(::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 nullptr, &startup, &info));
    platform::win32::UniqueFile process(info.hProcess), thread(info.hThread);
    ::WaitForSingleObject(info.hProcess, 60000);
}

struct Value {
    std::string name;
    DWORD type;
    std::string bytes;
};

const std::vector<Value> kValues = {
    {"Text", REG_SZ, std::string("hello \"world\" \\ 100%\0", 22)},
    {"Expand", REG_EXPAND_SZ, std::string("%TEMP%\\x\0", 9)},
    {"Number", REG_DWORD, std::string("\x2a\x00\x00\x80", 4)},
    {"Binary", REG_BINARY, std::string("\x00\x01\xfe\xff", 4)},
    {"Multi", REG_MULTI_SZ, std::string("one\0two\0\0", 9)},
    {"Quad", REG_QWORD, std::string("\x01\x02\x03\x04\x05\x06\x07\x08", 8)},
    {"Back\\Sl\"ash", REG_SZ, std::string("v\0", 2)},
    {"Caf\xe9", REG_SZ, std::string("\xe9t\xe9\0", 4)},
    {"", REG_SZ, std::string("default\0", 8)},
};

// The key with every value above and a subkey "Sub" with one value "Deep".
void CreateTestKey(const std::string& key) {
    platform::win32::UniqueRegKey k;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, (key + "\\Sub").c_str(), 0, nullptr, 0,
                                KEY_ALL_ACCESS, nullptr, k.put(), nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExA(k.get(), "Deep", 0, REG_SZ, reinterpret_cast<const BYTE*>("d"), 2);
    platform::win32::UniqueRegKey top;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_ALL_ACCESS, top.put()),
              ERROR_SUCCESS);
    for (const auto& v : kValues) {
        ASSERT_EQ(::RegSetValueExA(top.get(), v.name.c_str(), 0, v.type,
                                   reinterpret_cast<const BYTE*>(v.bytes.data()),
                                   static_cast<DWORD>(v.bytes.size())),
                  ERROR_SUCCESS);
    }
}

// A test key with every kind of value, what it held before, and a quarantine to back it up in.
class RegistryBackupOnDiskTest : public ::testing::Test {
  protected:
    void SetUp() override {
        CreateTestKey(key);
        for (const auto& v : kValues)
            before.push_back(Read(key, v.name));
        deepBefore = Read(key + "\\Sub", "Deep");
    }
    void TearDown() override {
        ::RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str());
        ::RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
    }

    wintest::TempFolder temp;
    platform::win32::Win32Platform machine;
    NoEvents events;
    QuarantineStore store{machine.platform, temp.path(), events};
    RegistryRemoval removal{machine.registry, store};
    const std::string key = "Software\\QmBackupTest-" + std::to_string(::GetCurrentProcessId());
    std::vector<std::optional<Raw>> before;
    std::optional<Raw> deepBefore;
};

TEST_F(RegistryBackupOnDiskTest, ImportingTheBackupsRestoresWhatWasDeleted) {
    store.logging = true;

    for (const auto& v : kValues)
        removal.DeleteValue(platform::root::kCurrentUser, key, v.name);
    for (const auto& v : kValues)
        EXPECT_FALSE(Read(key, v.name)) << v.name;
    ASSERT_TRUE(removal.DeleteKey(platform::root::kCurrentUser, key));
    EXPECT_FALSE(Read(key + "\\Sub", "Deep"));

    // One backup file per removal; importing them all brings everything back.
    int files = 0;
    for (const auto& entry : machine.files.ListFolder(store.Folder())) {
        if (entry.name.size() < 4 || entry.name.substr(entry.name.size() - 4) != ".reg") continue;
        ++files;
        Import(store.Folder() + "\\" + entry.name);
    }
    EXPECT_EQ(files, static_cast<int>(kValues.size()) + 1);
    for (std::size_t i = 0; i < kValues.size(); ++i) {
        EXPECT_EQ(Read(key, kValues[i].name), before[i]) << kValues[i].name;
    }
    EXPECT_EQ(Read(key + "\\Sub", "Deep"), deepBefore);
}

TEST_F(RegistryBackupOnDiskTest, RestoringFromTheQuarantineBringsBackEachTypeAndAWholeKey) {
    using platform::root::kCurrentUser;

    for (const auto& v : kValues)
        ASSERT_TRUE(removal.DeleteValue(kCurrentUser, key, v.name)) << v.name;
    const auto entries = store.ReadManifest().entries;
    ASSERT_EQ(entries.size(), kValues.size());

    // While a value of that name is there again, its backup is not imported over it.
    ::RegSetKeyValueA(HKEY_CURRENT_USER, key.c_str(), "Text", REG_SZ, "newer", 6);
    EXPECT_EQ(store.Restore(entries[0].name).status, RestoreStatus::TargetExists);
    EXPECT_EQ(Read(key, "Text"), (Raw{REG_SZ, {'n', 'e', 'w', 'e', 'r', 0}}));
    ::RegDeleteKeyValueA(HKEY_CURRENT_USER, key.c_str(), "Text");

    for (std::size_t i = 0; i < kValues.size(); ++i) {
        const RestoreOutcome outcome = store.Restore(entries[i].name);
        EXPECT_TRUE(outcome.restored()) << outcome.message;
        EXPECT_EQ(Read(key, kValues[i].name), before[i]) << kValues[i].name;
        // Exported again, the value gives the very file its backup is.
        EXPECT_EQ(
            machine.registry.ExportValue(kCurrentUser, "HKEY_CURRENT_USER", key, kValues[i].name),
            wintest::FileContent(store.Folder() + "\\" + entries[i].name))
            << kValues[i].name;
    }

    ASSERT_TRUE(removal.DeleteKey(kCurrentUser, key));
    ASSERT_FALSE(Read(key + "\\Sub", "Deep"));
    const RestoreOutcome whole = store.Restore(store.ReadManifest().entries.back().name);
    EXPECT_TRUE(whole.restored()) << whole.message;
    for (std::size_t i = 0; i < kValues.size(); ++i)
        EXPECT_EQ(Read(key, kValues[i].name), before[i]) << kValues[i].name;
    EXPECT_EQ(Read(key + "\\Sub", "Deep"), deepBefore);

    // A whole key is not restored into a key of that name that is there now.
    ASSERT_TRUE(removal.DeleteKey(kCurrentUser, key));
    platform::win32::UniqueRegKey empty;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                nullptr, empty.put(), nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(store.Restore(store.ReadManifest().entries.back().name).status,
              RestoreStatus::TargetExists);
    EXPECT_FALSE(Read(key, "Text"));
    EXPECT_FALSE(Read(key + "\\Sub", "Deep"));

    // A file that is not a whole registry-editor file sets nothing.
    EXPECT_FALSE(machine.registry.ImportRegistryFile("not a registry file"));
    std::string torn = *wintest::FileContent(store.Folder() + "\\" + entries[0].name);
    torn.resize(torn.size() - 12);
    torn += std::string("x\0", 2);
    EXPECT_FALSE(machine.registry.ImportRegistryFile(torn));
    EXPECT_FALSE(Read(key, "Text"));
}

}  // namespace
}  // namespace qm::removal
