#pragma once

#include <cstdint>
#include <string>

namespace qm::scan {

// The programs (identifier and name) that were running when the memory pass last examined
// every one of them. The scans and the memory shield share it: a pass finds the same list and
// returns at once, since nothing has started or ended in between.
struct ProcessSnapshot {
    std::string names;
};

// One running program the memory pass judged to be a threat: the very process it looked at
// (its identifier), the executable it found that process running (upper case, the system
// folder resolved, as the pass compares paths) and that executable's file name. A stop acts
// on this process alone, never on another program that happens to share its name.
struct JudgedProcess {
    std::uint32_t id = 0;
    std::string path;
    std::string exeName;
};

// Where a running threat met outside a scan goes (the memory shield's alert): the program and
// the alert's company line ("No Company name available for <exe>" when none).
class RunningThreatAlert {
  public:
    virtual ~RunningThreatAlert() = default;
    virtual void RunningThreatFound(const JudgedProcess& process, const std::string& company) = 0;
};

}  // namespace qm::scan
