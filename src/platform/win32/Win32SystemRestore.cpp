#include "platform/win32/Win32SystemRestore.h"

#include <cstdio>
#include <cstring>
#include <iterator>
#include <memory>
#include <string>

#include "platform/win32/Handle.h"
#include "platform/win32/WinApi.h"
// Access lists for the process's COM security, and COM itself.
#include <aclapi.h>
#include <objbase.h>

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

std::string Hex(long value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(value));
    return text;
}

// One call of SRSetRestorePointA; the library is loaded for it and let go afterwards. Only the
// returned BOOL is trusted for success: a stub implementation reports status 0 and sequence 0
// either way.
SystemRestore::Begun Call(RestorePointInfoA& info) {
    const UniqueModule library(::LoadLibraryA("srclient.dll"));
    if (!library) return {std::nullopt, "System Restore's library could not be loaded."};
    const auto set = Export<SetRestorePoint>(library.get(), "SRSetRestorePointA");
    if (!set) return {std::nullopt, "System Restore's library offers no restore points."};
    StateManagerStatus status{};
    if (!set(&info, &status)) {
        // ERROR_SERVICE_DISABLED (1058) is the usual one: System Restore is turned off.
        return {std::nullopt, "System Restore refused the restore point (status " +
                                  std::to_string(status.status) + ")."};
    }
    return {status.sequenceNumber, {}};
}

// The callers System Restore's service needs to reach this process through COM: the
// administrators, the service accounts and the system itself.
class ComCallers {
  public:
    ComCallers() {
        static constexpr WELL_KNOWN_SID_TYPE kCallers[] = {WinBuiltinAdministratorsSid,
                                                           WinLocalServiceSid, WinNetworkServiceSid,
                                                           WinSelfSid, WinLocalSystemSid};
        EXPLICIT_ACCESSW access[std::size(kCallers)] = {};
        for (std::size_t i = 0; i < std::size(kCallers); ++i) {
            DWORD size = sizeof sids_[i];
            if (!::CreateWellKnownSid(kCallers[i], nullptr, &sids_[i], &size)) return;
            access[i].grfAccessPermissions = COM_RIGHTS_EXECUTE | COM_RIGHTS_EXECUTE_LOCAL;
            access[i].grfAccessMode = SET_ACCESS;
            access[i].grfInheritance = NO_INHERITANCE;
            access[i].Trustee.TrusteeForm = TRUSTEE_IS_SID;
            access[i].Trustee.TrusteeType = TRUSTEE_IS_GROUP;
            access[i].Trustee.ptstrName = reinterpret_cast<LPWSTR>(&sids_[i]);
        }
        PACL acl = nullptr;
        if (::SetEntriesInAclW(static_cast<ULONG>(std::size(kCallers)), access, nullptr, &acl) !=
            ERROR_SUCCESS) {
            return;
        }
        acl_.reset(acl);
        // COM takes only an absolute descriptor, with an owner and a group.
        PSID administrators = &sids_[0];
        ready_ = ::InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION) &&
                 ::SetSecurityDescriptorOwner(&descriptor_, administrators, FALSE) &&
                 ::SetSecurityDescriptorGroup(&descriptor_, administrators, FALSE) &&
                 ::SetSecurityDescriptorDacl(&descriptor_, TRUE, acl_.get(), FALSE);
    }
    SECURITY_DESCRIPTOR* Descriptor() { return ready_ ? &descriptor_ : nullptr; }

  private:
    struct LocalFreed {
        void operator()(PACL acl) const noexcept { ::LocalFree(acl); }
    };
    alignas(8) BYTE sids_[5][SECURITY_MAX_SID_SIZE] = {};
    std::unique_ptr<ACL, LocalFreed> acl_;
    SECURITY_DESCRIPTOR descriptor_{};
    bool ready_ = false;
};

}  // namespace

Win32SystemRestore::~Win32SystemRestore() {
    if (comInitialised_) ::CoUninitialize();
}

std::string Win32SystemRestore::PrepareCom() {
    if (!comInitialised_) {
        const HRESULT hr = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        // Already initialised on this thread in another way is as good: COM is there.
        if (FAILED(hr) && hr != RPC_E_CHANGED_MODE) {
            return "COM could not be initialised (" + Hex(hr) + ").";
        }
        comInitialised_ = SUCCEEDED(hr);
    }
    if (comSecured_) return {};
    ComCallers callers;
    if (!callers.Descriptor()) return "COM security could not be described for System Restore.";
    const HRESULT hr = ::CoInitializeSecurity(
        callers.Descriptor(), -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_PKT_PRIVACY,
        RPC_C_IMP_LEVEL_IDENTIFY, nullptr, EOAC_DISABLE_AAA | EOAC_NO_CUSTOM_MARSHAL, nullptr);
    // Set once per process: an earlier setting stands, and the call may still work with it.
    if (FAILED(hr) && hr != RPC_E_TOO_LATE) {
        return "COM security could not be set for System Restore (" + Hex(hr) + ").";
    }
    comSecured_ = true;
    return {};
}

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

SystemRestore::Begun Win32SystemRestore::Begin(const std::string& description, int type) {
    if (std::string failure = PrepareCom(); !failure.empty()) return {std::nullopt, failure};
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
    return Call(info).sequence.has_value();
}

}  // namespace qm::platform::win32
