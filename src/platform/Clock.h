#pragma once

#include <string>

namespace qm::platform {

class Clock {
  public:
    virtual ~Clock() = default;
    // The current date and time in the system's general form, e.g. "12/8/2026 8:46:21 PM".
    virtual std::string NowText() = 0;
};

}  // namespace qm::platform
