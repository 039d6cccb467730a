#pragma once
// The About window, drawn from the FrmAbout model: modeless, in front of the main window.

#include <functional>

#include "platform/win32/WinApi.h"
#include "ui/FrmAbout.h"
#include "ui/MainWindowCommands.h"
#include "ui/win32/ModelessDialog.h"

namespace qm::ui::win32 {

class AboutWindow final : public ModelessDialog<AboutWindow> {
  public:
    AboutWindow(FrmAbout& model, AboutCommands& commands, std::function<void()> syncAll)
        : ModelessDialog(std::move(syncAll)), model_(model), commands_(commands) {}

    bool Create(HINSTANCE instance, HWND owner);
    void Sync();
    // The dialog's messages, from ForwardingDialogProc.
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    FrmAbout& model_;
    AboutCommands& commands_;
    bool shown_ = false;
};

}  // namespace qm::ui::win32
