#pragma once
// The update exchange with the definition server: its date against the installed one, the
// definitions published since, the merge, and the new date stored once every file is in place.

#include <functional>
#include <string>
#include <utility>

#include "definitions/DefinitionFiles.h"
#include "platform/Platform.h"
#include "ui/Interaction.h"
#include "update/AnswerVerifier.h"

namespace qm::update {

// Where the program finds the keys it trusts, and whether the machine allows unsigned answers.
struct UpdateTrust {
    std::string programFolder;  // no trailing separator
    bool allowUnsigned = false;
};

// The build's definition server; the console's --server and the window's `UpdateServer`
// setting replace it.
inline constexpr const char* kDefinitionServerHost = "quillmarsh-definitions.example";
std::string DefaultServerAddress();

struct UpdateOutcome {
    enum class Status {
        Updated,      // something was merged and the new date stored
        Current,      // the server has nothing newer
        Unreachable,  // a request failed, timed out or was refused: nothing changed
        NotWritten,   // the merge could not write the files: they are as they were
        Cancelled,    // the user cancelled: nothing merged, nothing stored
        Unverified,   // an answer was not signed by the maker: nothing merged, nothing stored
    };
    Status status = Status::Current;
    int changes = 0;
    std::string storedDate;               // the definitions date afterwards
    Verdict refusal = Verdict::Verified;  // why an Unverified exchange was refused
};
const char* StatusName(UpdateOutcome::Status status);

// The longest a whole exchange may take, however slowly the server answers: the program has
// one thread, and a server sending a byte now and then must not hold it.
inline constexpr unsigned long long kExchangeDeadlineMilliseconds = 5 * 60 * 1000;

class LiveUpdate {
  public:
    LiveUpdate(platform::Platform& platform, ui::EventPump& pump, defs::DefinitionFiles& files,
               const platform::ProductInfo& product, std::string serverAddress, UpdateTrust trust)
        : platform_(platform),
          pump_(pump),
          files_(files),
          product_(product),
          server_(std::move(serverAddress)),
          trust_(std::move(trust)) {}

    // The whole exchange; `status` is the progress window's status text. `cancelled`, when
    // set, is asked while the exchange runs: true ends it with nothing merged or stored.
    UpdateOutcome FetchAndMergeUpdates(std::string& status,
                                       const std::function<bool()>& cancelled = {});

  private:
    // The server's address without a trailing "/".
    std::string Base() const;
    // An endpoint with the product and company asked about.
    std::string Query(const std::string& path) const;

    platform::Platform& platform_;
    ui::EventPump& pump_;
    defs::DefinitionFiles& files_;
    const platform::ProductInfo& product_;
    std::string server_;
    UpdateTrust trust_;
};

}  // namespace qm::update
