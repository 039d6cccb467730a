#pragma once
// The language window, drawn from the FrmLanguage model: modeless from "Change Language",
// and waited for by the first run's start-up.

#include <functional>
#include <vector>

#include "platform/win32/WinApi.h"
#include "ui/FrmLanguage.h"
#include "ui/MainWindowCommands.h"

namespace qm::ui::win32 {

class LanguageWindow {
  public:
    LanguageWindow(FrmLanguage& model, MainWindowCommands& commands, std::function<void()> syncAll)
        : model_(model), commands_(commands), syncAll_(std::move(syncAll)) {}
    ~LanguageWindow();
    LanguageWindow(const LanguageWindow&) = delete;
    LanguageWindow& operator=(const LanguageWindow&) = delete;

    bool Create(HINSTANCE instance, HWND owner);
    HWND Handle() const { return hwnd_; }
    void Sync();
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    FrmLanguage& model_;
    MainWindowCommands& commands_;
    std::function<void()> syncAll_;
    HWND hwnd_ = nullptr;
    std::vector<std::string> shownItems_;
    bool shown_ = false;
};

}  // namespace qm::ui::win32
