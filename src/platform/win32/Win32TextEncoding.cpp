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

}  // namespace qm::platform::win32
