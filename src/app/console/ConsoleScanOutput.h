#pragma once
// What the console prints after a scan: the scan's lists and counters as the scan left them
// and, after `--remove`, what the removal did. Text for people, JSON for scripts.

#include <ostream>
#include <string>

#include "removal/RemovalRun.h"
#include "ui/Controls.h"

namespace qm::app {

struct ScanPrintout {
    std::string kind, status, started, finished;
    std::string processes, registry, files, found, traces;  // the counters as shown
    long long skipped = 0;  // entries the walk could not name, so neither checked nor entered
    ui::ListView live, results, fileWork, registryWork, cookieWork;
    const removal::RemovalReport* removal = nullptr;  // set after `--remove`
};

void PrintScanText(std::ostream& out, const ScanPrintout& printout);
void PrintScanJson(std::ostream& out, const ScanPrintout& printout);

}  // namespace qm::app
