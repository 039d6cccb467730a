#include "platform/win32/Win32Processes.h"

#include <vector>

#include "platform/win32/Handle.h"
#include "platform/win32/WinApi.h"
// The process-status API and the tool-help snapshot; the lean windows.h leaves them out.
#include <psapi.h>
#include <tlhelp32.h>

namespace qm::platform::win32 {

namespace {

// Query information and read memory: what naming a process needs.
constexpr DWORD kInspectAccess = PROCESS_QUERY_INFORMATION | PROCESS_VM_READ;

std::optional<HMODULE> FirstModule(HANDLE process) {
    HMODULE modules[50] = {};
    DWORD needed = 0;
    if (!::EnumProcessModules(process, modules, sizeof modules, &needed) || needed == 0) {
        return std::nullopt;
    }
    return modules[0];
}

std::string BaseName(DWORD id) {
    if (id == 0) return "System Idle Process";
    if (id == 2 || id == 4) return "System";
    UniqueKernelHandle process(::OpenProcess(kInspectAccess, FALSE, id));
    if (!process) return {};
    const auto module = FirstModule(process.get());
    if (!module) return {};
    char name[MAX_PATH + 1] = {};
    const DWORD length = ::GetModuleBaseNameA(process.get(), *module, name, MAX_PATH);
    return std::string(name, length);
}

// Enables the debug privilege for as long as it lives, so that processes of other accounts
// can be stopped; turned off again afterwards.
class DebugPrivilege {
  public:
    DebugPrivilege() {
        HANDLE token = nullptr;
        if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY,
                                &token)) {
            return;
        }
        token_.reset(token);
        if (!::LookupPrivilegeValueA(nullptr, "SeDebugPrivilege", &luid_)) return;
        Set(SE_PRIVILEGE_ENABLED);
        enabled_ = true;
    }
    ~DebugPrivilege() {
        if (enabled_) Set(0);
    }
    DebugPrivilege(const DebugPrivilege&) = delete;
    DebugPrivilege& operator=(const DebugPrivilege&) = delete;

  private:
    void Set(DWORD attributes) {
        TOKEN_PRIVILEGES privileges{};
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Luid = luid_;
        privileges.Privileges[0].Attributes = attributes;
        ::AdjustTokenPrivileges(token_.get(), FALSE, &privileges, sizeof privileges, nullptr,
                                nullptr);
    }
    UniqueKernelHandle token_;
    LUID luid_{};
    bool enabled_ = false;
};

}  // namespace

namespace {

// Every process with its executable's name from one snapshot of the system's process table:
// one request to the system for the whole list, where naming each process from its modules
// reads the memory of every one of them. The memory shield lists every two seconds.
std::optional<std::vector<ProcessEntry>> SnapshotList() {
    UniqueFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return std::nullopt;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    if (!::Process32First(snapshot.get(), &entry)) return std::nullopt;
    std::vector<ProcessEntry> out;
    do {
        const DWORD id = entry.th32ProcessID;
        std::string name = id == 0              ? "System Idle Process"
                           : id == 2 || id == 4 ? "System"
                                                : std::string(entry.szExeFile);
        if (!name.empty()) out.push_back({id, std::move(name)});
        entry.dwSize = sizeof entry;
    } while (::Process32Next(snapshot.get(), &entry));
    return out;
}

}  // namespace

std::optional<std::vector<ProcessEntry>> Win32Processes::List() {
    if (auto listed = SnapshotList()) return listed;
    // The buffer grows until the identifiers no longer fill it: however many processes run,
    // all are listed.
    std::vector<DWORD> ids(128);
    DWORD bytes = 0;
    for (;;) {
        const auto size = static_cast<DWORD>(ids.size() * sizeof(DWORD));
        if (!::EnumProcesses(ids.data(), size, &bytes)) return std::nullopt;
        if (bytes < size) break;
        ids.resize(ids.size() * 2);
    }
    ids.resize(bytes / sizeof(DWORD));
    std::vector<ProcessEntry> out;
    for (DWORD id : ids) {
        std::string name = BaseName(id);
        if (!name.empty()) out.push_back({id, std::move(name)});
    }
    return out;
}

std::optional<std::string> Win32Processes::ExecutablePath(std::uint32_t id) {
    UniqueKernelHandle process(::OpenProcess(kInspectAccess, FALSE, id));
    if (!process) return std::nullopt;
    const auto module = FirstModule(process.get());
    if (!module) return std::nullopt;
    char path[MAX_PATH + 1] = {};
    const DWORD length = ::GetModuleFileNameExA(process.get(), *module, path, MAX_PATH);
    if (length == 0) return std::nullopt;
    return std::string(path, length);
}

bool Win32Processes::Kill(std::uint32_t id, std::uint32_t exitCode) {
    DebugPrivilege privilege;
    UniqueKernelHandle process(::OpenProcess(PROCESS_ALL_ACCESS, FALSE, id));
    if (!process) return false;
    return ::TerminateProcess(process.get(), exitCode) != FALSE;
}

bool Win32Processes::WaitForExit(std::uint32_t id, std::uint32_t milliseconds) {
    UniqueKernelHandle process(::OpenProcess(SYNCHRONIZE, FALSE, id));
    // Only "no such process" means it has ended: a program that refuses to be opened (a
    // service of another account) is still running.
    if (!process) return ::GetLastError() == ERROR_INVALID_PARAMETER;
    return ::WaitForSingleObject(process.get(), milliseconds) == WAIT_OBJECT_0;
}

}  // namespace qm::platform::win32
