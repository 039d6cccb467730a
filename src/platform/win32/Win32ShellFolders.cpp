#include "platform/win32/Win32ShellFolders.h"

#include "platform/win32/Handle.h"
#include "platform/win32/WinApi.h"
// The lean windows.h leaves the shell out.
#include <shlobj.h>

namespace qm::platform::win32 {

std::optional<std::string> Win32ShellFolders::SpecialFolder(int csidl) {
    char buffer[MAX_PATH] = {};
    // FALSE: a folder the user does not have is reported missing, never created.
    if (!::SHGetSpecialFolderPathA(nullptr, buffer, csidl, FALSE) || buffer[0] == '\0') {
        return std::nullopt;
    }
    return std::string(buffer);
}

std::optional<std::string> Win32ShellFolders::SpecialFolderByIdList(int csidl) {
    UniqueCoTaskMem<PIDLIST_ABSOLUTE> idList;
    if (FAILED(::SHGetSpecialFolderLocation(::GetDesktopWindow(), csidl, idList.put())) ||
        !idList) {
        return std::nullopt;
    }
    char buffer[1024] = {};
    // Virtual folders (My Computer, the Recycle Bin) have an id list but no path.
    if (!::SHGetPathFromIDListA(idList.get(), buffer) || buffer[0] == '\0') return std::nullopt;
    return std::string(buffer);
}

std::string Win32ShellFolders::SystemDirectory() {
    char buffer[1024] = {};
    const UINT length = ::GetSystemDirectoryA(buffer, sizeof buffer);
    // 0 is a failure; a length at least the buffer's size is the size it would have needed.
    if (length == 0 || length >= sizeof buffer) return {};
    return std::string(buffer, length);
}

}  // namespace qm::platform::win32
