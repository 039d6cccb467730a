#include "ui/win32/Program.h"

#include <functional>
#include <optional>

#include "app/Application.h"
#include "platform/win32/Handle.h"
#include "platform/win32/RegistrySettingsStore.h"
#include "platform/win32/Win32Platform.h"
#include "text/Text.h"
#include "ui/win32/MainWindow.h"
#include "ui/win32/MainWindowIds.h"
#include "ui/win32/QuarantineWindow.h"
#include "ui/win32/ReportWindow.h"
#include "ui/win32/SplashWindow.h"
#include "ui/win32/SpywareAlertWindow.h"
#include "ui/win32/Win32Interaction.h"
#include "ui/win32/Win32Screen.h"

namespace qm::ui::win32 {

namespace {

// The report's viewer, modal over the main window.
class WindowReportViewer final : public ReportViewer {
  public:
    WindowReportViewer(HINSTANCE instance, std::function<HWND()> owner,
                       std::function<void()> syncOwner, std::function<std::string()> okCaption)
        : instance_(instance),
          owner_(std::move(owner)),
          syncOwner_(std::move(syncOwner)),
          okCaption_(std::move(okCaption)) {}
    void ShowReport(const std::string& caption, const std::string& text) override {
        // The window shows what changed for the viewer's time (its "Show Report" turned off)
        // before the viewer's own loop takes over.
        syncOwner_();
        ShowReportWindow(instance_, owner_(), caption, text, okCaption_());
    }

  private:
    HINSTANCE instance_;
    std::function<HWND()> owner_;
    std::function<void()> syncOwner_;
    std::function<std::string()> okCaption_;
};

// The quarantine's viewer, modal over the main window.
class WindowQuarantineViewer final : public QuarantineViewer {
  public:
    WindowQuarantineViewer(HINSTANCE instance, std::function<HWND()> owner)
        : instance_(instance), owner_(std::move(owner)) {}
    void ShowQuarantine(const std::string& caption, QuarantineActions& actions) override {
        ShowQuarantineWindow(instance_, owner_(), caption, actions);
    }

  private:
    HINSTANCE instance_;
    std::function<HWND()> owner_;
};

// The running program's main window: a dialog of this user's desktop with the scan page's
// controls and the program's title.
HWND FindRunningMainWindow(const std::string& title) {
    struct Search {
        const std::string& title;
        HWND found = nullptr;
    } search{title};
    ::EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(context);
            char text[256] = {};
            ::GetWindowTextA(window, text, sizeof text);
            if (s.title != text || !::GetDlgItem(window, IDC_cmdScanNow)) return TRUE;
            s.found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The window's start-up parts: the first run's language window and the single-instance
// test, a named mutex in the user's own session.
class WindowStartUp final : public StartUpWindows {
  public:
    WindowStartUp(HINSTANCE instance, std::function<platform::ProductInfo()> product,
                  std::function<std::string()> runningTitle)
        : instance_(instance),
          product_(std::move(product)),
          runningTitle_(std::move(runningTitle)) {}

    bool AnotherInstanceRunning() override { return !Claim(); }

    bool Claim() {
        if (claimed_) return *claimed_;
        // "Local\": the user's own session, so another user's copy on the same machine does
        // not count.
        const std::string name = "Local\\" + product_().productName + ".Running";
        mutex_.reset(::CreateMutexA(nullptr, FALSE, name.c_str()));
        claimed_ = !mutex_ || ::GetLastError() != ERROR_ALREADY_EXISTS;
        if (*claimed_) return true;
        mutex_.reset();
        // Users expect the second start to bring the running program forward.
        if (HWND running = FindRunningMainWindow(runningTitle_())) {
            if (!::IsWindowVisible(running)) {
                // In the tray: the running copy shows itself as its tray icon's double click does.
                ::PostMessageA(running, MainWindow::kTrayMessage, 1, WM_LBUTTONDBLCLK);
            } else {
                ::ShowWindow(running, ::IsIconic(running) ? SW_RESTORE : SW_SHOW);
                ::SetForegroundWindow(running);
            }
        }
        return false;
    }
    bool Claimed() const { return claimed_.value_or(true); }

  private:
    HINSTANCE instance_;
    std::function<platform::ProductInfo()> product_;
    std::function<std::string()> runningTitle_;
    std::optional<bool> claimed_;
    platform::win32::UniqueKernelHandle mutex_;
};

}  // namespace

struct Program::Parts {
    Parts(HINSTANCE instance, const ProgramOptions& options)
        : prompts([this] { return window.Handle(); }),
          pickers([this] { return window.Handle(); }),
          pump([this] { return window.Handle(); },
               [this] {
                   window.Sync();
                   if (pumpHook) pumpHook();
               }),
          viewer(
              instance, [this] { return window.Handle(); }, [this] { window.Sync(); },
              [this] { return application.Form().frmReport.cmdClose.caption; }),
          quarantineViewer(instance, [this] { return window.Handle(); }),
          homePageAlert(instance),
          startUp(
              instance, [this] { return application.Product(); },
              [this] { return application.Message("MSG_CAPTION"); }),
          application(app::FrontEnd{machine.platform, settings, prompts, pickers, pump, &viewer,
                                    &quarantineViewer, &screen, &homePageAlert, &startUp},
                      app::StartOptions{options.dataFolder.empty()
                                            ? std::nullopt
                                            : std::optional<std::string>(options.dataFolder),
                                        {}}),
          window(instance, application.Form(), application),
          splash(application.Form().frmSplash, [this] { LoadMainWindow(); }),
          instance_(instance) {}

    // The splash has run out: the main window loads; when it cannot, the program ends.
    void LoadMainWindow() {
        if (!Start(splashShowCommand)) ::PostQuitMessage(startUp.Claimed() ? 1 : 0);
    }
    bool Start(int showCommand);

    platform::win32::Win32Platform machine;
    platform::win32::RegistrySettingsStore settings;
    Win32Prompts prompts;
    Win32Pickers pickers;
    Win32EventPump pump;
    WindowReportViewer viewer;
    WindowQuarantineViewer quarantineViewer;
    Win32Screen screen;
    HomePageAlertWindow homePageAlert;
    WindowStartUp startUp;
    app::Application application;
    MainWindow window;
    win32::SplashWindow splash;
    HINSTANCE instance_;
    int splashShowCommand = SW_SHOWNORMAL;
    std::function<void()> pumpHook;
};

Program::Program(HINSTANCE instance, const ProgramOptions& options)
    : parts_(std::make_unique<Parts>(instance, options)) {}

Program::~Program() = default;

app::Application& Program::Application() {
    return parts_->application;
}

HWND Program::Window() const {
    return parts_->window.Handle();
}

HWND Program::DeleteFailedWindow() const {
    return parts_->window.DeleteFailedHandle();
}

HWND Program::DownloadWindow() const {
    return parts_->window.DownloadHandle();
}

HWND Program::NoticeWindow() const {
    return parts_->window.NoticeHandle();
}

HWND Program::AboutWindow() const {
    return parts_->window.AboutHandle();
}

HWND Program::LanguageWindow() const {
    return parts_->window.LanguageHandle();
}

HWND Program::TrayMenuWindow() const {
    return parts_->window.TrayMenuHandle();
}

HWND Program::SpywareAlertWindow() const {
    return parts_->window.SpywareAlertHandle();
}

void Program::SyncWindows() {
    parts_->window.Sync();
}

void Program::SetPumpIntervalMs(unsigned ms) {
    parts_->pump.SetIntervalMs(ms);
}

void Program::SetPumpHook(std::function<void()> hook) {
    parts_->pumpHook = std::move(hook);
}

bool Program::EndedAsSecondCopy() const {
    return !parts_->startUp.Claimed();
}

bool Program::Parts::Start(int showCommand) {
    if (!window.Create()) return false;
    if (!application.Start()) return false;
    ui::FrmMain& form = application.Form();
    window.Sync();
    // Started into the tray ("Minimized" = "Yes"): only the tray icon shows.
    if (form.inTray) return true;
    // The first display runs the resize's steps: the taskbar button follows the state.
    application.WindowResized(true);
    window.Sync();
    window.Show(form.windowState == WindowState::Maximized ? SW_SHOWMAXIMIZED : showCommand);
    return true;
}

bool Program::Start(int showCommand) {
    return parts_->Start(showCommand);
}

bool Program::StartWithSplash(int showCommand) {
    Parts& p = *parts_;
    p.splashShowCommand = showCommand;
    p.application.LoadSplash();
    return p.splash.Create(p.instance_);
}

HWND Program::SplashWindow() const {
    return parts_->splash.Handle();
}

int Program::Run() {
    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        HWND dialog = parts_->window.Handle();
        if (dialog && ::IsDialogMessageA(dialog, &message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

ProgramOptions ParseProgramOptions(const std::string& commandLine) {
    ProgramOptions options;
    // The one option: --data-folder DIR (quoted when it holds blanks).
    const std::string flag = "--data-folder";
    const auto at = commandLine.find(flag);
    if (at == std::string::npos) return options;
    std::string rest = text::Trim(commandLine.substr(at + flag.size()));
    if (!rest.empty() && rest.front() == '"') {
        const auto close = rest.find('"', 1);
        options.dataFolder =
            rest.substr(1, close == std::string::npos ? std::string::npos : close - 1);
    } else {
        options.dataFolder = rest.substr(0, rest.find(' '));
    }
    return options;
}

}  // namespace qm::ui::win32
