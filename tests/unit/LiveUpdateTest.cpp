// The update exchange over a scripted server: the date compared strictly, the definitions
// asked for since the installed date, merged, and the server's current date stored; a server
// that does not answer leaves everything as it was.
#include "update/LiveUpdate.h"

#include <gtest/gtest.h>

#include "definitions/LineScramble.h"
#include "support/FakePlatform.h"

namespace qm::update {
namespace {

class LiveUpdateTest : public ::testing::Test {
  protected:
    LiveUpdateTest() { m.PutCompleteDefinitionSet(); }

    UpdateOutcome Run() {
        std::string status;
        return LiveUpdate(m.platform, m.pump, files, product, "http://127.0.0.1:8080/")
            .FetchAndMergeUpdates(status);
    }

    test::FakeMachine m;
    defs::DefinitionFiles files{m.files, test::FakeMachine::kDataFolder};
    platform::ProductInfo product{"Quill marsh", "Marsh Works Ltd", "", 1, 0};
    const std::string query = "?prog=Quill%20marsh&comp=Marsh%20Works%20Ltd";
    const std::string dateQuery = "http://127.0.0.1:8080/asp/currentDateNEW.asp" + query;
};

TEST_F(LiveUpdateTest, ANewerServerIsAskedSinceTheInstalledDateAndItsDateStored) {
    // Nothing installed yet: the program's first date, which prints without its midnight.
    const std::string defsQuery =
        "http://127.0.0.1:8080/asp/getDefsNEW.asp" + query + "&date=3/16/2006";
    m.http.answers[dateQuery] = " 12/9/2026 6:00:00 AM </html>\r\n";
    m.http.answers[defsQuery] = defs::EncodeLine("FILE") + "|ADD[DEF]" +
                                defs::EncodeLine("qmnew.exe") + "=" + defs::EncodeLine("New");
    m.http.answers["http://127.0.0.1:8080/asp/date.asp"] = "12/9/2026 7:00:00 AM<br>";
    const UpdateOutcome outcome = Run();
    EXPECT_EQ(outcome.status, UpdateOutcome::Status::Updated);
    EXPECT_EQ(outcome.changes, 1);
    EXPECT_EQ(outcome.storedDate, "12/9/2026 7:00:00 AM");
    EXPECT_EQ(files.ReadDefinitionDate(), "12/9/2026 7:00:00 AM");
    EXPECT_NE(m.files.Content(files.PathOf("FileDefinition.dat"))
                  ->find(defs::EncodeLine("qmnew.exe=New")),
              std::string::npos);

    // The same date again is nothing newer: no definitions query.
    m.http.asked.clear();
    m.http.answers[dateQuery] = "12/9/2026 7:00:00 AM";
    EXPECT_EQ(Run().status, UpdateOutcome::Status::Current);
    EXPECT_EQ(m.http.asked, std::vector<std::string>{dateQuery});
}

TEST_F(LiveUpdateTest, AnUnansweredOrUnreadableDateChangesNothing) {
    EXPECT_EQ(Run().status, UpdateOutcome::Status::Unreachable);
    m.http.answers[dateQuery] = "13/45/2026 25:00 PM";
    const UpdateOutcome outcome = Run();
    EXPECT_EQ(outcome.status, UpdateOutcome::Status::Current);
    EXPECT_EQ(m.http.asked.size(), 2u) << "no definitions query";
    EXPECT_EQ(files.ReadDefinitionDate(), "3/16/2006 12:00:00 AM");
}

}  // namespace
}  // namespace qm::update
