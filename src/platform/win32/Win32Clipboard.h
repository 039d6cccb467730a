#pragma once

#include "platform/Clipboard.h"
#include "platform/win32/Handle.h"

namespace qm::platform::win32 {

// Windows refuses clipboard data from an exchange opened without a window: the clipboard
// then has no owner, and SetClipboardData fails. A message-only window of the clipboard's own,
// made at the first use, is the owner.
class Win32Clipboard final : public Clipboard {
  public:
    bool PutText(const std::string& text) override;

  private:
    UniqueWindow owner_;
};

}  // namespace qm::platform::win32
