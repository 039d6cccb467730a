#include "removal/RemovalRun.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "definitions/Text.h"
#include "scan/ProcessControl.h"
#include "shields/BackgroundTimers.h"

namespace qm::removal {

namespace {

using app::section::kSettings;

// The event loop runs this often while the run gathers its information, as the window has
// always done before a removal: long enough for every pending paint and click to be handled.
constexpr int kGatheringYields = 20001;
// Restore-point type of an application's own change ("modify settings").
constexpr int kRestorePointType = 6;

std::string LastComponent(const std::string& path) {
    const auto slash = path.rfind('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The upper-cased, trimmed text after the last "." of the path's last component.
std::string ExtensionOf(const std::string& path) {
    const std::string name = LastComponent(path);
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
      registry_(services_.platform.registry, quarantine),
      settings_(services_.settingsStore, services_.product.productName) {}

bool RemovalRun::Exists(const std::string& path) const {
    return services_.platform.files.Attributes(path).has_value();
}

void RemovalRun::RepairNow() {
    const ui::ListView& results = form_.lvwPicRemoveListOfSpywareFoundAndToBeRemoved;
    const std::string& title = services_.product.productName;
    const auto tell = [&](const char* key) {
        if (!autoDeleteMode) {
            services_.prompts.ShowMessage(Message(key), title, ui::MessageButtons::Ok,
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
    if (services_.platform.systemRestore.Available()) {
        question += "\r\n\r\n" + Message("MSG_CONFIRM3") + "\r\n\r\n" + Message("MSG_CONFIRM4");
    }
    if (!autoDeleteMode &&
        services_.prompts.ShowMessage(question, Message("MSG_REALLY"), ui::MessageButtons::YesNo,
                                      ui::MessageIcon::Question) != ui::MessageAnswer::Yes) {
        return;
    }
    form_.pgbDeleteSpywaresFound.visible = true;
    form_.lblDeletingPercentageCompleted.visible = true;
    form_.lblDeletingCaption.visible = true;
    form_.frmDelete.lstProblem.Clear();
    RemoveSelected();
}

void RemovalRun::RemoveSelected() {
    report_ = RemovalReport{};
    report_.ran = true;
    rowWasFolder_.assign(form_.lvwFilesToBeDeleted.rows.size(), false);
    registryRemoved_.assign(form_.lvwRegistryToBeDeleted.rows.size(), false);
    for (std::size_t i = 0; i < form_.lvwFilesToBeDeleted.rows.size(); ++i) {
        const auto a = services_.platform.files.Attributes(form_.lvwFilesToBeDeleted.rows[i].text);
        rowWasFolder_[i] = a && (*a & platform::attr::kDirectory) != 0;
    }
    form_.frmDelete.lblRestart.visible = false;

    // 1.
    services_.platform.files.CreateFolder(quarantine_.Folder());
    form_.ShowPage(form_.frmResults);
    form_.tmrScroll.enabled = false;
    shields::SetBackgroundTimers(form_, settings_, false);
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
    platform::SystemRestore& restore = services_.platform.systemRestore;
    std::optional<std::int64_t> restorePoint;
    if (restore.Available()) {
        form_.lblDeletingPercentageCompleted.caption = Message("MSG_RESTOREPOINT");
        PassEvents();
        restorePoint = restore.Begin(
            services_.product.productName + " Restore Point " + services_.platform.clock.NowText(),
            kRestorePointType);
        report_.restorePoint = restorePoint.has_value();
    }
    {
        const QuarantineStore::OpenFiles records(quarantine_);
        quarantine_.logging = true;
        RemovalPass(true);
        quarantine_.logging = false;
        RemovalPass(false);
    }
    if (restorePoint) restore.End(*restorePoint);

    // What is still there may go at the next start, but only with its backup safe.
    for (const auto& path : report_.failed) {
        if (quarantine_.VerifiedCopyOf(path) && services_.platform.files.DeleteAtRestart(path)) {
            report_.scheduledAtRestart.push_back(path);
        }
    }
    form_.frmDelete.lblRestart.visible = !report_.scheduledAtRestart.empty();
    CountRemoved();

    // 4.
    PruneCheckedRows();

    // 5.
    form_.lblDeletingCaption.caption.clear();
    form_.pgbDeleteSpywaresFound.Set(form_.pgbDeleteSpywaresFound.max);
    form_.lblDeletingPercentageCompleted.caption = "100% " + Message("MSG_COMPLETE");
    shields::SetBackgroundTimers(form_, settings_, true);
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
    if (!firstPass && !form_.frmDelete.lstProblem.rows.empty()) form_.frmDelete.visible = true;
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
    form_.frmDelete.lstProblem.Add(path);
    report_.failed.push_back(path);
    for (auto& result : form_.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.rows) {
        if (result.text == row.SubItem(1)) {
            result.checked = false;
            break;
        }
    }
    row.checked = false;
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
    const std::string name = LastComponent(path);
    if (!scan::StopProcessByName(services_.platform.processes, name)) return 2;
    return quarantine_.QuarantineFile(path, name) ? 1 : 0;
}

// A detected library is never loaded to unregister it: loading runs its start-up code, code
// the scan has just judged harmful. Its backup and deletion are all the removal needs.
int RemovalRun::RemoveLibrary(const std::string& path) {
    if (path.find('\\') == std::string::npos) return 0;
    if (!Exists(path)) return -1;
    return quarantine_.QuarantineFile(path, LastComponent(path)) ? 1 : 0;
}

void RemovalRun::PruneCheckedRows() {
    for (ui::ListView* list :
         {&form_.lvwFilesToBeDeleted, &form_.lvwRegistryToBeDeleted, &form_.lvwSpywareFound,
          &form_.lvwPicRemoveListOfSpywareFoundAndToBeRemoved}) {
        std::erase_if(list->rows, [](const ui::ListItem& row) { return row.checked; });
    }
}

void RemovalRun::CountRemoved() {
    // File and folder rows: gone from the disk after both passes.
    const auto& files = form_.lvwFilesToBeDeleted.rows;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (!files[i].checked || Exists(files[i].text)) continue;
        report_.removed.push_back({rowWasFolder_[i] ? "folder" : "file",
                                   WithoutTrailingSeparator(files[i].text), files[i].SubItem(1)});
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
    services_.platform.clipboard.PutText(text);
}

}  // namespace qm::removal
