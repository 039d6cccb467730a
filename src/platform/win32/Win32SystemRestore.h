#pragma once
// System Restore through srclient.dll, loaded when a restore point is asked for: the program
// starts and removes on systems that have none.

#include <string>

#include "platform/SystemRestore.h"

namespace qm::platform::win32 {

class Win32SystemRestore final : public SystemRestore {
  public:
    bool Available() override;
    Begun Begin(const std::string& description, int type) override;
    bool End(std::int64_t sequence) override;
    ~Win32SystemRestore() override;

  private:
    // COM, initialised on this thread the first time a restore point is asked for, with the
    // process's security set as System Restore needs it; empty when that worked.
    std::string PrepareCom();
    bool comInitialised_ = false;
    bool comSecured_ = false;
};

}  // namespace qm::platform::win32
