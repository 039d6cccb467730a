#pragma once
// platform::Dates over the system's variant date conversions in the user's locale.

#include "platform/Dates.h"

namespace qm::platform::win32 {

class Win32Dates final : public Dates {
  public:
    std::optional<double> Parse(const std::string& text) override;
    std::string Format(double date) override;
};

}  // namespace qm::platform::win32
