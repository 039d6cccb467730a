// Live Update as the window runs it, on the fake machine: the progress window open for the
// exchange, the notice with the outcome's message, the settings it leaves, the automatic
// update after five scan-free minutes, and the notice's and progress window's own timers.

#include <gtest/gtest.h>

#include <algorithm>

#include "definitions/LineScramble.h"
#include "support/FakeApplication.h"
#include "text/Text.h"
#include "update/AddressList.h"
#include "update/SignedAnswer.h"

namespace qm::app {
namespace {

using test::FakeMachine;

class WindowLiveUpdateTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m.PutCompleteDefinitionSet();
        m.settings.Write("Quillmarsh", settings::section::kOptions, "UpdateServer", kServer);
        m.InstallUpdateKey(maker);
    }
    // An answer as the maker's server signs it, made now by the fake machine's clock.
    std::string Signed(update::SignedPurpose purpose, const std::string& payload,
                       const std::string& context = "") const {
        return maker.SignedAnswer(purpose, payload, context, "20261208T204621Z");
    }
    std::string Stored(const std::string& key) {
        return m.settings.Read("Quillmarsh", settings::section::kOptions, key, "(absent)");
    }
    // A server with one new file threat, newer than anything installed.
    void ServeANewThreat() {
        const std::string query = "?prog=Quillmarsh&comp=Quillmarsh%20Software";
        m.http.answers[std::string(kServer) + "/asp/currentDateNEW.asp" + query] =
            Signed(update::SignedPurpose::Date, "12/9/2026 6:00:00 AM");
        m.http.answers[std::string(kServer) + "/asp/getDefsNEW.asp" + query + "&date=3/16/2006"] =
            Signed(update::SignedPurpose::Definitions,
                   defs::EncodeLine("FILE") + "|ADD[DEF]" + defs::EncodeLine("qmnew.exe") + "=" +
                       defs::EncodeLine("New") + "|" + defs::EncodeLine("[progfil]New") + "|" +
                       defs::EncodeLine("Adware"),
                   "3/16/2006");
        m.http.answers[std::string(kServer) + "/asp/date.asp"] =
            Signed(update::SignedPurpose::Date, "12/9/2026 7:00:00 AM");
    }

    static constexpr const char* kServer = "http://127.0.0.1:8080";
    const test::TestSigningKey maker;
    test::FakeApplication fake;
    FakeMachine& m = fake.m;
    ui::FrmMain& form = fake.form;
    Application& app = fake.app;
};

TEST_F(WindowLiveUpdateTest, AnUpdateShowsItsProgressThenTheNoticeAndLeavesTheProgramAsBefore) {
    app.Start();
    ServeANewThreat();
    bool progressShown = false, timersPaused = true;
    std::vector<std::string> statuses;
    m.pump.onEvents = [&](long long) {
        progressShown =
            progressShown || (form.frmDownload.visible && form.frmDownload.trayIconShown);
        timersPaused = timersPaused && !form.tmrMemoryInspected.enabled;
        statuses.push_back(form.frmDownload.txtStatus);
        EXPECT_FALSE(form.cmdLiveUpdate.enabled);
    };
    app.RunLiveUpdate();

    EXPECT_TRUE(progressShown);
    EXPECT_TRUE(timersPaused);
    const std::string dateAnswerLength =
        std::to_string(Signed(update::SignedPurpose::Date, "12/9/2026 6:00:00 AM").size());
    EXPECT_NE(
        std::find(statuses.begin(), statuses.end(), "Downloaded " + dateAnswerLength + " bytes."),
        statuses.end())
        << "the date answer's length";
    EXPECT_FALSE(form.frmDownload.visible);
    EXPECT_FALSE(form.frmDownload.trayIconShown);
    EXPECT_TRUE(form.cmdLiveUpdate.enabled);
    EXPECT_TRUE(form.cmdScan.enabled);
    EXPECT_TRUE(form.tmrMemoryInspected.enabled);
    EXPECT_TRUE(form.frmSignatureUpdated.visible);
    EXPECT_EQ(form.frmSignatureUpdated.lblUpdateInfo.caption,
              "Your Quillmarsh definitions have been updated!");
    EXPECT_EQ(Stored("SHOW"), "True");
    EXPECT_EQ(Stored("RESTART"), "True");
    EXPECT_EQ(form.lblDefVersion.caption, "12/9/2026 7:00:00 AM PST");
    EXPECT_EQ(form.lblLastUpdate.caption, "Signatures Last Updated On 12/9/2026 7:00:00 AM PST");

    // The user's OK closes the notice and keeps it from being shown again.
    app.NoticeOk();
    EXPECT_FALSE(form.frmSignatureUpdated.visible);
    EXPECT_EQ(Stored("SHOW"), "false");
}

TEST_F(WindowLiveUpdateTest, TheNoticeTellsWhatBecameOfTheUpdate) {
    app.Start();
    // Only an update that changed something marks the definitions for sibling tools.
    m.settings.Write("Quillmarsh", settings::section::kOptions, "RESTART", "False");
    const std::string dataFile = std::string(FakeMachine::kDataFolder) + "\\FileDefinition.dat";
    const std::string before = *m.files.Content(dataFile);
    // No server at all, then a server whose definitions query fails: a failure, not news.
    app.RunLiveUpdate();
    EXPECT_EQ(form.frmSignatureUpdated.lblUpdateInfo.caption,
              "Definitions could not be downloaded. Please check your internet connection.");
    ServeANewThreat();
    const std::string defsQuery = std::string(kServer) + "/asp/getDefsNEW.asp" +
                                  "?prog=Quillmarsh&comp=Quillmarsh%20Software&date=3/16/2006";
    const auto answer = m.http.answers[defsQuery];
    m.http.answers[defsQuery] = std::nullopt;
    form.frmSignatureUpdated.lblUpdateInfo.caption.clear();
    app.RunLiveUpdate();
    EXPECT_EQ(form.frmSignatureUpdated.lblUpdateInfo.caption,
              "Definitions could not be downloaded. Please check your internet connection.");
    EXPECT_EQ(*m.files.Content(dataFile), before);
    EXPECT_EQ(Stored("RESTART"), "False");

    // New definitions that cannot be written are not the most recent ones.
    m.http.answers[defsQuery] = answer;
    m.files.failWrites = true;
    app.RunLiveUpdate();
    EXPECT_EQ(form.frmSignatureUpdated.lblUpdateInfo.caption,
              "New definitions were downloaded but could not be saved. Your definitions are "
              "unchanged; please run Live Update again later.");
    EXPECT_EQ(Stored("RESTART"), "False");
    EXPECT_FALSE(m.files.Has(std::string(FakeMachine::kDataFolder) + "\\date.dat"));
    m.files.failWrites = false;

    // Definitions the maker did not sign, or that were changed on the way: not used, and said.
    const std::string signedAnswer = *answer;
    for (const std::string& forged : {std::string(update::SplitSignedAnswer(signedAnswer).body),
                                      text::ReplaceAll(signedAnswer, "[DEF]", "[DEF]x")}) {
        m.http.answers[defsQuery] = forged;
        app.RunLiveUpdate();
        EXPECT_EQ(form.frmSignatureUpdated.lblUpdateInfo.caption,
                  "The definitions the server sent could not be verified as Quillmarsh's own, so "
                  "they were not used. Your definitions are unchanged. If this continues, your "
                  "network may be tampering with updates.");
        EXPECT_EQ(*m.files.Content(dataFile), before);
        EXPECT_FALSE(m.files.Has(std::string(FakeMachine::kDataFolder) + "\\date.dat"));
    }
    EXPECT_FALSE(form.lblUnsignedAllowed.visible);

    // A server that answers and has nothing newer: the most recent definitions.
    m.http.answers[std::string(kServer) + "/asp/currentDateNEW.asp" +
                   "?prog=Quillmarsh&comp=Quillmarsh%20Software"] =
        Signed(update::SignedPurpose::Date, "3/16/2006 12:00:00 AM");
    app.RunLiveUpdate();
    EXPECT_EQ(form.frmSignatureUpdated.lblUpdateInfo.caption,
              "You are using the most recent Quillmarsh definitions.");

    // An administrator's own unsigned server: let in, and the Home page says so.
    m.AllowUnsignedDefinitions();
    ServeANewThreat();
    m.http.answers[defsQuery] = std::string(update::SplitSignedAnswer(signedAnswer).body);
    app.RunLiveUpdate();
    EXPECT_EQ(form.frmSignatureUpdated.lblUpdateInfo.caption,
              "Your Quillmarsh definitions have been updated!");
    EXPECT_TRUE(form.lblUnsignedAllowed.visible);
    EXPECT_EQ(form.lblUnsignedAllowed.caption,
              "Unsigned definitions are allowed on this computer (AllowUnsignedDefinitions).");
}

// Cancel on the progress window ends the exchange: nothing merged, nothing stored, no notice.
// A downloaded copy that appeared since start-up waits for the next start instead of replacing
// what an update merged.
TEST_F(WindowLiveUpdateTest, CancelEndsTheExchangeAndOnlyStartUpInstallsDownloadedCopies) {
    app.Start();
    ServeANewThreat();
    const std::string folder = FakeMachine::kDataFolder;
    const std::string before = *m.files.Content(folder + "\\FileDefinition.dat");
    m.pump.onEvents = [&](long long) {
        if (form.frmDownload.txtStatus.rfind("Downloaded", 0) == 0) app.CloseDownloadWindow();
    };
    app.RunLiveUpdate();
    EXPECT_EQ(*m.files.Content(folder + "\\FileDefinition.dat"), before);
    EXPECT_FALSE(m.files.Has(folder + "\\date.dat"));
    EXPECT_FALSE(form.frmSignatureUpdated.visible);
    EXPECT_EQ(m.http.asked.size(), 1u) << "not even the definitions query";

    m.pump.onEvents = nullptr;
    m.files.PutFile(folder + "\\DLFileDefinition.dat",
                    defs::EncodeLine("stale.exe=Stale") + "\r\n");
    app.RunLiveUpdate();
    EXPECT_NE(m.files.Content(folder + "\\FileDefinition.dat")->find(defs::EncodeLine("qmnew.exe")),
              std::string::npos);
    EXPECT_TRUE(m.files.Has(folder + "\\DLFileDefinition.dat"));
}

TEST_F(WindowLiveUpdateTest, AutomaticUpdateRunsOnceAfterThreeHundredScanFreeSeconds) {
    app.Start();
    EXPECT_FALSE(form.timUpdate.enabled) << "armed only by a stored 1";
    m.settings.Write("Quillmarsh", settings::section::kOptions, "chkAutomaticUpdate", "1");
    app.Start();
    ASSERT_TRUE(form.timUpdate.enabled);
    ServeANewThreat();
    // A scan running for the first 100 seconds: those do not count.
    form.cmdScanNow.enabled = false;
    for (int i = 0; i < 100; ++i)
        app.TimerTick(form.timUpdate);
    form.cmdScanNow.enabled = true;
    for (int i = 0; i < 300; ++i)
        app.TimerTick(form.timUpdate);
    EXPECT_TRUE(m.http.asked.empty()) << "300 seconds counted, the update comes on the next tick";
    app.TimerTick(form.timUpdate);
    EXPECT_FALSE(m.http.asked.empty());
    EXPECT_FALSE(form.timUpdate.enabled) << "once per run";
    EXPECT_EQ(Stored("SHOW"), "True");
}

TEST_F(WindowLiveUpdateTest, TheNoticeRisesAtTheRightEdgeWaitsSinksAndClosesItself) {
    ui::FrmSignatureUpdated& notice = form.frmSignatureUpdated;
    notice.Load("Quillmarsh", ui::ScreenFacts{1024, 768, 30});
    EXPECT_EQ(notice.top, 10701);                       // (768 - 30) * 14.5
    EXPECT_EQ(notice.left, 10348);                      // (1024 - 320) * 14.7
    EXPECT_EQ(notice.targetTop, 11136 - (1800 + 100));  // 768 * 14.5 - (height + 100)
    int ticks = 0;
    while (notice.tmrPopupSignatureUpdate.enabled && ticks < 10000) {
        app.TimerTick(notice.tmrPopupSignatureUpdate);
        ++ticks;
    }
    EXPECT_LE(notice.top, notice.targetTop);
    EXPECT_EQ(ticks, (10701 - 9236 + 19) / 20);
    ASSERT_TRUE(notice.tmrEnablePopDownTimer.enabled);
    app.TimerTick(notice.tmrEnablePopDownTimer);
    EXPECT_FALSE(notice.tmrEnablePopDownTimer.enabled);
    ASSERT_TRUE(notice.tmrPopDown.enabled);
    while (notice.visible && ticks < 20000) {
        app.TimerTick(notice.tmrPopDown);
        ++ticks;
    }
    EXPECT_FALSE(notice.visible);
    EXPECT_GT(notice.top, ui::FrmSignatureUpdated::kPopDownEndTwips);
    EXPECT_EQ(Stored("SHOW"), "false") << "sinking away ends as OK does";
}

TEST_F(WindowLiveUpdateTest, TheProgressCaptionFollowsItsStepsAndCancelOnlyClosesTheWindow) {
    ui::FrmDownload& download = form.frmDownload;
    download.Open();
    std::vector<std::string> captions;
    for (int i = 0; i < 17; ++i) {
        app.TimerTick(download.tmrBlink);
        captions.push_back(download.lblProduct.caption);
    }
    // The first tick shows the up arrow; steps 1, 7 and 9 keep the arrow's own caption.
    const std::string up = "Connecting to server.....", down = "Checking for Definitions.....",
                      connect = "Connecting to the Server.",
                      send = "Sending and receiving data, please wait.";
    const std::vector<std::string> expected = {connect,
                                               down,
                                               send,
                                               send,
                                               send,
                                               send,
                                               "Successfully sent the request.",
                                               down,
                                               "Receiving a response from the Server.",
                                               down,
                                               send,
                                               send,
                                               send,
                                               send,
                                               send,
                                               connect,
                                               up};
    EXPECT_EQ(captions, expected);
    app.CloseDownloadWindow();
    EXPECT_FALSE(download.visible);
    EXPECT_FALSE(download.trayIconShown);
}

struct AddressCase {
    const char* website;
    const char* base;
};

class AddressListBase : public ::testing::TestWithParam<AddressCase> {};

TEST_P(AddressListBase, IsTheWebSitesHostWithWwwInFront) {
    EXPECT_EQ(update::AddressListBase(GetParam().website), GetParam().base);
}

INSTANTIATE_TEST_SUITE_P(
    Websites, AddressListBase,
    ::testing::Values(AddressCase{"http://www.quillmarsh.example/support",
                                  "http://www.quillmarsh.example"},
                      AddressCase{"HTTP://quillmarsh.example/a/b", "http://www.quillmarsh.example"},
                      AddressCase{"Www.Quillmarsh.example", "http://Www.Quillmarsh.example"},
                      AddressCase{"", "http://www."}));

TEST(AddressList, ListsTheEightDefinitionAddressesOnePerLine) {
    const std::string list = update::DefinitionAddressList("www.quillmarsh.example");
    EXPECT_EQ(list.substr(0, list.find("\r\n")),
              "http://www.quillmarsh.example/definitions/version/R.HTM");
    EXPECT_EQ(list.substr(list.rfind("\r\n") + 2),
              "http://www.quillmarsh.example/definitions/data/ExeDefinition.dat");
    EXPECT_EQ(std::count(list.begin(), list.end(), '\n'), 7);
}

}  // namespace
}  // namespace qm::app
