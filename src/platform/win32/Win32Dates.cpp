#include "platform/win32/Win32Dates.h"

#include <vector>

// clang-format off
#include "platform/win32/WinApi.h"
#include <oleauto.h>
// clang-format on

namespace qm::platform::win32 {

namespace {

std::wstring Wide(const std::string& text) {
    const int n =
        ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    if (n > 0) {
        ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                              n);
    }
    return wide;
}

std::string Narrow(const wchar_t* wide, int length) {
    const int n = ::WideCharToMultiByte(CP_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(n), '\0');
    if (n > 0) ::WideCharToMultiByte(CP_ACP, 0, wide, length, text.data(), n, nullptr, nullptr);
    return text;
}

}  // namespace

std::optional<double> Win32Dates::Parse(const std::string& text) {
    // The parser takes a string of the system's own kind; a text with a NUL is no date.
    if (text.empty() || text.find('\0') != std::string::npos) return std::nullopt;
    const std::wstring wide = Wide(text);
    BSTR string = ::SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    if (!string) return std::nullopt;
    DATE date = 0;
    const HRESULT parsed = ::VarDateFromStr(string, LOCALE_USER_DEFAULT, 0, &date);
    ::SysFreeString(string);
    if (FAILED(parsed)) return std::nullopt;
    return date;
}

std::string Win32Dates::Format(double date) {
    BSTR text = nullptr;
    if (FAILED(::VarBstrFromDate(date, LOCALE_USER_DEFAULT, 0, &text)) || !text) return {};
    const std::string narrow = Narrow(text, static_cast<int>(::SysStringLen(text)));
    ::SysFreeString(text);
    return narrow;
}

}  // namespace qm::platform::win32
