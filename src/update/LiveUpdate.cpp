#include "update/LiveUpdate.h"

#include "definitions/Text.h"
#include "update/DateAnswer.h"
#include "update/DefinitionMerge.h"
#include "update/HttpText.h"
#include "update/QueryEncoding.h"

namespace qm::update {

namespace {

// The merge's progress into the same status text, with the window's events let run.
class StatusProgress final : public MergeProgress {
  public:
    StatusProgress(std::string& status, ui::EventPump& pump) : status_(status), pump_(pump) {}
    void ShowStatus(const std::string& text) override { status_ = text; }
    void LetEventsRun() override { pump_.LetEventsRun(); }

  private:
    std::string& status_;
    ui::EventPump& pump_;
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

UpdateOutcome LiveUpdate::FetchAndMergeUpdates(std::string& status) {
    platform::Dates& dates = platform_.dates;
    UpdateOutcome outcome;
    status = "Connecting to the definition server, please wait.";
    pump_.LetEventsRun();
    const std::string installedText = files_.ReadDefinitionDate();
    outcome.storedDate = installedText;
    const double installed =
        dates.Parse(installedText).value_or(dates.Parse(defs::kDefaultDefinitionDate).value_or(0));

    const auto dateAnswer =
        HttpGetTextWithProgress(platform_.http, pump_, Query("/asp/currentDateNEW.asp"), status);
    if (!dateAnswer) {
        outcome.status = UpdateOutcome::Status::Unreachable;
        return outcome;
    }
    // An answer that is no date counts as the installed date: nothing newer.
    const double serverDate = dates.Parse(CleanDateAnswer(*dateAnswer)).value_or(installed);
    if (!(serverDate > installed)) return outcome;

    const auto answer = HttpGetTextWithProgress(
        platform_.http, pump_, Query("/asp/getDefsNEW.asp") + "&date=" + dates.Format(installed),
        status);
    if (!answer) {
        outcome.status = UpdateOutcome::Status::Unreachable;
        return outcome;
    }
    StatusProgress progress(status, pump_);
    const MergeResult merged =
        MergeDefinitions(platform_.files, files_.DataFolder(), *answer, progress);
    outcome.changes = merged.changes;
    if (!merged.complete) {
        // The old date stays, so the next update asks for the same definitions again.
        outcome.status = UpdateOutcome::Status::NotWritten;
        return outcome;
    }
    if (merged.changes < 1) return outcome;

    // The server's current date, else the one it gave above: a date left unstored would
    // merge the same definitions again next time.
    const auto current = HttpGetText(platform_.http, pump_, Base() + "/asp/date.asp");
    const double stored =
        current ? dates.Parse(CleanDateAnswer(*current)).value_or(serverDate) : serverDate;
    outcome.storedDate = dates.Format(stored);
    files_.WriteDefinitionDate(outcome.storedDate);
    outcome.status = UpdateOutcome::Status::Updated;
    return outcome;
}

}  // namespace qm::update
