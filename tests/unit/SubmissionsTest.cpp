// The reports to the maker on the fake machine: what each request carries (every value
// percent-encoded) and what the user is told for each kind of answer.

#include <gtest/gtest.h>

#include "definitions/LineScramble.h"
#include "support/FakeApplication.h"
#include "update/LiveUpdate.h"
#include "update/QueryEncoding.h"

namespace qm::app {
namespace {

const std::string kServer = update::DefaultServerAddress();

void AddResult(ui::FrmMain& form, const std::string& file, const std::string& location) {
    ui::ListItem& row = form.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.Add(file);
    row.SetSubItem(1, location);
    row.checked = true;
}

TEST(Submissions, QueryValuesAreEncodedWholeSoNoHashOrAmpersandCutsThemShort) {
    EXPECT_EQ(update::QueryValue("a b&c#d|e%f~g.h_i-j"), "a%20b%26c%23d%7Ce%25f~g.h_i-j");
    EXPECT_EQ(update::QueryValue("\xE9"), "%E9");
}

TEST(Submissions, AFalsePositiveCarriesEveryCheckedLocationAndTheWholeDetails) {
    test::FakeApplication fake;
    test::FakeMachine& m = fake.m;
    AddResult(fake.form, "a.exe", "C:\\A\\a.exe");
    AddResult(fake.form, "b.dll", "C:\\B & C\\b.dll");
    const std::string url =
        kServer +
        "/asp/submitFP.asp?files=C%3A%5CA%5Ca.exe%7CC%3A%5CB%20%26%20C%5Cb.dll%7C&details=" +
        "mine%20%23%201%20%26%20only";
    m.http.answers[url] = "Report ok, thanks";
    m.prompts.typed = {std::string("mine # 1 & only")};
    m.prompts.answers = {ui::MessageAnswer::Ok, ui::MessageAnswer::No};
    fake.app.ReportFalsePositive();
    ASSERT_EQ(m.http.asked, std::vector<std::string>{url});
    ASSERT_EQ(m.prompts.shown.size(), 2u);
    EXPECT_NE(m.prompts.shown[0].text.find("\r\n\r\nC:\\A\\a.exe\r\nC:\\B & C\\b.dll\r\n"),
              std::string::npos);
    EXPECT_EQ(m.prompts.shown[1].text.rfind("Your false positive report was submitted", 0), 0u)
        << "\"ok\" anywhere in the answer is success";

    // Refused by the server: told, with its answer.
    m.http.answers[url] = "Database down";
    m.prompts.shown.clear();
    m.prompts.typed = {std::string("mine # 1 & only")};
    m.prompts.answers = {ui::MessageAnswer::Ok};
    fake.app.ReportFalsePositive();
    ASSERT_EQ(m.prompts.shown.size(), 2u);
    EXPECT_NE(m.prompts.shown[1].text.find("contact support.\r\n\r\nDatabase down"),
              std::string::npos);
}

TEST(Submissions, NoDetailsOrACancelSendsNothing) {
    test::FakeApplication fake;
    test::FakeMachine& m = fake.m;
    AddResult(fake.form, "a.exe", "C:\\A\\a.exe");
    m.prompts.answers = {ui::MessageAnswer::Cancel};
    fake.app.ReportFalsePositive();
    EXPECT_TRUE(m.prompts.asked.empty()) << "Cancel ends before the details";
    m.prompts.answers = {ui::MessageAnswer::Ok};
    m.prompts.typed = {std::string("   ")};
    fake.app.ReportFalsePositive();
    EXPECT_EQ(m.prompts.shown.back().text,
              "Error: You must supply details about the false positives.  Please try again.");
    EXPECT_TRUE(m.http.asked.empty());
}

TEST(Submissions, AFileNameIsSentScrambledAndTheOutcomeShown) {
    test::FakeApplication fake;
    test::FakeMachine& m = fake.m;
    const std::string url = kServer + "/asp/getData.asp?data=" +
                            update::QueryValue(defs::EncodeLine("tool bar.exe") + "|");
    for (const auto& [answer, shown] :
         {std::pair<std::optional<std::string>, std::string>{
              "Skipped", "Results: tool bar.exe Submitted.  Thank you!"},
          {std::nullopt,
           "Results: There was a problem submitting tool bar.exe.  Please make sure you are "
           "connected to the internet, or try again later."}}) {
        m.http.answers[url] = answer;
        fake.form.txtFilename.text = "tool bar.exe";
        fake.app.SubmitFilename();
        EXPECT_EQ(fake.form.Label26.caption, shown);
        EXPECT_TRUE(fake.form.txtFilename.text.empty());
    }
    m.pickers.file = "C:\\Users\\me\\Downloads\\setup.exe";
    fake.app.BrowseForSubmission();
    EXPECT_EQ(fake.form.txtFilename.text, "setup.exe");
}

TEST(Submissions, AnonymousDataGoesOnlyWithConsentAndOnlyWhenSomethingIsLeftToSend) {
    test::FakeApplication fake;
    test::FakeMachine& m = fake.m;
    m.processes.running = {{4, "explorer.exe", std::nullopt}, {8, "svchost.exe", std::nullopt}};
    fake.form.chkSendData.value = 1;
    fake.app.ShowResultsPage();
    EXPECT_TRUE(m.http.asked.empty()) << "only programs that are left out";
    m.processes.running.push_back({12, "toolbar.exe", std::nullopt});
    fake.form.chkSendData.value = 0;
    fake.app.ShowResultsPage();
    EXPECT_TRUE(m.http.asked.empty()) << "no consent";
    fake.form.chkSendData.value = 1;
    fake.app.ShowResultsPage();
    EXPECT_EQ(m.http.asked,
              std::vector<std::string>{kServer + "/asp/getData.asp?data=" +
                                       update::QueryValue(defs::EncodeLine("toolbar.exe"))});
    EXPECT_TRUE(fake.form.frmResults.visible);
}

}  // namespace
}  // namespace qm::app
