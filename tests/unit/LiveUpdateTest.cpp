// The update exchange over a scripted server: the date compared strictly, the definitions
// asked for since the installed date, merged, and the server's current date stored; a server
// that does not answer leaves everything as it was.
#include "update/LiveUpdate.h"

#include <gtest/gtest.h>

#include "definitions/LineScramble.h"
#include "support/FakePlatform.h"
#include "update/HttpText.h"

namespace qm::update {
namespace {

// The exchange's own rules, on a machine whose administrator lets unsigned answers in; the
// signatures have tests of their own.
const UpdateTrust kUnsignedServer{"C:\\Program Files\\Quillmarsh", true};

class LiveUpdateTest : public ::testing::Test {
  protected:
    LiveUpdateTest() { m.PutCompleteDefinitionSet(); }

    UpdateOutcome Run() {
        std::string status;
        return LiveUpdate(m.platform, m.pump, files, product, "http://127.0.0.1:8080/",
                          kUnsignedServer)
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

// Whatever the user's own formats, the server hears and is read in United States form, and
// the date it gave is stored as it gave it. A date.dat an earlier version wrote in the user's
// form is still read.
TEST_F(LiveUpdateTest, AGermanUserAsksAndStoresInTheServersForm) {
    m.dates.german = true;
    const std::string defsQuery = "http://127.0.0.1:8080/asp/getDefsNEW.asp" + query + "&date=";
    const std::string add = defs::EncodeLine("FILE") + "|ADD[DEF]" + defs::EncodeLine("qmnew.exe") +
                            "=" + defs::EncodeLine("New");
    m.http.answers[dateQuery] = "12/2/2026 8:00:00 AM";
    m.http.answers[defsQuery + "3/16/2006"] = add;
    m.http.answers["http://127.0.0.1:8080/asp/date.asp"] = "12/2/2026 8:00:00 AM";
    EXPECT_EQ(Run().status, UpdateOutcome::Status::Updated);
    EXPECT_EQ(files.ReadDefinitionDate(), "12/2/2026 8:00:00 AM");

    m.http.answers[dateQuery] = "12/5/2026 12:00:00 AM";
    m.http.answers[defsQuery + "12/2/2026 8:00:00 AM"] = add;
    m.http.answers["http://127.0.0.1:8080/asp/date.asp"] = "12/5/2026";
    EXPECT_EQ(Run().status, UpdateOutcome::Status::Updated);
    EXPECT_EQ(files.ReadDefinitionDate(), "12/5/2026");

    // An older server date asks nothing.
    m.http.asked.clear();
    m.http.answers[dateQuery] = "12/4/2026 11:00:00 PM";
    EXPECT_EQ(Run().status, UpdateOutcome::Status::Current);
    EXPECT_EQ(m.http.asked, std::vector<std::string>{dateQuery});

    // The user's own form, as an earlier version stored it.
    files.WriteDefinitionDate("1.12.2026 08:00:00");
    m.http.answers[defsQuery + "12/1/2026 8:00:00 AM"] = add;
    EXPECT_EQ(Run().status, UpdateOutcome::Status::Updated);
}

// One bad answer must not hold back every later update: a date far ahead of the clock is
// refused, and so is a current date older than the installed one. A failed definitions
// query leaves the files and the date as they were.
TEST_F(LiveUpdateTest, ABadOrFailedAnswerStoresNothing) {
    const std::string defsQuery =
        "http://127.0.0.1:8080/asp/getDefsNEW.asp" + query + "&date=3/16/2006";
    const std::string before = *m.files.Content(files.PathOf("FileDefinition.dat"));
    m.http.answers[dateQuery] = "12/11/2026 9:00:00 AM";  // the clock says 12/8/2026
    m.http.answers[defsQuery] = defs::EncodeLine("FILE") + "|ADD[DEF]" +
                                defs::EncodeLine("qmnew.exe") + "=" + defs::EncodeLine("New");
    EXPECT_EQ(Run().status, UpdateOutcome::Status::Unreachable);
    EXPECT_EQ(m.http.asked.size(), 1u) << "no definitions query";

    m.http.answers[dateQuery] = "12/9/2026 9:00:00 AM";
    m.http.answers[defsQuery] = std::nullopt;
    EXPECT_EQ(Run().status, UpdateOutcome::Status::Unreachable);
    EXPECT_EQ(*m.files.Content(files.PathOf("FileDefinition.dat")), before);
    EXPECT_FALSE(m.files.Has(files.PathOf("date.dat")));

    m.http.answers[defsQuery] = defs::EncodeLine("FILE") + "|ADD[DEF]" +
                                defs::EncodeLine("qmnew.exe") + "=" + defs::EncodeLine("New");
    m.http.answers["http://127.0.0.1:8080/asp/date.asp"] = "1/1/2001 9:00:00 AM";
    EXPECT_EQ(Run().status, UpdateOutcome::Status::Updated);
    EXPECT_EQ(files.ReadDefinitionDate(), "12/9/2026 9:00:00 AM");
}

// A server that sends a little now and then is given up once the exchange's deadline passes:
// nothing merged, nothing stored. So is an exchange the user cancelled.
TEST_F(LiveUpdateTest, ASlowServerOrTheUsersCancelEndsTheExchange) {
    const std::string before = *m.files.Content(files.PathOf("FileDefinition.dat"));
    m.http.answers[dateQuery] = "12/8/2026 6:00:00 AM";
    std::string body = defs::EncodeLine("FILE") + "|ADD[DEF]" + defs::EncodeLine("qmnew.exe") +
                       "=" + defs::EncodeLine("New");
    body += std::string(40 * kHttpBlockBytes - body.size(), ' ');
    m.http.answers["http://127.0.0.1:8080/asp/getDefsNEW.asp" + query + "&date=3/16/2006"] = body;
    m.http.answers["http://127.0.0.1:8080/asp/date.asp"] = "12/8/2026 6:00:00 AM";
    m.http.beforeBlock = [&] { m.clock.milliseconds += 29000; };
    EXPECT_EQ(Run().status, UpdateOutcome::Status::Unreachable);
    EXPECT_EQ(*m.files.Content(files.PathOf("FileDefinition.dat")), before);
    EXPECT_FALSE(m.files.Has(files.PathOf("date.dat")));

    m.http.beforeBlock = nullptr;
    int blocks = 0;
    std::string status;
    const UpdateOutcome cancelled =
        LiveUpdate(m.platform, m.pump, files, product, "http://127.0.0.1:8080/", kUnsignedServer)
            .FetchAndMergeUpdates(status, [&] { return ++blocks > 3; });
    EXPECT_EQ(cancelled.status, UpdateOutcome::Status::Cancelled);
    EXPECT_FALSE(m.files.Has(files.PathOf("date.dat")));
    EXPECT_EQ(m.http.asked.back().find("date.asp"), std::string::npos);
}

}  // namespace
}  // namespace qm::update
