// A registry removal's backup, imported with the system's registry editor or restored from the
// quarantine, brings back exactly what was deleted: each value's name, type and data, and a
// whole key with its subkeys, in whatever order a key row's two backups are restored, and never
// over a value that is there with other data.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
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

// A test key of this process's own, and a quarantine to back it up in.
class TestKey : public ::testing::Test {
  protected:
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
};

// The test key with every kind of value, and what it held before.
class RegistryBackupOnDiskTest : public TestKey {
  protected:
    void SetUp() override {
        CreateTestKey(key);
        for (const auto& v : kValues)
            before.push_back(Read(key, v.name));
        deepBefore = Read(key + "\\Sub", "Deep");
    }

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
        EXPECT_EQ(machine.registry.ExportValue(kCurrentUser, key, kValues[i].name),
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

    // A whole key comes back into a key of that name that is there now, beside a value that
    // is there with the very type and data it backs up.
    ASSERT_TRUE(removal.DeleteKey(kCurrentUser, key));
    ASSERT_EQ(
        ::RegSetKeyValueA(HKEY_CURRENT_USER, key.c_str(), kValues[0].name.c_str(), kValues[0].type,
                          kValues[0].bytes.data(), static_cast<DWORD>(kValues[0].bytes.size())),
        ERROR_SUCCESS);
    const RestoreOutcome into = store.Restore(store.ReadManifest().entries.back().name);
    EXPECT_TRUE(into.restored()) << into.message;
    for (std::size_t i = 0; i < kValues.size(); ++i)
        EXPECT_EQ(Read(key, kValues[i].name), before[i]) << kValues[i].name;
    EXPECT_EQ(Read(key + "\\Sub", "Deep"), deepBefore);

    // A file that is not a whole registry-editor file sets nothing.
    ASSERT_TRUE(removal.DeleteKey(kCurrentUser, key));
    EXPECT_EQ(machine.registry.ImportRegistryFile("not a registry file"),
              platform::ImportResult::Unreadable);
    std::string torn = *wintest::FileContent(store.Folder() + "\\" + entries[0].name);
    torn.resize(torn.size() - 12);
    torn += std::string("x\0", 2);
    EXPECT_EQ(machine.registry.ImportRegistryFile(torn), platform::ImportResult::Unreadable);
    EXPECT_FALSE(Read(key, "Text"));
}

// UTF-16LE bytes, with the terminating NUL text values carry.
std::string Sz(std::wstring_view text) {
    std::string bytes;
    for (wchar_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>((c >> 8) & 0xFF);
    }
    return bytes + std::string(2, '\0');
}

struct WideValue {
    std::wstring name;
    DWORD type;
    std::string bytes;
};

// Text with line breaks, quotes and backslashes, every other type, data no quoted form holds,
// and names the file must escape.
const std::vector<WideValue> kAwkward = {
    {L"Lines", REG_SZ, Sz(L"one\r\ntwo\nthree \"q\" \\ end\\")},
    {L"Expand", REG_EXPAND_SZ, Sz(L"%TEMP%\\a\r\nb")},
    {L"Multi", REG_MULTI_SZ, Sz(std::wstring_view(L"one\0two\r\n\0", 10))},
    {L"Binary", REG_BINARY, std::string(200, '\xa5') + std::string("\0\r\n", 3)},
    {L"Number", REG_DWORD, std::string("\x2a\x00\x00\x80", 4)},
    {L"Quad", REG_QWORD, std::string("\x01\x02\x03\x04\x05\x06\x07\x08", 8)},
    {L"Unterminated", REG_SZ, "abc"},
    {L"", REG_SZ, Sz(L"default\ttext")},
    {L" \"odd\\ = @\r\nname", REG_SZ, Sz(L"v")},
};

void PutWide(const std::string& key, const std::wstring& name, DWORD type,
             const std::string& bytes) {
    ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, wintest::Widen(key).c_str(), name.c_str(), type,
                                bytes.data(), static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS);
}

// Every value of the key and of the keys below it, by path below the key and name, read
// with the wide API; nothing when the key is not there.
using Snapshot = std::map<std::wstring, std::map<std::wstring, Raw>>;

void Take(HKEY key, const std::wstring& path, Snapshot& out) {
    auto& values = out[path];
    std::vector<wchar_t> name(16384);
    std::vector<BYTE> data(1 << 16);
    for (DWORD i = 0;; ++i) {
        DWORD length = static_cast<DWORD>(name.size()), size = static_cast<DWORD>(data.size());
        DWORD type = 0;
        if (::RegEnumValueW(key, i, name.data(), &length, nullptr, &type, data.data(), &size) !=
            ERROR_SUCCESS)
            break;
        values[std::wstring(name.data(), length)] = Raw{type, {data.begin(), data.begin() + size}};
    }
    for (DWORD i = 0;; ++i) {
        DWORD length = static_cast<DWORD>(name.size());
        if (::RegEnumKeyExW(key, i, name.data(), &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        const std::wstring sub(name.data(), length);
        platform::win32::UniqueRegKey child;
        ASSERT_EQ(::RegOpenKeyExW(key, sub.c_str(), 0, KEY_READ, child.put()), ERROR_SUCCESS);
        Take(child.get(), path + L"\\" + sub, out);
    }
}

std::optional<Snapshot> SnapshotOf(const std::string& key) {
    platform::win32::UniqueRegKey k;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, wintest::Widen(key).c_str(), 0, KEY_READ, k.put()) !=
        ERROR_SUCCESS)
        return std::nullopt;
    Snapshot snapshot;
    Take(k.get(), L"", snapshot);
    return snapshot;
}

class AwkwardKey : public TestKey {
  protected:
    void SetUp() override {
        for (const auto& v : kAwkward)
            PutWide(key, v.name, v.type, v.bytes);
        PutWide(key + "\\Sub", L"Deep", REG_SZ, Sz(L"deep\nline"));
        before = SnapshotOf(key);
        ASSERT_TRUE(before);
        ASSERT_EQ(before->size(), 2u);
        ASSERT_EQ(before->at(L"").size(), kAwkward.size());
    }

    std::optional<Snapshot> before;
};

// The removal run removes a key row as the default value and then the key, each with its own
// backup; restored in either order, the two give back the key whole.
class KeyRowRestore : public AwkwardKey, public ::testing::WithParamInterface<bool> {};

TEST_P(KeyRowRestore, BringsBackEveryValueAndSubkeyExactly) {
    using platform::root::kCurrentUser;
    ASSERT_TRUE(removal.DeleteValue(kCurrentUser, key, ""));
    ASSERT_TRUE(removal.DeleteKey(kCurrentUser, key));
    ASSERT_FALSE(SnapshotOf(key));
    auto entries = store.ReadManifest().entries;
    ASSERT_EQ(entries.size(), 2u);
    if (!GetParam()) std::swap(entries[0], entries[1]);
    for (const auto& entry : entries) {
        const RestoreOutcome outcome = store.Restore(entry.name);
        EXPECT_TRUE(outcome.restored()) << entry.name << ": " << outcome.message;
    }
    EXPECT_EQ(SnapshotOf(key), before);
}

INSTANTIATE_TEST_SUITE_P(EitherOrder, KeyRowRestore, ::testing::Bool(), [](const auto& c) {
    return std::string(c.param ? "DefaultValueFirst" : "KeyFirst");
});

// A value of the key that is there again with another type or other data stops the whole
// restore: nothing is overwritten and nothing is added.
class KeyRestoreConflict : public AwkwardKey,
                           public ::testing::WithParamInterface<std::pair<DWORD, std::string>> {};

TEST_P(KeyRestoreConflict, ChangesNothing) {
    ASSERT_TRUE(removal.DeleteKey(platform::root::kCurrentUser, key));
    PutWide(key, L"Number", GetParam().first, GetParam().second);
    const auto now = SnapshotOf(key);
    const auto name = store.ReadManifest().entries.back().name;
    const RestoreOutcome outcome = store.Restore(name);
    EXPECT_EQ(outcome.status, RestoreStatus::TargetExists) << outcome.message;
    EXPECT_EQ(SnapshotOf(key), now);
    EXPECT_FALSE(store.ReadManifest().entries.back().restored);
}

INSTANTIATE_TEST_SUITE_P(
    OtherDataOrType, KeyRestoreConflict,
    ::testing::Values(std::pair<DWORD, std::string>(REG_DWORD, std::string("\x07\0\0\0", 4)),
                      std::pair<DWORD, std::string>(REG_BINARY,
                                                    std::string("\x2a\x00\x00\x80", 4))));

}  // namespace
}  // namespace qm::removal
