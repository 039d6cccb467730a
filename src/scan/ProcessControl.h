#pragma once
// Stopping running programs, and the executable paths the process scan compares.

#include <string>
#include <string_view>

#include "platform/Processes.h"
#include "scan/ProcessSnapshot.h"

namespace qm::scan {

// A path into "...\SYSTEM32\..." (the last such part, any case) re-rooted at the system
// directory, so that the 16-bit and redirected spellings of it compare equal; any other path
// is returned unchanged.
std::string ResolveSystem32Path(std::string_view path, std::string_view systemDirectory);

// An executable's path as the process pass compares it: trimmed, upper case, with the system
// folder resolved.
std::string ComparableImagePath(std::string_view path, std::string_view systemDirectory);

// Stops the very program the pass judged. Identifiers are reused, so the process is first
// looked at again: when it now runs another executable, the judged program has ended and
// nothing is stopped. True once the judged program is no longer running; false when it still
// runs (it would not stop, or it could not even be opened, as a service of another account).
bool StopJudgedProcess(platform::Processes& processes, const JudgedProcess& judged,
                       std::string_view systemDirectory);

// Stops every running program whose executable is the file at `path`, and no other: the
// removal run calls it before it removes an executable. True when none of them runs any more.
bool StopProcessesRunning(platform::Processes& processes, std::string_view path,
                          std::string_view systemDirectory);

// The names of the running programs for the anonymous-data submission: each scrambled as a
// definition line and followed by "|", without the last "|". The system's own programs and
// the browsers are left out. Empty when nothing is left.
std::string ListRunningProcessNames(platform::Processes& processes);

}  // namespace qm::scan
