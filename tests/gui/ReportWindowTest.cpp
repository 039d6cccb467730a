// The report viewer under Wine: it opens modal over its owner with the program's caption and the
// folded report in its text box, and its OK button closes it. A thread timer reads the open
// viewer, as the window tests answer message boxes.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <type_traits>

#include "Screenshot.h"
#include "TempFolder.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/WinApi.h"
#include "report/ScanReport.h"
#include "ui/FrmMain.h"
#include "ui/win32/ReportWindow.h"

namespace qm::ui::win32 {
namespace {

constexpr const char* kCaption = "Quillmarsh Log";

// What the timer found while the viewer was open.
struct Seen {
    bool open = false;
    bool ownedByOwner = false;
    bool ownerDisabled = false;
    bool readOnly = false;
    std::string text;
};

HWND g_owner = nullptr;
Seen g_seen;
std::chrono::steady_clock::time_point g_deadline;

// Reads the viewer once it is up and clicks OK. Should it never come up under the expected
// caption, whatever the owner has open is cancelled, so the test fails instead of waiting.
void CALLBACK ReadViewerAndClickOk(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND viewer = ::FindWindowA("#32770", kCaption);
    if (!viewer || !::IsWindowVisible(viewer)) {
        if (std::chrono::steady_clock::now() < g_deadline) return;
        ::KillTimer(nullptr, timer);
        HWND open = ::GetLastActivePopup(g_owner);
        if (open != g_owner) ::PostMessageA(open, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    ::KillTimer(nullptr, timer);
    HWND box = ::GetDlgItem(viewer, kReportTextId);
    g_seen.open = true;
    g_seen.ownedByOwner = ::GetWindow(viewer, GW_OWNER) == g_owner;
    g_seen.ownerDisabled = !::IsWindowEnabled(g_owner);
    g_seen.readOnly = (::GetWindowLongA(box, GWL_STYLE) & ES_READONLY) != 0;
    g_seen.text.resize(static_cast<std::size_t>(::GetWindowTextLengthA(box)) + 1);
    g_seen.text.resize(static_cast<std::size_t>(
        ::GetWindowTextA(box, g_seen.text.data(), static_cast<int>(g_seen.text.size()))));
    const char* shots = std::getenv("QM_SCREENSHOT_DIR");
    if (shots && *shots) SaveWindowBitmap(viewer, std::string(shots) + "\\report-viewer.bmp");
    ::PostMessageA(::GetDlgItem(viewer, kReportOkId), BM_CLICK, 0, 0);
}

TEST(ReportWindowTest, TheViewerShowsTheFoldedReportModallyAndOkClosesIt) {
    // A report of a few hundred rows, written and read back as the program does it.
    wintest::TempFolder data;
    platform::win32::Win32FileSystem files;
    ListView results;
    for (int i = 0; i < 300; ++i) {
        ListItem& row = results.Add("Threat " + std::to_string(i), detection::kRegistry);
        row.SetSubItem(1, "HKEY_CURRENT_USER\\Software\\Threat " + std::to_string(i));
        row.SetSubItem(3, "Medium");
        row.SetSubItem(4, "Changes the browser's settings");
    }
    ASSERT_TRUE(report::MakeReport(
        files, data.path(),
        report::ReportInputs{"start", "finish", "1", "2", "3", results, "Quillmarsh", 1, 0}));
    const std::string shown = report::ViewerText(files, report::ReportPath(data.path()));
    ASSERT_GT(shown.size(), 40000u);

    // A plain top-level window stands in for the main window.
    const std::unique_ptr<std::remove_pointer_t<HWND>, decltype(&::DestroyWindow)> owner(
        ::CreateWindowExA(0, "STATIC", "Report owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                          400, 300, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr),
        &::DestroyWindow);
    ASSERT_NE(owner.get(), nullptr);
    g_owner = owner.get();
    g_seen = Seen{};
    g_deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    ::SetTimer(nullptr, 0, 20, ReadViewerAndClickOk);
    ShowReportWindow(::GetModuleHandleA(nullptr), owner.get(), kCaption, shown);

    EXPECT_TRUE(g_seen.open) << "no viewer captioned \"" << kCaption << "\"";
    EXPECT_TRUE(g_seen.ownedByOwner);
    EXPECT_TRUE(g_seen.ownerDisabled) << "modal: the owner takes no input";
    EXPECT_TRUE(g_seen.readOnly);
    EXPECT_EQ(g_seen.text, shown);
    EXPECT_TRUE(::IsWindowEnabled(owner.get())) << "the owner is usable again";
    EXPECT_EQ(::FindWindowA("#32770", kCaption), nullptr) << "OK closed the viewer";
}

}  // namespace
}  // namespace qm::ui::win32
