#pragma once
// Plain models of the window's controls. The core reads and writes them; the Win32 layer
// draws them and turns clicks back into the handlers that the tests call too.

#include <string>
#include <vector>

namespace qm::ui {

struct Label {
    std::string caption;
    bool enabled = true;
    bool visible = true;
};

struct Button {
    std::string caption;
    bool enabled = true;
    bool visible = true;
};

struct CheckBox {
    std::string caption;
    int value = 0;  // 0 unchecked, 1 checked
    bool enabled = true;
    bool visible = true;
};

struct OptionButton {
    std::string caption;
    bool value = false;
    bool enabled = true;
    bool visible = true;
};

// A one-line text box: what the user typed.
struct TextBox {
    std::string text;
    bool enabled = true;
    bool visible = true;
};

// A drop-down list: `listIndex` is -1 when nothing is selected.
struct ComboBox {
    std::vector<std::string> items;
    int listIndex = -1;
    bool enabled = true;
    bool visible = true;
};

// A date or time picker that can be empty (`value` empty).
struct DatePicker {
    std::string value;
    bool enabled = true;
    bool visible = true;
};

struct ProgressBar {
    int min = 0;
    int max = 100;
    int value = 0;
    bool visible = true;
    // Values outside min..max are clamped, as the control does.
    void Set(int v) { value = v < min ? min : (v > max ? max : v); }
};

struct Frame {
    std::string caption;
    bool visible = false;
};

struct Timer {
    int interval = 0;  // milliseconds
    bool enabled = false;
};

struct ListItem {
    std::string text;
    std::vector<std::string> subItems;  // sub-item 1 is subItems[0]
    int icon = 0;
    bool checked = false;

    // Sub-item n (1-based), empty when not set.
    const std::string& SubItem(std::size_t n) const;
    void SetSubItem(std::size_t n, std::string value);
};

enum class SortOrder { Ascending, Descending };

struct ListView {
    std::vector<std::string> columns;
    std::vector<ListItem> rows;
    // Column widths in twips (15 to a pixel on a normal screen); empty until set.
    std::vector<int> columnWidths;
    bool checkBoxes = false;
    bool visible = true;
    bool sorted = false;
    int sortKey = 0;  // 0 = the row text, n = sub-item n
    SortOrder sortOrder = SortOrder::Ascending;

    ListItem& Add(std::string text, int icon = 0);
    void Clear() { rows.clear(); }
    // The column's text of a row: column 0 is the row text.
    const std::string& CellText(const ListItem& row, int column) const;
    // Re-sorts the rows by the current key and order (case-insensitive, stable).
    void Sort();
};

enum class MousePointer { Default, Hourglass };
enum class WindowState { Normal, Minimized, Maximized };

}  // namespace qm::ui
