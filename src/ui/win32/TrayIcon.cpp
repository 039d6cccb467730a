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
    if (shown_) return notify_(NIM_MODIFY, &data) != FALSE;
    shown_ = notify_(NIM_ADD, &data) != FALSE;
    return shown_;
}

void TrayIcon::Remove() {
    if (!shown_) return;
    NOTIFYICONDATAA data = IconData(window_, id_);
    notify_(NIM_DELETE, &data);
    shown_ = false;
}

bool TrayIcon::Restore(HICON icon, const std::string& tip) {
    shown_ = false;  // the new taskbar knows no icon of ours
    return Show(icon, tip);
}

}  // namespace qm::ui::win32
