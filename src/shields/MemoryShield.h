#pragma once
// The memory shield's pass between scans: the scan's process pass, run on its own, with a
// running threat handed to the alert instead of being stopped. It owns the snapshot of the
// running programs that scans and shield share, so a pass over an unchanged process list
// costs one listing.

#include "scan/ProcessSnapshot.h"
#include "scan/ScanSession.h"

namespace qm::shields {

class MemoryShield {
  public:
    scan::ProcessSnapshot& Snapshot() { return snapshot_; }

    // One pass. Does nothing during a scan, whose own memory phase covers the same ground.
    void InspectMemory(scan::ScanSession& session, scan::RunningThreatAlert& alert) {
        session.InspectMemory(alert);
    }

  private:
    scan::ProcessSnapshot snapshot_;
};

}  // namespace qm::shields
