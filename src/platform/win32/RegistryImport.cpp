#include "platform/win32/RegistryImport.h"

#include "platform/RegFile.h"
#include "platform/win32/Handle.h"
#include "platform/win32/RegistryExport.h"
#include "platform/win32/WinApi.h"

namespace qm::platform::win32 {

namespace {

enum class Standing { Absent, Same, Different, Unknown };

// How the registry holds a value of the file now, in the open key.
Standing StandingOf(HKEY key, const regfile::Value& wanted) {
    regfile::Value now;
    const LONG status = ReadRegistryValue(key, wanted.name, now);
    if (status == ERROR_FILE_NOT_FOUND) return Standing::Absent;
    if (status != ERROR_SUCCESS) return Standing::Unknown;
    return now == wanted ? Standing::Same : Standing::Different;
}

// Every value of the file against the registry: Conflict as soon as one exists with another
// type or data, Failed when one could not be compared, Imported when nothing stands in the way.
ImportResult Check(const std::vector<regfile::Key>& keys) {
    bool unknown = false;
    for (const regfile::Key& k : keys) {
        UniqueRegKey key;
        const LONG opened = ::RegOpenKeyExW(RegistryRoot(k.root), WideOf(k.path).c_str(), 0,
                                            KEY_QUERY_VALUE, key.put());
        if (opened == ERROR_FILE_NOT_FOUND) continue;  // created with all its values
        if (opened != ERROR_SUCCESS) {
            unknown = true;
            continue;
        }
        for (const regfile::Value& value : k.values) {
            const Standing standing = StandingOf(key.get(), value);
            if (standing == Standing::Different) return ImportResult::Conflict;
            unknown = unknown || standing == Standing::Unknown;
        }
    }
    return unknown ? ImportResult::Failed : ImportResult::Imported;
}

}  // namespace

ImportResult ImportRegistryFile(const std::string& fileBytes) {
    const auto keys = regfile::Parse(fileBytes);
    if (!keys) return ImportResult::Unreadable;
    for (const regfile::Key& k : *keys) {
        // A path or name with a NUL cannot be given to the wide API whole.
        if (k.path.find(u'\0') != std::u16string::npos) return ImportResult::Failed;
        for (const regfile::Value& value : k.values) {
            if (value.name.find(u'\0') != std::u16string::npos) return ImportResult::Failed;
        }
    }
    if (const ImportResult checked = Check(*keys); checked != ImportResult::Imported) {
        return checked;
    }
    bool all = true;
    for (const regfile::Key& k : *keys) {
        UniqueRegKey key;
        if (::RegCreateKeyExW(RegistryRoot(k.root), WideOf(k.path).c_str(), 0, nullptr,
                              REG_OPTION_NON_VOLATILE, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr,
                              key.put(), nullptr) != ERROR_SUCCESS) {
            all = false;
            continue;
        }
        for (const regfile::Value& value : k.values) {
            // Asked again just before the write: a value set since the check (or earlier in
            // this file under the same name) is not overwritten either.
            const Standing standing = StandingOf(key.get(), value);
            if (standing == Standing::Same) continue;
            if (standing != Standing::Absent) {
                all = false;
                continue;
            }
            all = ::RegSetValueExW(key.get(), WideOf(value.name).c_str(), 0, value.type,
                                   reinterpret_cast<const BYTE*>(value.data.data()),
                                   static_cast<DWORD>(value.data.size())) == ERROR_SUCCESS &&
                  all;
        }
    }
    return all ? ImportResult::Imported : ImportResult::Failed;
}

}  // namespace qm::platform::win32
