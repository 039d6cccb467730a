#pragma once
// The language window, drawn from the FrmLanguage model: modeless from "Change Language",
// and waited for by the first run's start-up.

#include <functional>
#include <vector>

#include "platform/win32/WinApi.h"
#include "ui/FrmLanguage.h"
#include "ui/MainWindowCommands.h"
#include "ui/win32/ModelessDialog.h"

namespace qm::ui::win32 {

class LanguageWindow final : public ModelessDialog<LanguageWindow> {
  public:
    LanguageWindow(FrmLanguage& model, LanguageCommands& commands, std::function<void()> syncAll)
        : ModelessDialog(std::move(syncAll)), model_(model), commands_(commands) {}

    bool Create(HINSTANCE instance, HWND owner);
    void Sync();
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    FrmLanguage& model_;
    LanguageCommands& commands_;
    std::vector<std::string> shownItems_;
    bool shown_ = false;
};

}  // namespace qm::ui::win32
