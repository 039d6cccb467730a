#pragma once
// The About window, drawn from the FrmAbout model: modeless, in front of the main window.

#include <functional>

#include "platform/win32/WinApi.h"
#include "ui/FrmAbout.h"
#include "ui/MainWindowCommands.h"

namespace qm::ui::win32 {

class AboutWindow {
  public:
    AboutWindow(FrmAbout& model, MainWindowCommands& commands, std::function<void()> syncAll)
        : model_(model), commands_(commands), syncAll_(std::move(syncAll)) {}
    ~AboutWindow();
    AboutWindow(const AboutWindow&) = delete;
    AboutWindow& operator=(const AboutWindow&) = delete;

    bool Create(HINSTANCE instance, HWND owner);
    HWND Handle() const { return hwnd_; }
    void Sync();
    // The dialog's messages, from ForwardingDialogProc.
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    FrmAbout& model_;
    MainWindowCommands& commands_;
    std::function<void()> syncAll_;
    HWND hwnd_ = nullptr;
    bool shown_ = false;
};

}  // namespace qm::ui::win32
