#include "Answers.h"

#include "UsDate.h"
#include "definitions/DefinitionFiles.h"

namespace qm::defserver {

namespace {

// Enough for a few full answers; past it the kept answers give way to the newest one.
constexpr std::size_t kKeptDefinitionBytes = 64u << 20;

// The payload as it is sent: signed, or as it stands when the server runs unsigned.
std::string SignedBy(const AnswerSigner* signer, update::SignedPurpose purpose,
                     const std::string& context, std::string payload) {
    return signer ? signer->Sign(purpose, context, payload) : payload;
}

}  // namespace

std::string NewestUs(Publication& db) {
    const auto newest = db.Newest();
    return newest ? UsFromSortable(*newest) : defs::kDefaultDefinitionDate;
}

Answers::Answers(Publication& db, bool signing) : db_(db), signing_(signing) {
    const std::lock_guard<std::mutex> lock(mutex_);
    Refresh();
}

void Answers::Refresh() {
    const long long version = db_.Version();
    if (snapshot_.version == version) return;
    Snapshot fresh;
    fresh.version = version;
    if (signing_) fresh.signer = std::make_shared<const AnswerSigner>(db_);
    fresh.newest = NewestUs(db_);
    snapshot_ = std::move(fresh);
}

std::shared_ptr<const AnswerSigner> Answers::Current(std::string* newest) {
    const std::lock_guard<std::mutex> lock(mutex_);
    Refresh();
    if (newest) *newest = snapshot_.newest;
    return snapshot_.signer;
}

std::string Answers::Date() {
    std::string newest;
    const auto signer = Current(&newest);
    return SignedBy(signer.get(), update::SignedPurpose::Date, {}, std::move(newest));
}

std::optional<std::string> Answers::Definitions(const std::string& asked) {
    const auto since = SortableFromUs(asked);
    if (!since) return std::nullopt;
    return *KeptDefinitions(asked, *since);
}

std::shared_ptr<const std::string> Answers::KeptDefinitions(const std::string& asked,
                                                            const std::string& since) {
    // Made under the lock: many clients asking the same date at once wait for one answer
    // rather than each making it.
    const std::lock_guard<std::mutex> lock(mutex_);
    Refresh();
    if (const auto kept = snapshot_.definitions.find(asked); kept != snapshot_.definitions.end())
        return kept->second;
    auto answer = std::make_shared<const std::string>(SignedBy(snapshot_.signer.get(),
                                                               update::SignedPurpose::Definitions,
                                                               asked, AnswerOf(db_.After(since))));
    if (snapshot_.definitionBytes + answer->size() > kKeptDefinitionBytes) {
        snapshot_.definitions.clear();
        snapshot_.definitionBytes = 0;
    }
    snapshot_.definitionBytes += answer->size();
    snapshot_.definitions[asked] = answer;
    return answer;
}

std::optional<std::string> Answers::Translation() {
    auto text = db_.Translation();
    if (!text) return std::nullopt;
    const auto signer = Current(nullptr);
    return SignedBy(signer.get(), update::SignedPurpose::Translation, {}, std::move(*text));
}

}  // namespace qm::defserver
