#pragma once
// The "Delete Failed" window: what the removal run could not delete, with the advice that goes
// with it and a button that copies the list.

#include <string>

#include "ui/Controls.h"

namespace qm::ui {

struct FrmDelete {
    FrmDelete();

    std::string caption = "Delete Failed";
    bool visible = false;
    ListView lstProblem;  // one column, "Location"
    Label lblAdvice, lblSafeMode;
    // Shown only when some of the files were left for the system to delete at its next start.
    Label lblRestart;
    Button cmdOk, cmdCopyList;
};

}  // namespace qm::ui
