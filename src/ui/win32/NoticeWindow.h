#pragma once
// The update notice, drawn from the FrmSignatureUpdated model: a small frameless window in
// front of the others that its three timers move up, hold and move down again.

#include <functional>

#include "platform/win32/WinApi.h"
#include "ui/FrmSignatureUpdated.h"
#include "ui/MainWindowCommands.h"
#include "ui/win32/ModelessDialog.h"
#include "ui/win32/SlidingPopup.h"
#include "ui/win32/TimerSync.h"

namespace qm::ui::win32 {

class NoticeWindow final : public ModelessDialog<NoticeWindow> {
  public:
    // `syncAll` brings every window in line after a command of this one.
    NoticeWindow(FrmSignatureUpdated& model, NoticeCommands& commands,
                 std::function<void()> syncAll)
        : ModelessDialog(std::move(syncAll)),
          model_(model),
          commands_(commands),
          timers_(
              {&model.tmrPopupSignatureUpdate, &model.tmrEnablePopDownTimer, &model.tmrPopDown}) {}

    bool Create(HINSTANCE instance, HWND owner);
    void Sync();
    // The dialog's messages, from ForwardingDialogProc.
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    FrmSignatureUpdated& model_;
    NoticeCommands& commands_;
    TimerSync timers_;
    PopupPlacement placement_;
};

}  // namespace qm::ui::win32
