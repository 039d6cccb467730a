#pragma once
// The dots per inch a window is drawn at, and the system's sizes at that DPI. The program
// declares per-monitor awareness: each window asks its own DPI, which follows the monitor it is
// on. Windows before 10 (1607) lack GetDpiForWindow and GetSystemMetricsForDpi, so both are
// looked up at run time, with the screen's DPI and the system's metrics in their place.

#include "platform/win32/Handle.h"
#include "platform/win32/WinApi.h"
#include "ui/Twips.h"

namespace qm::ui::win32 {

namespace dpi_detail {

template <typename Function>
Function User32Function(const char* name) {
    HMODULE user32 = ::GetModuleHandleA("user32.dll");
    // GetProcAddress hands back a generic pointer that is cast to the function's true type.
    return user32 ? reinterpret_cast<Function>(
                        reinterpret_cast<void (*)()>(::GetProcAddress(user32, name)))
                  : nullptr;
}

}  // namespace dpi_detail

inline int WindowDpi(HWND window) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow =
        dpi_detail::User32Function<GetDpiForWindowFn>("GetDpiForWindow");
    if (getDpiForWindow && window) {
        if (const UINT dpi = getDpiForWindow(window); dpi != 0) return static_cast<int>(dpi);
    }
    const platform::win32::WindowDc dc(window);
    const int dpi = dc ? ::GetDeviceCaps(dc.get(), LOGPIXELSY) : 0;
    return dpi > 0 ? dpi : kDefaultDpi;
}

// GetSystemMetrics(`index`) at `dpi`: an icon's or a scroll bar's size on that monitor.
inline int SystemMetricForDpi(int index, int dpi) {
    using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
    static const auto forDpi =
        dpi_detail::User32Function<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
    return forDpi ? forDpi(index, static_cast<UINT>(dpi)) : ::GetSystemMetrics(index);
}

// WM_DPICHANGED: the window moved to a monitor of another DPI, or that monitor's scale changed.
// It takes the place and size the system suggests (`lParam`), which keep it where it was and as
// large as it was to the eye; the dialog manager scales a dialog's font and controls itself.
inline void MoveToSuggestedRect(HWND window, LPARAM lParam) {
    const auto* suggested = reinterpret_cast<const RECT*>(lParam);
    if (!suggested) return;
    ::SetWindowPos(window, nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left, suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace qm::ui::win32
