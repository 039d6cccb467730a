#pragma once
// The update notice, drawn from the FrmSignatureUpdated model: a small frameless window in
// front of the others that its three timers move up, hold and move down again.

#include <functional>

#include "platform/win32/WinApi.h"
#include "ui/FrmSignatureUpdated.h"
#include "ui/MainWindowCommands.h"
#include "ui/win32/SlidingPopup.h"
#include "ui/win32/TimerSync.h"

namespace qm::ui::win32 {

class NoticeWindow {
  public:
    // `syncAll` brings every window in line after a command of this one.
    NoticeWindow(FrmSignatureUpdated& model, MainWindowCommands& commands,
                 std::function<void()> syncAll)
        : model_(model),
          commands_(commands),
          syncAll_(std::move(syncAll)),
          timers_(
              {&model.tmrPopupSignatureUpdate, &model.tmrEnablePopDownTimer, &model.tmrPopDown}) {}
    ~NoticeWindow();
    NoticeWindow(const NoticeWindow&) = delete;
    NoticeWindow& operator=(const NoticeWindow&) = delete;

    bool Create(HINSTANCE instance, HWND owner);
    HWND Handle() const { return hwnd_; }
    void Sync();
    // The dialog's messages, from ForwardingDialogProc.
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    FrmSignatureUpdated& model_;
    MainWindowCommands& commands_;
    std::function<void()> syncAll_;
    TimerSync timers_;
    HWND hwnd_ = nullptr;
    PopupPlacement placement_;
};

}  // namespace qm::ui::win32
