// The tray under Wine: the window minimised into it and brought back by its menu, the icon's
// add tried again, and the About window.

#include <vector>

#include "GuiSupport.h"

#include <shellapi.h>

#include "ui/win32/MainWindow.h"
#include "ui/win32/MainWindowIds.h"
#include "ui/win32/TrayIcon.h"

namespace qm::ui::win32 {
namespace {

TEST_F(GuiTest, MinimizeToTrayHidesTheWindowAndTheIconsMenuBringsItBack) {
    SettingsRestorer restore{{"Settings", "Minimized"}};
    PutDefinitionSet(1);
    HWND w = StartProgram();
    Menu(w, IDM_mnuFileItem + 6);  // "Minimize to Tray"
    EXPECT_FALSE(::IsWindowVisible(w));
    EXPECT_EQ(restore.Stored("Settings", "Minimized"), "Yes");
    NOTIFYICONDATAA icon{};
    icon.cbSize = sizeof icon;
    icon.hWnd = w;
    icon.uID = 1;
    EXPECT_TRUE(::Shell_NotifyIconA(NIM_MODIFY, &icon)) << "the icon is in the notification area";

    // A left press on the icon arrives as the program's own message, the mouse message in lParam.
    ::SendMessageA(w, MainWindow::kTrayMessage, 1, WM_LBUTTONDOWN);
    HWND menu = program->TrayMenuWindow();
    ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(menu) != FALSE; }));
    EXPECT_EQ(Text(menu, IDC_lblName), "Quillmarsh");
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(menu, IDC_mnuClose)));
    // It rises from the screen's bottom edge until it has stopped.
    RECT first{};
    ::GetWindowRect(menu, &first);
    RECT last = first;
    EXPECT_TRUE(WaitFor([&] {
        RECT now{};
        ::GetWindowRect(menu, &now);
        const bool stopped = now.top < first.top && now.top == last.top;
        last = now;
        return stopped;
    }));
    Screenshot(menu, "tray-menu");
    // The pointer over "Close This Menu" shows it in bold, and away from it plain again.
    HWND closeLabel = ::GetDlgItem(menu, IDC_lblMenuClose);
    const auto weight = [&] {
        LOGFONTA font{};
        ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(closeLabel, WM_GETFONT, 0, 0)),
                     sizeof font, &font);
        return font.lfWeight;
    };
    ::SendMessageA(menu, WM_SETCURSOR, reinterpret_cast<WPARAM>(closeLabel),
                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_GE(weight(), FW_BOLD);
    ::SendMessageA(menu, WM_SETCURSOR, reinterpret_cast<WPARAM>(menu),
                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_LT(weight(), FW_BOLD);
    Click(menu, IDC_mnuMaxmimaize);  // "Show Program"
    EXPECT_TRUE(::IsWindowVisible(w));
    EXPECT_FALSE(::IsWindowVisible(menu));

    Click(w, IDC_Home_Command5);  // the Home page's "Minimize"
    EXPECT_FALSE(::IsWindowVisible(w));
    ::SendMessageA(w, MainWindow::kTrayMessage, 1, WM_RBUTTONDBLCLK);
    EXPECT_TRUE(::IsWindowVisible(w)) << "a double click restores the window";
}

// Wine's shell takes every icon, while one still starting at logon refuses the add: a refused
// add is no icon, is tried again as an add, and a new taskbar gets the icon whether or not an
// earlier add had worked.
TEST(TrayIconTest, ARefusedAddIsNoIconAndANewTaskbarAddsItAnyway) {
    static std::vector<DWORD> calls;
    static bool refuse = true;
    TrayIcon icon(nullptr, 7, 0, [](DWORD message, PNOTIFYICONDATAA) -> BOOL {
        calls.push_back(message);
        return refuse ? FALSE : TRUE;
    });
    EXPECT_FALSE(icon.Show(nullptr, "tip"));
    EXPECT_FALSE(icon.Shown());
    EXPECT_FALSE(icon.Show(nullptr, "tip"));
    refuse = false;
    EXPECT_TRUE(icon.Restore(nullptr, "tip"));
    EXPECT_TRUE(icon.Shown());
    EXPECT_EQ(calls, (std::vector<DWORD>{NIM_ADD, NIM_ADD, NIM_ADD}));
}

TEST_F(GuiTest, AboutShowsTheVersionInformationAndOkClosesIt) {
    PutDefinitionSet(1);
    HWND w = StartProgram();
    Menu(w, IDM_mnuAboutItem + 0);
    HWND about = program->AboutWindow();
    ASSERT_TRUE(::IsWindowVisible(about));
    char caption[128] = {};
    ::GetWindowTextA(about, caption, sizeof caption);
    EXPECT_STREQ(caption, "About Quillmarsh");
    EXPECT_EQ(Text(about, IDC_lblAboutCompany), "Quillmarsh Software");
    EXPECT_EQ(Text(about, IDC_lblAboutVersion), "1.0");
    Screenshot(about, "about");
    Click(about, IDOK);
    EXPECT_FALSE(::IsWindowVisible(about));
}

}  // namespace
}  // namespace qm::ui::win32
