#pragma once
// The main window's control table: every control of the FrmMain model with its resource ID,
// its kind and the page it shows with, read from the one control list
// (ui/MainWindowControlList.h). Sync draws the controls from it and the command routing finds
// the check boxes and option buttons in it.

#include <span>
#include <variant>

#include "ui/FrmMain.h"

namespace qm::ui::win32 {

enum class ControlKind {
    Label,
    Button,
    CheckBox,
    OptionButton,
    ProgressBar,
    Frame,
    ComboBox,
    DatePicker,
    ListView,
    TextBox,
    TabStrip,  // the model is the selected tab, 1 to 4
    TabFrame,  // an options tab's frame that only shows and hides; the tab strip shows its caption
};

// Where a control shows: always (`Window`), with a page, or with a tab of the options page too.
enum class MainPage {
    Window,
    Home,
    Scan,
    Results,
    Options,
    ScanOptionsTab,
    ProtectionTab,
    ScheduleTab,
    AutoUpdateTab,
};

using ControlModel = std::variant<Label*, Button*, CheckBox*, OptionButton*, ProgressBar*, Frame*,
                                  ComboBox*, DatePicker*, ListView*, TextBox*, int*>;

struct MainControl {
    int id;
    ControlKind kind;
    MainPage page;
    ControlModel (*model)(FrmMain& form);
};

// The table, in the control list's order.
std::span<const MainControl> MainWindowControls();
// The row of a control, or null for an ID that is no control of the table (a menu entry).
const MainControl* FindMainControl(int id);
// False when the control's page, or its tab of the options page, is not showing.
bool ShownWithItsPage(const FrmMain& form, MainPage page);

}  // namespace qm::ui::win32
