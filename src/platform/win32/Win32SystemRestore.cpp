#include "platform/win32/Win32SystemRestore.h"

#include <cstring>

#include "platform/win32/Handle.h"
#include "platform/win32/WinApi.h"

namespace qm::platform::win32 {

namespace {

// The structures of SRSetRestorePointA (srrestoreptapi.h), which mingw does not ship.
constexpr DWORD kBeginSystemChange = 100;
constexpr DWORD kEndSystemChange = 101;
constexpr std::size_t kMaxDescription = 64;

#pragma pack(push, 1)
struct RestorePointInfoA {
    DWORD eventType;
    DWORD restorePointType;
    INT64 sequenceNumber;
    CHAR description[kMaxDescription];
};
struct StateManagerStatus {
    DWORD status;
    INT64 sequenceNumber;
};
#pragma pack(pop)

using SetRestorePoint = BOOL(WINAPI*)(RestorePointInfoA*, StateManagerStatus*);

// An export as a function of its real type (GetProcAddress hands out a generic one).
template <typename Function>
Function Export(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

// One call of SRSetRestorePointA; the library is loaded for it and let go afterwards. Only the
// returned BOOL is trusted: a stub implementation reports status 0 and sequence 0 either way.
std::optional<std::int64_t> Call(RestorePointInfoA& info) {
    const UniqueModule library(::LoadLibraryA("srclient.dll"));
    if (!library) return std::nullopt;
    const auto set = Export<SetRestorePoint>(library.get(), "SRSetRestorePointA");
    if (!set) return std::nullopt;
    StateManagerStatus status{};
    if (!set(&info, &status)) return std::nullopt;
    return status.sequenceNumber;
}

}  // namespace

bool Win32SystemRestore::Available() {
    // Windows Me (the 9x platform, version 4.90) is not among the systems this program runs
    // on; of the NT platform, XP (5.1) and every version after 5 have System Restore.
    using GetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOW*);
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof version;
    // RtlGetVersion tells the truth whatever the program's compatibility manifest says.
    const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    const auto rtlGetVersion = ntdll ? Export<GetVersionFunction>(ntdll, "RtlGetVersion") : nullptr;
    if (!rtlGetVersion || rtlGetVersion(&version) != 0) return false;
    return version.dwMajorVersion > 5 ||
           (version.dwMajorVersion == 5 && version.dwMinorVersion == 1);
}

std::optional<std::int64_t> Win32SystemRestore::Begin(const std::string& description, int type) {
    RestorePointInfoA info{};
    info.eventType = kBeginSystemChange;
    info.restorePointType = static_cast<DWORD>(type);
    std::strncpy(info.description, description.c_str(), kMaxDescription - 1);
    return Call(info);
}

bool Win32SystemRestore::End(std::int64_t sequence) {
    RestorePointInfoA info{};
    info.eventType = kEndSystemChange;
    info.sequenceNumber = sequence;
    return Call(info).has_value();
}

}  // namespace qm::platform::win32
