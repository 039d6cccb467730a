#pragma once
// platform::ShellFolders over the shell's ANSI folder API.

#include "platform/ShellFolders.h"

namespace qm::platform::win32 {

class Win32ShellFolders final : public ShellFolders {
  public:
    std::optional<std::string> SpecialFolder(int csidl) override;
    std::optional<std::string> SpecialFolderByIdList(int csidl) override;
    std::string SystemDirectory() override;
};

}  // namespace qm::platform::win32
