#pragma once
// What the console prints for its verbs other than a scan (ConsoleScanOutput): text for
// people, one JSON document for scripts (`--json`).

#include <ostream>
#include <string>
#include <vector>

#include "definitions/DefinitionFiles.h"
#include "removal/QuarantineManifest.h"
#include "update/LiveUpdate.h"

namespace qm::app::console {

// Lines on the console end with CR LF, as in every file the program writes.
inline constexpr const char* kEol = "\r\n";

// `defs count`: the signature counts of each kind and their total.
void PrintCounts(std::ostream& out, const defs::SignatureCounts& counts, bool json);
// `exclude list`, and `exclude add` with `--json`: the entries as the user wrote them, with
// the one just added when there is one.
void PrintExclusions(std::ostream& out, const std::vector<std::string>& entries,
                     const std::string* added, bool json);
// `quarantine list`: the items in the folder; with `--json` also the folder and every entry
// of the manifest.
void PrintQuarantine(std::ostream& out, const std::string& folder,
                     const std::vector<std::string>& items, const removal::Manifest& manifest,
                     bool json);
// `quarantine restore NAME` once it has worked: the restore's own sentence.
void PrintRestored(std::ostream& out, const std::string& name, const std::string& message,
                   bool json);
// `report show`: the last scan's report as its viewer shows it.
void PrintReport(std::ostream& out, const std::string& path, const std::string& text, bool json);
// `update` once the server has answered: updated (with the changes) or current.
void PrintUpdate(std::ostream& out, const update::UpdateOutcome& outcome,
                 const defs::SignatureCounts& counts, bool json);

}  // namespace qm::app::console
