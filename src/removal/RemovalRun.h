#pragma once
// "Repair Now": the checked detections backed up into the quarantine and deleted in two
// passes, with a System Restore point around them where the system has one; what survives
// both passes is listed in "Delete Failed" and, when its verified backup is in the quarantine,
// left for the system to delete at its next start.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "definitions/LoadControl.h"
#include "removal/QuarantineStore.h"
#include "removal/RegistryRemoval.h"
#include "ui/FrmMain.h"
#include "work/Context.h"

namespace qm::removal {

struct RemovalServices {
    work::Context context;
    // Lets pending events run between items.
    defs::LoadControl& events;
    std::string dataFolder;
    // After every run, while "Send anonymous data" is ticked: the running programs' names go
    // to the maker.
    std::function<void()> sendAnonymousData = {};
};

// What the last run did, as the console reports it.
struct RemovalReport {
    struct Item {
        std::string kind;  // "file", "folder", "registry", "cookie"
        std::string location;
        std::string threat;
    };
    std::vector<Item> removed;
    std::vector<std::string> failed;              // still there after both passes
    std::vector<std::string> scheduledAtRestart;  // of those, left for the next start
    bool restorePoint = false;
    // Why no restore point was made, when the system has System Restore; empty otherwise.
    std::string restorePointFailure;
    long long removedTotal = 0;  // the removed-items figure after this run
    bool ran = false;
};

class RemovalRun {
  public:
    RemovalRun(ui::FrmMain& form, RemovalServices services, QuarantineStore& quarantine);

    // On for the removal a scheduled scan starts by itself: nothing is asked or shown.
    bool autoDeleteMode = false;

    // `Command4`: checks there is something to remove, confirms, then runs RemoveSelected.
    void RepairNow();
    // The run itself (also `lblRemove`'s click).
    void RemoveSelected();
    // "Delete Failed": "Ok" hides the window, "Copy List" puts every row on the clipboard.
    void HideDeleteFailed();
    void CopyProblemList();

    const RemovalReport& LastReport() const { return report_; }

  private:
    // One pass over the three worklists: the first with quarantine records, the second
    // without, then the leftovers check.
    void RemovalPass(bool firstPass);
    void RemoveFileRow(ui::ListItem& row, bool firstPass);
    void RemoveRegistryRow(const ui::ListItem& row);
    void RemoveCookieRow(const ui::ListItem& row);
    // 1 removed, 0 not, -1 not there, 2 the program would not stop.
    int RemoveExecutable(const std::string& path);
    int RemoveLibrary(const std::string& path);
    void ShowPassProgress(std::size_t index, std::size_t rows, const std::string& caption);
    // One line in "Delete Failed" and the report for an item still there after both passes.
    void ListFailure(const std::string& location);
    void ListRegistryAndCookieFailures();
    void PruneCheckedRows();
    void CountRemoved();
    void PassEvents() { services_.events.LetEventsRun(); }
    std::string Message(const char* key) const {
        return services_.context.messages.getMessages(key);
    }
    bool Exists(const std::string& path) const;

    ui::FrmMain& form_;
    RemovalServices services_;
    QuarantineStore& quarantine_;
    RegistryRemoval registry_;
    settings::ProgramSettings settings_;
    RemovalReport report_;
    // What each file row named when the run began.
    enum class FileRowWas { Absent, File, Folder };
    std::vector<FileRowWas> fileRowWas_;
    std::vector<bool> registryRemoved_;
};

}  // namespace qm::removal
