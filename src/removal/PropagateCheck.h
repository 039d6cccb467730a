#pragma once

#include "ui/FrmMain.h"

namespace qm::removal {

// Copies a results row's check mark to the worklist rows it stands for, by the row's kind:
// cookies and folders by their location, files and registry entries by their threat name.
void PropagateCheck(ui::FrmMain& form, const ui::ListItem& resultsRow);

// The results page's Select All: ticks every results row and passes each new mark on.
void SelectAll(ui::FrmMain& form);

}  // namespace qm::removal
