#pragma once
// The update exchange with the definition server: its date against the installed one, the
// definitions published since, the merge, and the new date stored once every file is in place.

#include <string>
#include <utility>

#include "definitions/DefinitionFiles.h"
#include "platform/Platform.h"
#include "ui/Interaction.h"

namespace qm::update {

// The build's definition server; the console's --server and the window's `UpdateServer`
// setting replace it.
inline constexpr const char* kDefinitionServerHost = "quillmarsh-definitions.example";
std::string DefaultServerAddress();

struct UpdateOutcome {
    enum class Status {
        Updated,      // something was merged and the new date stored
        Current,      // the server has nothing newer
        Unreachable,  // a request failed: nothing could be asked
        NotWritten,   // the merge could not write the files: they are as they were
    };
    Status status = Status::Current;
    int changes = 0;
    std::string storedDate;  // the definitions date afterwards
};
const char* StatusName(UpdateOutcome::Status status);

// What the window's notice says when new definitions came but could not be put in place.
inline constexpr const char* kDefinitionsNotWritten =
    "New definitions were downloaded but could not be saved. Your definitions are unchanged; "
    "please run Live Update again later.";

class LiveUpdate {
  public:
    LiveUpdate(platform::Platform& platform, ui::EventPump& pump, defs::DefinitionFiles& files,
               const platform::ProductInfo& product, std::string serverAddress)
        : platform_(platform),
          pump_(pump),
          files_(files),
          product_(product),
          server_(std::move(serverAddress)) {}

    // The whole exchange; `status` is the progress window's status text.
    UpdateOutcome FetchAndMergeUpdates(std::string& status);

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
};

}  // namespace qm::update
