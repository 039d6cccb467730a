#pragma once
// platform::Clock over the local time and the user's date and time formats.

#include "platform/Clock.h"

namespace qm::platform::win32 {

class Win32Clock final : public Clock {
  public:
    std::string NowText() override;
};

}  // namespace qm::platform::win32
