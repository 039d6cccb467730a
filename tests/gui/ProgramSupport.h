#pragma once
// What the tests of Quillmarsh.exe itself share: starting the program as its user starts it,
// finding its windows and message boxes, and the fixture that starts it on a throw-away data
// folder with its stored settings put back afterwards.

#include <algorithm>
#include <functional>
#include <string>

#include "GuiSupport.h"
#include "TempFolder.h"
#include "platform/win32/Handle.h"
#include "ui/win32/MainWindowIds.h"

namespace qm::ui::win32 {

using platform::win32::UniqueKernelHandle;

// A program of the build, reached through drive Z:, the Linux root.
inline std::string BuildPath(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return "Z:" + path;
}

inline std::string ProgramPath() {
    return BuildPath(QM_PROGRAM_PATH);
}

inline UniqueKernelHandle Start(const std::string& commandLine) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    std::string line = commandLine;
    if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &started)) {
        return UniqueKernelHandle();
    }
    ::CloseHandle(started.hThread);
    return UniqueKernelHandle(started.hProcess);
}

struct WindowSearch {
    DWORD process;
    std::function<bool(HWND)> wanted;
    HWND found = nullptr;
};

// A visible top-level window of the process that `wanted` accepts.
inline HWND FindWindowOf(DWORD process, const std::function<bool(HWND)>& wanted) {
    WindowSearch search{process, wanted};
    ::EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            auto& s = *reinterpret_cast<WindowSearch*>(context);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            if (owner != s.process || !::IsWindowVisible(window) || !s.wanted(window)) return TRUE;
            s.found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

inline bool HasItem(HWND window, int id) {
    return ::GetDlgItem(window, id) != nullptr;
}

// A window of the process whose title is `title` and that has the control `id`.
inline HWND BoxOf(DWORD process, const std::string& title, int id) {
    return FindWindowOf(process, [&](HWND w) {
        char text[256] = {};
        ::GetWindowTextA(w, text, sizeof text);
        return title == text && HasItem(w, id);
    });
}

class ProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name :
             {"FileDefinition.dat", "DirectoryDefinition.dat", "RegistryDefinition.dat",
              "ExeDefinition.dat", "BlockedCookies.dat"}) {
            wintest::PutFile(data / name, "");
        }
        // Every switch as the tests need it: each test turns on what it looks at.
        Switch("optMemorySheild", false);
        Switch("optIEHomePageSheild", false);
        settings.Set("OptionAndSettings", "chkAutomaticScanYesOrNo", "0");
        settings.Set("OptionAndSettings", "chkScanRegistry", "False");
    }
    // Both keys of an option pair, as the options page stores them: loading takes a pair
    // that disagrees for a click on its second button.
    void Switch(const std::string& pair, bool on) {
        settings.Set("OptionAndSettings", pair + "On", on ? "True" : "False");
        settings.Set("OptionAndSettings", pair + "Off", on ? "False" : "True");
    }
    void TearDown() override {
        if (HWND w = MainWindow()) ::PostMessageA(w, WM_CLOSE, 0, 0);
        if (program && ::WaitForSingleObject(program.get(), 10000) != WAIT_OBJECT_0) {
            ::TerminateProcess(program.get(), 1);
        }
    }
    void StartProgram() {
        program = Start("\"" + ProgramPath() + "\" --data-folder \"" + data.path() + "\"");
        ASSERT_TRUE(program);
        ASSERT_TRUE(WaitFor([&] { return MainWindow() != nullptr; }, 30000));
    }
    DWORD Pid() const { return ::GetProcessId(program.get()); }
    HWND MainWindow() const {
        if (!program) return nullptr;
        return FindWindowOf(Pid(), [](HWND w) { return HasItem(w, IDC_cmdScanNow); });
    }

    wintest::TempFolder data;
    SettingsRestorer settings{{"OptionAndSettings", "optMemorySheildOn"},
                              {"OptionAndSettings", "optMemorySheildOff"},
                              {"OptionAndSettings", "optIEHomePageSheildOn"},
                              {"OptionAndSettings", "optIEHomePageSheildOff"},
                              {"OptionAndSettings", "optAlwaysnotifybeforerestoring"},
                              {"OptionAndSettings", "optRestoredefaultwithoutnotification"},
                              {"OptionAndSettings", "Homepage"},
                              {"OptionAndSettings", "chkAutomaticScanYesOrNo"},
                              {"OptionAndSettings", "Day"},
                              {"OptionAndSettings", "Time"},
                              {"OptionAndSettings", "Date"},
                              {"OptionAndSettings", "chkScanRegistry"},
                              {"OptionAndSettings", "chkMakeLog"},
                              {"OptionAndSettings", "STATUS"},
                              {"OptionAndSettings", "RESTART"},
                              {"Settings", "Max"},
                              {"Settings", "chkAutoDel"},
                              {"OptionAndSettings", "LastScheduledScan"}};
    UniqueKernelHandle program;
};

}  // namespace qm::ui::win32
