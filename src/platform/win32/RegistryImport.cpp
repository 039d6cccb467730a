#include "platform/win32/RegistryImport.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/win32/Handle.h"
#include "platform/win32/WinApi.h"

namespace qm::platform::win32 {

namespace {

struct Value {
    std::wstring name;  // empty: the key's default value
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

struct Key {
    HKEY root = nullptr;
    std::wstring path;
    std::vector<Value> values;
};

HKEY RootKey(std::uint32_t root) {
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root)));
}

std::optional<HKEY> RootNamed(std::wstring_view name) {
    static const struct {
        const wchar_t* name;
        const wchar_t* shortName;
        std::uint32_t root;
    } kRoots[] = {
        {L"HKEY_CLASSES_ROOT", L"HKCR", 0x80000000},   {L"HKEY_CURRENT_USER", L"HKCU", 0x80000001},
        {L"HKEY_LOCAL_MACHINE", L"HKLM", 0x80000002},  {L"HKEY_USERS", L"HKU", 0x80000003},
        {L"HKEY_CURRENT_CONFIG", L"HKCC", 0x80000005}, {L"HKEY_DYN_DATA", L"HKDD", 0x80000006},
    };
    const auto same = [](std::wstring_view a, std::wstring_view b) {
        return a.size() == b.size() &&
               ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                      static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
    };
    for (const auto& r : kRoots) {
        if (same(name, r.name) || same(name, r.shortName)) return RootKey(r.root);
    }
    return std::nullopt;
}

std::wstring_view Trimmed(std::wstring_view s) {
    while (!s.empty() && (s.front() == L' ' || s.front() == L'\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == L' ' || s.back() == L'\t'))
        s.remove_suffix(1);
    return s;
}

int HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

// A number of at most eight hex digits, the whole text.
std::optional<DWORD> HexNumber(std::wstring_view text) {
    if (text.empty() || text.size() > 8) return std::nullopt;
    DWORD value = 0;
    for (wchar_t c : text) {
        const int digit = HexDigit(c);
        if (digit < 0) return std::nullopt;
        value = value << 4 | static_cast<DWORD>(digit);
    }
    return value;
}

// "aa,bb,..." (blanks around the bytes allowed, and no bytes at all).
std::optional<std::vector<BYTE>> HexBytes(std::wstring_view text) {
    std::vector<BYTE> bytes;
    text = Trimmed(text);
    if (text.empty()) return bytes;
    for (;;) {
        const auto comma = text.find(L',');
        const std::wstring_view one = Trimmed(text.substr(0, comma));
        if (one.size() != 2 || HexDigit(one[0]) < 0 || HexDigit(one[1]) < 0) return std::nullopt;
        bytes.push_back(static_cast<BYTE>(HexDigit(one[0]) * 16 + HexDigit(one[1])));
        if (comma == std::wstring_view::npos) return bytes;
        text.remove_prefix(comma + 1);
    }
}

// A quoted text at the start of `s` with its "\\" and "\"" escapes undone; `s` moves past it.
std::optional<std::wstring> Quoted(std::wstring_view& s) {
    if (s.empty() || s.front() != L'"') return std::nullopt;
    std::wstring out;
    for (std::size_t i = 1; i < s.size(); ++i) {
        if (s[i] == L'\\') {
            if (++i == s.size()) return std::nullopt;
            out += s[i];
        } else if (s[i] == L'"') {
            s.remove_prefix(i + 1);
            return out;
        } else {
            out += s[i];
        }
    }
    return std::nullopt;
}

// `"name"=data` or `@=data`.
std::optional<Value> ValueLine(std::wstring_view line) {
    Value value;
    if (!line.empty() && line.front() == L'@') {
        line.remove_prefix(1);
    } else {
        auto name = Quoted(line);
        if (!name) return std::nullopt;
        value.name = std::move(*name);
    }
    line = Trimmed(line);
    if (line.empty() || line.front() != L'=') return std::nullopt;
    line = Trimmed(line.substr(1));
    if (!line.empty() && line.front() == L'"') {
        auto text = Quoted(line);
        if (!text || !Trimmed(line).empty()) return std::nullopt;
        value.type = REG_SZ;
        text->push_back(L'\0');
        const auto* raw = reinterpret_cast<const BYTE*>(text->data());
        value.data.assign(raw, raw + text->size() * sizeof(wchar_t));
        return value;
    }
    if (line.starts_with(L"dword:")) {
        const auto number = HexNumber(line.substr(6));
        if (!number) return std::nullopt;
        value.type = REG_DWORD;
        for (int shift = 0; shift < 32; shift += 8)
            value.data.push_back(static_cast<BYTE>((*number >> shift) & 0xFF));
        return value;
    }
    if (line.starts_with(L"hex:")) {
        value.type = REG_BINARY;
        line.remove_prefix(4);
    } else if (line.starts_with(L"hex(")) {
        const auto close = line.find(L"):");
        if (close == std::wstring_view::npos) return std::nullopt;
        const auto type = HexNumber(line.substr(4, close - 4));
        if (!type) return std::nullopt;
        value.type = *type;
        line.remove_prefix(close + 2);
    } else {
        return std::nullopt;  // "-" (a deletion) or a form this program never writes
    }
    auto bytes = HexBytes(line);
    if (!bytes) return std::nullopt;
    value.data = std::move(*bytes);
    return value;
}

std::optional<std::wstring> Utf16Text(const std::string& bytes) {
    if (bytes.size() < 2 || bytes.size() % 2 != 0 || static_cast<unsigned char>(bytes[0]) != 0xFF ||
        static_cast<unsigned char>(bytes[1]) != 0xFE) {
        return std::nullopt;
    }
    std::wstring text(bytes.size() / 2 - 1, L'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        text[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 * i + 2]) |
                                       static_cast<unsigned char>(bytes[2 * i + 3]) << 8);
    }
    return text;
}

// The file's keys and values, or nothing when any line does not read.
std::optional<std::vector<Key>> Parse(const std::string& fileBytes) {
    const auto text = Utf16Text(fileBytes);
    if (!text) return std::nullopt;
    std::vector<Key> keys;
    bool header = false;
    std::wstring_view rest = *text;
    std::wstring line;
    while (!rest.empty()) {
        auto end = rest.find(L'\n');
        std::wstring_view piece = rest.substr(0, end);
        rest.remove_prefix(end == std::wstring_view::npos ? rest.size() : end + 1);
        if (!piece.empty() && piece.back() == L'\r') piece.remove_suffix(1);
        // A line ending in "\" goes on in the next one (long hex data).
        if (!line.empty()) piece = Trimmed(piece);
        line += piece;
        if (!line.empty() && line.back() == L'\\' && line.front() != L'[' && !rest.empty()) {
            line.pop_back();
            continue;
        }
        const std::wstring_view whole = Trimmed(line);
        if (whole.empty() || whole.front() == L';') {
            line.clear();
            continue;
        }
        if (!header) {
            if (whole != L"Windows Registry Editor Version 5.00") return std::nullopt;
            header = true;
        } else if (whole.front() == L'[') {
            if (whole.back() != L']' || whole.size() < 3 || whole[1] == L'-') return std::nullopt;
            const std::wstring_view path = whole.substr(1, whole.size() - 2);
            const auto slash = path.find(L'\\');
            const auto root = RootNamed(path.substr(0, slash));
            if (!root) return std::nullopt;
            keys.push_back({*root,
                            std::wstring(slash == std::wstring_view::npos ? std::wstring_view()
                                                                          : path.substr(slash + 1)),
                            {}});
        } else {
            auto value = ValueLine(whole);
            if (!value || keys.empty() || value->data.size() > 0x7fffffff) return std::nullopt;
            keys.back().values.push_back(std::move(*value));
        }
        line.clear();
    }
    if (!header || keys.empty()) return std::nullopt;
    return keys;
}

}  // namespace

bool ImportRegistryFile(const std::string& fileBytes) {
    const auto keys = Parse(fileBytes);
    if (!keys) return false;
    bool all = true;
    for (const Key& k : *keys) {
        UniqueRegKey key;
        if (::RegCreateKeyExW(k.root, k.path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_SET_VALUE, nullptr, key.put(), nullptr) != ERROR_SUCCESS) {
            all = false;
            continue;
        }
        for (const Value& v : k.values) {
            all = ::RegSetValueExW(key.get(), v.name.c_str(), 0, v.type, v.data.data(),
                                   static_cast<DWORD>(v.data.size())) == ERROR_SUCCESS &&
                  all;
        }
    }
    return all;
}

}  // namespace qm::platform::win32
