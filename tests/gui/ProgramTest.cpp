// Quillmarsh.exe itself under Wine, started as its user starts it, with its stored settings
// set before the start and the side effects read afterwards: the memory shield's alert for a
// program started while it runs, the home-page shield's silent restore and its question, and a
// scheduled Smart Scan that removes what it finds.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "GuiSupport.h"
#include "ProgramSupport.h"
#include "TempFolder.h"
#include "platform/win32/Handle.h"
// clang-format off
#include <shellapi.h>
// clang-format on
#include "platform/win32/Win32Dates.h"
#include "platform/win32/Win32Registry.h"
#include "ui/win32/MainWindow.h"
#include "ui/win32/MainWindowIds.h"

namespace qm::ui::win32 {
namespace {

TEST_F(ProgramTest, AThreatStartedWhileTheProgramRunsIsStoppedOrAllowedFromTheAlert) {
    wintest::TempFolder place;
    const std::string threat = place / "qmshieldthreat.exe";
    ASSERT_TRUE(::CopyFileA(BuildPath(QM_SLEEPER_PATH).c_str(), threat.c_str(), FALSE));
    wintest::PutFile(data / "ExeDefinition.dat",
                     Scrambled({"qmshieldthreat.exe=Shield Threat|" + place.path()}));
    Switch("optMemorySheild", true);
    StartProgram();

    const auto alertOf = [&] {
        return FindWindowOf(Pid(), [](HWND w) { return HasItem(w, IDC_cmdAlertStop); });
    };
    UniqueKernelHandle first = Start("\"" + threat + "\"");
    ASSERT_TRUE(first);
    HWND alert = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (alert = alertOf()) != nullptr; }, 20000))
        << "the alert comes up within a few seconds";
    EXPECT_EQ(Text(alert, IDC_lblAlertFileName), "QMSHIELDTHREAT.EXE");
    Click(alert, IDC_cmdAlertStop);
    EXPECT_EQ(::WaitForSingleObject(first.get(), 10000), WAIT_OBJECT_0) << "STOP ends it";
    ASSERT_TRUE(WaitFor([&] { return alertOf() == nullptr; }));

    UniqueKernelHandle second = Start("\"" + threat + "\"");
    ASSERT_TRUE(WaitFor([&] { return (alert = alertOf()) != nullptr; }, 20000));
    Click(alert, IDC_cmdAlertAllow);
    EXPECT_TRUE(WaitFor([&] {
        return wintest::FileContent(data / "ENoSignature.dat")
                   .value_or("")
                   .find("QMSHIELDTHREAT.EXE") != std::string::npos;
    })) << "ALLOW excludes it";
    EXPECT_EQ(::WaitForSingleObject(second.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT))
        << "and it keeps running";
    ::TerminateProcess(second.get(), 0);
}

TEST_F(ProgramTest, ASecondStartBringsTheFirstForwardAndEveryCloseLeavesTheProgramStopped) {
    StartProgram();
    EXPECT_EQ(settings.Stored("OptionAndSettings", "STATUS"), "RUNNING");
    settings.Set("OptionAndSettings", "STATUS", "as the first left it");
    UniqueKernelHandle second =
        Start("\"" + ProgramPath() + "\" --data-folder \"" + data.path() + "\"");
    ASSERT_TRUE(second);
    ASSERT_EQ(::WaitForSingleObject(second.get(), 20000), WAIT_OBJECT_0) << "the second ends";
    DWORD code = 1;
    ::GetExitCodeProcess(second.get(), &code);
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(settings.Stored("OptionAndSettings", "STATUS"), "as the first left it");
    EXPECT_EQ(::GetForegroundWindow(), MainWindow()) << "the first is in front";

    ::PostMessageA(MainWindow(), WM_CLOSE, 0, 0);
    ASSERT_EQ(::WaitForSingleObject(program.get(), 20000), WAIT_OBJECT_0);
    EXPECT_EQ(settings.Stored("OptionAndSettings", "STATUS"), "STOPPED");
    EXPECT_EQ(settings.Stored("OptionAndSettings", "RESTART"), "False");
    EXPECT_EQ(settings.Stored("Settings", "Max"), "0");

    // Logging off ends the program without a close: the session's end stores what a close
    // stores, and lets the session end.
    StartProgram();
    settings.Set("Settings", "Max", "unset");
    EXPECT_NE(::SendMessageA(MainWindow(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), 0);
    ::SendMessageA(MainWindow(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_EQ(settings.Stored("OptionAndSettings", "STATUS"), "STOPPED");
    EXPECT_EQ(settings.Stored("Settings", "Max"), "0");
}

TEST_F(ProgramTest, TheSplashComesFirstThenTheMainWindowMaximisedWithoutATaskbarButton) {
    settings.Set("Settings", "Max", "1");
    program = Start("\"" + ProgramPath() + "\" --data-folder \"" + data.path() + "\"");
    ASSERT_TRUE(program);
    HWND splash = nullptr;
    ASSERT_TRUE(WaitFor(
        [&] {
            splash = FindWindowOf(Pid(), [](HWND w) { return HasItem(w, IDC_lblSplashProduct); });
            return splash != nullptr || MainWindow() != nullptr;
        },
        30000));
    ASSERT_NE(splash, nullptr) << "the splash shows before the main window";
    EXPECT_EQ(MainWindow(), nullptr);
    EXPECT_EQ(Text(splash, IDC_lblSplashProduct), "Quillmarsh");
    EXPECT_EQ(Text(splash, IDC_lblSplashWebsite), "www.quillmarsh.example");
    ASSERT_TRUE(WaitFor([&] { return MainWindow() != nullptr; }, 30000));
    EXPECT_TRUE(WaitFor([&] { return !::IsWindowVisible(splash); }))
        << "and goes when the main window is up";

    HWND main = MainWindow();
    EXPECT_TRUE(::IsZoomed(main)) << "Max = 1 starts maximised";
    // The shell gives an owned window a taskbar button only when it asks for one.
    EXPECT_NE(::GetWindow(main, GW_OWNER), nullptr);
    EXPECT_EQ(::GetWindowLongPtrA(main, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
    EXPECT_EQ(Text(main, IDC_Label22), "Welcome to Quillmarsh");
    char title[256] = {};
    ::GetWindowTextA(main, title, sizeof title);
    EXPECT_STREQ(title, "Quillmarsh by Quillmarsh Software");
    ::PostMessageA(main, WM_CLOSE, 0, 0);
    ASSERT_EQ(::WaitForSingleObject(program.get(), 20000), WAIT_OBJECT_0);
    EXPECT_EQ(settings.Stored("Settings", "Max"), "1");
}

// The machine-wide flag of the greeting, put back as the test machine keeps it.
class FirstTimeFlag {
  public:
    static constexpr const char* kKey = "SOFTWARE\\Quillmarsh Software\\Quillmarsh\\Settings";
    FirstTimeFlag() {
        platform::win32::Win32Registry().DeleteValue(platform::root::kLocalMachine, kKey,
                                                     "FirstTime");
    }
    ~FirstTimeFlag() {
        platform::win32::Win32Registry().WriteString(platform::root::kLocalMachine, kKey,
                                                     "FirstTime", "Yes");
    }
    static std::string Read() {
        return platform::win32::Win32Registry()
            .ReadValue(platform::root::kLocalMachine, kKey, "FirstTime")
            .text;
    }
};

TEST_F(ProgramTest, TheFirstRunAsksTheLanguageAndGreetsAndTheTrayMenusCloseAsksBeforeEnding) {
    SettingsRestorer firstRun{{"Settings", "Language"}, {"Settings", "Minimized"}};
    firstRun.Set("Settings", "Language", "");
    FirstTimeFlag flag;
    program = Start("\"" + ProgramPath() + "\" --data-folder \"" + data.path() + "\"");
    ASSERT_TRUE(program);
    HWND language = nullptr;
    ASSERT_TRUE(WaitFor(
        [&] {
            return (language = FindWindowOf(
                        Pid(), [](HWND w) { return HasItem(w, IDC_Combo1); })) != nullptr;
        },
        30000));
    EXPECT_EQ(MainWindow(), nullptr) << "the language window comes before the main window";
    EXPECT_EQ(Text(language, IDC_Combo1), "English");
    Click(language, IDC_Command2);
    HWND greeting = nullptr;
    ASSERT_TRUE(
        WaitFor([&] { return (greeting = BoxOf(Pid(), "Update Now?", IDNO)) != nullptr; }, 30000));
    EXPECT_EQ(firstRun.Stored("Settings", "Language"), "English");
    EXPECT_EQ(FirstTimeFlag::Read(), "Yes");
    Click(greeting, IDNO);
    ASSERT_TRUE(WaitFor([&] { return MainWindow() != nullptr; }, 30000));

    // To the tray, the menu up from the icon's press, and the menu's own close.
    HWND main = MainWindow();
    Menu(main, IDM_mnuFileItem + 6);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindowVisible(main); }));
    // The shell changes only an icon it holds: the program's icon 1 is in the notification
    // area, and comes back when a new taskbar ("TaskbarCreated") has forgotten it.
    NOTIFYICONDATAA probe{};
    probe.cbSize = sizeof probe;
    probe.hWnd = main;
    probe.uID = 1;
    probe.uFlags = NIF_TIP;
    std::snprintf(probe.szTip, sizeof probe.szTip, "%s", "Quillmarsh");
    EXPECT_TRUE(::Shell_NotifyIconA(NIM_MODIFY, &probe)) << "the tray icon is there";
    ::Shell_NotifyIconA(NIM_DELETE, &probe);
    ASSERT_FALSE(::Shell_NotifyIconA(NIM_MODIFY, &probe));
    ::PostMessageA(main, ::RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(WaitFor([&] { return ::Shell_NotifyIconA(NIM_MODIFY, &probe) != FALSE; }))
        << "and is added again for a new taskbar";
    const auto trayMenu = [&] {
        return FindWindowOf(Pid(), [](HWND w) { return HasItem(w, IDC_mnuClose); });
    };
    for (const int answer : {IDNO, IDYES}) {
        ::PostMessageA(main, MainWindow::kTrayMessage, 1, WM_LBUTTONDOWN);
        HWND menu = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (menu = trayMenu()) != nullptr; }));
        ::PostMessageA(menu, WM_CLOSE, 0, 0);
        HWND question = nullptr;
        ASSERT_TRUE(
            WaitFor([&] { return (question = BoxOf(Pid(), "Quillmarsh", answer)) != nullptr; }));
        EXPECT_TRUE(::IsWindowVisible(main)) << "the program shows behind the question";
        Click(question, answer);
        if (answer == IDNO) {
            ASSERT_TRUE(WaitFor([&] { return !::IsWindowVisible(main) && trayMenu() == nullptr; }));
            EXPECT_EQ(::WaitForSingleObject(program.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT))
                << "No leaves the program running in the tray";
        }
    }
    ASSERT_EQ(::WaitForSingleObject(program.get(), 20000), WAIT_OBJECT_0) << "Yes ends it";
    EXPECT_EQ(settings.Stored("OptionAndSettings", "STATUS"), "STOPPED");
}

class StartPage {
  public:
    StartPage() : saved_(Read()) {}
    ~StartPage() {
        if (saved_) Write(*saved_);
    }
    static std::optional<std::string> Read() {
        const auto read = platform::win32::Win32Registry().ReadValue(
            platform::root::kCurrentUser, "Software\\Microsoft\\Internet Explorer\\Main",
            "Start Page");
        if (read.status != platform::RegistryRead::Status::Ok) return std::nullopt;
        return read.text;
    }
    static void Write(const std::string& page) {
        platform::win32::Win32Registry().WriteString(platform::root::kCurrentUser,
                                                     "Software\\Microsoft\\Internet Explorer\\Main",
                                                     "Start Page", page);
    }

  private:
    std::optional<std::string> saved_;
};

TEST_F(ProgramTest, AChangedStartPageIsWrittenBackSilentlyOrAskedAbout) {
    StartPage keep;
    StartPage::Write("http://home.example/");
    settings.Set("OptionAndSettings", "Homepage", "http://home.example/");
    Switch("optIEHomePageSheild", true);
    settings.Set("OptionAndSettings", "optAlwaysnotifybeforerestoring", "False");
    settings.Set("OptionAndSettings", "optRestoredefaultwithoutnotification", "True");
    StartProgram();
    StartPage::Write("http://hijacked.example/");
    EXPECT_TRUE(WaitFor([] { return StartPage::Read() == "http://home.example/"; }, 20000))
        << "restored silently within a few seconds";
    TearDown();

    settings.Set("OptionAndSettings", "optAlwaysnotifybeforerestoring", "True");
    settings.Set("OptionAndSettings", "optRestoredefaultwithoutnotification", "False");
    StartProgram();
    StartPage::Write("http://hijacked.example/");
    HWND question = nullptr;
    ASSERT_TRUE(WaitFor(
        [&] {
            question = FindWindowOf(Pid(), [](HWND w) { return HasItem(w, IDC_lblHomePageInfo); });
            return question != nullptr;
        },
        20000));
    const std::string message = Text(question, IDC_lblHomePageInfo);
    EXPECT_NE(message.find("Click YES to keep your homepage as:\r\nhttp://home.example/"),
              std::string::npos)
        << message;
    EXPECT_NE(message.find("Click No to change your homepage to:\r\nhttp://hijacked.example/"),
              std::string::npos)
        << message;
    ::PostMessageA(question, WM_COMMAND, IDYES, 0);
    EXPECT_TRUE(WaitFor([] { return StartPage::Read() == "http://home.example/"; }));
}

TEST_F(ProgramTest, AScheduleStoredALittleAheadRunsASmartScanThatRemovesWhatItFinds) {
    wintest::TempFolder place;
    const std::string threat = place / "qmscheduled.exe";
    wintest::PutFile(threat, "MZ scheduled");
    wintest::PutFile(data / "FileDefinition.dat",
                     Scrambled({"qmscheduled.exe=Scheduled Threat|" + place.path() + "|Adware"}));
    // Today, a few seconds from now, daily.
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    double value = 0;
    ::SystemTimeToVariantTime(&now, &value);
    value += 8.0 / 86400.0;
    settings.Set("OptionAndSettings", "Time",
                 platform::win32::Win32Dates().Format(value - std::floor(value)));
    settings.Set("OptionAndSettings", "Day", "7");
    settings.Set("OptionAndSettings", "chkAutomaticScanYesOrNo", "1");
    settings.Set("OptionAndSettings", "chkMakeLog", "1");
    settings.Set("Settings", "chkAutoDel", "1");
    StartProgram();
    EXPECT_TRUE(WaitFor([&] { return !wintest::PathExists(threat); }, 60000))
        << "the scheduled scan removed it";
    EXPECT_TRUE(wintest::PathExists(data / "quarantine\\qmscheduled.exe"));
    EXPECT_NE(wintest::FileContent(data / "Scan_Log.txt").value_or("").find("qmscheduled.exe"),
              std::string::npos);

    // Started again within the same minutes, the program does not run the same moment again:
    // a threat planted after the first run survives the restart.
    ::PostMessageA(MainWindow(), WM_CLOSE, 0, 0);
    ASSERT_EQ(::WaitForSingleObject(program.get(), 20000), WAIT_OBJECT_0);
    wintest::PutFile(threat, "MZ planted later");
    StartProgram();
    ::Sleep(6000);  // several of the scheduler's ticks
    EXPECT_TRUE(wintest::PathExists(threat)) << "the moment ran once";
}

}  // namespace
}  // namespace qm::ui::win32
