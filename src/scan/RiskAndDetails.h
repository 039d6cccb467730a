#pragma once

#include "ui/Controls.h"

namespace qm::scan {

// Writes each results row's risk and description from its category ("Type"). A category the
// table does not know leaves both columns as they are.
void FillRiskAndDetails(ui::ListView& results);

}  // namespace qm::scan
