#include "platform/win32/Win32TextEncoding.h"

#include <climits>
#include <string>

#include "platform/win32/WinApi.h"

namespace qm::platform::win32 {

std::string Win32TextEncoding::Utf8ToAnsi(std::string_view utf8) {
    if (utf8.empty() || utf8.size() > static_cast<std::size_t>(INT_MAX / 2)) return {};
    const int bytes = static_cast<int>(utf8.size());
    // Invalid sequences become U+FFFD here, and "?" below.
    const int wideCount = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), bytes, nullptr, 0);
    if (wideCount <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(wideCount), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), bytes, wide.data(), wideCount);
    // No best fit: a character the code page lacks is "?", never a look-alike letter.
    const int ansiCount = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(),
                                                wideCount, nullptr, 0, "?", nullptr);
    if (ansiCount <= 0) return {};
    std::string ansi(static_cast<std::size_t>(ansiCount), '\0');
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), wideCount, ansi.data(),
                          ansiCount, "?", nullptr);
    return ansi;
}

namespace {

std::string AnsiToUtf8(std::string_view ansi) {
    if (ansi.empty() || ansi.size() > static_cast<std::size_t>(INT_MAX / 3)) return {};
    const int bytes = static_cast<int>(ansi.size());
    const int wideCount = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), bytes, nullptr, 0);
    if (wideCount <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(wideCount), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), bytes, wide.data(), wideCount);
    const int utf8Count =
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideCount, nullptr, 0, nullptr, nullptr);
    if (utf8Count <= 0) return {};
    std::string utf8(static_cast<std::size_t>(utf8Count), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideCount, utf8.data(), utf8Count, nullptr,
                          nullptr);
    return utf8;
}

// The single-byte character `b` lowered or uppered as the system does it, when the result is
// again one byte of the code page; else `b` itself.
char MapByte(unsigned char b, bool lower) {
    const char in = static_cast<char>(b);
    wchar_t wide = 0;
    if (::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, &in, 1, &wide, 1) != 1) return in;
    wchar_t mapped = wide;
    if (lower) {
        ::CharLowerBuffW(&mapped, 1);
    } else {
        ::CharUpperBuffW(&mapped, 1);
    }
    char out[4] = {};
    BOOL lossy = FALSE;
    const int n =
        ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, &mapped, 1, out, 4, nullptr, &lossy);
    return n == 1 && !lossy ? out[0] : in;
}

}  // namespace

std::optional<CodePageTables> Win32TextEncoding::CodePage() {
    CodePageTables tables;
    CPINFO info{};
    const bool known = ::GetCPInfo(CP_ACP, &info) != FALSE;
    // The lead-byte ranges come in pairs, ended by two zeros.
    for (int i = 0; known && i + 1 < MAX_LEADBYTES && info.LeadByte[i] != 0; i += 2) {
        for (unsigned b = info.LeadByte[i]; b <= info.LeadByte[i + 1] && b < 256; ++b)
            tables.leadByte[b] = true;
    }
    for (unsigned b = 0; b < 256; ++b) {
        const auto byte = static_cast<unsigned char>(b);
        const bool lead = tables.leadByte[b];
        tables.lower[b] = lead ? static_cast<char>(byte) : MapByte(byte, true);
        tables.upper[b] = lead ? static_cast<char>(byte) : MapByte(byte, false);
    }
    tables.toUtf8 = AnsiToUtf8;
    return tables;
}

}  // namespace qm::platform::win32
