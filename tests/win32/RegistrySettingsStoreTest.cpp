// RegistrySettingsStore against the prefix's registry, checked with direct registry calls.
#include "platform/win32/RegistrySettingsStore.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/win32/Handle.h"
#include "platform/win32/WinApi.h"

namespace qm::platform::win32 {
namespace {

class RegistrySettingsStoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        app_ = "Quillmarsh test " + std::to_string(::GetCurrentProcessId()) + "-" +
               std::to_string(::GetTickCount64());
        appKey_ = std::string(RegistrySettingsStore::kRootKey) + "\\" + app_;
    }
    void TearDown() override { ::RegDeleteTreeA(HKEY_CURRENT_USER, appKey_.c_str()); }

    // The value as stored, read without the store: its type and bytes.
    struct Stored {
        DWORD type = 0;
        std::string bytes;
    };
    std::optional<Stored> StoredValue(const std::string& section, const std::string& name) {
        UniqueRegKey key;
        if (::RegOpenKeyExA(HKEY_CURRENT_USER, (appKey_ + "\\" + section).c_str(), 0, KEY_READ,
                            key.put()) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        Stored stored;
        char data[4096];
        DWORD size = sizeof data;
        if (::RegQueryValueExA(key.get(), name.c_str(), nullptr, &stored.type,
                               reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        stored.bytes.assign(data, size);
        return stored;
    }
    void SetRaw(const std::string& section, const std::string& name, DWORD type,
                const std::string& bytes) {
        UniqueRegKey key;
        ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, (appKey_ + "\\" + section).c_str(), 0,
                                    nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(::RegSetValueExA(key.get(), name.c_str(), 0, type,
                                   reinterpret_cast<const BYTE*>(bytes.data()),
                                   static_cast<DWORD>(bytes.size())),
                  ERROR_SUCCESS);
    }
    bool KeyExists(const std::string& subKey) {
        UniqueRegKey key;
        return ::RegOpenKeyExA(HKEY_CURRENT_USER, subKey.c_str(), 0, KEY_READ, key.put()) ==
               ERROR_SUCCESS;
    }

    RegistrySettingsStore store_;
    std::string app_;
    std::string appKey_;
};

TEST_F(RegistrySettingsStoreTest, AbsentSettingsReadAsTheFallbackWithoutCreatingKeys) {
    EXPECT_EQ(store_.Read(app_, "Settings", "Language", "English"), "English");
    EXPECT_FALSE(KeyExists(appKey_));

    // The section exists, the value does not.
    store_.Write(app_, "Settings", "Other", "1");
    EXPECT_EQ(store_.Read(app_, "Settings", "Language", "English"), "English");
    EXPECT_EQ(store_.Read(app_, "Drives", "C:", "1"), "1");
}

TEST_F(RegistrySettingsStoreTest, WrittenValuesLandAsStringsUnderTheSectionKey) {
    store_.Write(app_, "OptionAndSettings", "ScanCookies", "True");

    const auto stored = StoredValue("OptionAndSettings", "ScanCookies");
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(stored->bytes, std::string("True\0", 5));  // with its terminating NUL

    EXPECT_EQ(store_.Read(app_, "OptionAndSettings", "ScanCookies", "False"), "True");
    // Registry names compare without regard to case.
    EXPECT_EQ(store_.Read(app_, "optionandsettings", "SCANCOOKIES", "False"), "True");
}

TEST_F(RegistrySettingsStoreTest, RoundTripsEmptyLongAndNonAsciiValuesAndOverwrites) {
    store_.Write(app_, "Settings", "Empty", "");
    EXPECT_EQ(store_.Read(app_, "Settings", "Empty", "fallback"), "");

    std::string longValue;
    for (int i = 0; i < 900; ++i)
        longValue += "C:\\x" + std::to_string(i) + ";";
    store_.Write(app_, "Settings", "Exclusions", longValue);
    EXPECT_EQ(store_.Read(app_, "Settings", "Exclusions", ""), longValue);

    const std::string accented =
        "Fran\xe7"
        "ais \xe9t\xe9";  // code page 1252
    store_.Write(app_, "Settings", "Language", accented);
    EXPECT_EQ(store_.Read(app_, "Settings", "Language", ""), accented);

    store_.Write(app_, "Settings", "Language", "English");
    EXPECT_EQ(store_.Read(app_, "Settings", "Language", ""), "English");
}

TEST_F(RegistrySettingsStoreTest, ValuesThatAreNotStringsReadAsTheFallback) {
    SetRaw("Settings", "Number", REG_DWORD, std::string("\x01\x00\x00\x00", 4));
    SetRaw("Settings", "Blob", REG_BINARY, "abc");
    EXPECT_EQ(store_.Read(app_, "Settings", "Number", "fallback"), "fallback");
    EXPECT_EQ(store_.Read(app_, "Settings", "Blob", "fallback"), "fallback");

    // A string stored by another program without its terminating NUL still reads whole.
    SetRaw("Settings", "Bare", REG_SZ, "no terminator");
    EXPECT_EQ(store_.Read(app_, "Settings", "Bare", ""), "no terminator");
}

}  // namespace
}  // namespace qm::platform::win32
