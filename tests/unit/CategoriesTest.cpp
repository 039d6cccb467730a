// Threat categories: the fixed table from a Detection's "Type" to its risk and description, and
// the fill of the results list's "Risk" and "Details" columns at the end of a scan.

#include "definitions/Categories.h"

#include <gtest/gtest.h>

#include <iterator>

#include "scan/RiskAndDetails.h"
#include "ui/FrmMain.h"

namespace qm::defs {
namespace {

struct CategoryRow {
    const char* name;
    const char* risk;
    const char* details;
};

// Every category with its risk and details, in table order.
const CategoryRow kExpected[] = {
    {"", "Medium", "Unknown"},
    {"Adware", "Medium/High",
     "Adware displays ads on your computer and can compromise your security."},
    {"Annoyance", "Low", "Makes it difficult to use your computer"},
    {"AV Killer", "HIGH", "Attempts to disable Antivirus software"},
    {"Backdoor", "HIGH", "Allows remote access to your computer"},
    {"Browser Helper Object", "Medium/High",
     "Embedded software in your browser has higher than usual access rights to your system"},
    {"Bundleware", "Medium",
     "Installs additional software onto your system that you may not be aware of"},
    {"Commercial RAT", "Low/Medium/High",
     "High risk if you did not install this software to monitor your own computer.  Otherwise it "
     "is safe to use."},
    {"Dialer", "HIGH", "Attempts to dial pay numbers and charge the calls to your phone line."},
    {"DirTestSAFE", "No risk", "This is a test directory."},
    {"DoS", "Medium/High", "Used for Denial of Service attacks against websites"},
    {"Downloader", "Medium/High",
     "Downloads additional software onto your computer that you may not be aware of"},
    {"Dropper", "HIGH",
     "Installs software onto your computer in an attempt to avoid antivirus protection"},
    {"Error Hijacker", "Medium/High",
     "Attempts to trick you into fixing errors by downloading software"},
    {"Exploit", "Medium/High", "Tries to exploit security flaws in your system"},
    {"Flooder", "Medium/High", "Tries to peform denial of service attacks on websites"},
    {"FTP Server", "Medium/High", "Allows remote access to your files"},
    {"Hijacker", "HIGH",
     "Tries to lock you out of certain parts of your computer so that you cannot remove malicious "
     "software"},
    {"Homepage Hijacker", "Low/Medium/High",
     "Changes your homepage.  Depending on the webpage this can be low or high risk.  May install "
     "additional software."},
    {"Key Logger", "Medium/High",
     "Logs your keystrokes and sends them to a remote third party.  Different than a commercial "
     "keylogger, which is used to monitor your own system"},
    {"Mail bomber", "Medium/High", "Floods a target's email account with emails"},
    {"Malware", "HIGH", "Can damage your system"},
    {"Worm", "HIGH", "Automatically propogates from your system to others"},
    {"Misc Tool", "Low",
     "This could be related to a spyware or hacking tool but if it was installed by you it is not "
     "a threat."},
    {"P2P", "Low",
     "P2P software can expose your files if you are not aware of what is being shared.  It can "
     "also leave your ports open to attack from exploits."},
    {"P2P Link Advertising", "Medium", "Advertises on your computer without your consent"},
    {"Password Capture", "HIGH", "Attempts to seal your passwords"},
    {"Proxy", "Medium/High",
     "Directs all your internet traffic through another computer.  Can be used to steal "
     "unencrypted information."},
    {"RAT", "Low/Medium/High",
     "Remote access tool.  If you did not install this yourself it is high risk.  It can be used "
     "to gain remote access to your computer."},
    {"Recent Document List", "Low", "Can be a privacy concern"},
    {"Safety Test", "No risk", "This is a test"},
    {"Search Hijacker", "Medium/High",
     "Redirects your searches to a different search engine.  Can attempt to install spyware."},
    {"Sniffer", "Medium/High", "Analyzes your internet traffic.  Can be used to steal passwords."},
    {"Spyware", "Medium/High", "Spys on your computer activity"},
    {"Surveillance", "Medium/High",
     "Used to view webcams remotely.  Low risk if you installed it yourself.  High risk if you did "
     "not."},
    {"Testfile", "No risk", "This is a test file."},
    {"Toolbar", "Medium/High", "Attaches itself to your browser and can be intrusive or spyware"},
    {"Tracking Cookie", "Low", "Not malicious but can be a privacy concern"},
    {"Trackware", "Medium/High", "Tracks your activity online"},
    {"Trojan", "HIGH",
     "Allows remote access to your computer.  Can be malicious and damage your system."},
};

void PrintTo(const CategoryRow& c, std::ostream* os) {
    *os << "[" << c.name << "]";
}

class CategoryTable : public ::testing::TestWithParam<CategoryRow> {};

TEST_P(CategoryTable, CategoryGivesItsRiskAndDetails) {
    const ThreatCategory* c = FindCategory(GetParam().name);
    ASSERT_NE(c, nullptr) << GetParam().name;
    EXPECT_EQ(c->risk, GetParam().risk);
    EXPECT_EQ(c->details, GetParam().details);
}

INSTANTIATE_TEST_SUITE_P(AllCategories, CategoryTable, ::testing::ValuesIn(kExpected));

TEST(Categories, TableHasFortyEntries) {
    EXPECT_EQ(std::size(kExpected), 40u);
    EXPECT_EQ(CategoryCount(), 40u);
}

TEST(Categories, MatchIsExactAndCaseSensitive) {
    for (const char* type : {"adware", "ADWARE", "Adware ", " Adware", "TYPE", "Tracking cookie",
                             "trojan", "Spyware|", "Unknown", "Medium"}) {
        EXPECT_EQ(FindCategory(type), nullptr) << "[" << type << "]";
    }
}

}  // namespace
}  // namespace qm::defs

namespace qm::scan {
namespace {

class RiskAndDetailsFill : public ::testing::Test {
  protected:
    ui::FrmMain form;
    ui::ListView& results = form.lvwPicRemoveListOfSpywareFoundAndToBeRemoved;

    ui::ListItem& Row(const std::string& threat, const std::string& type) {
        ui::ListItem& row = results.Add(threat, ui::detection::kFile);
        row.SetSubItem(1, "C:\\somewhere\\" + threat);
        row.SetSubItem(2, type);
        return row;
    }
};

TEST_F(RiskAndDetailsFill, EachRowGetsTheRiskAndDetailsOfItsCategory) {
    Row("a", "adware");
    Row("b", "");
    Row("c", "Tracking Cookie");
    Row("d", "Unheard Of");
    Row("e", "Trojan");
    FillRiskAndDetails(results);

    const auto& rows = results.rows;
    EXPECT_EQ(rows[0].SubItem(3), "");
    EXPECT_EQ(rows[0].SubItem(4), "");
    EXPECT_EQ(rows[1].SubItem(3), "Medium");
    EXPECT_EQ(rows[1].SubItem(4), "Unknown");
    EXPECT_EQ(rows[2].SubItem(3), "Low");
    EXPECT_EQ(rows[2].SubItem(4), "Not malicious but can be a privacy concern");
    EXPECT_EQ(rows[3].SubItem(3), "");
    EXPECT_EQ(rows[3].SubItem(4), "");
    EXPECT_EQ(rows[4].SubItem(3), "HIGH");
    EXPECT_EQ(rows[4].SubItem(4),
              "Allows remote access to your computer.  Can be malicious and damage your system.");
    // The other columns stay as the scanner wrote them.
    EXPECT_EQ(rows[4].text, "e");
    EXPECT_EQ(rows[4].SubItem(1), "C:\\somewhere\\e");
    EXPECT_EQ(rows[4].SubItem(2), "Trojan");
}

TEST_F(RiskAndDetailsFill, RowWithoutAnySubItemsCountsAsWithoutCategory) {
    results.Add("bare", ui::detection::kRegistry);
    FillRiskAndDetails(results);
    EXPECT_EQ(results.rows[0].SubItem(3), "Medium");
    EXPECT_EQ(results.rows[0].SubItem(4), "Unknown");
}

TEST_F(RiskAndDetailsFill, UnknownCategoryLeavesBothColumnsAsTheyAre) {
    ui::ListItem& row = Row("x", "TYPE");
    row.SetSubItem(3, "kept risk");
    row.SetSubItem(4, "kept details");
    FillRiskAndDetails(results);
    EXPECT_EQ(results.rows[0].SubItem(3), "kept risk");
    EXPECT_EQ(results.rows[0].SubItem(4), "kept details");
}

}  // namespace
}  // namespace qm::scan
