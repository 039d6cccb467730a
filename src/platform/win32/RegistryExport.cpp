#include "platform/win32/RegistryExport.h"

#include <algorithm>
#include <vector>

#include "platform/win32/Handle.h"

namespace qm::platform::win32 {

namespace {

// A key or value whose name holds a NUL exists (the native API counts name lengths) but cannot
// be named, and so not set back, through the wide API: such a key is not exported, and the
// removal leaves it where it is.
bool HasNul(std::u16string_view name) {
    return name.find(u'\0') != std::u16string_view::npos;
}

std::u16string FromAnsi(const std::string& ansi) {
    if (ansi.empty()) return {};
    const int n =
        ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    if (n <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), n);
    return TextOf(wide);
}

std::u16string TrimmedPath(const std::string& keyPath) {
    std::u16string path = FromAnsi(keyPath);
    while (!path.empty() && path.back() == u'\\')
        path.pop_back();
    return path;
}

// The values and the subkey names of an open key. A key that changes while it is read (a
// value grows past the sizes asked for first) is read again; false when it cannot be read
// whole.
bool ReadKeyContents(HKEY key, std::vector<regfile::Value>& values,
                     std::vector<std::u16string>& subkeys) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        values.clear();
        subkeys.clear();
        DWORD maxSubkey = 0, maxName = 0, maxData = 0;
        if (::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, &maxSubkey, nullptr,
                               nullptr, &maxName, &maxData, nullptr, nullptr) != ERROR_SUCCESS) {
            return false;
        }
        std::vector<wchar_t> name(std::max(maxName, maxSubkey) + 1);
        std::string data(maxData, '\0');
        LONG status = ERROR_SUCCESS;
        for (DWORD i = 0; status == ERROR_SUCCESS; ++i) {
            DWORD nameLength = static_cast<DWORD>(name.size());
            DWORD size = static_cast<DWORD>(data.size());
            DWORD type = 0;
            status = ::RegEnumValueW(key, i, name.data(), &nameLength, nullptr, &type,
                                     reinterpret_cast<BYTE*>(data.data()), &size);
            if (status == ERROR_SUCCESS) {
                values.push_back({TextOf({name.data(), nameLength}), type, data.substr(0, size)});
                if (HasNul(values.back().name)) return false;
            }
        }
        if (status == ERROR_MORE_DATA) continue;
        if (status != ERROR_NO_MORE_ITEMS) return false;
        status = ERROR_SUCCESS;
        for (DWORD i = 0; status == ERROR_SUCCESS; ++i) {
            DWORD nameLength = static_cast<DWORD>(name.size());
            status = ::RegEnumKeyExW(key, i, name.data(), &nameLength, nullptr, nullptr, nullptr,
                                     nullptr);
            if (status == ERROR_SUCCESS) {
                subkeys.push_back(TextOf({name.data(), nameLength}));
                if (HasNul(subkeys.back())) return false;
            }
        }
        if (status == ERROR_MORE_DATA) continue;
        return status == ERROR_NO_MORE_ITEMS;
    }
    return false;
}

// The key at `path` (open as `key`) and, after it, every key below it, depth first.
bool AppendKey(HKEY key, std::uint32_t root, const std::u16string& path,
               std::vector<regfile::Key>& keys) {
    regfile::Key read{root, path, {}};
    std::vector<std::u16string> subkeys;
    if (!ReadKeyContents(key, read.values, subkeys)) return false;
    keys.push_back(std::move(read));
    for (const auto& sub : subkeys) {
        UniqueRegKey child;
        if (::RegOpenKeyExW(key, WideOf(sub).c_str(), 0, KEY_READ, child.put()) != ERROR_SUCCESS) {
            return false;
        }
        if (!AppendKey(child.get(), root, path.empty() ? sub : path + u"\\" + sub, keys)) {
            return false;
        }
    }
    return true;
}

// The file, once it reads back as exactly what was read from the registry.
std::optional<std::string> CheckedFile(const std::vector<regfile::Key>& keys) {
    auto bytes = regfile::Format(keys);
    if (!bytes) return std::nullopt;
    const auto back = regfile::Parse(*bytes);
    if (!back || *back != keys) return std::nullopt;
    return bytes;
}

}  // namespace

HKEY RegistryRoot(std::uint32_t root) {
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root)));
}

std::wstring WideOf(std::u16string_view text) {
    std::wstring wide(text.size(), L'\0');
    std::transform(text.begin(), text.end(), wide.begin(),
                   [](char16_t c) { return static_cast<wchar_t>(c); });
    return wide;
}

std::u16string TextOf(std::wstring_view wide) {
    std::u16string text(wide.size(), u'\0');
    std::transform(wide.begin(), wide.end(), text.begin(),
                   [](wchar_t c) { return static_cast<char16_t>(c); });
    return text;
}

LONG ReadRegistryValue(HKEY key, const std::u16string& name, regfile::Value& value) {
    if (HasNul(name)) return ERROR_INVALID_PARAMETER;
    const std::wstring wideName = WideOf(name);
    // Another writer may lengthen the value between the size query and the read; that shows
    // as ERROR_MORE_DATA, and the read is tried again.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD type = 0, size = 0;
        LONG status = ::RegQueryValueExW(key, wideName.c_str(), nullptr, &type, nullptr, &size);
        if (status != ERROR_SUCCESS) return status;
        std::string data(size, '\0');
        DWORD got = size;
        status = ::RegQueryValueExW(key, wideName.c_str(), nullptr, &type,
                                    reinterpret_cast<BYTE*>(data.data()), &got);
        if (status == ERROR_MORE_DATA) continue;
        if (status != ERROR_SUCCESS) return status;
        data.resize(std::min<std::size_t>(got, data.size()));
        value = {name, type, std::move(data)};
        return ERROR_SUCCESS;
    }
    return ERROR_MORE_DATA;
}

std::optional<std::string> ExportRegistryValue(std::uint32_t root, const std::string& keyPath,
                                               const std::string& valueName) {
    const std::u16string path = TrimmedPath(keyPath);
    UniqueRegKey key;
    if (::RegOpenKeyExW(RegistryRoot(root), WideOf(path).c_str(), 0, KEY_QUERY_VALUE, key.put()) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    regfile::Value value;
    if (ReadRegistryValue(key.get(), FromAnsi(valueName), value) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return CheckedFile({{root, path, {std::move(value)}}});
}

std::optional<std::vector<regfile::Key>> ReadRegistryTree(std::uint32_t root,
                                                          const std::string& keyPath) {
    const std::u16string path = TrimmedPath(keyPath);
    UniqueRegKey key;
    if (::RegOpenKeyExW(RegistryRoot(root), WideOf(path).c_str(), 0, KEY_READ, key.put()) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::vector<regfile::Key> keys;
    if (!AppendKey(key.get(), root, path, keys)) return std::nullopt;
    return keys;
}

std::optional<std::string> ExportRegistryKey(std::uint32_t root, const std::string& keyPath) {
    const auto keys = ReadRegistryTree(root, keyPath);
    return keys ? CheckedFile(*keys) : std::nullopt;
}

}  // namespace qm::platform::win32
