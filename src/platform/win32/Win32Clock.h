#pragma once
// platform::Clock over the local time and the user's date and time formats.

#include <string>

#include "platform/Clock.h"

namespace qm::platform::win32 {

class Win32Clock final : public Clock {
  public:
    std::string NowText() override;

  private:
    // The text shows whole seconds, and making it reads the time zone and the user's formats
    // from the registry: a removal writing hundreds of records a second makes it once for
    // each second, keyed by the system clock's second (which needs no registry).
    unsigned long long shownSecond_ = ~0ull;
    std::string shownText_;
};

}  // namespace qm::platform::win32
