#pragma once
// The desktop program: the Win32 platform and interaction, the application and its main
// window. WinMain runs one; the GUI tests run one in their own process and drive its controls.

#include <functional>
#include <memory>
#include <string>

#include "platform/win32/WinApi.h"

namespace qm::app {
class Application;
}

namespace qm::ui::win32 {

struct ProgramOptions {
    std::string dataFolder;  // empty: the user's "[appdata]AntiSpywareDAT"
};

class Program {
  public:
    Program(HINSTANCE instance, const ProgramOptions& options);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Creates the main window, loads the program into it as its start-up does and shows it;
    // false when the window cannot be created or another copy is running (EndedAsSecondCopy).
    bool Start(int showCommand);
    bool EndedAsSecondCopy() const;
    // The desktop start: the splash first, and when its counter has run out, Start; the
    // message loop ends at once when that fails. False when the splash cannot be shown.
    bool StartWithSplash(int showCommand);
    HWND SplashWindow() const;
    // The message loop; returns the exit code.
    int Run();
    HWND Window() const;
    HWND DeleteFailedWindow() const;
    HWND DownloadWindow() const;
    HWND NoticeWindow() const;
    HWND SpywareAlertWindow() const;
    HWND TrayMenuWindow() const;
    HWND AboutWindow() const;
    HWND LanguageWindow() const;
    app::Application& Application();
    // Draws the windows from their models now, as every command's end does.
    void SyncWindows();
    // The pump's interval in milliseconds (0 pumps on every item).
    void SetPumpIntervalMs(unsigned ms);
    // For the window tests: runs inside every pump of a long loop, as a stand-in for work
    // that fails part-way.
    void SetPumpHook(std::function<void()> hook);

  private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

ProgramOptions ParseProgramOptions(const std::string& commandLine);

}  // namespace qm::ui::win32
