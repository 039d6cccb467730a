// The registry phase against the prefix's real registry: keys and values the test creates,
// of every type, found, passed over, protected or excluded as the definitions say.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DiskScan.h"
#include "TempFolder.h"
#include "platform/win32/WinApi.h"

namespace qm::scan {
namespace {

class RegistryScanOnDiskTest : public ::testing::Test {
  protected:
    void SetUp() override {
        base_ = "Software\\QmRegistryScanTest-" + std::to_string(::GetCurrentProcessId());
        HKEY key = nullptr;
        ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, (base_ + "\\Bar").c_str(), 0, nullptr, 0,
                                    KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        const auto put = [&](const char* name, DWORD type, const void* data, DWORD size) {
            ::RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
        };
        put("Text", REG_SZ, "x", 2);
        put("Expand", REG_EXPAND_SZ, "%TEMP%", 7);
        const DWORD number = 7;
        put("Number", REG_DWORD, &number, sizeof number);
        put("Binary", REG_BINARY, "\x01\x02", 2);
        put("Multi", REG_MULTI_SZ, "a\0b\0", 5);
        put("Back\\Slash", REG_SZ, "y", 2);
        put("Safe", REG_SZ, "z", 2);
        put("Excluded", REG_SZ, "w", 2);
        ::RegCloseKey(key);
    }
    void TearDown() override { ::RegDeleteTreeA(HKEY_CURRENT_USER, base_.c_str()); }

    std::string base_;
};

TEST_F(RegistryScanOnDiskTest, ReportsExactlyTheEntriesTheRulesGive) {
    wintest::TempFolder temp;
    const std::string data = temp.path();
    const std::string b = base_;
    wintest::PutFile(
        data + "\\RegistryDefinition.dat",
        wintest::Scrambled(
            {"1^" + b + "\\Bar\\^Text=String", "1^" + b + "\\Bar\\^Expand=Expandable",
             "1^" + b + "\\Bar\\^Number=Number",
             "1^" + b + "\\Bar\\^Binary=Binary Is Never Reported",
             "1^" + b + "\\Bar\\^Multi=Multi String Is Never Reported",
             "1^" + b + "\\Bar\\^Back\\\\Slash=Doubled Backslash",
             "1^" + b + "\\Bar^Text=Run Together", "1^" + b + "\\Bar\\^Safe=Protected",
             "1^" + b + "\\Bar\\^Excluded=Excluded", "1^" + b + "\\Bar\\^Missing=Missing Value",
             "1^" + b + "\\Bar^^=Whole Key|Adware", "1^" + b + "\\Gone^^=Missing Key"}));
    wintest::PutFile(data + "\\Safety.dat",
                     wintest::Scrambled({"SREG|Safe=|1^" + b + "\\Bar\\^Safe"}));
    for (const char* name : {"FileDefinition.dat", "DirectoryDefinition.dat", "ExeDefinition.dat",
                             "BlockedCookies.dat"}) {
        wintest::PutFile(data + "\\" + name, "");
    }
    wintest::PutFile(data + "\\ENoSignature.dat",
                     "HKEY_CURRENT_USER\\" + b + "\\Bar\\Excluded\r\n");

    wintest::DiskScan scan(data);
    const ui::FrmMain& form = scan.form;
    scan.app->StartScan();

    const std::string hive = "HKEY_CURRENT_USER\\" + b;
    std::vector<std::string> found;
    for (const auto& row : form.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.rows)
        found.push_back(row.text + "=" + row.SubItem(1));
    EXPECT_EQ(found, (std::vector<std::string>{
                         "String=" + hive + "\\Bar\\Text",
                         "Expandable=" + hive + "\\Bar\\Expand",
                         "Number=" + hive + "\\Bar\\Number",
                         "Doubled Backslash=" + hive + "\\Bar\\Back\\Slash",
                         "Run Together=" + hive + "\\BarText",
                         "Whole Key=" + hive + "\\Bar",
                     }));
    ASSERT_EQ(form.lvwRegistryToBeDeleted.rows.size(), 6u);
    EXPECT_EQ(form.lvwRegistryToBeDeleted.rows[0].text, "-2147483647");
    EXPECT_EQ(form.lvwSpywareFound.rows[5].text, "EXCLUDED");
    EXPECT_EQ(form.lblRegistryInspected.caption, "12");
    EXPECT_EQ(form.lbltracesFound.caption, "6");
}

}  // namespace
}  // namespace qm::scan
