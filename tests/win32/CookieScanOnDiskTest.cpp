// The cookie phase on the prefix's own cookie folder: cookie files in the one-file-per-site
// form matched by blocked entries with and without "*" and "www.", and an excluded one.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "DiskScan.h"
#include "TempFolder.h"
#include "platform/win32/WinApi.h"

namespace qm::scan {
namespace {

TEST(CookieScanOnDiskTest, BlockedCookiesInTheUsersCookieFolderAreFound) {
    wintest::TempFolder temp;
    const std::string data = temp.path();
    wintest::PutFile(data + "\\BlockedCookies.dat",
                     wintest::Scrambled({"*qmadserver.example.com", "qmtracker.net"}));
    for (const char* name : {"FileDefinition.dat", "DirectoryDefinition.dat",
                             "RegistryDefinition.dat", "ExeDefinition.dat"}) {
        wintest::PutFile(data + "\\" + name, "");
    }
    wintest::DiskScan scan(data);
    const auto folder = scan.machine.shell.SpecialFolder(33);
    ASSERT_TRUE(folder && !folder->empty());
    ASSERT_TRUE(scan.machine.files.CreateFolder(*folder));
    const std::vector<std::pair<std::string, std::string>> cookies = {
        {"qmtester@qmadserver[1].txt", "qmadserver.example.com"},
        {"qmtester@www.qmtracker[1].txt", "www.qmtracker.com"},
        {"qmtester@qmadserver[2].txt", "qmadserver.example.com"},
        {"qmtester@qmharmless[1].txt", "qmharmless.example.com"},
    };
    for (const auto& [name, host] : cookies) {
        wintest::PutFile(*folder + "\\" + name, "id\n1\n" + host + "/\n1536\n");
    }
    const std::string kept = *folder + "\\qmtester@qmadserver[2].txt";
    wintest::PutFile(data + "\\ENoSignature.dat", kept + "\r\n");
    scan.session->LoadExclusions();
    scan.settings.Write(scan.machine.version.OwnProductInfo().productName, "OptionAndSettings",
                        "chkScanRegistry", "False");
    scan.session->StartScan();

    std::vector<std::string> found;
    for (const auto& row : scan.form.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.rows) {
        if (row.text.find("qmtester@") != std::string::npos) found.push_back(row.text);
    }
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (std::vector<std::string>{"Cookie: qmtester@qmadserver[1].txt",
                                               "Cookie: qmtester@www.qmtracker[1].txt"}));
    bool excludedShown = false;
    for (const auto& row : scan.form.lvwSpywareFound.rows)
        excludedShown |= row.text == "EXCLUDED" && row.SubItem(1) == kept;
    EXPECT_TRUE(excludedShown);
    for (const auto& [name, host] : cookies)
        ::DeleteFileA((*folder + "\\" + name).c_str());
}

}  // namespace
}  // namespace qm::scan
