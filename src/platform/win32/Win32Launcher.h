#pragma once
// platform::Launcher over CreateProcessA and ShellExecuteA.

#include "platform/Launcher.h"

namespace qm::platform::win32 {

class Win32Launcher final : public Launcher {
  public:
    bool Run(const std::string& commandLine) override;
    bool Open(const std::string& target) override;
};

}  // namespace qm::platform::win32
