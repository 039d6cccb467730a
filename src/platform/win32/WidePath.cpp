#include "platform/win32/WidePath.h"

#include <climits>
#include <cwctype>

#include "platform/win32/WinApi.h"

namespace qm::platform::win32 {

namespace {

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

bool IsDriveLetter(wchar_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

// "C:\..." (or "C:/..."): a drive letter, a colon and a separator.
bool IsDriveAbsolute(const std::wstring& p) {
    return p.size() >= 3 && IsDriveLetter(p[0]) && p[1] == L':' && IsSeparator(p[2]);
}

// "\\server\share...": two separators and a name, but not the device forms "\\.\" and "\\?\".
bool IsUncAbsolute(const std::wstring& p) {
    if (p.size() < 3 || !IsSeparator(p[0]) || !IsSeparator(p[1]) || IsSeparator(p[2])) {
        return false;
    }
    const bool device = (p[2] == L'.' || p[2] == L'?') && (p.size() == 3 || IsSeparator(p[3]));
    return !device;
}

// "C:\a\b": backslashes only, none doubled, no "." or ".." component and no component ending in
// a dot or a blank (which the system would drop), nor a device name: what normalising gives
// back unchanged.
bool IsAlreadyFull(const std::wstring& p) {
    std::size_t start = 3;  // after "C:\"
    if (p[2] != L'\\') return false;
    for (std::size_t i = 3; i <= p.size(); ++i) {
        if (i < p.size() && p[i] == L'/') return false;
        if (i < p.size() && p[i] != L'\\') continue;
        const std::size_t length = i - start;
        if (length == 0) return i == p.size();  // "C:\" alone, or a trailing separator
        const wchar_t last = p[i - 1];
        if (last == L'.' || last == L' ') return false;
        // Reserved device names ("nul", "com1", ...) in any component become devices.
        if (length <= 8) {
            std::wstring stem = p.substr(start, length);
            const auto dot = stem.find(L'.');
            if (dot != std::wstring::npos) stem.resize(dot);
            for (auto& c : stem)
                c = static_cast<wchar_t>(::towlower(c));
            if (stem == L"con" || stem == L"prn" || stem == L"aux" || stem == L"nul" ||
                ((stem.rfind(L"com", 0) == 0 || stem.rfind(L"lpt", 0) == 0) && stem.size() == 4 &&
                 stem[3] >= L'0' && stem[3] <= L'9')) {
                return false;
            }
        }
        start = i + 1;
    }
    return true;
}

// The full path the ANSI call would have worked on, from the system's own normaliser (which
// takes long paths in its wide form).
std::wstring FullPath(const std::wstring& path) {
    std::wstring buffer(path.size() + 1, L'\0');
    for (int attempt = 0; attempt < 4; ++attempt) {
        const DWORD n = ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(buffer.size()),
                                           buffer.data(), nullptr);
        if (n == 0) return {};
        // Too small a buffer gives the size needed, with the terminating NUL.
        if (n < buffer.size()) {
            buffer.resize(n);
            return buffer;
        }
        buffer.assign(n, L'\0');
    }
    return {};
}

// Plain ASCII is the same in every ANSI code page and in UTF-16: the walk meets almost only
// such names, and converts them without asking the system.
template <typename From, typename To>
bool CopyIfAscii(const From& from, To& to) {
    for (const auto c : from) {
        if (static_cast<unsigned>(c) >= 0x80) return false;
    }
    to.assign(from.begin(), from.end());
    return true;
}

}  // namespace

std::wstring WidenAnsi(const std::string& ansi) {
    if (ansi.empty() || ansi.size() > INT_MAX) return {};
    if (std::wstring ascii; CopyIfAscii(ansi, ascii)) return ascii;
    const int size = static_cast<int>(ansi.size());
    const int n = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, nullptr, 0);
    if (n <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, wide.data(), n);
    return wide;
}

AnsiText NarrowToAnsi(const std::wstring& wide) {
    if (wide.empty()) return {};
    if (wide.size() > INT_MAX) return {std::string(), false};
    if (AnsiText ascii; CopyIfAscii(wide, ascii.text)) return ascii;
    const int size = static_cast<int>(wide.size());
    // Without WC_NO_BEST_FIT_CHARS a character outside the code page may become a look-alike
    // ("a" for "a-macron") that names a different file. Some code pages (UTF-8 among them)
    // refuse that flag and the default-character report; the round trip below still tells.
    auto convert = [&](DWORD flags, BOOL* usedDefault, std::string* out) {
        return ::WideCharToMultiByte(CP_ACP, flags, wide.data(), size, out ? out->data() : nullptr,
                                     out ? static_cast<int>(out->size()) : 0, nullptr, usedDefault);
    };
    DWORD flags = WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* report = &usedDefault;
    int n = convert(flags, report, nullptr);
    if (n <= 0) {
        flags = 0;
        report = nullptr;
        n = convert(flags, report, nullptr);
        if (n <= 0) return {std::string(), false};
    }
    AnsiText result;
    result.text.assign(static_cast<std::size_t>(n), '\0');
    n = convert(flags, report, &result.text);
    result.text.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    result.exact = n > 0 && !usedDefault && WidenAnsi(result.text) == wide;
    return result;
}

std::wstring WideFilePath(const std::string& path) {
    std::wstring wide = WidenAnsi(path);
    // The walk hands over paths that are full already: they take the "\\?\" form as they are,
    // which also spares the system its own normalising on every call.
    if (IsDriveAbsolute(wide) && IsAlreadyFull(wide)) return L"\\\\?\\" + wide;
    if (!IsDriveAbsolute(wide) && !IsUncAbsolute(wide)) return wide;
    const std::wstring full = FullPath(wide);
    // The full form of an absolute path is absolute again, except for the reserved device
    // names ("C:\x\nul" is "\\.\nul"), which keep going the way the ANSI call sent them.
    if (IsDriveAbsolute(full)) return L"\\\\?\\" + full;
    if (IsUncAbsolute(full)) return L"\\\\?\\UNC\\" + full.substr(2);
    return wide;
}

std::optional<std::string> FullAnsiPath(const std::string& path) {
    const std::wstring wide = WidenAnsi(path);
    if (wide.empty()) return std::nullopt;
    const std::wstring full = FullPath(wide);
    if (full.empty()) return std::nullopt;
    AnsiText ansi = NarrowToAnsi(full);
    if (!ansi.exact) return std::nullopt;
    return std::move(ansi.text);
}

}  // namespace qm::platform::win32
