#pragma once
// What the window tests share: reading and clicking controls by their IDs, waits that pump
// messages with a time-out, scrambled definition files, the program's own settings kept as
// they were before a test, and the fixture that starts the program on a throw-away data folder.

// clang-format off
#include "platform/win32/WinApi.h"
#include <commctrl.h>
// clang-format on

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Screenshot.h"
#include "TempFolder.h"
#include "definitions/LineScramble.h"
#include "platform/win32/RegistrySettingsStore.h"
#include "platform/win32/Win32VersionInfo.h"
#include "ui/win32/Program.h"

namespace qm::ui::win32 {

inline std::string Text(HWND window, int id) {
    char buffer[1024] = {};
    ::GetDlgItemTextA(window, id, buffer, sizeof buffer);
    return buffer;
}

inline int ProgressOf(HWND window, int id) {
    return static_cast<int>(::SendDlgItemMessageA(window, id, PBM_GETPOS, 0, 0));
}

inline void Click(HWND window, int id) {
    HWND control = ::GetDlgItem(window, id);
    ASSERT_NE(control, nullptr) << id;
    ::SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(control));
}

inline void Menu(HWND window, int id) {
    ::SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

inline int RowCount(HWND window, int id) {
    return static_cast<int>(::SendDlgItemMessageA(window, id, LVM_GETITEMCOUNT, 0, 0));
}

// Saves the window's picture into the run's screenshot folder, when it has one.
inline void Screenshot(HWND window, const std::string& name) {
    const char* folder = std::getenv("QM_SCREENSHOT_DIR");
    if (folder && *folder) {
        EXPECT_TRUE(SaveWindowBitmap(window, std::string(folder) + "\\" + name + ".bmp"));
    }
}

// Pumps messages until the condition holds or the time is up.
inline bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 10000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        if (condition()) return true;
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return condition();
}

inline std::string Scrambled(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const auto& l : lines)
        bytes += defs::EncodeLine(l) + "\r\n";
    return bytes;
}

inline bool Checked(HWND window, int id) {
    return ::SendDlgItemMessageA(window, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// Keeps the program's own settings as they were before the test, whatever it clicks.
class SettingsRestorer {
  public:
    SettingsRestorer(std::initializer_list<std::pair<std::string, std::string>> keys)
        : app_(platform::win32::Win32VersionInfo().OwnProductInfo().productName), keys_(keys) {
        for (const auto& [section, key] : keys_)
            saved_.push_back(store_.Read(app_, section, key, kAbsent));
    }
    ~SettingsRestorer() {
        for (std::size_t i = 0; i < keys_.size(); ++i) {
            store_.Write(app_, keys_[i].first, keys_[i].second,
                         saved_[i] == kAbsent ? DefaultOf(keys_[i].second) : saved_[i]);
        }
    }
    std::string Stored(const std::string& section, const std::string& key) {
        return store_.Read(app_, section, key, kAbsent);
    }
    void Set(const std::string& section, const std::string& key, const std::string& value) {
        store_.Write(app_, section, key, value);
    }

  private:
    static constexpr const char* kAbsent = "(absent)";
    static std::string DefaultOf(const std::string& key) {
        if (key == "optMemorySheildOff") return "False";
        if (key == "UpdateServer") return "";  // the build's own server
        if (key == "SHOW" || key == "RESTART") return "False";
        // The schedule as never saved, no saved start page, no automatic removal.
        if (key == "Day") return "None";
        if (key == "Date" || key == "Time") return "Null";
        if (key == "Homepage") return "";
        if (key == "chkAutoDel" || key == "chkAutomaticScanYesOrNo") return "0";
        if (key == "optRestoredefaultwithoutnotification") return "False";
        if (key == "STATUS") return "STOPPED";
        if (key == "Max") return "0";
        // The test machine's first run is done (see the prefix's set-up).
        if (key == "Language") return "English";
        if (key == "showHelp") return "0";
        if (key == "Minimized") return "No";
        return key.rfind("opt", 0) == 0 || key.size() == 1 ? "True" : "1";
    }
    platform::win32::RegistrySettingsStore store_;
    std::string app_;
    std::vector<std::pair<std::string, std::string>> keys_;
    std::vector<std::string> saved_;
};

// The desktop program on a throw-away data folder, its window driven by its controls' IDs.
class GuiTest : public ::testing::Test {
  protected:
    void PutDefinitionSet(int fileRecords) {
        std::vector<std::string> files;
        for (int i = 0; i < fileRecords; ++i) {
            files.push_back("gui" + std::to_string(i) + ".exe=Gui Threat " + std::to_string(i) +
                            "|[progfil]Gui Vendor " + std::to_string(i) + "|Adware");
        }
        wintest::PutFile(data / "FileDefinition.dat", Scrambled(files));
        wintest::PutFile(data / "DirectoryDefinition.dat",
                         Scrambled({"Gui Folder=Gui Folder|[progfil]Gui Folder|Adware"}));
        wintest::PutFile(data / "RegistryDefinition.dat",
                         Scrambled({"1^Software\\Gui Threat^=Gui Threat|Adware"}));
        wintest::PutFile(data / "ExeDefinition.dat",
                         Scrambled({"gui0.exe=Gui Threat 0|[progfil]Gui Vendor 0|Adware"}));
        wintest::PutFile(data / "BlockedCookies.dat", Scrambled({"gui-tracker.example"}));
    }

    HWND StartProgram() {
        program =
            std::make_unique<Program>(::GetModuleHandleA(nullptr), ProgramOptions{data.path()});
        EXPECT_TRUE(program->Start(SW_SHOW));
        HWND window = program->Window();
        EXPECT_NE(window, nullptr);
        WaitFor([&] { return ::IsWindowVisible(window) != FALSE; });
        return window;
    }

    void TearDown() override { program.reset(); }

    wintest::TempFolder data;
    std::unique_ptr<Program> program;
};

}  // namespace qm::ui::win32
