// The window at the desktop's DPI: the manifest that declares per-monitor awareness, every page
// of the main window without a control cut off by the window or lying across another, the
// results list's stored column widths and the tray menu at the window's own DPI. The suite
// runs at 96 DPI and once more in a prefix set to 144 (run-gui-tests.sh), which names the DPI
// it expects in QM_EXPECTED_DPI.

#include <cstdlib>
#include <string>
#include <vector>

#include "GuiSupport.h"
#include "app/Application.h"
#include "ui/Twips.h"
#include "ui/win32/MainWindow.h"
#include "ui/win32/MainWindowIds.h"
#include "ui/win32/WindowDpi.h"

namespace qm::ui::win32 {
namespace {

int ExpectedDpi() {
    const char* dpi = std::getenv("QM_EXPECTED_DPI");
    return dpi && *dpi ? std::atoi(dpi) : kDefaultDpi;
}

std::string Prefixed(const std::string& name) {
    return "dpi" + std::to_string(ExpectedDpi()) + "-" + name;
}

// The program's embedded manifest, as the system's loader reads it.
std::string EmbeddedManifest() {
    HMODULE program = ::LoadLibraryExA(QM_PROGRAM_PATH, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!program) return {};
    std::string text;
    if (HRSRC found = ::FindResourceA(program, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24))) {
        HGLOBAL loaded = ::LoadResource(program, found);
        const auto* bytes = static_cast<const char*>(::LockResource(loaded));
        if (bytes) text.assign(bytes, ::SizeofResource(program, found));
    }
    ::FreeLibrary(program);
    return text;
}

// The text of the element `name` whose namespace is `xmlns`; empty when there is none.
std::string ElementText(const std::string& xml, const std::string& name, const std::string& xmlns) {
    const std::string open = "<" + name + " xmlns=\"" + xmlns + "\">";
    const auto at = xml.find(open);
    if (at == std::string::npos) return {};
    const auto from = at + open.size();
    const auto to = xml.find("</" + name + ">", from);
    return to == std::string::npos ? std::string{} : xml.substr(from, to - from);
}

TEST(Manifest, TheProgramDeclaresPerMonitorAwarenessForEveryWindowsVersion) {
    const std::string manifest = EmbeddedManifest();
    ASSERT_FALSE(manifest.empty()) << "no manifest in " << QM_PROGRAM_PATH;
    EXPECT_EQ(ElementText(manifest, "dpiAwareness",
                          "http://schemas.microsoft.com/SMI/2016/WindowsSettings"),
              "PerMonitorV2, PerMonitor");
    EXPECT_EQ(
        ElementText(manifest, "dpiAware", "http://schemas.microsoft.com/SMI/2005/WindowsSettings"),
        "true/pm");
    EXPECT_NE(manifest.find("<windowsSettings>"), std::string::npos);
}

struct Placed {
    int id;
    RECT rect;
};

// What is wrong with the layout of the shown page: a visible control that reaches outside the
// window's client area, or two that cross without one holding the other (a group box or the
// tab strip holds the controls drawn on it).
std::vector<std::string> LayoutFaults(HWND dialog) {
    RECT client{};
    ::GetClientRect(dialog, &client);
    ::MapWindowPoints(dialog, nullptr, reinterpret_cast<POINT*>(&client), 2);
    std::vector<Placed> shown;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!::IsWindowVisible(child)) continue;
        Placed placed{::GetDlgCtrlID(child), {}};
        ::GetWindowRect(child, &placed.rect);
        shown.push_back(placed);
    }
    const auto holds = [](const RECT& outer, const RECT& inner) {
        return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
               inner.bottom <= outer.bottom;
    };
    const auto where = [](const RECT& r) {
        return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" +
               std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
    };
    std::vector<std::string> faults;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (!holds(client, shown[i].rect)) {
            faults.push_back("control " + std::to_string(shown[i].id) + " at " +
                             where(shown[i].rect) + " is cut off by " + where(client));
        }
        for (std::size_t j = i + 1; j < shown.size(); ++j) {
            RECT common{};
            if (::IntersectRect(&common, &shown[i].rect, &shown[j].rect) &&
                !holds(shown[i].rect, shown[j].rect) && !holds(shown[j].rect, shown[i].rect)) {
                faults.push_back("controls " + std::to_string(shown[i].id) + " and " +
                                 std::to_string(shown[j].id) + " overlap");
            }
        }
    }
    return faults;
}

// Shows the options page's tab `tab` as a click on it does.
void SelectTab(HWND window, int tab) {
    HWND tabs = ::GetDlgItem(window, IDC_TabStrip1);
    ::SendMessageA(tabs, TCM_SETCURSEL, static_cast<WPARAM>(tab), 0);
    NMHDR change{tabs, IDC_TabStrip1, TCN_SELCHANGE};
    ::SendMessageA(window, WM_NOTIFY, IDC_TabStrip1, reinterpret_cast<LPARAM>(&change));
}

TEST_F(GuiTest, EveryPageFitsItsControlsAtTheDesktopsDpi) {
    PutDefinitionSet(1);
    HWND w = StartProgram();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(WindowDpi(w), ExpectedDpi());
    for (const auto& [button, name] :
         {std::pair{IDC_cmdStatus, "home"}, {IDC_cmdScan, "scan"}, {IDC_cmdResults, "results"}}) {
        Click(w, button);
        EXPECT_EQ(LayoutFaults(w), std::vector<std::string>{}) << name;
        Screenshot(w, Prefixed(name));
    }
    Click(w, IDC_cmdSettings);
    const auto tabs =
        static_cast<int>(::SendDlgItemMessageA(w, IDC_TabStrip1, TCM_GETITEMCOUNT, 0, 0));
    EXPECT_GT(tabs, 1);
    for (int tab = 0; tab < tabs; ++tab) {
        SelectTab(w, tab);
        EXPECT_EQ(LayoutFaults(w), std::vector<std::string>{}) << "options tab " << tab;
        Screenshot(w, Prefixed("options-" + std::to_string(tab)));
    }
}

TEST_F(GuiTest, StoredColumnWidthsAreAsWideToTheEyeAtTheWindowsDpi) {
    SettingsRestorer restore{{"Settings", "FoundCol21"}, {"Settings", "FoundCol22"}};
    restore.Set("Settings", "FoundCol21", "2880");  // two inches
    restore.Set("Settings", "FoundCol22", "1000");
    PutDefinitionSet(1);
    HWND w = StartProgram();
    ASSERT_NE(w, nullptr);
    const int dpi = WindowDpi(w);
    EXPECT_EQ(ListView_GetColumnWidth(::GetDlgItem(w, IDC_lvwResults), 0), 2 * dpi);
    EXPECT_EQ(ListView_GetColumnWidth(::GetDlgItem(w, IDC_lvwResults), 1),
              TwipsToPixels(1000, dpi));
    // Closed, the window stores what it shows, in twips again.
    ::SendMessageA(w, WM_CLOSE, 0, 0);
    EXPECT_EQ(restore.Stored("Settings", "FoundCol21"), "2880");
    EXPECT_EQ(restore.Stored("Settings", "FoundCol22"),
              std::to_string(PixelsToTwips(TwipsToPixels(1000, dpi), dpi)));
}

TEST_F(GuiTest, TheTrayMenuAndItsBoldEntryAreSizedAtTheWindowsDpi) {
    SettingsRestorer restore{{"Settings", "Minimized"}};
    PutDefinitionSet(1);
    HWND w = StartProgram();
    ASSERT_NE(w, nullptr);
    Menu(w, IDM_mnuFileItem + 6);  // "Minimize to Tray"
    ::SendMessageA(w, MainWindow::kTrayMessage, 1, WM_LBUTTONDOWN);
    HWND menu = program->TrayMenuWindow();
    ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(menu) != FALSE; }));
    // It has risen to where it stops.
    RECT last{};
    ::GetWindowRect(menu, &last);
    EXPECT_TRUE(WaitFor([&] {
        RECT now{};
        ::GetWindowRect(menu, &now);
        const bool stopped = now.top == last.top;
        last = now;
        return stopped && !program->Application().Form().frmMenuPopUp.tmrMenuPopup.enabled;
    }));
    const int dpi = WindowDpi(menu);
    EXPECT_EQ(dpi, ExpectedDpi());
    RECT placed{};
    ::GetWindowRect(menu, &placed);
    EXPECT_EQ(placed.right - placed.left, TwipsToPixels(FrmMenuPopUp::kWidthTwips, dpi));
    EXPECT_EQ(placed.bottom - placed.top, TwipsToPixels(FrmMenuPopUp::kHeightTwips, dpi));
    EXPECT_EQ(LayoutFaults(menu), std::vector<std::string>{});
    HWND closeLabel = ::GetDlgItem(menu, IDC_lblMenuClose);
    ::SendMessageA(menu, WM_SETCURSOR, reinterpret_cast<WPARAM>(closeLabel),
                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    LOGFONTA bold{};
    ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(closeLabel, WM_GETFONT, 0, 0)), sizeof bold,
                 &bold);
    EXPECT_GE(bold.lfWeight, FW_BOLD);
    EXPECT_EQ(bold.lfHeight, FontHeightForPoints(8, dpi));
    Screenshot(menu, Prefixed("tray-menu"));
}

}  // namespace
}  // namespace qm::ui::win32
