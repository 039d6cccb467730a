// The window's life after start-up: minimised to the tray and back, the tray menu's exit,
// and the orderly close, also when the session ends while work runs.

#include "app/Application.h"

#include "app/SiblingRecords.h"

namespace qm::app {

void Application::WindowResized(bool visible) {
    if (form_.windowState != ui::WindowState::Normal) {
        form_.showInTaskbar = false;
        return;
    }
    // The shield and the schedule keep their timers: a restored window must not leave either
    // silently off while its box says it is on.
    form_.tmrScroll.enabled = true;
    form_.showInTaskbar = true;
    if (visible) Settings().Write(settings::section::kSettings, "Minimized", "No");
}

bool Application::ConfirmExitFromTrayMenu() {
    ShowProgram();
    // The window is shown behind the question: the pump draws it, whatever its interval.
    frontEnd_.pump.WaitForEvents();
    const std::string& name = product_.productName;
    const auto answer = frontEnd_.prompts.ShowMessage(
        "Closing " + name +
            " may leave your system vulnerable to malicious programs. Are you sure you want to "
            "exit?",
        name, ui::MessageButtons::YesNo, ui::MessageIcon::Question);
    if (answer == ui::MessageAnswer::Yes) {
        form_.frmMenuPopUp.Unload();
        // With work running the close waits for it, and stores its records then.
        if (work_.Busy()) return true;
        WriteRunningStatus(Settings(), false);
        form_.trayIcon.bRunningInTray = false;
        return true;
    }
    // Back to the tray, the shield on guard again.
    form_.windowState = ui::WindowState::Minimized;
    form_.showInTaskbar = false;
    form_.inTray = true;
    ArmMemoryShield();
    form_.frmMenuPopUp.Unload();
    return false;
}

void Application::MinimizeToTray() {
    form_.windowState = ui::WindowState::Minimized;
    form_.inTray = true;
    form_.showInTaskbar = false;
    form_.frmMenuPopUp.mnuMaxmimaize.enabled = true;
    form_.trayIcon.bRunningInTray = true;
    form_.trayIcon.tip = product_.productName;
    Settings().Write(settings::section::kSettings, "Minimized", "Yes");
}

void Application::TrayIconMouse(int mouseMessage) {
    constexpr int kLeftDown = 513, kLeftDouble = 515, kRightDown = 516, kRightDouble = 518;
    if (mouseMessage == kLeftDown || mouseMessage == kRightDown) {
        // "Exit Program" stays off while a scan, removal or update runs.
        form_.frmMenuPopUp.Load(product_.productName,
                                frontEnd_.screen ? frontEnd_.screen->Measure() : ui::ScreenFacts{},
                                !work_.Busy());
    } else if (mouseMessage == kLeftDouble || mouseMessage == kRightDouble) {
        ShowProgram();
    }
}

void Application::ShowProgram() {
    form_.windowState = ui::WindowState::Normal;
    form_.inTray = false;
    form_.showInTaskbar = true;
    form_.frmMenuPopUp.Unload();
}

void Application::ExitFromTrayMenu() {
    // The icon stays until the window has really gone: work that runs now delays the close,
    // and a program without window or icon could not be ended at all.
    form_.frmMenuPopUp.Unload();
}

void Application::CloseWhenIdle() {
    form_.closeWhenIdle = true;
    if (!work_.Busy()) return;
    if (!form_.cmdScanNow.enabled) session_.RequestStop();
    // An alert waiting for its answer is closed unanswered: the program neither stops nor
    // allows what it found.
    form_.frmSpywareFoundAlert.visible = false;
    homePage_.Withdraw();
    CanClose();  // ends a Live Update's exchange
}

void Application::Closing() {
    WriteRunningStatus(Settings(), false);
    form_.trayIcon.bRunningInTray = false;
    form_.frmMenuPopUp.Unload();
    settings::ProgramSettings settings = Settings();
    const auto& widths = form_.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.columnWidths;
    for (std::size_t i = 0; i < widths.size(); ++i)
        settings.Write(settings::section::kSettings, "FoundCol2" + std::to_string(i + 1),
                       std::to_string(widths[i]));
    settings.Write(settings::section::kSettings, "Max",
                   form_.windowState == ui::WindowState::Maximized ? "1" : "0");
}

}  // namespace qm::app
