#pragma once
// System Restore through srclient.dll, loaded when a restore point is asked for: the program
// starts and removes on systems that have none.

#include "platform/SystemRestore.h"

namespace qm::platform::win32 {

class Win32SystemRestore final : public SystemRestore {
  public:
    bool Available() override;
    std::optional<std::int64_t> Begin(const std::string& description, int type) override;
    bool End(std::int64_t sequence) override;
};

}  // namespace qm::platform::win32
