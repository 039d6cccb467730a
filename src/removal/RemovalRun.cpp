#include "removal/RemovalRun.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <unordered_set>

#include "scan/ProcessControl.h"
#include "text/Text.h"
#include "work/BackgroundTimers.h"

namespace qm::removal {

namespace {

using settings::section::kSettings;

// The event loop runs this often while the run gathers its information, as the window has
// always done before a removal: long enough for every pending paint and click to be handled.
constexpr int kGatheringYields = 20001;
// Restore-point type of an application's own change: MODIFY_SETTINGS. (6, which a removal
// once asked for, is the type System Restore records for its own restores, not a caller's.)
constexpr int kRestorePointType = 12;

// The upper-cased, trimmed text after the last "." of the path's last component.
std::string ExtensionOf(const std::string& path) {
    const std::string name = text::FileNameOf(path);
    const auto dot = name.rfind('.');
    if (dot == std::string::npos) return {};
    return text::Upper(text::TrimView(std::string_view(name).substr(dot + 1)));
}

// A path as the removal report names it: the worklists may keep a folder or key with a
// trailing separator.
std::string WithoutTrailingSeparator(std::string path) {
    while (path.size() > 3 && path.back() == '\\')
        path.pop_back();
    return path;
}

int Rounded(double value) {
    return static_cast<int>(std::lround(value));
}

}  // namespace

RemovalRun::RemovalRun(ui::FrmMain& form, RemovalServices services, QuarantineStore& quarantine)
    : form_(form),
      services_(std::move(services)),
      quarantine_(quarantine),
      registry_(services_.context.platform.registry, quarantine),
      settings_(services_.context.Settings()) {}

bool RemovalRun::Exists(const std::string& path) const {
    return services_.context.platform.files.Attributes(path).has_value();
}

void RemovalRun::RepairNow() {
    report_ = RemovalReport{};  // a run refused below reports nothing of an earlier one
    const ui::ListView& results = form_.lvwPicRemoveListOfSpywareFoundAndToBeRemoved;
    const std::string& title = services_.context.product.productName;
    const auto tell = [&](const char* key) {
        if (!autoDeleteMode) {
            services_.context.prompts.ShowMessage(Message(key), title, ui::MessageButtons::Ok,
                                                  ui::MessageIcon::Information);
        }
    };
    const bool anyChecked = std::any_of(results.rows.begin(), results.rows.end(),
                                        [](const ui::ListItem& row) { return row.checked; });
    if (!anyChecked) {
        tell("MSG_SELECTED");
        return;
    }
    if (results.rows.empty() && form_.lvwRegistryToBeDeleted.rows.empty() &&
        form_.lvwSpywareFound.rows.empty()) {
        tell("MSG_SORRY2");
        return;
    }
    std::string question = Message("MSG_CONFIRM1") + "\r\n\r\n" + Message("MSG_CONFIRM2") +
                           "\r\n\r\n" + quarantine_.Folder();
    if (services_.context.platform.systemRestore.Available()) {
        question += "\r\n\r\n" + Message("MSG_CONFIRM3") + "\r\n\r\n" + Message("MSG_CONFIRM4");
    }
    if (!autoDeleteMode && services_.context.prompts.ShowMessage(
                               question, Message("MSG_REALLY"), ui::MessageButtons::YesNo,
                               ui::MessageIcon::Question) != ui::MessageAnswer::Yes) {
        return;
    }
    form_.pgbDeleteSpywaresFound.visible = true;
    form_.lblDeletingPercentageCompleted.visible = true;
    form_.lblDeletingCaption.visible = true;
    RemoveSelected();
}

void RemovalRun::RemoveSelected() {
    report_ = RemovalReport{};
    report_.ran = true;
    // "Delete Failed" speaks of this run only (the Remove label starts a run without Repair
    // Now, which used to empty it).
    form_.frmDelete.lstProblem.Clear();
    form_.frmDelete.visible = false;
    fileRowWas_.assign(form_.lvwFilesToBeDeleted.rows.size(), FileRowWas::Absent);
    registryRemoved_.assign(form_.lvwRegistryToBeDeleted.rows.size(), false);
    for (std::size_t i = 0; i < form_.lvwFilesToBeDeleted.rows.size(); ++i) {
        const auto a =
            services_.context.platform.files.Attributes(form_.lvwFilesToBeDeleted.rows[i].text);
        if (a) {
            fileRowWas_[i] =
                (*a & platform::attr::kDirectory) != 0 ? FileRowWas::Folder : FileRowWas::File;
        }
    }
    form_.frmDelete.lblRestart.visible = false;

    // 1.
    services_.context.platform.files.CreateFolder(quarantine_.Folder());
    form_.ShowPage(form_.frmResults);
    form_.tmrScroll.enabled = false;
    work::SetBackgroundTimers(form_, settings_, false);
    form_.lblRemove.enabled = false;
    for (ui::Label* l : {&form_.lblSweepNow, &form_.lblOptions, &form_.lblResult, &form_.lblExit})
        l->enabled = true;
    form_.pgbDeleteSpywaresFound.visible = true;
    form_.lblDeletingPercentageCompleted.visible = true;
    form_.lblDeletingCaption.visible = true;

    // 2.
    form_.lblDeletingPercentageCompleted.caption = Message("MSG_INFORMATION");
    for (int i = 0; i < kGatheringYields; ++i)
        PassEvents();
    form_.lblDeletingPercentageCompleted.caption.clear();

    // 3. The two passes, inside a restore point where the system has them.
    platform::SystemRestore& restore = services_.context.platform.systemRestore;
    std::optional<std::int64_t> restorePoint;
    if (restore.Available()) {
        form_.lblDeletingPercentageCompleted.caption = Message("MSG_RESTOREPOINT");
        PassEvents();
        auto begun = restore.Begin(services_.context.product.productName + " Restore Point " +
                                       services_.context.platform.clock.NowText(),
                                   kRestorePointType);
        restorePoint = begun.sequence;
        report_.restorePoint = restorePoint.has_value();
        if (!restorePoint) report_.restorePointFailure = std::move(begun.failure);
    }
    {
        const QuarantineStore::OpenFiles records(quarantine_);
        quarantine_.logging = true;
        RemovalPass(true);
        quarantine_.logging = false;
        RemovalPass(false);
    }
    if (restorePoint) restore.End(*restorePoint);

    ListRegistryAndCookieFailures();
    // A file that is still there may go at the next start, but only with its backup safe; the
    // list says so of each such file, and of no other.
    for (auto& problem : form_.frmDelete.lstProblem.rows) {
        const std::string& path = problem.text;
        if (problem.SubItem(1) == services_.context.messages.Fragment("MSG_NOT_DELETED") &&
            quarantine_.VerifiedCopyOf(path) &&
            services_.context.platform.files.DeleteAtRestart(path)) {
            report_.scheduledAtRestart.push_back(path);
            problem.SetSubItem(1, services_.context.messages.Fragment("MSG_DELETED_AT_RESTART"));
        }
    }
    form_.frmDelete.lblRestart.visible = !report_.scheduledAtRestart.empty();
    if (!form_.frmDelete.lstProblem.rows.empty()) form_.frmDelete.visible = true;
    CountRemoved();

    // 4.
    PruneCheckedRows();

    // 5.
    form_.lblDeletingCaption.caption.clear();
    form_.pgbDeleteSpywaresFound.Set(form_.pgbDeleteSpywaresFound.max);
    form_.lblDeletingPercentageCompleted.caption = "100% " + Message("MSG_COMPLETE");
    work::SetBackgroundTimers(form_, settings_, true);
    form_.lblRemove.enabled = true;

    // 7.
    if (form_.chkSendData.value == 1 && services_.sendAnonymousData) services_.sendAnonymousData();

    // 8. The Home page is refreshed by the program once the run is over.
    form_.pgbDeleteSpywaresFound.visible = false;
    form_.lblDeletingPercentageCompleted.visible = false;
    form_.lblDeletingCaption.visible = false;
}

void RemovalRun::ShowPassProgress(std::size_t index, std::size_t rows, const std::string& caption) {
    const int percent =
        rows == 0 ? 0 : Rounded(static_cast<double>(index) / static_cast<double>(rows) * 100.0);
    form_.lblDeletingPercentageCompleted.caption = Message("MSG_REMOVING2") + " : " +
                                                   std::to_string(percent) + "% " +
                                                   Message("MSG_COMPLETED");
    form_.lblDeletingCaption.caption = text::Lower(caption);
}

void RemovalRun::RemovalPass(bool firstPass) {
    ui::ListView& files = form_.lvwFilesToBeDeleted;
    ui::ListView& registry = form_.lvwRegistryToBeDeleted;
    ui::ListView& cookies = form_.lvwCookiesToDelete;
    ui::ProgressBar& bar = form_.pgbDeleteSpywaresFound;
    if (!form_.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.rows.empty()) {
        form_.lblDeletingPercentageCompleted.visible = true;
        bar.visible = true;
        form_.lblDeletingPercentageCompleted.caption = Message("MSG_REMOVING");
        bar.max = static_cast<int>(registry.rows.size() + files.rows.size());
        bar.Set(0);
    }
    // The bar runs on through the three lists: files, then registry entries, then cookies.
    const int fileRows = static_cast<int>(files.rows.size());
    for (std::size_t i = 0; i < files.rows.size(); ++i) {
        ui::ListItem& row = files.rows[i];
        if (!row.checked) continue;
        ShowPassProgress(i + 1, files.rows.size(), row.text);
        bar.Set(static_cast<int>(i + 1));
        RemoveFileRow(row, firstPass);
    }
    for (std::size_t i = 0; i < registry.rows.size(); ++i) {
        const ui::ListItem& row = registry.rows[i];
        if (!row.checked) continue;
        ShowPassProgress(i + 1, registry.rows.size(), row.SubItem(1) + "\\" + row.SubItem(2));
        bar.Set(fileRows + static_cast<int>(i + 1));
        const bool wasThere = registryRemoved_[i];
        RemoveRegistryRow(row);
        if (!wasThere && registryRemoved_[i]) {
            const auto root =
                static_cast<std::uint32_t>(std::strtoll(row.text.c_str(), nullptr, 10));
            const std::string key =
                WithoutTrailingSeparator(HiveNameOf(root) + "\\" + row.SubItem(1));
            report_.removed.push_back({"registry",
                                       row.SubItem(2).empty() ? key : key + "\\" + row.SubItem(2),
                                       row.SubItem(3)});
        }
    }
    for (std::size_t i = 0; i < cookies.rows.size(); ++i) {
        const ui::ListItem& row = cookies.rows[i];
        if (!row.checked) continue;
        ShowPassProgress(i + 1, cookies.rows.size(), row.text);
        RemoveCookieRow(row);
    }
}

void RemovalRun::RemoveFileRow(ui::ListItem& row, bool firstPass) {
    const std::string& path = row.text;
    // The second pass repeats the first's steps for what is still there; what the first pass
    // removed has nothing left to repeat them on.
    if (!firstPass && !Exists(path)) return;
    const std::string extension = ExtensionOf(path);
    if (extension == "DLL" || extension == "OCX") {
        RemoveLibrary(path);
        quarantine_.QuarantineItem(path);
    } else if (extension == "EXE") {
        RemoveExecutable(path);
    } else {
        quarantine_.QuarantineItem(path);  // a file or a whole folder
    }
    PassEvents();
    if (firstPass || !Exists(path)) return;
    if (text::Lower(path).find(".exe") != std::string::npos) RemoveExecutable(path);
    if (!Exists(path)) return;
    // Still there after both passes: listed, and left ticked off so that it stays offered.
    ListFailure(path);
    // The results row of this very file stays: one threat may name many files, and only those
    // that were removed leave the list.
    auto& results = form_.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.rows;
    const auto named = [&](const ui::ListItem& result) { return result.text == row.SubItem(1); };
    auto own = std::find_if(results.begin(), results.end(), [&](const ui::ListItem& result) {
        return named(result) && text::EqualsNoCase(result.SubItem(1), path);
    });
    if (own == results.end()) own = std::find_if(results.begin(), results.end(), named);
    if (own != results.end()) own->checked = false;
    row.checked = false;
}

void RemovalRun::ListFailure(const std::string& location) {
    for (const auto& listed : form_.frmDelete.lstProblem.rows) {
        if (listed.text == location) return;  // two rows of one item: one failure
    }
    form_.frmDelete.lstProblem.Add(location).SetSubItem(
        1, services_.context.messages.Fragment("MSG_NOT_DELETED"));
    report_.failed.push_back(location);
}

// Registry entries and cookies that survived both passes stay listed and ticked off, as files
// do: pruned, they would look removed.
void RemovalRun::ListRegistryAndCookieFailures() {
    using Status = platform::RegistryRead::Status;
    auto& results = form_.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.rows;
    const auto untick = [&](int icon, const std::function<bool(const ui::ListItem&)>& names) {
        for (auto& result : results) {
            if (result.icon == icon && names(result)) result.checked = false;
        }
    };
    for (auto& row : form_.lvwRegistryToBeDeleted.rows) {
        const std::string rootText = text::Trim(row.text);
        const std::string& key = row.SubItem(1);
        const std::string& value = row.SubItem(2);
        if (!row.checked || rootText.empty() || text::TrimView(key).empty()) continue;
        const auto root = static_cast<std::uint32_t>(std::strtoll(rootText.c_str(), nullptr, 10));
        const bool isKey = text::TrimView(value).empty();
        platform::Registry& registry = services_.context.platform.registry;
        const Status status = isKey ? Status::Ok : registry.ReadValue(root, key, value).status;
        const bool stillThere = isKey ? registry.KeyOpens(root, key, platform::RegistryAccess::Read)
                                      : status != Status::NoKey && status != Status::NoValue;
        if (!stillThere) continue;
        const std::string location = WithoutTrailingSeparator(HiveNameOf(root) + "\\" + key);
        ListFailure(isKey ? location : location + "\\" + value);
        untick(ui::detection::kRegistry, [&](const ui::ListItem& result) {
            return result.text == row.SubItem(3) || result.text == key;
        });
        row.checked = false;
    }
    for (auto& row : form_.lvwCookiesToDelete.rows) {
        if (!row.checked || !Exists(row.text)) continue;
        ListFailure(row.text);
        untick(ui::detection::kCookie,
               [&](const ui::ListItem& result) { return result.SubItem(1) == row.text; });
        row.checked = false;
    }
}

void RemovalRun::RemoveRegistryRow(const ui::ListItem& row) {
    const std::size_t index =
        static_cast<std::size_t>(&row - form_.lvwRegistryToBeDeleted.rows.data());
    const std::string rootText = text::Trim(row.text);
    const std::string key = row.SubItem(1);
    const std::string value = row.SubItem(2);
    if (!rootText.empty() && !text::TrimView(key).empty()) {
        const auto root = static_cast<std::uint32_t>(std::strtoll(rootText.c_str(), nullptr, 10));
        bool removed = false;
        if (text::TrimView(value).empty()) {
            // A key: its default value first, then the whole key.
            registry_.DeleteValue(root, key, "");
            removed = registry_.DeleteKey(root, key);
        } else {
            removed = registry_.DeleteValue(root, key, value);
        }
        if (removed && index < registryRemoved_.size()) registryRemoved_[index] = true;
    }
    PassEvents();
}

void RemovalRun::RemoveCookieRow(const ui::ListItem& row) {
    if (Exists(row.text) && quarantine_.QuarantineCookie(row.text) && !Exists(row.text)) {
        report_.removed.push_back({"cookie", row.text, "Tracking Cookie"});
    }
    PassEvents();
}

int RemovalRun::RemoveExecutable(const std::string& path) {
    if (path.find('\\') == std::string::npos) return 0;
    if (!Exists(path)) return -1;
    // Only the programs running this very file: a namesake elsewhere (a system program of the
    // same name) is none of the removal's business.
    if (!scan::StopProcessesRunning(services_.context.platform.processes, path,
                                    services_.context.platform.shell.SystemDirectory())) {
        return 2;
    }
    return quarantine_.QuarantineFile(path, text::FileNameOf(path)) ? 1 : 0;
}

// A detected library is never loaded to unregister it: loading runs its start-up code, code
// the scan has just judged harmful. Its backup and deletion are all the removal needs.
int RemovalRun::RemoveLibrary(const std::string& path) {
    if (path.find('\\') == std::string::npos) return 0;
    if (!Exists(path)) return -1;
    return quarantine_.QuarantineFile(path, text::FileNameOf(path)) ? 1 : 0;
}

void RemovalRun::PruneCheckedRows() {
    for (ui::ListView* list :
         {&form_.lvwFilesToBeDeleted, &form_.lvwRegistryToBeDeleted, &form_.lvwSpywareFound,
          &form_.lvwPicRemoveListOfSpywareFoundAndToBeRemoved}) {
        std::erase_if(list->rows, [](const ui::ListItem& row) { return row.checked; });
    }
}

void RemovalRun::CountRemoved() {
    // File and folder rows: there when the run began and gone from the disk after it; two rows
    // naming one file are one removal.
    const auto& files = form_.lvwFilesToBeDeleted.rows;
    std::unordered_set<std::string> counted;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (!files[i].checked || fileRowWas_[i] == FileRowWas::Absent || Exists(files[i].text)) {
            continue;
        }
        const std::string location = WithoutTrailingSeparator(files[i].text);
        if (!counted.insert(text::Lower(location)).second) continue;
        report_.removed.push_back({fileRowWas_[i] == FileRowWas::Folder ? "folder" : "file",
                                   location, files[i].SubItem(1)});
    }
    // The figure on the Home page counts what was really removed, run after run.
    const long long before = std::atoll(settings_.Read(kSettings, "lblDefRemoved", "0").c_str());
    report_.removedTotal = std::max(0LL, before) + static_cast<long long>(report_.removed.size());
    settings_.Write(kSettings, "lblDefRemoved", std::to_string(report_.removedTotal));
}

void RemovalRun::HideDeleteFailed() {
    form_.frmDelete.visible = false;
}

void RemovalRun::CopyProblemList() {
    std::string text;
    for (const auto& row : form_.frmDelete.lstProblem.rows)
        text += row.text + "\r\n";
    services_.context.platform.clipboard.PutText(text);
}

}  // namespace qm::removal
