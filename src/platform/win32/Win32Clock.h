#pragma once
// platform::Clock over the local time and the user's date and time formats.

#include <string>

#include "platform/Clock.h"

namespace qm::platform::win32 {

class Win32Clock final : public Clock {
  public:
    std::string NowText() override;
    // From the system clock and the local offset, which is read again once a minute: the
    // local time itself comes from the time-zone settings in the registry.
    LocalTime Now() override;
    LocalTime UniversalNow() override;
    unsigned long long Milliseconds() override;

  private:
    // The text shows whole seconds, and making it reads the time zone and the user's formats
    // from the registry: a removal writing hundreds of records a second makes it once for
    // each second, keyed by the system clock's second (which needs no registry).
    unsigned long long shownSecond_ = ~0ull;
    std::string shownText_;
    unsigned long long offsetReadAt_ = 0;  // the system clock's second, 0 before the first
    long long localOffsetSeconds_ = 0;
};

}  // namespace qm::platform::win32
