#include "scan/ListSorting.h"

namespace qm::scan {

bool EnhListView_SortColumns(ui::ListView& list, int column, bool showErrors,
                             const std::function<void(const std::string&)>& reportError) {
    if (column < 1 || column > static_cast<int>(list.columns.size())) {
        if (showErrors && reportError) reportError("Error in Function : EnhListView_SortColumns");
        return false;
    }
    if (list.rows.empty()) return true;
    list.sortKey = column - 1;
    // The click that switches sorting on sorts ascending; every further click flips the order.
    if (!list.sorted) {
        list.sorted = true;
        list.sortOrder = ui::SortOrder::Ascending;
    } else {
        list.sortOrder = list.sortOrder == ui::SortOrder::Ascending ? ui::SortOrder::Descending
                                                                    : ui::SortOrder::Ascending;
    }
    list.Sort();
    return true;
}

}  // namespace qm::scan
