#include "app/OptionsPage.h"

#include <cstdlib>

#include "app/SkippingStep.h"
#include "scan/DriveList.h"
#include "text/Text.h"

namespace qm::app {

using settings::section::kOptions;
using settings::section::kSettings;

OptionsPage::OptionsPage(ui::FrmMain& form, OptionsServices services)
    : form_(form), services_(std::move(services)), settings_(services_.context.Settings()) {}

std::string OptionsPage::ExeBaseName() const {
    return text::StemOf(services_.executablePath);
}

ui::OptionButton* OptionsPage::PartnerOf(const ui::OptionButton& option) {
    ui::FrmMain& f = form_;
    const std::pair<ui::OptionButton*, ui::OptionButton*> pairs[] = {
        {&f.optMemorySheildOn, &f.optMemorySheildOff},
        {&f.optIEHomePageSheildOn, &f.optIEHomePageSheildOff},
        {&f.optAlwaysnotifybeforerestoring, &f.optRestoredefaultwithoutnotification},
        {&f.optScanAllSelectedHardDrive, &f.optScanOnlyKnownSoftwares},
    };
    for (const auto& [a, b] : pairs) {
        if (&option == a) return b;
        if (&option == b) return a;
    }
    return nullptr;
}

const char* OptionsPage::KeyOf(const ui::OptionButton& option) const {
    const ui::FrmMain& f = form_;
    if (&option == &f.optMemorySheildOn) return "optMemorySheildOn";
    if (&option == &f.optMemorySheildOff) return "optMemorySheildOff";
    if (&option == &f.optIEHomePageSheildOn) return "optIEHomePageSheildOn";
    if (&option == &f.optIEHomePageSheildOff) return "optIEHomePageSheildOff";
    if (&option == &f.optAlwaysnotifybeforerestoring) return "optAlwaysnotifybeforerestoring";
    if (&option == &f.optRestoredefaultwithoutnotification)
        return "optRestoredefaultwithoutnotification";
    if (&option == &f.optScanAllSelectedHardDrive) return "optScanAllSelectedHardDrive";
    if (&option == &f.optScanOnlyKnownSoftwares) return "optScanOnlyKnownSoftwares";
    return nullptr;
}

void OptionsPage::StorePair(ui::OptionButton& option) {
    // Both keys of the pair, each from its own button, so one reads "True" and one "False".
    ui::OptionButton* partner = PartnerOf(option);
    settings_.WriteOption(kOptions, KeyOf(option), option.value);
    if (partner) settings_.WriteOption(kOptions, KeyOf(*partner), partner->value);
}

void OptionsPage::SetHomePageChoicesEnabled(bool enabled) {
    form_.optAlwaysnotifybeforerestoring.enabled = enabled;
    form_.optRestoredefaultwithoutnotification.enabled = enabled;
}

void OptionsPage::OptionClicked(ui::OptionButton& option) {
    ui::FrmMain& f = form_;
    ui::OptionButton* partner = PartnerOf(option);
    if (!partner) return;
    option.value = true;
    partner->value = false;
    StorePair(option);
    if (&option == &f.optMemorySheildOn || &option == &f.optMemorySheildOff) {
        const bool on = f.optMemorySheildOn.value;
        f.tmrMemoryInspected.enabled = on;
        f.chkAutoProtect.value = on ? 1 : 0;  // the home page's switch shows the same state
    } else if (&option == &f.optIEHomePageSheildOn || &option == &f.optIEHomePageSheildOff) {
        const bool on = f.optIEHomePageSheildOn.value;
        f.tmrCheckHomePage.enabled = on;
        SetHomePageChoicesEnabled(on);
        f.chkHomePage.value = on ? 1 : 0;
    }
}

void OptionsPage::CheckBoxClicked(ui::CheckBox& box) {
    ui::FrmMain& f = form_;
    if (&box == &f.chkAutoProtect) {
        const bool on = box.value != 0;
        settings_.WriteOption(kOptions, "optMemorySheildOn", on);
        settings_.WriteOption(kOptions, "optMemorySheildOff", !on);
        f.tmrMemoryInspected.enabled = on;
        f.optMemorySheildOn.value = on;
        f.optMemorySheildOff.value = !on;
        return;
    }
    if (&box == &f.chkHomePage) {
        const bool on = box.value != 0;
        settings_.WriteOption(kOptions, "optIEHomePageSheildOn", on);
        settings_.WriteOption(kOptions, "optIEHomePageSheildOff", !on);
        f.tmrCheckHomePage.enabled = on;
        SetHomePageChoicesEnabled(on);
        f.optIEHomePageSheildOn.value = on;
        f.optIEHomePageSheildOff.value = !on;
        return;
    }
    if (&box == &f.chkRunAtStartup) {
        RunAtStartupClicked();
        return;
    }
    if (&box == &f.chkAutoDel) {
        settings_.WriteCheck(kSettings, "chkAutoDel", box.value);
        return;
    }
    const std::pair<ui::CheckBox*, const char*> ownKeys[] = {
        {&f.chkSweepMemory, "chkSweepMemory"},
        {&f.chkScanRegistry, "chkScanRegistry"},
        {&f.chkScanCookies, "chkScanCookies"},
        {&f.chkMakeLog, "chkMakeLog"},
        {&f.chkAutomaticUpdate, "chkAutomaticUpdate"},
        {&f.chkBrowserPolicies, "chkBrowserPolicies"},
    };
    for (const auto& [control, key] : ownKeys) {
        if (&box == control) settings_.WriteCheck(kOptions, key, box.value);
    }
}

void OptionsPage::RunAtStartupClicked() {
    settings_.WriteCheck(kOptions, "chkRunAtStartup", form_.chkRunAtStartup.value);
    const std::string name = ExeBaseName();
    if (name.empty()) return;
    if (settings_.ReadCheck(kOptions, "chkRunAtStartup", 1) == 1) {
        // Quoted, with its extension: a path with blanks left bare would let Windows try
        // "C:\Program.exe" first.
        const std::string command =
            "\"" + text::FolderOf(services_.executablePath) + "\\" + name + ".exe\"";
        services_.context.platform.registry.WriteString(platform::root::kLocalMachine, kRunKey,
                                                        name, command);
    } else {
        services_.context.platform.registry.DeleteValue(platform::root::kLocalMachine, kRunKey,
                                                        name);
    }
    RefreshRunAtStartLabel();
}

void OptionsPage::RefreshRunAtStartLabel() {
    const std::string& product = services_.context.product.productName;
    const std::string name = ExeBaseName();
    if (RunEntryPresentForAllUsers(services_.context.platform.registry, product, name)) {
        form_.lblRunAtStart.caption = "(Enabled - All Users)";
    } else if (RunEntryPresentForThisUser(services_.context.platform.registry, product, name)) {
        form_.lblRunAtStart.caption = "(Enabled - This User)";
    } else {
        form_.lblRunAtStart.caption = "(Disabled - Run Manually)";
    }
}

void OptionsPage::SendDataReleased() {
    ui::CheckBox& box = form_.chkSendData;
    if (box.value == 0) {
        const auto& m = services_.context.messages;
        const std::string text = m.getMessages("MSG_ANON1") + "\r\n\r\n" +
                                 m.getMessages("MSG_ANON2") + "\r\n\r\n" +
                                 m.getMessages("MSG_ANON3");
        const auto answer = services_.context.prompts.ShowMessage(
            text, m.getMessages("MSG_ANON4"), ui::MessageButtons::YesNo, ui::MessageIcon::Question);
        if (answer != ui::MessageAnswer::Yes) box.value = 1;
    }
    settings_.WriteCheck(kOptions, "chkSendData", box.value);
}

void OptionsPage::DriveCheckChanged() {
    scan::StoreDriveMarks(form_.lvwHardDrives, settings_);
}

void OptionsPage::SetCheck(ui::CheckBox& box, int value) {
    value = value != 0 ? 1 : 0;
    if (box.value == value) return;
    box.value = value;
    CheckBoxClicked(box);
}

void OptionsPage::SetOption(ui::OptionButton& option, bool value) {
    if (option.value == value) return;
    if (!value) {
        // Clearing a button selects nothing else and is no click.
        option.value = false;
        return;
    }
    OptionClicked(option);
}

void OptionsPage::LoadSettingsIntoControls(const std::string& definitionDate) {
    ui::FrmMain& f = form_;
    const auto flag = [this](const char* key, bool fallback) {
        return settings_.ReadFlag(kOptions, key, fallback);
    };
    const auto check = [this](const char* key, int fallback) {
        return settings_.ReadCheck(kOptions, key, fallback);
    };
    Skipping([&] { settings_.Write(kOptions, "SHOW", "True"); });
    Skipping([&] {
        SetOption(f.optIEHomePageSheildOn, flag("optIEHomePageSheildOn", true));
        SetCheck(f.chkHomePage, f.optIEHomePageSheildOn.value ? 1 : 0);
    });
    Skipping([&] {
        SetCheck(f.chkMakeLog, check("chkMakeLog", 1));
        SetOption(f.optIEHomePageSheildOff, flag("optIEHomePageSheildOff", false));
        SetOption(f.optAlwaysnotifybeforerestoring, flag("optAlwaysnotifybeforerestoring", true));
        SetOption(f.optRestoredefaultwithoutnotification,
                  flag("optRestoredefaultwithoutnotification", false));
        SetOption(f.optMemorySheildOn, flag("optMemorySheildOn", true));
        SetCheck(f.chkAutoProtect, f.optMemorySheildOn.value ? 1 : 0);
        SetOption(f.optMemorySheildOff, flag("optMemorySheildOff", false));
    });
    Skipping([&] {
        SetCheck(f.chkSweepMemory, check("chkSweepMemory", 1));
        SetCheck(f.chkScanRegistry, check("chkScanRegistry", 1));
        SetOption(f.optScanAllSelectedHardDrive, flag("optScanAllSelectedHardDrive", true));
        // The scan type always shows "Quick Scan" after start-up.
        SetOption(f.optScanOnlyKnownSoftwares, true);
    });
    Skipping([&] {
        SetCheck(f.chkRunAtStartup, check("chkRunAtStartup", 0));
        RefreshRunAtStartLabel();
    });
    Skipping([&] {
        SetCheck(f.chkSweepMemory, check("chkSweepMemory", 1));
        SetCheck(f.chkScanRegistry, check("chkScanRegistry", 1));
        SetCheck(f.chkScanCookies, check("chkScanCookies", 1));
        // Its handler runs on a mouse release only, so loading never asks the question.
        f.chkSendData.value = check("chkSendData", 1);
    });
    Skipping(
        [&] { f.lblLastUpdate.caption = "Signatures Last Updated On " + definitionDate + " PST"; });
    Skipping([&] {
        f.chkAutomaticScanYesOrNo.value = check("chkAutomaticScanYesOrNo", 0);
        const bool scheduled = f.chkAutomaticScanYesOrNo.value != 0;
        f.dtpScheduleDate.enabled = scheduled;
        f.dtpScheduleTime.enabled = scheduled;
        f.tmrScheduler.enabled = scheduled;
        f.cmbDays.enabled = scheduled;
    });
    Skipping([&] { SetCheck(f.chkAutomaticUpdate, check("chkAutomaticUpdate", 1)); });
    Skipping([&] { SetCheck(f.chkBrowserPolicies, check("chkBrowserPolicies", 1)); });
    Skipping([&] { scan::LoadDriveMarks(f.lvwHardDrives, settings_); });
    Skipping([&] {
        ui::ListView& results = f.lvwPicRemoveListOfSpywareFoundAndToBeRemoved;
        results.columnWidths.assign(results.columns.size(), 1400);
        for (std::size_t i = 0; i < results.columns.size(); ++i) {
            const std::string stored =
                settings_.Read(kSettings, "FoundCol2" + std::to_string(i + 1), "1400");
            char* end = nullptr;
            const long width = std::strtol(stored.c_str(), &end, 10);
            // A damaged value keeps the default rather than hiding the column.
            if (!stored.empty() && *end == '\0' && width > 0 && width < 100000) {
                results.columnWidths[i] = static_cast<int>(width);
            }
        }
    });
    Skipping([&] {
        if (settings_.ReadFlag(kSettings, "Max", false)) {
            f.windowState = ui::WindowState::Maximized;
        }
    });
    Skipping([&] { f.mousePointer = ui::MousePointer::Default; });
}

}  // namespace qm::app
