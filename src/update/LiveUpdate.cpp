#include "update/LiveUpdate.h"

#include "definitions/MergeJournal.h"
#include "text/Text.h"
#include "update/DateAnswer.h"
#include "update/DefinitionMerge.h"
#include "update/HttpText.h"
#include "update/QueryEncoding.h"
#include "update/ServerDates.h"

namespace qm::update {

namespace {

// The merge's progress into the same status text, with the window's events let run.
class StatusProgress final : public MergeProgress {
  public:
    StatusProgress(std::string& status, ui::EventPump& pump, std::function<bool()> keepGoing)
        : status_(status), pump_(pump), keepGoing_(std::move(keepGoing)) {}
    void ShowStatus(const std::string& text) override { status_ = text; }
    void LetEventsRun() override { pump_.LetEventsRun(); }
    bool Cancelled() const override { return !keepGoing_(); }

  private:
    std::string& status_;
    ui::EventPump& pump_;
    std::function<bool()> keepGoing_;
};

}  // namespace

std::string DefaultServerAddress() {
    return std::string("http://www.") + kDefinitionServerHost;
}

const char* StatusName(UpdateOutcome::Status status) {
    switch (status) {
        case UpdateOutcome::Status::Updated:
            return "updated";
        case UpdateOutcome::Status::Current:
            return "current";
        case UpdateOutcome::Status::Unreachable:
            return "unreachable";
        case UpdateOutcome::Status::NotWritten:
            return "not written";
        case UpdateOutcome::Status::Cancelled:
            return "cancelled";
        case UpdateOutcome::Status::Unverified:
            return "unverified";
    }
    return "";
}

std::string LiveUpdate::Base() const {
    std::string base = server_;
    while (!base.empty() && base.back() == '/')
        base.pop_back();
    return base;
}

std::string LiveUpdate::Query(const std::string& path) const {
    return Base() + path + "?prog=" + QueryValue(product_.productName) +
           "&comp=" + QueryValue(product_.companyName);
}

UpdateOutcome LiveUpdate::FetchAndMergeUpdates(std::string& status,
                                               const std::function<bool()>& cancelled) {
    platform::Clock& clock = platform_.clock;
    UpdateOutcome outcome;
    status = "Connecting to the definition server, please wait.";
    pump_.LetEventsRun();
    // A replacement of the set that an earlier run left part way is finished first: the date
    // read next must be the one of the files in place.
    defs::FinishInterruptedReplacement(platform_.files, files_.DataFolder());
    const std::string installedText = files_.ReadDefinitionDate();
    outcome.storedDate = installedText;
    const double installed = ReadStoredDate(platform_.dates, installedText)
                                 .value_or(ParseServerDate(defs::kDefaultDefinitionDate).value());

    const unsigned long long deadline = clock.Milliseconds() + kExchangeDeadlineMilliseconds;
    bool userCancelled = false;
    const std::function<bool()> keepGoing = [&] {
        userCancelled = userCancelled || (cancelled && cancelled());
        return !userCancelled && clock.Milliseconds() < deadline;
    };
    const auto failed = [&] {
        outcome.status =
            userCancelled ? UpdateOutcome::Status::Cancelled : UpdateOutcome::Status::Unreachable;
        return outcome;
    };
    // Every answer is checked before it is used: one the maker did not sign changes nothing.
    AnswerVerifier verifier(
        platform_, pump_,
        {trust_.programFolder, files_.DataFolder(), Base() + "/keys", trust_.allowUnsigned});
    const auto refused = [&](Verdict verdict) {
        outcome.status = UpdateOutcome::Status::Unverified;
        outcome.refusal = verdict;
        return outcome;
    };

    const auto dateAnswer = HttpGetTextWithProgress(
        platform_.http, pump_, Query("/asp/currentDateNEW.asp"), status, keepGoing);
    if (!dateAnswer || !keepGoing()) return failed();
    const CheckedAnswer dateChecked =
        verifier.Check(SignedPurpose::Date, *dateAnswer, "", keepGoing);
    if (!keepGoing()) return failed();
    if (!Trusted(dateChecked.verdict)) return refused(dateChecked.verdict);
    const std::string dateText = CleanDateAnswer(dateChecked.payload);
    // An answer that is no date counts as the installed date: nothing newer.
    const double serverDate = ParseServerDate(dateText).value_or(installed);
    if (!(serverDate > installed)) return outcome;
    // A date far ahead of the machine's clock would, once stored, hold back every update until
    // it came: such an answer is refused.
    const double today = platform::DateValueOf(clock.Now());
    if (serverDate > today + kServerDateLeadDays) return failed();

    const std::string asked = FormatServerDate(installed);
    const auto answer = HttpGetTextWithProgress(
        platform_.http, pump_, Query("/asp/getDefsNEW.asp") + "&date=" + asked, status, keepGoing);
    if (!answer || !keepGoing()) return failed();
    // Signed together with the date asked for: an answer to another query is refused too.
    const CheckedAnswer records =
        verifier.Check(SignedPurpose::Definitions, *answer, asked, keepGoing);
    if (!keepGoing()) return failed();
    if (!Trusted(records.verdict)) return refused(records.verdict);
    StatusProgress progress(status, pump_, keepGoing);
    PreparedMerge merged =
        PrepareMerge(platform_.files, files_.DataFolder(), records.payload, progress);
    if (merged.Cancelled() || !keepGoing()) return failed();
    if (!merged.Ready()) {
        // The old date stays, so the next update asks for the same definitions again.
        outcome.status = UpdateOutcome::Status::NotWritten;
        return outcome;
    }
    if (merged.changes < 1) return outcome;

    // The server's current date, else the one it gave above. A current date older than the
    // installed one, or far ahead of the clock, is refused in favour of that one.
    const auto current = HttpGetText(platform_.http, pump_, Base() + "/asp/date.asp", keepGoing);
    if (!keepGoing()) return failed();
    std::string stored = StoredFormOf(dateText).value_or(FormatServerDate(serverDate));
    if (current) {
        const CheckedAnswer checked = verifier.Check(SignedPurpose::Date, *current, "", keepGoing);
        if (!keepGoing()) return failed();
        if (!Trusted(checked.verdict)) return refused(checked.verdict);
        const std::string cleaned = CleanDateAnswer(checked.payload);
        const auto value = ParseServerDate(cleaned);
        if (value && *value > installed && *value <= today + kServerDateLeadDays)
            stored = StoredFormOf(cleaned).value_or(stored);
    }
    // The files and the date move in together, or not at all.
    if (!merged.Commit(stored)) {
        outcome.status = UpdateOutcome::Status::NotWritten;
        return outcome;
    }
    outcome.changes = merged.changes;
    outcome.storedDate = stored;
    outcome.status = UpdateOutcome::Status::Updated;
    return outcome;
}

}  // namespace qm::update
