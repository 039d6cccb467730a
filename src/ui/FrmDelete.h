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
    // "Location", and "Status": "not deleted", or "deleted at restart" for a file whose backup
    // is safe and that Windows will delete at its next start.
    ListView lstProblem;
    Label lblAdvice, lblSafeMode;
    // Shown only when some of the items were left for the system to delete at its next start.
    Label lblRestart;
    Button cmdOk, cmdCopyList;
};

}  // namespace qm::ui
