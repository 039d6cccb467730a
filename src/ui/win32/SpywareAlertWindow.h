#pragma once
// The memory shield's alert, drawn from the FrmSpywareFoundAlert model: a window of its own
// in front of every other, even while the main window is minimised or in the tray, with STOP
// and ALLOW and no close box, since the shield waits for one of the two.

#include <functional>

#include "platform/win32/WinApi.h"
#include "ui/MainWindowCommands.h"
#include "ui/ShieldAlerts.h"
#include "ui/win32/ModelessDialog.h"
#include "ui/win32/TimerSync.h"

namespace qm::ui::win32 {

class SpywareAlertWindow final : public ModelessDialog<SpywareAlertWindow> {
  public:
    SpywareAlertWindow(FrmSpywareFoundAlert& model, SpywareAlertCommands& commands,
                       std::function<void()> syncAll)
        : ModelessDialog(std::move(syncAll)),
          model_(model),
          commands_(commands),
          timers_({&model.tmrBlink}) {}

    bool Create(HINSTANCE instance);
    void Sync();
    // The dialog's messages, from ForwardingDialogProc.
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    FrmSpywareFoundAlert& model_;
    SpywareAlertCommands& commands_;
    TimerSync timers_;
    bool shown_ = false;
};

// The home-page shield's question, modal, in front of every other window.
class HomePageAlertWindow final : public HomePageAlertView {
  public:
    explicit HomePageAlertWindow(HINSTANCE instance) : instance_(instance) {}
    MessageAnswer AskHomePage(const FrmHomePageChangedAlert& alert) override;

  private:
    HINSTANCE instance_;
};

}  // namespace qm::ui::win32
