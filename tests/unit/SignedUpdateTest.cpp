// Signed answers: the signature line read exactly or not at all, and the exchange that merges
// only what a trusted key signed for this very query, with keys rotated by the old key's word.
#include <gtest/gtest.h>

#include "definitions/LineScramble.h"
#include "support/FakePlatform.h"
#include "text/Base64.h"
#include "update/LiveUpdate.h"

namespace qm::update {
namespace {

constexpr const char* kMade = "20261208T204621Z";  // the fake machine's clock, in UTC
const std::string kSignature = text::Base64Encode(std::string(64, '\x5a'));

struct LineCase {
    std::string answer;
    bool reads;
    std::string body;
};

class SignatureLineForms : public ::testing::TestWithParam<LineCase> {};

TEST_P(SignatureLineForms, ReadExactlyOrNotAtAll) {
    const SplitAnswer split = SplitSignedAnswer(GetParam().answer);
    EXPECT_EQ(split.signature.has_value(), GetParam().reads);
    EXPECT_EQ(split.body, GetParam().body);
}

const std::string kLine = std::string("QMSIG1 date 0123456789abcdef ") + kMade + " " + kSignature;
INSTANTIATE_TEST_SUITE_P(
    Lines, SignatureLineForms,
    ::testing::Values(
        LineCase{"12/5/2026 10:00:00 AM " + kLine, true, "12/5/2026 10:00:00 AM "},
        LineCase{"12/5/2026 10:00:00 AM " + kLine + "\r\n", true, "12/5/2026 10:00:00 AM "},
        LineCase{"<a/>\r\n<!-- " + kLine + " -->\r\n", true, "<a/>\r\n<!-- "},
        LineCase{"12/5/2026 10:00:00 AM", false, "12/5/2026 10:00:00 AM"},
        // Anything after the fields, a field too few, a key id in capitals, a
        // time that is no time, a signature of another size: not read.
        LineCase{"x " + kLine + " more", false, "x "},
        LineCase{"x " + kLine + "\r\nmore", false, "x "},
        LineCase{"x QMSIG1 date 0123456789abcdef " + kSignature, false, "x "},
        LineCase{"x QMSIG1 date 0123456789ABCDEF " + std::string(kMade) + " " + kSignature, false,
                 "x "},
        LineCase{"x QMSIG1 date 0123456789abcdef 20261308T204621Z " + kSignature, false, "x "},
        LineCase{"x QMSIG1 date 0123456789abcdef " + std::string(kMade) + " " +
                     text::Base64Encode(std::string(63, 'a')),
                 false, "x "},
        LineCase{"x QMSIG1 hours 0123456789abcdef " + std::string(kMade) + " " + kSignature, false,
                 "x "}));

// The exchange over a scripted server whose answers a test key signs.
class SignedUpdateTest : public ::testing::Test {
  protected:
    SignedUpdateTest() {
        m.PutCompleteDefinitionSet();
        m.InstallUpdateKey(maker);
        before = *m.files.Content(files.PathOf("FileDefinition.dat"));
    }
    UpdateOutcome Run() {
        std::string status;
        return LiveUpdate(m.platform, m.pump, files, product, kServer,
                          {"C:\\Program Files\\Quillmarsh", false})
            .FetchAndMergeUpdates(status);
    }
    // The server's date, and the definitions since the installed date.
    void Serve(const test::TestSigningKey& key, const std::string& made = kMade,
               const std::string& date = kDate, const std::string& installed = "3/16/2006") {
        m.http.answers[dateQuery] = key.SignedAnswer(SignedPurpose::Date, date, "", made);
        m.http.answers[defsQueryWithout + installed] =
            key.SignedAnswer(SignedPurpose::Definitions, records, installed, made);
        m.http.answers[std::string(kServer) + "/asp/date.asp"] = m.http.answers[dateQuery];
    }
    void ExpectNothingChanged(const UpdateOutcome& outcome, Verdict why) {
        EXPECT_EQ(outcome.status, UpdateOutcome::Status::Unverified);
        EXPECT_EQ(outcome.refusal, why);
        EXPECT_EQ(*m.files.Content(files.PathOf("FileDefinition.dat")), before);
        EXPECT_FALSE(m.files.Has(files.PathOf("date.dat")));
    }

    static constexpr const char* kServer = "http://127.0.0.1:8080";
    static constexpr const char* kDate = "12/8/2026 10:00:00 AM";
    test::FakeMachine m;
    defs::DefinitionFiles files{m.files, test::FakeMachine::kDataFolder};
    platform::ProductInfo product{"Quillmarsh", "Quillmarsh Software", "", 1, 0};
    const std::string query = "?prog=Quillmarsh&comp=Quillmarsh%20Software";
    const std::string dateQuery = std::string(kServer) + "/asp/currentDateNEW.asp" + query;
    const std::string defsQueryWithout =
        std::string(kServer) + "/asp/getDefsNEW.asp" + query + "&date=";
    const std::string defsQuery = defsQueryWithout + "3/16/2006";
    const std::string records = defs::EncodeLine("FILE") + "|ADD[DEF]" +
                                defs::EncodeLine("qmnew.exe") + "=" + defs::EncodeLine("New");
    std::string before;
    test::TestSigningKey maker;
};

TEST_F(SignedUpdateTest, OnlyWhatTheMakersKeySignedForThisQueryIsMerged) {
    // Changed on the way, unsigned, signed by someone else, signed for another query, or a
    // date answer replayed from three days ago.
    Serve(maker);
    std::string& definitions = *m.http.answers[defsQuery];
    definitions[definitions.find("[DEF]") + 5] ^= 1;
    ExpectNothingChanged(Run(), Verdict::BadSignature);
    m.http.answers[defsQuery] = records;
    ExpectNothingChanged(Run(), Verdict::Unsigned);
    const test::TestSigningKey stranger;
    Serve(stranger);
    ExpectNothingChanged(Run(), Verdict::UnknownKey);
    Serve(maker);
    m.http.answers[defsQuery] =
        maker.SignedAnswer(SignedPurpose::Definitions, records, "12/1/2026", kMade);
    ExpectNothingChanged(Run(), Verdict::BadSignature);
    m.http.answers[defsQuery] = m.http.answers[dateQuery];
    ExpectNothingChanged(Run(), Verdict::Unsigned);
    Serve(maker, "20261205T204620Z");
    ExpectNothingChanged(Run(), Verdict::Stale);
    EXPECT_EQ(m.http.asked.back(), dateQuery) << "a stale date asks for nothing more";

    Serve(maker);
    const UpdateOutcome outcome = Run();
    EXPECT_EQ(outcome.status, UpdateOutcome::Status::Updated);
    EXPECT_EQ(files.ReadDefinitionDate(), kDate);
}

TEST_F(SignedUpdateTest, ANewKeyIsTakenOnTheOldKeysWordUntilTheOldOneRetires) {
    const test::TestSigningKey successor, intruder;
    Serve(successor);
    const std::string keys = std::string(kServer) + "/keys";
    // An introduction signed by a key nobody trusts is no introduction.
    m.http.answers[keys] = KeyLineText(intruder.Introduce(successor, "never"));
    ExpectNothingChanged(Run(), Verdict::UnknownKey);

    m.http.answers[keys] = "; the maker's keys\r\n" + KeyLineText(maker.Line()) + "\r\n" +
                           KeyLineText(maker.Introduce(successor, "2026-12-20")) + "\r\n";
    EXPECT_EQ(Run().status, UpdateOutcome::Status::Updated);
    const auto learned =
        m.files.Content(std::string(test::FakeMachine::kDataFolder) + "\\" + kLearnedKeysFile);
    ASSERT_TRUE(learned);
    EXPECT_NE(learned->find(successor.Id()), std::string::npos);

    // Once the old key has retired it verifies nothing, and introduces nobody; the key it
    // introduced before stays trusted from the data folder, without asking the server again.
    m.clock.local = {2026, 12, 21, 1, 9, 0, 0};
    m.http.answers[keys] = std::nullopt;
    const std::string later = "20261221T090000Z", newer = "12/21/2026 8:00:00 AM";
    Serve(maker, later, newer, kDate);
    EXPECT_EQ(Run().refusal, Verdict::UnknownKey);
    Serve(successor, later, newer, kDate);
    m.http.asked.clear();
    EXPECT_EQ(Run().status, UpdateOutcome::Status::Updated);
    EXPECT_EQ(std::count(m.http.asked.begin(), m.http.asked.end(), keys), 0);
    m.http.answers[keys] = KeyLineText(maker.Introduce(intruder, "never"));
    Serve(intruder, later, "12/21/2026 9:00:00 AM", newer);
    EXPECT_EQ(Run().refusal, Verdict::UnknownKey);
}

}  // namespace
}  // namespace qm::update
