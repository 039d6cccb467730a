// `scan`: the target checked, the drives marked, the scan run as the window runs it, and what
// it found printed (removed first with `--remove`).

#include <algorithm>

#include "app/console/ConsoleScanOutput.h"
#include "app/console/ConsoleVerbs.h"
#include "text/Text.h"

namespace qm::app::console {

namespace {

ScanPrintout CaptureScan(const ScanRequest& req, const ui::FrmMain& form,
                         const scan::ScanSession& session) {
    ScanPrintout p;
    p.kind = req.kindName;
    p.status = form.lblStatus.caption;
    p.started = session.StartTime();
    p.finished = session.FinishTime();
    p.processes = form.lblMemoryInspected.caption;
    p.registry = form.lblRegistryInspected.caption;
    p.files = form.lblFilesFolderInspected.caption;
    p.found = form.lblSoftwareFound.caption;
    p.traces = form.lbltracesFound.caption;
    p.skipped = session.Counters().skipped;
    p.live = form.lvwSpywareFound;
    p.results = form.lvwPicRemoveListOfSpywareFoundAndToBeRemoved;
    p.fileWork = form.lvwFilesToBeDeleted;
    p.registryWork = form.lvwRegistryToBeDeleted;
    p.cookieWork = form.lvwCookiesToDelete;
    return p;
}

}  // namespace

// A scan of nothing would report a clean machine.
bool Verbs::TargetUsable(ScanRequest& req) {
    if (req.kind != ui::ScanKind::File && req.kind != ui::ScanKind::Folder) return true;
    // Made full first: relative to the console's current folder, a folder name would be
    // taken for a drive root by the candidate checks, whose rules differ there.
    const auto full = env_.platform.files.FullPath(NormaliseTarget(req.target));
    if (!full) {
        Fail("\"" + req.target + "\" cannot be made a full path");
        return false;
    }
    req.target = NormaliseTarget(*full);
    const auto attributes = env_.platform.files.Attributes(req.target);
    const bool isFolder = attributes && (*attributes & platform::attr::kDirectory) != 0;
    if (!attributes) {
        Fail("\"" + req.target + "\" does not exist");
        return false;
    }
    if (isFolder != (req.kind == ui::ScanKind::Folder)) {
        Fail("\"" + req.target + "\" is " + (isFolder ? "a folder" : "a file") + ": use scan " +
             (isFolder ? "folder" : "file"));
        return false;
    }
    if (req.kind == ui::ScanKind::File) pickers_.file = req.target;
    if (req.kind == ui::ScanKind::Folder) pickers_.folder = req.target;
    return true;
}

bool Verbs::MarkDrives(const ScanRequest& req) {
    if (!req.drivesGiven) return true;
    ui::ListView& drives = app_.Form().lvwHardDrives;
    for (const auto& letter : req.drives) {
        const bool listed = std::any_of(
            drives.rows.begin(), drives.rows.end(),
            [&](const ui::ListItem& row) { return text::EqualsNoCase(row.text, letter); });
        if (!listed) {
            Fail("drive " + letter + ": is not on this machine");
            return false;
        }
    }
    for (auto& row : drives.rows) {
        row.checked = std::any_of(req.drives.begin(), req.drives.end(), [&](const std::string& l) {
            return text::EqualsNoCase(row.text, l);
        });
    }
    return true;
}

int Verbs::Scan() {
    std::string error;
    auto req = ParseScan(arguments_.command, error);
    if (!req) return Fail(error);
    if (!TargetUsable(*req)) return kExitError;

    app_.Start();
    if (!MarkDrives(*req)) return kExitError;
    ui::FrmMain& form = app_.Form();
    form.SelectScanKind(req->kind);
    if (app_.RunScan(false) == work::LongWork::Outcome::Failed) {
        return Fail("the scan broke off: " + form.lblStatus.caption);
    }

    const std::string missing = app_.Message("MSG_MISSING");
    for (const auto& shown : prompts_.shown) {
        if (shown == missing) return kExitError;
    }
    // Whether the scan found something is decided before the removal empties the lists.
    const bool found = app_.Session().Counters().itemsFound != 0 ||
                       !form.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.rows.empty();
    if (req->remove) app_.SelectAll();  // as the removal will, so the listing shows it
    ScanPrintout printout = CaptureScan(*req, form, app_.Session());
    if (req->remove) {
        if (app_.RemoveEverythingFound() == work::LongWork::Outcome::Failed) {
            return Fail("the removal broke off");
        }
        printout.removal = &app_.LastRemoval();
    }
    if (arguments_.json) {
        PrintScanJson(env_.out, printout);
    } else {
        PrintScanText(env_.out, printout);
    }
    return found ? kExitFound : kExitClean;
}

}  // namespace qm::app::console
