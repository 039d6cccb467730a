#include "platform/win32/Win32Registry.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "platform/win32/Handle.h"
#include "platform/win32/RegistryExport.h"
#include "platform/win32/RegistryImport.h"
#include "platform/win32/Win32RegistryWatch.h"
#include "platform/win32/WinApi.h"

namespace qm::platform::win32 {

namespace {

bool IsString(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ;
}

RegistryValueType TypeOf(DWORD type) {
    switch (type) {
        case REG_SZ:
            return RegistryValueType::String;
        case REG_EXPAND_SZ:
            return RegistryValueType::ExpandString;
        case REG_DWORD:
            return RegistryValueType::Number;
        default:
            return RegistryValueType::Other;
    }
}

void ReadOpenValue(HKEY key, const std::string& name, RegistryRead& read) {
    using Status = RegistryRead::Status;
    DWORD type = 0;
    DWORD size = 0;
    LONG status = ::RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size);
    if (status == ERROR_FILE_NOT_FOUND) {
        read.status = Status::NoValue;
        return;
    }
    if (status != ERROR_SUCCESS) {
        read.status = Status::ReadFailed;
        return;
    }
    read.type = TypeOf(type);
    if (type == REG_DWORD) {
        DWORD number = 0;
        DWORD got = sizeof(number);
        status = ::RegQueryValueExA(key, name.c_str(), nullptr, &type,
                                    reinterpret_cast<BYTE*>(&number), &got);
        read.status = status == ERROR_SUCCESS ? Status::Ok : Status::ReadFailed;
        read.number = number;
        return;
    }
    if (!IsString(type)) {
        read.status = Status::Ok;
        return;
    }
    // Another writer may lengthen the value between the size query and the read; that shows
    // as ERROR_MORE_DATA with the new size, and the read is tried again.
    for (int attempt = 0; attempt < 4; ++attempt) {
        // One byte more than reported: a stored string need not carry its terminating NUL.
        std::vector<BYTE> data(static_cast<std::size_t>(size) + 1, 0);
        DWORD got = static_cast<DWORD>(data.size());
        status = ::RegQueryValueExA(key, name.c_str(), nullptr, &type, data.data(), &got);
        if (status == ERROR_MORE_DATA) {
            size = got;
            continue;
        }
        if (status != ERROR_SUCCESS) break;
        read.type = TypeOf(type);
        std::string text(reinterpret_cast<const char*>(data.data()),
                         std::min<std::size_t>(got, data.size()));
        // The text ends at the first NUL, wherever the stored data ends.
        const auto end = text.find('\0');
        if (end != std::string::npos) text.resize(end);
        read.text = std::move(text);
        read.status = Status::Ok;
        return;
    }
    read.status = Status::ReadFailed;
}

REGSAM MaskOf(RegistryAccess access) {
    return access == RegistryAccess::Read ? KEY_QUERY_VALUE : 0x3F;
}

}  // namespace

bool Win32Registry::KeyOpens(std::uint32_t root, const std::string& keyPath,
                             RegistryAccess access) {
    UniqueRegKey key;
    return ::RegOpenKeyExA(RegistryRoot(root), keyPath.c_str(), 0, MaskOf(access), key.put()) ==
           ERROR_SUCCESS;
}

RegistryRead Win32Registry::ReadValueAs(std::uint32_t root, const std::string& keyPath,
                                        const std::string& valueName, RegistryAccess access) {
    RegistryRead read;
    UniqueRegKey key;
    const LONG opened =
        ::RegOpenKeyExA(RegistryRoot(root), keyPath.c_str(), 0, MaskOf(access), key.put());
    if (opened != ERROR_SUCCESS) {
        read.status = opened == ERROR_FILE_NOT_FOUND ? RegistryRead::Status::NoKey
                                                     : RegistryRead::Status::KeyDenied;
        return read;
    }
    ReadOpenValue(key.get(), valueName, read);
    return read;
}

bool Win32Registry::WriteString(std::uint32_t root, const std::string& keyPath,
                                const std::string& valueName, const std::string& value) {
    if (value.size() >= std::numeric_limits<DWORD>::max()) return false;
    UniqueRegKey key;
    if (::RegCreateKeyExA(RegistryRoot(root), keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_ALL_ACCESS, nullptr, key.put(), nullptr) != ERROR_SUCCESS) {
        return false;
    }
    return ::RegSetValueExA(key.get(), valueName.c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

bool Win32Registry::DeleteValue(std::uint32_t root, const std::string& keyPath,
                                const std::string& valueName) {
    UniqueRegKey key;
    if (::RegOpenKeyExA(RegistryRoot(root), keyPath.c_str(), 0, KEY_SET_VALUE, key.put()) !=
        ERROR_SUCCESS) {
        return false;
    }
    return ::RegDeleteValueA(key.get(), valueName.c_str()) == ERROR_SUCCESS;
}

bool Win32Registry::WriteNumber(std::uint32_t root, const std::string& keyPath,
                                const std::string& valueName, std::uint32_t value) {
    UniqueRegKey key;
    if (::RegCreateKeyExA(RegistryRoot(root), keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_ALL_ACCESS, nullptr, key.put(), nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const DWORD data = value;
    return ::RegSetValueExA(key.get(), valueName.c_str(), 0, REG_DWORD,
                            reinterpret_cast<const BYTE*>(&data), sizeof data) == ERROR_SUCCESS;
}

bool Win32Registry::DeleteKeyTree(std::uint32_t root, const std::string& keyPath) {
    // An empty path would name the root itself.
    if (keyPath.find_first_not_of('\\') == std::string::npos) return false;
    if (::RegDeleteTreeA(RegistryRoot(root), keyPath.c_str()) != ERROR_SUCCESS) return false;
    // Some systems empty the key and leave it; then it goes by itself.
    UniqueRegKey left;
    if (::RegOpenKeyExA(RegistryRoot(root), keyPath.c_str(), 0, KEY_READ, left.put()) !=
        ERROR_SUCCESS)
        return true;
    left.reset();
    return ::RegDeleteKeyA(RegistryRoot(root), keyPath.c_str()) == ERROR_SUCCESS;
}

std::optional<std::string> Win32Registry::ExportValue(std::uint32_t root,
                                                      const std::string& keyPath,
                                                      const std::string& valueName) {
    return ExportRegistryValue(root, keyPath, valueName);
}

std::optional<std::string> Win32Registry::ExportKey(std::uint32_t root,
                                                    const std::string& keyPath) {
    return ExportRegistryKey(root, keyPath);
}

std::optional<std::vector<regfile::Key>> Win32Registry::ReadKeyTree(std::uint32_t root,
                                                                    const std::string& keyPath) {
    return ReadRegistryTree(root, keyPath);
}

ImportResult Win32Registry::ImportRegistryFile(const std::string& fileBytes) {
    return win32::ImportRegistryFile(fileBytes);
}

std::unique_ptr<RegistryWatch> Win32Registry::WatchKeyTree(std::uint32_t root,
                                                           const std::string& keyPath) {
    return std::make_unique<Win32RegistryWatch>(root, keyPath);
}

}  // namespace qm::platform::win32
