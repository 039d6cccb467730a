#pragma once
// "Delete Failed": a modeless window in front of the main window, drawn from the FrmDelete
// model; its two buttons end in the program's commands.

#include <string>
#include <utility>
#include <vector>

// clang-format off
#include "platform/win32/WinApi.h"
#include <commctrl.h>
// clang-format on
#include "ui/FrmDelete.h"
#include "ui/MainWindowCommands.h"
#include "ui/Twips.h"
#include "ui/win32/ModelessDialog.h"

namespace qm::ui::win32 {

class DeleteFailedWindow final : public ModelessDialog<DeleteFailedWindow> {
  public:
    // Its commands change only what it shows itself: after one, it alone is drawn again.
    DeleteFailedWindow(HINSTANCE instance, FrmDelete& model, DeleteFailedCommands& commands)
        : ModelessDialog([this] { Sync(); }),
          instance_(instance),
          model_(model),
          commands_(commands) {}

    // Creates the window, hidden, owned by the main window.
    bool Create(HWND owner);
    // Brings the window in line with the model: shown in front when the model says so.
    void Sync();
    // The dialog's messages, from ForwardingDialogProc.
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    HINSTANCE instance_;
    FrmDelete& model_;
    DeleteFailedCommands& commands_;
    bool shown_ = false;
    int dpi_ = kDefaultDpi;  // the DPI its columns were sized at
    std::vector<std::pair<std::string, std::string>> shownRows_;
};

}  // namespace qm::ui::win32
