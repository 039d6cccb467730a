// The cookie phase: site keys from cookie file names, hosts from their content, and the hits,
// exclusions and counters of a Smart Scan's first phase.

#include "scan/CookieScan.h"

#include <gtest/gtest.h>

#include "scan/ScanSession.h"
#include "support/FakeApplication.h"
#include "support/FakePlatform.h"

namespace qm::scan {
namespace {

using test::FakeMachine;
constexpr const char* kCookies = "C:\\users\\tester\\Cookies";

TEST(CookieSiteKey, TakesTheTextAfterTheAtUpToTheCounter) {
    EXPECT_EQ(CookieSiteKey("tester@adserver[1].txt"), "adserver");
    EXPECT_EQ(CookieSiteKey("tester@ads(2)[1].txt"), "ads");
    EXPECT_EQ(CookieSiteKey("tester@plain.site.txt"), "plain.site");
    EXPECT_EQ(CookieSiteKey("C:\\a@b\\tester@x[1].txt"), "x");
    EXPECT_EQ(CookieSiteKey("index.dat"), "");
    EXPECT_EQ(ComparableHost("www.tracker.com"), "tracker");
    EXPECT_EQ(ComparableHost("WWW.Tracker.com"), "Tracker");
    EXPECT_EQ(ComparableHost("False"), "False");
}

TEST(CookieHost, FindsTheFirstFieldWithTheKeyAndASlash) {
    test::FakeFileSystem files;
    files.PutFile("C:\\c\\u@ads[1].txt",
                  "id\n12,ads-no-slash,x\nads.example.com/,ads.other.com/\n");
    EXPECT_EQ(CookieHost(files, "C:\\c\\u@ads[1].txt"), "ads.example.com");
    files.PutFile("C:\\c\\u@bin[1].txt", std::string("\0\x01\xff", 3) + "bin");
    EXPECT_EQ(CookieHost(files, "C:\\c\\u@bin[1].txt"), "False");
    EXPECT_EQ(CookieHost(files, "C:\\c\\u@missing[1].txt"), "False");
    // Random names of current cookie stores: the host of the first record, on its third line.
    files.PutFile("C:\\c\\6NKYYPU4.txt",
                  "uid\nabc\nwww.tracker.example/\n1536\n1\n2\n3\n4\n*\nb\nc\nother.example/\n");
    EXPECT_EQ(CookieHost(files, "C:\\c\\6NKYYPU4.txt"), "www.tracker.example");
    files.PutFile("C:\\c\\noat.txt", "id\n1\nno-slash-here\n");
    EXPECT_EQ(CookieHost(files, "C:\\c\\noat.txt"), "False");
    files.PutFile("C:\\c\\short.txt", "id\n1\n");
    EXPECT_EQ(CookieHost(files, "C:\\c\\short.txt"), "False");
    // A 100 MiB file without a line end is read in bounded pieces; the host after it counts.
    files.PutFile("C:\\c\\u@big[1].txt", std::string(100u << 20, 'b') + "\nbig.example.com/\n");
    EXPECT_EQ(CookieHost(files, "C:\\c\\u@big[1].txt"), "big.example.com");
}

class CookieScanTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m.shell.folders[33] = kCookies;
        m.files.PutFolder(kCookies);
        m.PutCompleteDefinitionSet();
        m.PutDefinitionFile("BlockedCookies.dat", {"*adserver.example.com", "tracker.net"});
        // Only the cookie phase matters here.
        m.settings.Write("Quillmarsh", "OptionAndSettings", "chkScanRegistry", "False");
    }
    void Cookie(const std::string& name, const std::string& host) {
        m.files.PutFile(std::string(kCookies) + "\\" + name, "id\n1\n" + host + "/\n");
    }
    void Scan() {
        fake.LoadDefinitionState();
        app.StartScan();
    }

    test::FakeApplication fake;
    FakeMachine& m = fake.m;
    ui::FrmMain& form = fake.form;
    scan::ScanSession& session = fake.session;
    app::Application& app = fake.app;
};

TEST_F(CookieScanTest, BlockedSitesAreFoundWithAndWithoutStarAndWww) {
    Cookie("tester@adserver[1].txt", "adserver.example.com");
    Cookie("tester@adserver[2].txt", "adserver.example.com");  // same site, second hit
    Cookie("tester@www.tracker[1].txt", "www.tracker.com");
    Cookie("tester@harmless[1].txt", "harmless.example.com");
    // Current stores name their files at random: the host recorded inside decides. The old
    // store's index file holds no record and matches nothing.
    Cookie("6NKYYPU4.txt", "www.adserver.example.com");
    m.files.PutFile(std::string(kCookies) + "\\index.dat",
                    std::string("Client UrlCache MMF Ver 5.2\0\0adserver.example.com/", 48));
    // Its host compares as empty, which "*.net" would equal once cut down: still no match.
    m.PutDefinitionFile("BlockedCookies.dat", {"*adserver.example.com", "tracker.net", "*.net"});
    Cookie("tester@.com[1].txt", ".com");
    Scan();
    const auto& results = form.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.rows;
    ASSERT_EQ(results.size(), 4u);
    EXPECT_EQ(results[0].text, "Cookie: 6NKYYPU4.txt");
    EXPECT_EQ(results[1].text, "Cookie: tester@adserver[1].txt");
    EXPECT_EQ(results[1].icon, ui::detection::kCookie);
    EXPECT_EQ(results[1].SubItem(1), std::string(kCookies) + "\\tester@adserver[1].txt");
    EXPECT_EQ(results[1].SubItem(2), "Tracking Cookie");
    EXPECT_EQ(results[3].text, "Cookie: tester@www.tracker[1].txt");
    EXPECT_EQ(form.lvwCookiesToDelete.rows.size(), 4u);
    EXPECT_EQ(form.lvwSpywareFound.rows[1].text, "Cookie");
    EXPECT_EQ(form.lvwSpywareFound.rows[1].SubItem(1), "tester@adserver[1].txt");
    EXPECT_EQ(session.Counters().cookiesInspected, 7);
    EXPECT_EQ(form.lblSoftwareFound.caption, "4");
}

TEST_F(CookieScanTest, AnExcludedCookieShowsItsPathAndIsNeitherCountedNorQueued) {
    Cookie("tester@adserver[1].txt", "adserver.example.com");
    const std::string path = std::string(kCookies) + "\\tester@adserver[1].txt";
    m.files.PutFile(std::string(FakeMachine::kDataFolder) + "\\ENoSignature.dat", path + "\r\n");
    Scan();
    EXPECT_TRUE(form.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.rows.empty());
    EXPECT_TRUE(form.lvwCookiesToDelete.rows.empty());
    ASSERT_EQ(form.lvwSpywareFound.rows.size(), 1u);
    EXPECT_EQ(form.lvwSpywareFound.rows[0].text, "EXCLUDED");
    EXPECT_EQ(form.lvwSpywareFound.rows[0].SubItem(1), path);
}

}  // namespace
}  // namespace qm::scan
