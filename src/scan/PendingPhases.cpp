// Phases whose scanners are not part of the program yet. Each is a named step of the scan
// session so that the drivers run in their final order; the scanner that belongs to a phase
// replaces its step here.

#include "scan/ScanSession.h"

namespace qm::scan {

void ScanSession::ScanProcesses() {}

}  // namespace qm::scan
