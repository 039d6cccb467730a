// The control table, expanded from the control list, each row checked as it is compiled: its kind
// against the model's type, its ID against its page's range.

#include "ui/win32/MainWindowControls.h"

#include <algorithm>
#include <type_traits>

#include "ui/win32/MainWindowIds.h"

namespace qm::ui::win32 {

namespace {

// The kind a row may give a model of type T: the table cannot bind a check box as a label.
template <typename T>
constexpr bool KindFits(ControlKind kind) {
    if constexpr (std::is_same_v<T, Label>) return kind == ControlKind::Label;
    if constexpr (std::is_same_v<T, Button>) return kind == ControlKind::Button;
    if constexpr (std::is_same_v<T, CheckBox>) return kind == ControlKind::CheckBox;
    if constexpr (std::is_same_v<T, OptionButton>) return kind == ControlKind::OptionButton;
    if constexpr (std::is_same_v<T, ProgressBar>) return kind == ControlKind::ProgressBar;
    if constexpr (std::is_same_v<T, Frame>)
        return kind == ControlKind::Frame || kind == ControlKind::TabFrame;
    if constexpr (std::is_same_v<T, ComboBox>) return kind == ControlKind::ComboBox;
    if constexpr (std::is_same_v<T, DatePicker>) return kind == ControlKind::DatePicker;
    if constexpr (std::is_same_v<T, ListView>) return kind == ControlKind::ListView;
    if constexpr (std::is_same_v<T, TextBox>) return kind == ControlKind::TextBox;
    if constexpr (std::is_same_v<T, int>) return kind == ControlKind::TabStrip;
    return false;
}

// Each page's range of resource IDs, its frame, and for the options page's tabs the tab.
struct PageLayout {
    MainPage page;
    int first, last;
    Frame FrmMain::*frame;
    int tab;  // -1: the whole page
};

constexpr PageLayout kPages[] = {
    {MainPage::Home, IDC_HOME_PAGE_FIRST, IDC_HOME_PAGE_LAST, &FrmMain::frmStatus, -1},
    {MainPage::Scan, IDC_SCAN_PAGE_FIRST, IDC_SCAN_PAGE_LAST, &FrmMain::frmScan, -1},
    {MainPage::Results, IDC_RESULTS_PAGE_FIRST, IDC_RESULTS_PAGE_LAST, &FrmMain::frmResults, -1},
    {MainPage::Options, IDC_OPTIONS_PAGE_FIRST, IDC_SCAN_OPTIONS_TAB_FIRST - 1,
     &FrmMain::frmOptions, -1},
    {MainPage::ScanOptionsTab, IDC_SCAN_OPTIONS_TAB_FIRST, IDC_SCAN_OPTIONS_TAB_LAST,
     &FrmMain::frmOptions, 0},
    {MainPage::ProtectionTab, IDC_PROTECTION_TAB_FIRST, IDC_PROTECTION_TAB_LAST,
     &FrmMain::frmOptions, 1},
    {MainPage::ScheduleTab, IDC_SCHEDULE_TAB_FIRST, IDC_SCHEDULE_TAB_LAST, &FrmMain::frmOptions, 2},
    {MainPage::AutoUpdateTab, IDC_AUTO_UPDATE_TAB_FIRST, IDC_AUTO_UPDATE_TAB_LAST,
     &FrmMain::frmOptions, 3},
};

constexpr const PageLayout* LayoutOf(MainPage page) {
    for (const PageLayout& layout : kPages) {
        if (layout.page == page) return &layout;
    }
    return nullptr;  // MainPage::Window
}

// A control outside its page's range of IDs would be taken for another page's by whoever reads
// the resource; one outside every page shows whatever page is up.
constexpr bool InRangeOf(int id, MainPage page) {
    if (const PageLayout* layout = LayoutOf(page)) return id >= layout->first && id <= layout->last;
    return id < IDC_HOME_PAGE_FIRST || id > IDC_OPTIONS_PAGE_LAST;
}

#define QM_CONTROL(id, member, kind, page, caption)                                 \
    static_assert(KindFits<decltype(FrmMain::member)>(ControlKind::kind), #member); \
    static_assert(InRangeOf(id, MainPage::page), #member " lies outside its page");
#define QM_CONTROL_AT(id, member, index, kind, page, caption)                                   \
    static_assert(KindFits<decltype(FrmMain::member)::value_type>(ControlKind::kind), #member); \
    static_assert(InRangeOf(id, MainPage::page), #member " lies outside its page");
#include "ui/MainWindowControlList.h"
#undef QM_CONTROL
#undef QM_CONTROL_AT

#define QM_CONTROL(id, member, kind, page, caption)    \
    MainControl{id, ControlKind::kind, MainPage::page, \
                [](FrmMain& form) -> ControlModel { return &form.member; }},
#define QM_CONTROL_AT(id, member, index, kind, page, caption) \
    MainControl{id, ControlKind::kind, MainPage::page,        \
                [](FrmMain& form) -> ControlModel { return &form.member[index]; }},
constexpr MainControl kMainControls[] = {
#include "ui/MainWindowControlList.h"
};
#undef QM_CONTROL
#undef QM_CONTROL_AT

}  // namespace

std::span<const MainControl> MainWindowControls() {
    return kMainControls;
}

const MainControl* FindMainControl(int id) {
    const auto* row = std::find_if(std::begin(kMainControls), std::end(kMainControls),
                                   [id](const MainControl& c) { return c.id == id; });
    return row == std::end(kMainControls) ? nullptr : row;
}

bool ShownWithItsPage(const FrmMain& form, MainPage page) {
    const PageLayout* layout = LayoutOf(page);
    if (!layout) return true;
    if (!(form.*(layout->frame)).visible) return false;
    return layout->tab < 0 || form.frmView[static_cast<std::size_t>(layout->tab)].visible;
}

}  // namespace qm::ui::win32
