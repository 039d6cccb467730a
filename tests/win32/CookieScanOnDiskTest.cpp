// The cookie phase on the prefix's own cookie folder: cookie files in the one-file-per-site
// form matched by blocked entries with and without "*" and "www.", an excluded one, and the
// randomly named files of the system's own cookie store.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

// clang-format off
#include "platform/win32/WinApi.h"
#include <wininet.h>
// clang-format on
#include "DiskScan.h"
#include "TempFolder.h"
#include "platform/win32/Handle.h"

namespace qm::scan {
namespace {

// A definition set that blocks these sites and names nothing else.
void PutCookieDefinitions(const std::string& data, const std::vector<std::string>& sites) {
    wintest::PutFile(data + "\\BlockedCookies.dat", wintest::Scrambled(sites));
    for (const char* name : {"FileDefinition.dat", "DirectoryDefinition.dat",
                             "RegistryDefinition.dat", "ExeDefinition.dat"}) {
        wintest::PutFile(data + "\\" + name, "");
    }
}

TEST(CookieScanOnDiskTest, BlockedCookiesInTheUsersCookieFolderAreFound) {
    wintest::TempFolder temp;
    const std::string data = temp.path();
    PutCookieDefinitions(data, {"*qmadserver.example.com", "qmtracker.net"});
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
    scan.LoadDefinitionState();
    scan.settings.Write(scan.machine.version.OwnProductInfo().productName, "OptionAndSettings",
                        "chkScanRegistry", "False");
    scan.app->StartScan();

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

// The cookie files in a folder. The store's own index.dat, which it creates on first use, is
// no cookie.
std::vector<std::string> CookieFileNames(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    const platform::win32::UniqueFind find(::FindFirstFileA((folder + "\\*.txt").c_str(), &found));
    if (!find) return names;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            names.push_back(found.cFileName);
    } while (::FindNextFileA(find.get(), &found));
    std::sort(names.begin(), names.end());
    return names;
}

// Cookies as the system's own cookie store writes them: files named at random, the site
// recorded inside. Finding none of them would report a clean machine over a store full of
// tracking cookies.
TEST(CookieScanOnDiskTest, CookiesWrittenByTheSystemsCookieStoreAreFound) {
    wintest::TempFolder temp;
    const std::string data = temp.path();
    PutCookieDefinitions(data, {"qmwinetracker.example"});
    wintest::DiskScan scan(data);
    const auto folder = scan.machine.shell.SpecialFolder(33);
    ASSERT_TRUE(folder && !folder->empty());
    const auto before = CookieFileNames(*folder);
    constexpr const char* kLasting = "; expires=Sat, 01-Jan-2039 00:00:00 GMT";
    ASSERT_TRUE(::InternetSetCookieA("http://www.qmwinetracker.example/", "qmid",
                                     (std::string("tracked") + kLasting).c_str()));
    ASSERT_TRUE(::InternetSetCookieA("http://qmharmless-wine.example/", "qmid",
                                     (std::string("kept") + kLasting).c_str()));
    const auto after = CookieFileNames(*folder);
    std::vector<std::string> added;
    std::set_difference(after.begin(), after.end(), before.begin(), before.end(),
                        std::back_inserter(added));
    ASSERT_EQ(added.size(), 2u) << "the cookie store wrote no files";

    scan.settings.Write(scan.machine.version.OwnProductInfo().productName, "OptionAndSettings",
                        "chkScanRegistry", "False");
    scan.app->StartScan();
    std::vector<std::string> found;
    for (const auto& row : scan.form.lvwCookiesToDelete.rows) {
        const std::string name = row.text.substr(row.text.rfind('\\') + 1);
        if (std::find(added.begin(), added.end(), name) != added.end()) found.push_back(name);
    }
    ASSERT_EQ(found.size(), 1u);
    // The one found is the tracker's: its file records the tracker's host.
    std::string content;
    {
        auto reader = scan.machine.files.OpenForReading(*folder + "\\" + found[0]);
        ASSERT_TRUE(reader);
        char buffer[512];
        content.assign(buffer, reader->Read(buffer, sizeof buffer));
    }
    EXPECT_NE(content.find("qmwinetracker.example/"), std::string::npos) << content;
    for (const auto& name : added)
        ::DeleteFileA((*folder + "\\" + name).c_str());
}

}  // namespace
}  // namespace qm::scan
