#pragma once

#include <string>

namespace qm::scan {

// The programs (identifier and name) that were running when the memory pass last examined
// every one of them. The scans and the memory shield share it: a pass finds the same list and
// returns at once, since nothing has started or ended in between.
struct ProcessSnapshot {
    std::string names;
};

// Where a running threat met outside a scan goes (the memory shield's alert): the program's
// name and the alert's company line ("No Company name available for <exe>" when none).
class RunningThreatAlert {
  public:
    virtual ~RunningThreatAlert() = default;
    virtual void RunningThreatFound(const std::string& exeName, const std::string& company) = 0;
};

}  // namespace qm::scan
