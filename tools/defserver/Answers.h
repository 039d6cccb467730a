#pragma once
// The answers the server sends, made from the publication and signed with its newest key
// (unless the server runs unsigned). What depends only on the publication is kept until another
// command of the tool changes it: the signing key, the newest date, and the definitions answer
// for each date asked, which is large for a client with old definitions.

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "Publication.h"
#include "SigningKeys.h"

namespace qm::defserver {

// The newest publication in United States form with its time, or the program's own first date
// when nothing is published yet.
std::string NewestUs(Publication& db);

// Safe to share between the server's threads.
class Answers {
  public:
    // Throws, when signing, if the publication has no key.
    Answers(Publication& db, bool signing);

    // The newest publication, with its time.
    std::string Date();
    // Every record published after `asked`; nothing when `asked` is no date.
    std::optional<std::string> Definitions(const std::string& asked);
    // The translation file; nothing until one is kept.
    std::optional<std::string> Translation();

  private:
    struct Snapshot {
        std::optional<long long> version;
        std::shared_ptr<const AnswerSigner> signer;  // none: unsigned
        std::string newest;
        std::map<std::string, std::shared_ptr<const std::string>> definitions;
        std::size_t definitionBytes = 0;
    };
    // Made again when the publication changed. Called with the mutex held.
    void Refresh();
    // The definitions answer for the date asked, kept for the next client that asks it.
    std::shared_ptr<const std::string> KeptDefinitions(const std::string& asked,
                                                       const std::string& since);
    // The signer, none when unsigned, and the newest date when asked for.
    std::shared_ptr<const AnswerSigner> Current(std::string* newest);

    Publication& db_;
    const bool signing_;
    std::mutex mutex_;
    Snapshot snapshot_;
};

}  // namespace qm::defserver
