// The main window drawn straight from a model, without a program around it: list rows, column
// clicks, and the labels, buttons and bars of the control table.

#include <string>
#include <vector>

#include "GuiSupport.h"
#include "ui/win32/MainWindow.h"
#include "ui/win32/MainWindowIds.h"

namespace qm::ui::win32 {
namespace {

// The window drawn straight from a model, without a program around it.
class MainWindowTest : public ::testing::Test {
  protected:
    // Records the two commands these tests look at; the others do nothing.
    struct RecordingCommands final : MainWindowCommands {
        std::vector<std::string> changed;
        std::vector<int> clickedColumns;
        void ResultCheckChanged(ListItem& row) override { changed.push_back(row.text); }
        void LiveListColumnClicked(int column) override { clickedColumns.push_back(column); }
        void StartScan() override {}
        void PauseScan() override {}
        void StopScan(bool) override {}
        void SelectAll() override {}
        void Exclude() override {}
        void ViewExclusions() override {}
        void ViewQuarantine() override {}
        void RepairNow() override {}
        void RemoveSelected() override {}
        void DeleteFailedOk() override {}
        void CopyProblemList() override {}
        void ViewReport() override {}
        void RunLiveUpdate() override {}
        void ShowAddressList() override {}
        void CloseDownloadWindow() override {}
        void NoticeOk() override {}
        void AlertStop() override {}
        void AlertAllow() override {}
        void ApplySchedule() override {}
        void ResetSchedule() override {}
        void ScheduleDaysChanged() override {}
        void SchedulePickerChanged() override {}
        void CheckBoxClicked(CheckBox&) override {}
        void OptionClicked(OptionButton&) override {}
        void SendDataReleased() override {}
        void DriveCheckChanged() override {}
        void ShowOptionsTab(int) override {}
        bool TimerTick(Timer&) override { return false; }
        bool CanClose() const override { return true; }
        void Closing() override {}
        void LaunchAntiHijack() override {}
        void MinimizeToTray() override {}
        void TrayIconMouse(int) override {}
        void ShowProgram() override {}
        void CloseTrayMenu() override {}
        void ExitFromTrayMenu() override {}
        void CloseWhenIdle() override {}
        void TrayMenuPointerMoved() override {}
        void ViewHelp() override {}
        void ShowAbout() override {}
        void CloseAbout() override {}
        bool ConfirmExitFromTrayMenu() override { return false; }
        void WindowResized(bool) override {}
        void OpenWebsite() override {}
        void ShowLanguageWindow() override {}
        void LanguageChosen(int) override {}
        void CheckLanguageUpdates() override {}
        void TranslateProgram() override {}
        void CloseLanguageWindow() override {}
        void ReportFalsePositive() override {}
        void BrowseForSubmission() override {}
        void SubmitFilename() override {}
        void ShowResultsPage() override {}
    };

    void SetUp() override {
        window = std::make_unique<MainWindow>(::GetModuleHandleA(nullptr), model, commands);
        ASSERT_TRUE(window->Create());
        window->Show(SW_SHOW);
    }

    std::string CellText(int id, int row, int column) {
        char buffer[512] = {};
        LVITEMA item{};
        item.iSubItem = column;
        item.pszText = buffer;
        item.cchTextMax = sizeof buffer;
        ::SendDlgItemMessageA(window->Handle(), id, LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
                              reinterpret_cast<LPARAM>(&item));
        return buffer;
    }

    FrmMain model;
    RecordingCommands commands;
    std::vector<std::string>& changed = commands.changed;
    std::vector<int>& clickedColumns = commands.clickedColumns;
    std::unique_ptr<MainWindow> window;
};

TEST_F(MainWindowTest, ListRowsFollowTheModelAndUserTicksReachIt) {
    HWND w = window->Handle();
    auto& results = model.lvwPicRemoveListOfSpywareFoundAndToBeRemoved;
    auto& first = results.Add("Demo AdBar", detection::kFile);
    first.subItems = {"c:\\program files\\demo adbar\\adbar.exe", "Adware", "Medium/High",
                      "Adware displays ads on your computer and can compromise your security."};
    results.Add("tracker", detection::kCookie).subItems = {"c:\\cookies\\t.txt", "Tracking Cookie"};
    model.ShowPage(model.frmResults);
    window->Sync();

    HWND list = ::GetDlgItem(w, IDC_lvwResults);
    ASSERT_EQ(ListView_GetItemCount(list), 2);
    EXPECT_EQ(CellText(IDC_lvwResults, 0, 0), "Demo AdBar");
    EXPECT_EQ(CellText(IDC_lvwResults, 0, 1), "c:\\program files\\demo adbar\\adbar.exe");
    EXPECT_EQ(CellText(IDC_lvwResults, 0, 3), "Medium/High");
    EXPECT_EQ(CellText(IDC_lvwResults, 1, 2), "Tracking Cookie");

    // A tick in the list (the control reports it as the user's click does) reaches the model.
    ListView_SetCheckState(list, 1, TRUE);
    EXPECT_TRUE(results.rows[1].checked);
    EXPECT_FALSE(results.rows[0].checked);
    EXPECT_EQ(changed, std::vector<std::string>{"tracker"});

    // Marks set by the program (Select All) show in the list without counting as a click.
    results.rows[0].checked = true;
    window->Sync();
    EXPECT_NE(ListView_GetCheckState(list, 0), 0u);
    EXPECT_EQ(changed.size(), 1u);

    // Rows changed in place (risk filled in at the end of a scan) are redrawn.
    results.rows[1].SetSubItem(3, "Low");
    window->Sync();
    EXPECT_EQ(CellText(IDC_lvwResults, 1, 3), "Low");
    EXPECT_EQ(ListView_GetItemCount(list), 2);
}

TEST_F(MainWindowTest, ColumnHeaderClickOnTheLiveListReachesItsHandler) {
    HWND w = window->Handle();
    model.lvwSpywareFound.Add("b", detection::kFile).SetSubItem(1, "c:\\b");
    model.lvwSpywareFound.Add("a", detection::kFile).SetSubItem(1, "c:\\a");
    model.ShowPage(model.frmScan);
    window->Sync();
    NMLISTVIEW click{};
    click.hdr.hwndFrom = ::GetDlgItem(w, IDC_lvwSpywareFound);
    click.hdr.idFrom = IDC_lvwSpywareFound;
    click.hdr.code = LVN_COLUMNCLICK;
    click.iItem = -1;
    click.iSubItem = 1;
    ::SendMessageA(w, WM_NOTIFY, IDC_lvwSpywareFound, reinterpret_cast<LPARAM>(&click));
    EXPECT_EQ(clickedColumns, std::vector<int>{2});
}

TEST_F(MainWindowTest, LabelsButtonsAndBarsShowTheirModel) {
    HWND w = window->Handle();
    model.ShowPage(model.frmScan);
    model.lblStatus.caption = "Scanning registry: ";
    model.pb1.Set(40);
    model.cmdStop.enabled = true;
    model.SelectScanKind(ScanKind::Folder);
    window->Sync();
    EXPECT_EQ(Text(w, IDC_lblStatus), "Scanning registry: ");
    EXPECT_EQ(ProgressOf(w, IDC_pb1), 40);
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(w, IDC_cmdStop)));
    EXPECT_EQ(::SendDlgItemMessageA(w, IDC_optScan3, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(::SendDlgItemMessageA(w, IDC_optScan0, BM_GETCHECK, 0, 0), BST_UNCHECKED);

    // A click on an option reaches the model.
    Click(w, IDC_optScan1);
    EXPECT_EQ(model.SelectedScanKind(), ScanKind::FullSystem);
}

}  // namespace
}  // namespace qm::ui::win32
