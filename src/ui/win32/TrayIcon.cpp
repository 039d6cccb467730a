#include "ui/win32/TrayIcon.h"

#include <shellapi.h>

#include <algorithm>

namespace qm::ui::win32 {

namespace {

NOTIFYICONDATAA IconData(HWND window, UINT id) {
    NOTIFYICONDATAA data{};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = id;
    return data;
}

}  // namespace

bool TrayIcon::Show(HICON icon, const std::string& tip) {
    NOTIFYICONDATAA data = IconData(window_, id_);
    data.uFlags = NIF_ICON | NIF_TIP | (callbackMessage_ ? NIF_MESSAGE : 0);
    data.uCallbackMessage = callbackMessage_;
    data.hIcon = icon;
    // The tip is cut to what the structure holds rather than overrunning it.
    const std::size_t length = std::min(tip.size(), sizeof data.szTip - 1);
    std::copy_n(tip.data(), length, data.szTip);
    tip_ = tip;
    if (shown_) return ::Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
    shown_ = ::Shell_NotifyIconA(NIM_ADD, &data) != FALSE;
    return shown_;
}

void TrayIcon::Remove() {
    if (!shown_) return;
    NOTIFYICONDATAA data = IconData(window_, id_);
    ::Shell_NotifyIconA(NIM_DELETE, &data);
    shown_ = false;
}

void TrayIcon::Restore(HICON icon) {
    if (!shown_) return;
    shown_ = false;
    Show(icon, tip_);
}

}  // namespace qm::ui::win32
