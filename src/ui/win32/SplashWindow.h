#pragma once
// The splash window, drawn from the FrmSplash model: the program's icon, product, maker and
// web site, shown while the counter of `Timer2` runs; when it has run out, `finished` loads
// the main window.

#include <functional>

#include "platform/win32/WinApi.h"
#include "ui/FrmSplash.h"
#include "ui/win32/ModelessDialog.h"

namespace qm::ui::win32 {

class SplashWindow final : public ModelessDialog<SplashWindow> {
  public:
    SplashWindow(FrmSplash& model, std::function<void()> finished)
        : model_(model), finished_(std::move(finished)) {}

    // Creates the window and shows it as the model says, its timer running.
    bool Create(HINSTANCE instance);
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    void Tick();

    FrmSplash& model_;
    std::function<void()> finished_;
    ULONGLONG lastTick_ = 0;
};

}  // namespace qm::ui::win32
