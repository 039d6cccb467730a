// The main window drawn from its model: the controls of the control table, the captions a
// translation changes, the schedule's pickers, and the small windows it owns.

#include "ui/win32/MainWindow.h"

#include <cmath>
#include <span>
#include <type_traits>
#include <variant>

#include "ui/win32/ControlUpdates.h"
#include "ui/win32/MainWindowIds.h"

namespace qm::ui::win32 {

namespace {

// Copies `model` into `applied` when the two differ; true when they did. Sync runs many times
// a second, and an unchanged caption must cost no more than the comparison.
bool TakeIfChanged(std::span<const std::string> model, std::vector<std::string>& applied) {
    if (std::equal(model.begin(), model.end(), applied.begin(), applied.end())) return false;
    applied.assign(model.begin(), model.end());
    return true;
}

}  // namespace

void MainWindow::Sync() {
    if (!hwnd_) return;
    syncing_ = true;
    FrmMain& m = model_;
    if (!m.caption.empty() && m.caption != appliedCaption_) {
        SetText(hwnd_, m.caption);
        appliedCaption_ = m.caption;
    }
    SyncBoundControls();
    SyncColumnWidths();
    HWND tabs = ::GetDlgItem(hwnd_, IDC_TabStrip1);
    if (::SendMessageA(tabs, TCM_GETCURSEL, 0, 0) != m.TabStrip1 - 1) {
        ::SendMessageA(tabs, TCM_SETCURSEL, static_cast<WPARAM>(m.TabStrip1 - 1), 0);
    }
    timers_.Apply(hwnd_);
    SyncList(IDC_lvwSpywareFound, m.lvwSpywareFound);
    SyncList(IDC_lvwResults, m.lvwPicRemoveListOfSpywareFoundAndToBeRemoved);
    SyncList(IDC_lvwHardDrives, m.lvwHardDrives);
    deleteFailed_.Sync();
    download_.Sync();
    notice_.Sync();
    spywareAlert_.Sync();
    trayMenu_.Sync();
    about_.Sync();
    language_.Sync();
    SyncTranslatedCaptions();
    // The box's text as last given or typed: the control itself is asked only when it changes.
    if (m.txtFilename.text != appliedFilename_) {
        appliedFilename_ = m.txtFilename.text;
        ::SetWindowTextA(::GetDlgItem(hwnd_, IDC_txtFilename), appliedFilename_.c_str());
    }
    if (const bool shown = m.frmResults.visible && m.txtFilename.visible;
        shown != appliedFilenameShown_) {
        appliedFilenameShown_ = shown;
        SetVisible(::GetDlgItem(hwnd_, IDC_txtFilename), shown);
    }
    SyncTray();
    SyncPicker(IDC_dtpScheduleDate, m.dtpScheduleDate, appliedDate_, false);
    SyncPicker(IDC_dtpScheduleTime, m.dtpScheduleTime, appliedTime_, true);
    // The system's shared cursors, looked up once: Sync runs after every tick that changed
    // something.
    static const HCURSOR wait = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32514));   // IDC_WAIT
    static const HCURSOR arrow = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    ::SetCursor(m.mousePointer == MousePointer::Hourglass ? wait : arrow);
    syncing_ = false;
    // The program was ended while work ran: now that it has ended, the window goes.
    if (m.closeWhenIdle && commands_.CanClose()) {
        m.closeWhenIdle = false;
        ::PostMessageA(hwnd_, WM_CLOSE, 0, 0);
    }
}

void MainWindow::SyncBoundControls() {
    const std::span<const MainControl> controls = MainWindowControls();
    if (applied_.size() != controls.size()) applied_.assign(controls.size(), Applied{});
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const MainControl& c = controls[i];
        HWND control = ::GetDlgItem(hwnd_, c.id);
        if (!control) continue;
        const bool pageVisible = ShownWithItsPage(model_, c.page);
        const ControlModel model = c.model(model_);
        switch (c.kind) {
            case ControlKind::ListView:
            case ControlKind::TabStrip:
                // Drawn elsewhere (their rows, their tabs); here they show with their page.
                SetVisible(control, pageVisible);
                continue;
            case ControlKind::TabFrame:
                SetVisible(control, pageVisible && std::get<Frame*>(model)->visible);
                continue;
            case ControlKind::TextBox:
                continue;  // its text is the user's typing: see Sync
            default:
                break;
        }
        // What the control should show, compared with what it was last given: the pump syncs
        // often during a scan, and a call into a control costs far more than a comparison.
        Applied want;
        want.known = true;
        std::visit(
            [&](auto* m) {
                using T = std::remove_pointer_t<decltype(m)>;
                if constexpr (std::is_same_v<T, ProgressBar>) {
                    want.visible = m->visible && pageVisible;
                    want.min = m->min;
                    want.max = m->max;
                    want.value = m->value;
                } else if constexpr (std::is_same_v<T, ComboBox>) {
                    want.visible = m->visible && pageVisible;
                    want.enabled = m->enabled;
                    want.value = m->listIndex;
                } else if constexpr (std::is_same_v<T, DatePicker>) {
                    want.visible = m->visible && pageVisible;
                    want.enabled = m->enabled;
                } else if constexpr (std::is_same_v<T, Frame>) {
                    want.visible = m->visible && pageVisible;
                    want.text = m->caption;
                } else if constexpr (std::is_same_v<T, Label> || std::is_same_v<T, Button> ||
                                     std::is_same_v<T, CheckBox> ||
                                     std::is_same_v<T, OptionButton>) {
                    want.visible = m->visible && pageVisible;
                    want.text = m->caption;
                    want.enabled = m->enabled;
                    if constexpr (std::is_same_v<T, CheckBox>) want.value = m->value;
                    if constexpr (std::is_same_v<T, OptionButton>) want.value = m->value ? 1 : 0;
                }
            },
            model);
        Applied& had = applied_[i];
        const bool isProgress = c.kind == ControlKind::ProgressBar;
        const bool isCheckable =
            c.kind == ControlKind::CheckBox || c.kind == ControlKind::OptionButton;
        const bool isCombo = c.kind == ControlKind::ComboBox;
        const bool hasText = !isCombo && c.kind != ControlKind::DatePicker;
        if (hasText && (!had.known || had.text != want.text)) SetText(control, want.text);
        if (isCombo && (!had.known || had.value != want.value)) {
            ::SendMessageA(control, CB_SETCURSEL, static_cast<WPARAM>(want.value), 0);
        }
        if (!had.known || had.enabled != want.enabled) SetEnabled(control, want.enabled);
        if (!had.known || had.visible != want.visible) SetVisible(control, want.visible);
        if (isProgress && (!had.known || had.min != want.min || had.max != want.max)) {
            ::SendMessageA(control, PBM_SETRANGE32, static_cast<WPARAM>(want.min), want.max);
        }
        if (isProgress && (!had.known || had.value != want.value)) {
            ::SendMessageA(control, PBM_SETPOS, static_cast<WPARAM>(want.value), 0);
        }
        if (isCheckable) {
            // The user may have clicked it since: always compare with the control itself.
            const LRESULT state = ::SendMessageA(control, BM_GETCHECK, 0, 0);
            if ((state == BST_CHECKED) != (want.value != 0)) {
                ::SendMessageA(control, BM_SETCHECK, want.value ? BST_CHECKED : BST_UNCHECKED, 0);
            }
        }
        had = std::move(want);
    }
}

void MainWindow::SyncTranslatedCaptions() {
    FrmMain& m = model_;
    HMENU bar = ::GetMenu(hwnd_);
    const std::pair<int, std::span<const std::string>> menus[] = {
        {IDM_mnuFileItem, m.mnuFileItem},         {IDM_mnuQuarItem, m.mnuQuarItem},
        {IDM_mnuSettingsItem, m.mnuSettingsItem}, {IDM_mnuLanguageItem, m.mnuLanguageItem},
        {IDM_mnuHelpItem, m.mnuHelpItem},         {IDM_mnuAboutItem, m.mnuAboutItem}};
    bool menuChanged = false;
    for (std::size_t k = 0; k < std::size(menus); ++k) {
        const auto& [first, entries] = menus[k];
        if (!TakeIfChanged(entries, appliedMenus_[k])) continue;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (entries[i] == "-") continue;
            const auto id = static_cast<UINT>(first + static_cast<int>(i));
            ::ModifyMenuA(bar, id, MF_BYCOMMAND | MF_STRING, id, entries[i].c_str());
        }
        menuChanged = true;
    }
    if (menuChanged) ::DrawMenuBar(hwnd_);
    appliedTabs_.resize(m.frmView.size());
    for (std::size_t i = 0; i < m.frmView.size(); ++i) {
        if (appliedTabs_[i] == m.frmView[i].caption) continue;
        appliedTabs_[i] = m.frmView[i].caption;
        TCITEMA tab{};
        tab.mask = TCIF_TEXT;
        tab.pszText = appliedTabs_[i].data();
        ::SendDlgItemMessageA(hwnd_, IDC_TabStrip1, TCM_SETITEMA, i,
                              reinterpret_cast<LPARAM>(&tab));
    }
    const std::pair<int, const ListView*> lists[] = {
        {IDC_lvwSpywareFound, &m.lvwSpywareFound},
        {IDC_lvwResults, &m.lvwPicRemoveListOfSpywareFoundAndToBeRemoved},
        {IDC_lvwHardDrives, &m.lvwHardDrives}};
    for (std::size_t k = 0; k < std::size(lists); ++k) {
        const auto& [id, list] = lists[k];
        if (!TakeIfChanged(list->columns, appliedColumns_[k])) continue;
        for (std::size_t i = 0; i < list->columns.size(); ++i) {
            LVCOLUMNA column{};
            column.mask = LVCF_TEXT;
            column.pszText = const_cast<char*>(list->columns[i].c_str());
            ::SendDlgItemMessageA(hwnd_, id, LVM_SETCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
        }
    }
}

void MainWindow::SyncPicker(int id, const DatePicker& model, std::string& applied, bool timeOnly) {
    if (model.value == applied) return;
    applied = model.value;
    HWND picker = ::GetDlgItem(hwnd_, id);
    SYSTEMTIME time{};
    const auto value = model.value.empty() ? std::nullopt : dates_.Parse(model.value);
    if (!value) {
        // Empty, or a stored text that is no date: the picker shows nothing chosen.
        ::SendMessageA(picker, DTM_SETSYSTEMTIME, GDT_NONE, 0);
        return;
    }
    double shown = *value;
    if (timeOnly) {
        // A time alone is a time today, as the picker needs a whole date to show it.
        SYSTEMTIME today{};
        ::GetLocalTime(&today);
        today.wHour = today.wMinute = today.wSecond = today.wMilliseconds = 0;
        double day = 0;
        ::SystemTimeToVariantTime(&today, &day);
        shown = day + (shown - std::floor(shown));
    }
    if (::VariantTimeToSystemTime(shown, &time)) {
        ::SendMessageA(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
    }
}

void MainWindow::PickerChanged(const NMDATETIMECHANGE& change) {
    const bool timeOnly = change.nmhdr.idFrom == IDC_dtpScheduleTime;
    DatePicker& model = timeOnly ? model_.dtpScheduleTime : model_.dtpScheduleDate;
    std::string& applied = timeOnly ? appliedTime_ : appliedDate_;
    std::string text;
    double value = 0;
    if (change.dwFlags == GDT_VALID &&
        ::SystemTimeToVariantTime(const_cast<SYSTEMTIME*>(&change.st), &value)) {
        // The date picker keeps the day, the time picker the time of day.
        text = dates_.Format(timeOnly ? value - std::floor(value) : std::floor(value));
    }
    model.value = text;
    applied = text;
    commands_.SchedulePickerChanged();
    Sync();
}

}  // namespace qm::ui::win32
