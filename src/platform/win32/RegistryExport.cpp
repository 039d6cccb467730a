#include "platform/win32/RegistryExport.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/win32/Handle.h"

namespace qm::platform::win32 {

namespace {

std::wstring Widen(const std::string& ansi) {
    if (ansi.empty()) return {};
    const int n =
        ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), n);
    return wide;
}

// Inside quotes a registry-editor file escapes backslashes and quotes.
std::wstring Quoted(const std::wstring& text) {
    std::wstring out = L"\"";
    for (wchar_t c : text) {
        if (c == L'\\' || c == L'"') out += L'\\';
        out += c;
    }
    return out + L"\"";
}

std::wstring HexBytes(const std::vector<BYTE>& data) {
    std::wstring out;
    wchar_t two[4];
    for (std::size_t i = 0; i < data.size(); ++i) {
        std::swprintf(two, 4, L"%02x", data[i]);
        if (i) out += L',';
        out += two;
    }
    return out;
}

// "name"=data for one value; the data in the form that gives back exactly these bytes.
std::optional<std::wstring> ValueLine(HKEY key, const std::wstring& name) {
    DWORD type = 0, size = 0;
    if (::RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::vector<BYTE> data(size);
    DWORD got = size;
    if (::RegQueryValueExW(key, name.c_str(), nullptr, &type, data.data(), &got) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    data.resize(got);
    std::wstring line = name.empty() ? L"@" : Quoted(name);
    line += L'=';
    if (type == REG_DWORD && data.size() == 4) {
        wchar_t number[16];
        DWORD value = 0;
        std::memcpy(&value, data.data(), 4);
        std::swprintf(number, 16, L"dword:%08lx", static_cast<unsigned long>(value));
        return line + number;
    }
    if (type == REG_SZ && data.size() % 2 == 0 && data.size() >= 2 && data[data.size() - 1] == 0 &&
        data[data.size() - 2] == 0) {
        std::wstring text(data.size() / 2 - 1, L'\0');
        std::memcpy(text.data(), data.data(), text.size() * 2);
        // Only a string without inner NULs reads back the same from the quoted form.
        if (text.find(L'\0') == std::wstring::npos) return line + Quoted(text);
    }
    if (type == REG_BINARY) return line + L"hex:" + HexBytes(data);
    wchar_t prefix[16];
    std::swprintf(prefix, 16, L"hex(%lx):", static_cast<unsigned long>(type));
    return line + prefix + HexBytes(data);
}

bool AppendKey(HKEY root, const std::wstring& shownPath, const std::wstring& path,
               std::wstring& out) {
    UniqueRegKey key;
    if (::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) {
        return false;
    }
    out += L"[" + shownPath + L"]\r\n";
    std::vector<wchar_t> name(16384);
    for (DWORD i = 0;; ++i) {
        DWORD length = static_cast<DWORD>(name.size());
        if (::RegEnumValueW(key.get(), i, name.data(), &length, nullptr, nullptr, nullptr,
                            nullptr) != ERROR_SUCCESS) {
            break;
        }
        const auto line = ValueLine(key.get(), std::wstring(name.data(), length));
        if (!line) return false;
        out += *line + L"\r\n";
    }
    out += L"\r\n";
    std::vector<std::wstring> subkeys;
    for (DWORD i = 0;; ++i) {
        DWORD length = static_cast<DWORD>(name.size());
        if (::RegEnumKeyExW(key.get(), i, name.data(), &length, nullptr, nullptr, nullptr,
                            nullptr) != ERROR_SUCCESS) {
            break;
        }
        subkeys.emplace_back(name.data(), length);
    }
    for (const auto& sub : subkeys) {
        if (!AppendKey(root, shownPath + L"\\" + sub, path + L"\\" + sub, out)) return false;
    }
    return true;
}

std::string FileBytes(const std::wstring& body) {
    const std::wstring text = L"\xFEFFWindows Registry Editor Version 5.00\r\n\r\n" + body;
    std::string bytes(text.size() * 2, '\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        bytes[2 * i] = static_cast<char>(text[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<char>((text[i] >> 8) & 0xFF);
    }
    return bytes;
}

std::wstring TrimmedPath(const std::string& keyPath) {
    std::wstring path = Widen(keyPath);
    while (!path.empty() && path.back() == L'\\')
        path.pop_back();
    return path;
}

}  // namespace

std::optional<std::string> ExportRegistryValue(HKEY root, const std::string& rootName,
                                               const std::string& keyPath,
                                               const std::string& valueName) {
    const std::wstring path = TrimmedPath(keyPath);
    UniqueRegKey key;
    if (::RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    const auto line = ValueLine(key.get(), Widen(valueName));
    if (!line) return std::nullopt;
    return FileBytes(L"[" + Widen(rootName) + L"\\" + path + L"]\r\n" + *line + L"\r\n\r\n");
}

std::optional<std::string> ExportRegistryKey(HKEY root, const std::string& rootName,
                                             const std::string& keyPath) {
    const std::wstring path = TrimmedPath(keyPath);
    std::wstring body;
    if (!AppendKey(root, Widen(rootName) + L"\\" + path, path, body)) return std::nullopt;
    return FileBytes(body);
}

}  // namespace qm::platform::win32
