// The main window's pages under Wine: the page buttons and the options page's tabs, the
// schedule, options stored as they are clicked, and a change of language. Each test starts the
// program on a throw-away data folder; waits poll with time-outs.

#include <string>

#include "GuiSupport.h"
#include "ui/win32/MainWindowIds.h"

namespace qm::ui::win32 {
namespace {

TEST_F(GuiTest, PagesShowTheirCaptionsAndThePageButtonsSwitchThem) {
    PutDefinitionSet(3);
    HWND w = StartProgram();
    ASSERT_NE(w, nullptr);
    char title[256] = {};
    ::GetWindowTextA(w, title, sizeof title);
    EXPECT_STREQ(title, "Quillmarsh by Quillmarsh Software");
    EXPECT_EQ(Text(w, IDC_frmStatus), "Quillmarsh Status");
    EXPECT_EQ(Text(w, IDC_lblDefCount), "7");
    EXPECT_EQ(Text(w, IDC_lblVersion), "1.0");
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(w, IDC_lblDefCount)));
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(w, IDC_cmdScanNow)));
    Screenshot(w, "home");

    // A scan shortcut on the Home page shows the scan page with its kind chosen, and starts
    // nothing.
    Click(w, IDC_Home_Command7);
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(w, IDC_cmdScanNow)));
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(w, IDC_lblDefCount)));
    EXPECT_EQ(::IsDlgButtonChecked(w, IDC_optScan3), BST_CHECKED);
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(w, IDC_cmdScanNow))) << "no scan started";
    Click(w, IDC_cmdStatus);
    Click(w, IDC_cmdScan);
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(w, IDC_cmdScanNow)));
    EXPECT_EQ(Text(w, IDC_optScan1), "Full System Scan");

    Click(w, IDC_cmdSettings);
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(w, IDC_chkMakeLog)));
    // The Settings menu's "Schedule" shows the options page on its third tab.
    ::SendMessageA(w, WM_COMMAND, MAKEWPARAM(IDM_mnuSettingsItem + 2, 0), 0);
    EXPECT_EQ(::SendDlgItemMessageA(w, IDC_TabStrip1, TCM_GETCURSEL, 0, 0), 2);
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(w, IDC_frmView2)));
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(w, IDC_chkMakeLog)));
}

// Answers the program's open message box with OK, noting its text.
std::string g_boxText;
void CALLBACK AnswerOk(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND box = ::FindWindowA("#32770", "Quillmarsh");
    if (!box || !::GetDlgItem(box, 0xFFFF)) return;
    ::KillTimer(nullptr, timer);
    g_boxText = Text(box, 0xFFFF);
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
}

// A pick in a date or time picker: the control changed, and the change reported to the window.
void PickDate(HWND window, int id, WORD year, WORD month, WORD day, WORD hour, WORD minute) {
    SYSTEMTIME picked{year, month, 0, day, hour, minute, 0, 0};
    ::SendDlgItemMessageA(window, id, DTM_SETSYSTEMTIME, GDT_VALID,
                          reinterpret_cast<LPARAM>(&picked));
    NMDATETIMECHANGE change{};
    change.nmhdr.hwndFrom = ::GetDlgItem(window, id);
    change.nmhdr.idFrom = static_cast<UINT_PTR>(id);
    change.nmhdr.code = DTN_DATETIMECHANGE;
    change.dwFlags = GDT_VALID;
    change.st = picked;
    ::SendMessageA(window, WM_NOTIFY, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&change));
}

TEST_F(GuiTest, TheScheduleTabStoresOnlyOnApplyAndResetTurnsItOff) {
    SettingsRestorer restore{{"OptionAndSettings", "chkAutomaticScanYesOrNo"},
                             {"OptionAndSettings", "Day"},
                             {"OptionAndSettings", "Date"},
                             {"OptionAndSettings", "Time"}};
    restore.Set("OptionAndSettings", "Day", "None");
    restore.Set("OptionAndSettings", "chkAutomaticScanYesOrNo", "0");
    PutDefinitionSet(1);
    HWND w = StartProgram();
    Menu(w, IDM_mnuSettingsItem + 2);  // "Schedule"
    EXPECT_EQ(::SendDlgItemMessageA(w, IDC_cmbDays, CB_GETCURSEL, 0, 0), 7) << "Daily";
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(w, IDC_cmbDays)));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(w, IDC_CmdProceed)));

    Click(w, IDC_chkAutomaticScanYesOrNo);
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(w, IDC_cmbDays)));
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(w, IDC_dtpScheduleTime)));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(w, IDC_dtpScheduleDate)));
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(w, IDC_CmdProceed)));
    ::SendDlgItemMessageA(w, IDC_cmbDays, CB_SETCURSEL, 8, 0);  // "Date & Time"
    ::SendMessageA(w, WM_COMMAND, MAKEWPARAM(IDC_cmbDays, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(::GetDlgItem(w, IDC_cmbDays)));
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(w, IDC_dtpScheduleDate)));
    EXPECT_EQ(restore.Stored("OptionAndSettings", "Day"), "None") << "nothing stored yet";

    g_boxText.clear();
    ::SetTimer(nullptr, 0, 20, AnswerOk);
    Click(w, IDC_CmdProceed);
    EXPECT_EQ(g_boxText, "Please select the date that you want to scan.");
    EXPECT_EQ(restore.Stored("OptionAndSettings", "Day"), "None");

    PickDate(w, IDC_dtpScheduleDate, 2026, 12, 24, 0, 0);
    PickDate(w, IDC_dtpScheduleTime, 2026, 12, 9, 18, 15);
    Screenshot(w, "options-schedule");
    Click(w, IDC_CmdProceed);
    EXPECT_EQ(restore.Stored("OptionAndSettings", "Day"), "8");
    EXPECT_EQ(restore.Stored("OptionAndSettings", "Date"), "12/24/2026");
    EXPECT_EQ(restore.Stored("OptionAndSettings", "Time"), "6:15:00 PM");
    EXPECT_EQ(restore.Stored("OptionAndSettings", "chkAutomaticScanYesOrNo"), "1");
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(w, IDC_CmdProceed)));

    // The next start shows the stored schedule.
    program.reset();
    w = StartProgram();
    Menu(w, IDM_mnuSettingsItem + 2);
    EXPECT_TRUE(Checked(w, IDC_chkAutomaticScanYesOrNo));
    EXPECT_EQ(::SendDlgItemMessageA(w, IDC_cmbDays, CB_GETCURSEL, 0, 0), 8);
    SYSTEMTIME shown{};
    EXPECT_EQ(::SendDlgItemMessageA(w, IDC_dtpScheduleDate, DTM_GETSYSTEMTIME, 0,
                                    reinterpret_cast<LPARAM>(&shown)),
              GDT_VALID);
    EXPECT_EQ(shown.wDay, 24);

    Click(w, IDC_cmdDefaultSetting);
    EXPECT_EQ(restore.Stored("OptionAndSettings", "chkAutomaticScanYesOrNo"), "0");
    EXPECT_FALSE(Checked(w, IDC_chkAutomaticScanYesOrNo));
}

TEST_F(GuiTest, OptionsAreStoredWhenClickedAndComeBackAtTheNextStart) {
    SettingsRestorer restore{{"OptionAndSettings", "chkScanCookies"},
                             {"OptionAndSettings", "optMemorySheildOn"},
                             {"OptionAndSettings", "optMemorySheildOff"},
                             {"Drives", "C"}};
    PutDefinitionSet(1);
    HWND w = StartProgram();
    Click(w, IDC_cmdSettings);
    ASSERT_TRUE(Checked(w, IDC_chkScanCookies));
    EXPECT_TRUE(Checked(w, IDC_optScanOnlyKnownSoftwares));
    EXPECT_EQ(Text(w, IDC_lblRunAtStart), "(Disabled - Run Manually)");
    Click(w, IDC_chkScanCookies);
    EXPECT_FALSE(Checked(w, IDC_chkScanCookies));
    EXPECT_EQ(restore.Stored("OptionAndSettings", "chkScanCookies"), "0");

    // The drive list holds C:, ticked; clearing the tick stores it.
    HWND drives = ::GetDlgItem(w, IDC_lvwHardDrives);
    ASSERT_GE(ListView_GetItemCount(drives), 1);
    EXPECT_TRUE(ListView_GetCheckState(drives, 0));
    ListView_SetCheckState(drives, 0, FALSE);
    EXPECT_EQ(restore.Stored("Drives", "C"), "False");
    Screenshot(w, "options-scan");

    Menu(w, IDM_mnuSettingsItem + 1);  // "Proactive Protection"
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(w, IDC_optMemorySheildOff)));
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(w, IDC_chkScanCookies)));
    Click(w, IDC_optMemorySheildOff);
    EXPECT_TRUE(Checked(w, IDC_optMemorySheildOff));
    EXPECT_FALSE(Checked(w, IDC_optMemorySheildOn));
    EXPECT_EQ(restore.Stored("OptionAndSettings", "optMemorySheildOn"), "False");
    EXPECT_EQ(restore.Stored("OptionAndSettings", "optMemorySheildOff"), "True");
    Screenshot(w, "options-proactive-protection");

    program.reset();
    w = StartProgram();
    EXPECT_FALSE(Checked(w, IDC_chkScanCookies));
    EXPECT_TRUE(Checked(w, IDC_optMemorySheildOff));
    EXPECT_FALSE(Checked(w, IDC_chkAutoProtect));
    EXPECT_FALSE(ListView_GetCheckState(::GetDlgItem(w, IDC_lvwHardDrives), 0));
}

TEST_F(GuiTest, ChangeLanguageTranslatesTheWindowsCaptionsMenusAndTabs) {
    PutDefinitionSet(1);
    SettingsRestorer language{{"Settings", "Language"}};
    // The translation file beside the program, as the installer would put it.
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string file = self;
    file = file.substr(0, file.find_last_of('\\') + 1) + "Localization.txt";
    wintest::PutFile(
        file,
        "\xEF\xBB\xBF<LANGUAGE_GROUP><LANGUAGE_NAME>Deutsch</LANGUAGE_NAME>"
        "<TRANSLATION_ITEMS>\r\n"
        "\t\t<FRMMAIN_CMDSCAN>Pr\xC3\xBC"
        "fen</FRMMAIN_CMDSCAN>\r\n"
        "\t\t<FRMMAIN_MNUFILEITEM8>Beenden</FRMMAIN_MNUFILEITEM8>\r\n"
        "\t\t<FRMMAIN_TABSTRIP1_TABS3>Zeitplan</FRMMAIN_TABSTRIP1_TABS3>\r\n"
        "\t\t<FRMMAIN_LVWSPYWAREFOUND_COL1>Name (de)</FRMMAIN_LVWSPYWAREFOUND_COL1>\r\n"
        "\t\t<FRMLANGUAGE_COMMAND2>Fertig</FRMLANGUAGE_COMMAND2>\r\n"
        "</TRANSLATION_ITEMS></LANGUAGE_GROUP>\r\n");
    HWND w = StartProgram();
    ASSERT_NE(w, nullptr);
    Menu(w, IDM_mnuLanguageItem + 0);
    HWND window = program->LanguageWindow();
    ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(window) != FALSE; }));
    char title[128] = {};
    ::GetWindowTextA(window, title, sizeof title);
    EXPECT_STREQ(title, "Choose Language");
    HWND list = ::GetDlgItem(window, IDC_Combo1);
    ASSERT_EQ(::SendMessageA(list, CB_GETCOUNT, 0, 0), 3) << "the prompt, English, Deutsch";
    ::SendMessageA(list, CB_SETCURSEL, 2, 0);
    ::SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_Combo1, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(list));
    EXPECT_EQ(Text(w, IDC_cmdScan),
              "Pr\xFC"
              "fen");
    char entry[64] = {};
    ::GetMenuStringA(::GetMenu(w), IDM_mnuFileItem + 8, entry, sizeof entry, MF_BYCOMMAND);
    EXPECT_STREQ(entry, "Beenden");
    char tab[64] = {};
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = tab;
    item.cchTextMax = sizeof tab;
    ::SendDlgItemMessageA(w, IDC_TabStrip1, TCM_GETITEMA, 2, reinterpret_cast<LPARAM>(&item));
    EXPECT_STREQ(tab, "Zeitplan");
    char column[64] = {};
    LVCOLUMNA header{};
    header.mask = LVCF_TEXT;
    header.pszText = column;
    header.cchTextMax = sizeof column;
    ::SendDlgItemMessageA(w, IDC_lvwSpywareFound, LVM_GETCOLUMNA, 0,
                          reinterpret_cast<LPARAM>(&header));
    EXPECT_STREQ(column, "Name (de)");
    EXPECT_EQ(Text(window, IDC_Command2), "Fertig") << "the language window itself";
    EXPECT_EQ(language.Stored("Settings", "Language"), "Deutsch");
    Click(window, IDC_Command2);
    EXPECT_FALSE(::IsWindowVisible(window));
    ::DeleteFileA(file.c_str());
}

}  // namespace
}  // namespace qm::ui::win32
