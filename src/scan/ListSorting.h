#pragma once

#include <functional>
#include <string>

#include "ui/Controls.h"

namespace qm::scan {

// A click on a column header (index counted from 1): sorts by that column and flips the order
// between ascending and descending. `reportError` shows a message when sorting fails and the
// caller asked for errors to be shown.
bool EnhListView_SortColumns(ui::ListView& list, int column, bool showErrors,
                             const std::function<void(const std::string& title)>& reportError = {});

}  // namespace qm::scan
