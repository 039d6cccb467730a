#include "platform/win32/Win32Launcher.h"

#include <vector>

#include "platform/win32/Handle.h"
#include "platform/win32/WinApi.h"
// ShellExecuteA; the lean windows.h leaves the shell headers out.
#include <shellapi.h>

namespace qm::platform::win32 {

bool Win32Launcher::Run(const std::string& commandLine) {
    // CreateProcessA may write into the command line, so it gets its own copy.
    std::vector<char> command(commandLine.begin(), commandLine.end());
    command.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info)) {
        return false;
    }
    // Not waited for: only the handles are given back.
    const UniqueKernelHandle process(info.hProcess);
    const UniqueKernelHandle thread(info.hThread);
    return true;
}

bool Win32Launcher::Open(const std::string& target) {
    const auto result = reinterpret_cast<INT_PTR>(
        ::ShellExecuteA(nullptr, "open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    // Values above 32 mean success.
    return result > 32;
}

}  // namespace qm::platform::win32
