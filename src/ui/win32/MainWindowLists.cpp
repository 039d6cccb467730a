// The main window's list views: the live list of the scan page, the results list and the drive
// list of the options page. Rows are drawn from their models as they change; a check mark the
// user sets goes back into the model.

#include "ui/win32/MainWindow.h"

#include <algorithm>
#include <array>
#include <utility>

#include "ui/win32/ListColumnScale.h"
#include "ui/win32/MainWindowIds.h"
#include "ui/win32/WindowDpi.h"

namespace qm::ui::win32 {

namespace {

constexpr int kListIds[] = {IDC_lvwSpywareFound, IDC_lvwResults, IDC_lvwHardDrives};

// The DetectionKind images: 0 none, 1 cookie, 2 registry entry, 3 file, 4 folder, 5 excluded;
// each `size` pixels square, a coloured square inside a white edge.
UniqueImageList MakeDetectionIcons(int size) {
    using platform::win32::UniqueBitmap;
    using platform::win32::UniqueBrush;
    using platform::win32::UniqueMemoryDc;
    const int edge = ScaleRounded(size, 3, 16);
    constexpr std::array<COLORREF, 6> kColours = {RGB(255, 255, 255), RGB(196, 140, 60),
                                                  RGB(70, 110, 200),  RGB(200, 50, 50),
                                                  RGB(230, 180, 40),  RGB(140, 140, 140)};
    UniqueImageList list(ImageList_Create(size, size, ILC_COLOR24, 6, 0));
    const platform::win32::WindowDc screen(nullptr);
    if (!list || !screen) return list;
    const UniqueBrush white(::CreateSolidBrush(RGB(255, 255, 255)));
    for (COLORREF colour : kColours) {
        const UniqueBitmap bitmap(::CreateCompatibleBitmap(screen.get(), size, size));
        {
            const UniqueMemoryDc dc(::CreateCompatibleDC(screen.get()));
            if (!bitmap || !dc) return list;
            // The bitmap is selected out again before the context goes, or it stays in use.
            const HGDIOBJ old = ::SelectObject(dc.get(), bitmap.get());
            RECT all{0, 0, size, size};
            ::FillRect(dc.get(), &all, white.get());
            RECT mark{edge, edge, size - edge, size - edge};
            const UniqueBrush brush(::CreateSolidBrush(colour));
            ::FillRect(dc.get(), &mark, brush.get());
            ::SelectObject(dc.get(), old);
        }
        // The list keeps its own copy of the picture.
        ImageList_Add(list.get(), bitmap.get(), nullptr);
    }
    return list;
}

void SetColumns(HWND list, const std::vector<std::string>& columns, int width) {
    for (std::size_t i = 0; i < columns.size(); ++i) {
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = const_cast<char*>(columns[i].c_str());
        column.cx = width;
        column.iSubItem = static_cast<int>(i);
        ::SendMessageA(list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
}

void InsertRow(HWND list, int index, const ListItem& row, std::size_t columns) {
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = index;
    item.pszText = const_cast<char*>(row.text.c_str());
    item.iImage = row.icon;
    const auto at =
        static_cast<int>(::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    for (std::size_t sub = 1; sub < columns; ++sub) {
        LVITEMA subItem{};
        subItem.iSubItem = static_cast<int>(sub);
        subItem.pszText = const_cast<char*>(row.SubItem(sub).c_str());
        ::SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(at),
                       reinterpret_cast<LPARAM>(&subItem));
    }
    ListView_SetCheckState(list, at, row.checked ? TRUE : FALSE);
}

bool SameRow(const ListItem& a, const ListItem& b) {
    return a.text == b.text && a.subItems == b.subItems && a.icon == b.icon;
}

}  // namespace

void MainWindow::SetUpLists() {
    listDpi_ = WindowDpi(hwnd_);
    struct ListSetup {
        int id;
        const ListView& model;
        int width;  // pixels at the default DPI
    };
    for (const ListSetup& s :
         {ListSetup{IDC_lvwSpywareFound, model_.lvwSpywareFound, 300},
          ListSetup{IDC_lvwResults, model_.lvwPicRemoveListOfSpywareFoundAndToBeRemoved, 150},
          ListSetup{IDC_lvwHardDrives, model_.lvwHardDrives, 60}}) {
        HWND list = ::GetDlgItem(hwnd_, s.id);
        DWORD extended = LVS_EX_FULLROWSELECT;
        if (s.model.checkBoxes) extended |= LVS_EX_CHECKBOXES;
        ListView_SetExtendedListViewStyle(list, extended);
        SetColumns(list,
                   s.model.columns.empty() ? std::vector<std::string>{"Drive"} : s.model.columns,
                   ScaleFromDefaultDpi(s.width, listDpi_));
    }
    ApplyDetectionIcons();
}

void MainWindow::ApplyDetectionIcons() {
    UniqueImageList icons = MakeDetectionIcons(SystemMetricForDpi(SM_CXSMICON, listDpi_));
    for (int id : kListIds) {
        ListView_SetImageList(::GetDlgItem(hwnd_, id), icons.get(), LVSIL_SMALL);
    }
    // The lists show the new images before the old ones go.
    detectionIcons_ = std::move(icons);
}

void MainWindow::DpiChanged(int dpi) {
    ApplyProgramIcons();
    if (dpi <= 0 || dpi == listDpi_) return;
    // The results list's widths stay in twips in the model, which is why its columns are not
    // set from it again.
    for (int id : kListIds)
        ScaleListColumns(::GetDlgItem(hwnd_, id), listDpi_, dpi);
    listDpi_ = dpi;
    ApplyDetectionIcons();
}

void MainWindow::SyncList(int id, ListView& model) {
    HWND list = ::GetDlgItem(hwnd_, id);
    if (!list) return;
    ListSnapshot& snapshot = id == IDC_lvwSpywareFound ? liveSnapshot_
                             : id == IDC_lvwResults    ? resultsSnapshot_
                                                       : drivesSnapshot_;
    const std::size_t columns = std::max<std::size_t>(model.columns.size(), 1);
    // Rows are only ever added during a scan: append those; anything else rebuilds the list.
    std::size_t same = 0;
    while (same < snapshot.rows.size() && same < model.rows.size() &&
           SameRow(snapshot.rows[same], model.rows[same])) {
        ++same;
    }
    if (same < snapshot.rows.size()) {
        ListView_DeleteAllItems(list);
        snapshot.rows.clear();
        same = 0;
    }
    if (same < model.rows.size()) {
        ::SendMessageA(list, WM_SETREDRAW, FALSE, 0);
        for (std::size_t i = same; i < model.rows.size(); ++i) {
            InsertRow(list, static_cast<int>(i), model.rows[i], columns);
            snapshot.rows.push_back(model.rows[i]);
        }
        ::SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    }
    for (std::size_t i = 0; i < model.rows.size(); ++i) {
        if (snapshot.rows[i].checked != model.rows[i].checked) {
            ListView_SetCheckState(list, static_cast<int>(i), model.rows[i].checked);
            snapshot.rows[i].checked = model.rows[i].checked;
        }
    }
}

void MainWindow::ListRowChanged(int id, const NMLISTVIEW& change) {
    if (change.iItem < 0 || ((change.uOldState ^ change.uNewState) & LVIS_STATEIMAGEMASK) == 0) {
        return;
    }
    ListView& list = id == IDC_lvwResults ? model_.lvwPicRemoveListOfSpywareFoundAndToBeRemoved
                                          : model_.lvwHardDrives;
    ListSnapshot& snapshot = id == IDC_lvwResults ? resultsSnapshot_ : drivesSnapshot_;
    const auto index = static_cast<std::size_t>(change.iItem);
    if (index >= list.rows.size() || index >= snapshot.rows.size()) return;
    const bool checked = ListView_GetCheckState(change.hdr.hwndFrom, change.iItem) != FALSE;
    list.rows[index].checked = checked;
    snapshot.rows[index].checked = checked;
    if (id == IDC_lvwResults) commands_.ResultCheckChanged(list.rows[index]);
    if (id == IDC_lvwHardDrives) commands_.DriveCheckChanged();
}

void MainWindow::ReadBackWindowState() {
    ListView& results = model_.lvwPicRemoveListOfSpywareFoundAndToBeRemoved;
    HWND list = ::GetDlgItem(hwnd_, IDC_lvwResults);
    results.columnWidths.resize(results.columns.size());
    for (std::size_t i = 0; i < results.columns.size(); ++i) {
        // Back to twips at the list's DPI, as they are stored.
        results.columnWidths[i] = PixelsToTwips(
            static_cast<int>(::SendMessageA(list, LVM_GETCOLUMNWIDTH, i, 0)), listDpi_);
    }
    appliedColumnWidths_ = results.columnWidths;
    model_.windowState = ::IsZoomed(hwnd_)   ? WindowState::Maximized
                         : ::IsIconic(hwnd_) ? WindowState::Minimized
                                             : WindowState::Normal;
}

void MainWindow::SyncColumnWidths() {
    const ListView& model = model_.lvwPicRemoveListOfSpywareFoundAndToBeRemoved;
    if (model.columnWidths == appliedColumnWidths_) return;
    HWND list = ::GetDlgItem(hwnd_, IDC_lvwResults);
    for (std::size_t i = 0; i < model.columnWidths.size(); ++i) {
        // Widths are kept in twips: as wide to the eye at any DPI.
        ::SendMessageA(list, LVM_SETCOLUMNWIDTH, i, TwipsToPixels(model.columnWidths[i], listDpi_));
    }
    appliedColumnWidths_ = model.columnWidths;
}

}  // namespace qm::ui::win32
