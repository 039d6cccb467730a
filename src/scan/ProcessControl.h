#pragma once
// Stopping running programs by name, and the executable paths the process scan compares.

#include <string>
#include <string_view>

#include "platform/Processes.h"

namespace qm::scan {

// A path into "...\SYSTEM32\..." (the last such part, any case) re-rooted at the system
// directory, so that the 16-bit and redirected spellings of it compare equal; any other path
// is returned unchanged.
std::string ResolveSystem32Path(std::string_view path, std::string_view systemDirectory);

// Stops the first running process whose name matches `exeName`: compared on the first 15
// characters when the name is that long, otherwise on the part before the first ".", or on
// the short 8.3 form ("LONGNA~1"). Tries up to ten times. True when it was stopped or has
// ended, and when no running process matches.
bool StopProcessByName(platform::Processes& processes, std::string_view exeName);

// The names of the running programs for the anonymous-data submission: each scrambled as a
// definition line and followed by "|", without the last "|". The system's own programs and
// the browsers are left out. Empty when nothing is left.
std::string ListRunningProcessNames(platform::Processes& processes);

}  // namespace qm::scan
