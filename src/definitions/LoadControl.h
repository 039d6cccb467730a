#pragma once

namespace qm::defs {

// How a long loop over definition lines stays responsive: it lets pending user-interface
// events run after each line and leaves when the user has asked the scan to stop.
class LoadControl {
  public:
    virtual ~LoadControl() = default;
    virtual bool StopRequested() const = 0;
    virtual void LetEventsRun() = 0;
};

}  // namespace qm::defs
