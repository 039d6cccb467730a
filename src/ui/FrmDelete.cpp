#include "ui/FrmDelete.h"

namespace qm::ui {

FrmDelete::FrmDelete() {
    lstProblem.columns = {"Location", "Status"};
    lblAdvice.caption =
        "The following files could not be deleted.  You should save your work, close all running "
        "programs (especially browsers) and try to delete them again.";
    lblSafeMode.caption =
        "If you still cannot delete them, you should start your computer in Safe Mode and either "
        "scan again or delete them manually.";
    lblRestart.caption =
        "Those marked \"deleted at restart\" have their backups safe in the quarantine, and "
        "Windows will delete them the next time it starts.";
    lblRestart.visible = false;
    cmdOk.caption = "Ok";
    cmdCopyList.caption = "Copy List";
}

}  // namespace qm::ui
