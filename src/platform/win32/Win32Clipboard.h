#pragma once

#include "platform/Clipboard.h"

namespace qm::platform::win32 {

class Win32Clipboard final : public Clipboard {
  public:
    bool PutText(const std::string& text) override;
};

}  // namespace qm::platform::win32
