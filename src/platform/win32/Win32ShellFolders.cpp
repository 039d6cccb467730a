#include "platform/win32/Win32ShellFolders.h"

#include "platform/win32/Handle.h"
#include "platform/win32/WidePath.h"
#include "platform/win32/WinApi.h"
// The lean windows.h leaves the shell out.
#include <shlobj.h>

namespace qm::platform::win32 {

namespace {

// The folder in the ANSI code page: as it is where the code page can write it, else by its
// short name (a user name in another script makes the profile's folders such paths); nothing
// when neither names it exactly. A look-alike would name another folder, and the data folder
// under it would look empty: every scan would report the definition files missing.
std::optional<std::string> AnsiFolder(const wchar_t* wide) {
    AnsiText ansi = NarrowToAnsi(wide);
    if (ansi.exact) return std::move(ansi.text);
    wchar_t shortPath[1024] = {};
    const DWORD length = ::GetShortPathNameW(wide, shortPath, 1024);
    if (length == 0 || length >= 1024) return std::nullopt;
    ansi = NarrowToAnsi(shortPath);
    if (!ansi.exact) return std::nullopt;
    return std::move(ansi.text);
}

}  // namespace

std::optional<std::string> Win32ShellFolders::SpecialFolder(int csidl) {
    wchar_t buffer[MAX_PATH] = {};
    // FALSE: a folder the user does not have is reported missing, never created.
    if (!::SHGetSpecialFolderPathW(nullptr, buffer, csidl, FALSE) || buffer[0] == L'\0') {
        return std::nullopt;
    }
    return AnsiFolder(buffer);
}

std::optional<std::string> Win32ShellFolders::SpecialFolderByIdList(int csidl) {
    UniqueCoTaskMem<PIDLIST_ABSOLUTE> idList;
    if (FAILED(::SHGetSpecialFolderLocation(::GetDesktopWindow(), csidl, idList.put())) ||
        !idList) {
        return std::nullopt;
    }
    wchar_t buffer[MAX_PATH] = {};
    // Virtual folders (My Computer, the Recycle Bin) have an id list but no path.
    if (!::SHGetPathFromIDListW(idList.get(), buffer) || buffer[0] == L'\0') return std::nullopt;
    return AnsiFolder(buffer);
}

std::string Win32ShellFolders::SystemDirectory() {
    char buffer[1024] = {};
    const UINT length = ::GetSystemDirectoryA(buffer, sizeof buffer);
    // 0 is a failure; a length at least the buffer's size is the size it would have needed.
    if (length == 0 || length >= sizeof buffer) return {};
    return std::string(buffer, length);
}

}  // namespace qm::platform::win32
