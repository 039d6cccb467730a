#pragma once
// The shell's special folders and the system directory, as the shell reports them.

#include <optional>
#include <string>

namespace qm::platform {

class ShellFolders {
  public:
    virtual ~ShellFolders() = default;
    // The folder of a CSIDL without creating it (SHGetSpecialFolderPathA); nothing when the
    // system does not provide that folder. No trailing backslash is added.
    virtual std::optional<std::string> SpecialFolder(int csidl) = 0;
    // The same folder found through its item-id list (SHGetSpecialFolderLocation and
    // SHGetPathFromIDList), the route the drive-root lookup takes.
    virtual std::optional<std::string> SpecialFolderByIdList(int csidl) = 0;
    // GetSystemDirectoryA, as reported.
    virtual std::string SystemDirectory() = 0;
};

}  // namespace qm::platform
