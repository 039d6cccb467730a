#pragma once
// platform::Processes over the process-status API.

#include "platform/Processes.h"

namespace qm::platform::win32 {

class Win32Processes final : public Processes {
  public:
    std::optional<std::vector<ProcessEntry>> List() override;
    std::optional<std::string> ExecutablePath(std::uint32_t id) override;
    bool Kill(std::uint32_t id, std::uint32_t exitCode) override;
    bool WaitForExit(std::uint32_t id, std::uint32_t milliseconds) override;
};

}  // namespace qm::platform::win32
