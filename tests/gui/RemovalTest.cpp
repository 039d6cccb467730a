// The results page under Wine: Repair Now with its "Delete Failed" window and the quarantine's
// viewer, and a false positive reported to the maker's server.

#include <string>

#include "GuiSupport.h"
#include "LoopbackServer.h"
#include "app/Application.h"
#include "platform/win32/Handle.h"
#include "ui/win32/InputBox.h"
#include "ui/win32/MainWindowIds.h"
#include "ui/win32/QuarantineWindow.h"

namespace qm::ui::win32 {
namespace {

// Answers "Really Delete?" with Yes once the box is open.
void CALLBACK AnswerReallyDelete(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND box = ::FindWindowA("#32770", "Really Delete?");
    if (!box) return;
    ::KillTimer(nullptr, timer);
    ::PostMessageA(box, WM_COMMAND, IDYES, 0);
}

std::string ClipboardText() {
    std::string text;
    if (!::OpenClipboard(nullptr)) return text;
    if (HANDLE data = ::GetClipboardData(CF_TEXT)) {
        if (const char* bytes = static_cast<const char*>(::GlobalLock(data))) {
            text = bytes;
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    return text;
}

// The whole removal as the user sees it: Select All, Repair Now, the confirmation, and the
// "Delete Failed" window for a file another program holds open, with its Copy List and Ok.
std::string g_restoreChoice;
std::string g_restoreMessage;
int g_quarantineItems = -1;

// The quarantine viewer, or the message box it shows under the same caption: the viewer is
// the one with the list.
HWND QuarantineWindowOf(bool viewer) {
    for (HWND w = ::FindWindowExA(nullptr, nullptr, "#32770", "Quillmarsh Quarantine"); w;
         w = ::FindWindowExA(nullptr, w, "#32770", "Quillmarsh Quarantine")) {
        if ((::GetDlgItem(w, kQuarantineListId) != nullptr) == viewer) return w;
    }
    return nullptr;
}

// Reads the restore's answer, closes its box and then the viewer.
void CALLBACK ReadRestoreAnswerAndClose(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND viewer = QuarantineWindowOf(true);
    HWND box = QuarantineWindowOf(false);
    if (!viewer || !box) return;
    ::KillTimer(nullptr, timer);
    char text[512] = {};
    ::GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // a message box's text
    g_restoreMessage = text;
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    ::PostMessageA(viewer, WM_COMMAND, kQuarantineCloseId, 0);
}

// Picks the item that names g_restoreChoice in the open viewer and restores it.
void CALLBACK RestoreFromTheViewer(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND viewer = QuarantineWindowOf(true);
    if (!viewer) return;
    ::KillTimer(nullptr, timer);
    g_quarantineItems =
        static_cast<int>(::SendDlgItemMessageA(viewer, kQuarantineListId, LB_GETCOUNT, 0, 0));
    const LRESULT found =
        ::SendDlgItemMessageA(viewer, kQuarantineListId, LB_FINDSTRING, static_cast<WPARAM>(-1),
                              reinterpret_cast<LPARAM>(g_restoreChoice.c_str()));
    if (found == LB_ERR) {
        ::PostMessageA(viewer, WM_COMMAND, kQuarantineCloseId, 0);
        return;
    }
    ::SendDlgItemMessageA(viewer, kQuarantineListId, LB_SETCURSEL, static_cast<WPARAM>(found), 0);
    ::SetTimer(nullptr, 0, 20, ReadRestoreAnswerAndClose);
    ::PostMessageA(viewer, WM_COMMAND, kQuarantineRestoreId, 0);
}

TEST_F(GuiTest, RepairNowRemovesTheTickedThreatsAndListsTheOneHeldOpen) {
    wintest::TempFolder place;
    const std::string free = place / "qmgui-free.exe";
    const std::string held = place / "qmgui-held.dll";
    wintest::PutFile(free, "MZ free");
    wintest::PutFile(held, "MZ held");
    wintest::PutFile(data / "FileDefinition.dat",
                     Scrambled({"qmgui-free.exe=Gui Free|" + place.path() + "|Adware",
                                "qmgui-held.dll=Gui Held|" + place.path() + "|Adware"}));
    for (const char* name : {"DirectoryDefinition.dat", "RegistryDefinition.dat",
                             "ExeDefinition.dat", "BlockedCookies.dat"}) {
        wintest::PutFile(data / name, "");
    }
    // Readable, so it can be backed up, but not deletable while this handle is open.
    platform::win32::UniqueFile holder(::CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                                     nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder);
    HWND w = StartProgram();
    ASSERT_NE(w, nullptr);
    Click(w, IDC_cmdScan);
    Click(w, IDC_optScan0);
    Click(w, IDC_cmdScanNow);
    Click(w, IDC_cmdResults);
    ASSERT_EQ(RowCount(w, IDC_lvwResults), 2);
    Click(w, IDC_cmdSelectAll);
    ::SetTimer(nullptr, 0, 20, AnswerReallyDelete);
    Click(w, IDC_Command4);  // returns when the removal has ended

    EXPECT_EQ(::GetFileAttributesA(free.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(::GetFileAttributesA(held.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(RowCount(w, IDC_lvwResults), 1);
    EXPECT_NE(::GetFileAttributesA((data / "quarantine\\qmgui-free.exe").c_str()),
              INVALID_FILE_ATTRIBUTES);
    HWND failed = program->DeleteFailedWindow();
    ASSERT_NE(failed, nullptr);
    ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(failed) != FALSE; }));
    EXPECT_EQ(RowCount(failed, IDC_lstProblem), 1);
    char cell[512] = {};
    ListView_GetItemText(::GetDlgItem(failed, IDC_lstProblem), 0, 0, cell, sizeof cell);
    EXPECT_EQ(std::string(cell), held);
    // Its backup is safe, so Windows deletes it at the next start, and the list says so.
    ListView_GetItemText(::GetDlgItem(failed, IDC_lstProblem), 0, 1, cell, sizeof cell);
    EXPECT_EQ(std::string(cell), "deleted at restart");
    Screenshot(failed, "delete-failed");

    Click(failed, IDC_cmdCopyList);
    // Windows refuses clipboard data from an exchange that no window owns; Wine does not.
    EXPECT_NE(::GetClipboardOwner(), nullptr);
    EXPECT_EQ(ClipboardText(), held + "\r\n");
    Click(failed, IDC_cmdDeleteOk);
    EXPECT_FALSE(::IsWindowVisible(failed));

    // The quarantine's viewer lists both copies and puts the removed file back.
    g_restoreChoice = "File  " + free;
    ::SetTimer(nullptr, 0, 20, RestoreFromTheViewer);
    Menu(w, IDM_mnuQuarItem + 0);  // "View Quarantine": returns when the viewer is closed
    EXPECT_EQ(g_quarantineItems, 2);
    EXPECT_EQ(wintest::FileContent(free), "MZ free") << g_restoreMessage;
    EXPECT_EQ(g_restoreMessage, "Restored " + free + ".");
    holder.reset();
    ::DeleteFileA(held.c_str());
}

// Answers the false-positive report's boxes as its user does: OK to the locations, the details
// typed into the input box, then No to excluding them.
int g_falsePositiveStep = 0;
void CALLBACK AnswerFalsePositive(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND box = ::GetForegroundWindow();
    if (!box) return;
    if (g_falsePositiveStep == 0 && ::GetDlgItem(box, IDOK) && ::GetDlgItem(box, IDCANCEL) &&
        !::GetDlgItem(box, kInputTextId)) {
        ::PostMessageA(box, WM_COMMAND, IDOK, 0);
        g_falsePositiveStep = 1;
    } else if (g_falsePositiveStep == 1 && ::GetDlgItem(box, kInputTextId)) {
        ::SetDlgItemTextA(box, kInputTextId, "mine # 1 & only");
        ::PostMessageA(box, WM_COMMAND, IDOK, 0);
        g_falsePositiveStep = 2;
    } else if (g_falsePositiveStep == 2 && ::GetDlgItem(box, IDNO)) {
        ::PostMessageA(box, WM_COMMAND, IDNO, 0);
        g_falsePositiveStep = 3;
        ::KillTimer(nullptr, timer);
    }
}

TEST_F(GuiTest, AFalsePositiveFromTheResultsPageReachesTheServerWhole) {
    PutDefinitionSet(1);
    wintest::LoopbackServer server([&](const std::string&) { return wintest::OkAnswer("OK"); });
    SettingsRestorer settings({{"OptionAndSettings", "UpdateServer"}});
    settings.Set("OptionAndSettings", "UpdateServer", server.Url(""));
    HWND w = StartProgram();
    ASSERT_NE(w, nullptr);
    ListItem& row =
        program->Application().Form().lvwPicRemoveListOfSpywareFoundAndToBeRemoved.Add("a.exe");
    row.SetSubItem(1, "C:\\A b\\a.exe");
    row.checked = true;
    Click(w, IDC_cmdResults);
    g_falsePositiveStep = 0;
    ::SetTimer(nullptr, 0, 20, AnswerFalsePositive);
    Click(w, IDC_cmdFalsePos);  // returns when the report is done
    EXPECT_EQ(g_falsePositiveStep, 3);
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_NE(requests[0].find("/asp/submitFP.asp?files=C%3A%5CA%20b%5Ca.exe%7C&details="
                               "mine%20%23%201%20%26%20only "),
              std::string::npos)
        << requests[0];

    // Enter in the file-name box reaches the default button, Start: it submits the name.
    HWND box = ::GetDlgItem(w, IDC_txtFilename);
    ::SetWindowTextA(box, "tool.exe");
    ::SetFocus(box);
    Click(w, IDC_cmdScanNow);
    ASSERT_EQ(server.Requests().size(), 2u) << "no scan, one submission";
    EXPECT_NE(server.Requests()[1].find("/asp/getData.asp?data="), std::string::npos);
    EXPECT_EQ(Text(w, IDC_txtFilename), "") << "the box is cleared";
}

}  // namespace
}  // namespace qm::ui::win32
