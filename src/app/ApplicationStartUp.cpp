// The program's start: the splash, the main window's load step by step, the first run's
// greeting and help, and the About box.

#include "app/Application.h"

#include "app/MachineSettings.h"
#include "app/SiblingRecords.h"
#include "app/SkippingStep.h"
#include "scan/DriveList.h"
#include "text/Text.h"

namespace qm::app {

void Application::LoadSplash() {
    ui::FrmSplash& splash = form_.frmSplash;
    splash.lblProduct.caption = product_.productName;
    splash.lblCompany.caption = product_.companyName;
    splash.lblWebsite.caption = product_.website;
    splash.counter = 0;
    splash.visible = true;
    splash.Timer2.enabled = true;
}

bool Application::Start() {
    // Start-up loads the definitions, the exclusions and the settings while events run: a
    // shield or the schedule acting on half-loaded lists would ask about programs the user
    // allowed long ago, or start a scan against nothing.
    starting_ = true;
    struct Started {
        bool& starting;
        ~Started() { starting = false; }
    } started{starting_};
    ui::StartUpWindows* windows = frontEnd_.startUp;
    settings::ProgramSettings settings = Settings();
    // The records for the sibling tools first: a failing one never stops the start.
    Skipping([&] { WriteStartupRecords(frontEnd_.settings, product_, programPath_, form_); });
    // The language: an empty setting means the user has never chosen one.
    bool firstLanguageChoice = false;
    Skipping([&] {
        firstLanguageChoice =
            text::Trim(settings.Read(settings::section::kSettings, "Language", "")).empty();
        language_ = firstLanguageChoice
                        ? "English"
                        : settings.Read(settings::section::kSettings, "Language", "English");
    });
    Skipping([&] { localization_.ChangeLanguage(form_, language_); });
    if (firstLanguageChoice && windows) {
        Skipping([&] {
            settings.Write(settings::section::kSettings, "Language", "English");
            // Modal: loading goes on once the user has closed it.
            ShowLanguageWindow();
            while (form_.frmLanguage.visible && !frontEnd_.pump.Quitting())
                frontEnd_.pump.WaitForEvents();
        });
    }
    // A second copy ends here, before it has written its status or shown a window.
    if (windows && windows->AnotherInstanceRunning()) return false;
    // The definitions: downloaded copies installed, signatures counted. A data folder that is
    // missing or unreadable simply counts as an empty set.
    Skipping([&] { store_.InstallAndCount(); });
    Skipping([&] { store_.LoadExclusions(events_); });
    Skipping([&] { unsignedAllowed_ = UpdateTrust().allowUnsigned; });
    Skipping([&] { RefreshStatusPage(); });
    for (ui::Frame* page : {&form_.frmStatus, &form_.frmScan, &form_.frmResults, &form_.frmOptions})
        page->visible = false;
    form_.frmStatus.caption = product_.productName + " Status";
    form_.frmStatus.visible = true;
    if (windows && windows->AnotherInstanceRunning()) return false;
    // The console's runs are not the program running: only the window says so.
    if (windows) Skipping([&] { WriteRunningStatus(settings, true); });
    form_.frmHidden = true;
    form_.caption = Message("MSG_CAPTION");
    form_.cmdWebsite.caption = product_.website;
    form_.shpCircle.visible = false;
    form_.showInTaskbar = false;
    // The memory shield is armed from its setting before the settings reach the controls and
    // again after, so that neither order leaves it off while it is switched on.
    Skipping([&] { ArmMemoryShield(); });
    Skipping([&] { scheduler_.LoadSchedule(); });
    // The drive list first, so that loading the settings restores its marks.
    Skipping([&] {
        scan::FillDriveList(form_.lvwHardDrives, frontEnd_.platform.drives, frontEnd_.pump,
                            settings);
    });
    Skipping([&] { options_.LoadSettingsIntoControls(store_.Files().ReadDefinitionDate()); });
    Skipping([&] { ArmMemoryShield(); });
    form_.tmrScroll.enabled = false;
    form_.frmDelete.visible = false;
    form_.Label22.caption = Message("MSG_CAPTION2");
    if (windows) {
        Skipping([&] {
            if (settings.Read(settings::section::kSettings, "showHelp", "1") != "1") return;
            ViewHelp();
            frontEnd_.pump.LetEventsRun();
            settings.Write(settings::section::kSettings, "showHelp", "0");
        });
    }
    // Automatic update is armed only by a stored 1, whatever the check box shows.
    Skipping([&] {
        form_.timUpdate.enabled = text::Trim(settings.Read(settings::section::kOptions,
                                                           "chkAutomaticUpdate", "0")) == "1";
    });
    Skipping([&] {
        if (settings.Read(settings::section::kSettings, "Minimized", "No") == "Yes")
            MinimizeToTray();
    });
    if (windows) Skipping([&] { ShowFirstRunGreeting(); });
    return true;
}

void Application::ArmMemoryShield() {
    form_.tmrMemoryInspected.enabled =
        Settings().ReadFlag(settings::section::kOptions, "optMemorySheildOn", true);
}

void Application::ShowFirstRunGreeting() {
    settings::ProgramSettings settings = Settings();
    MachineSettings machine(frontEnd_.platform.registry, settings, frontEnd_.prompts, product_);
    const auto firstTime = machine.ReadMachineSetting(
        product_.productName, settings::section::kSettings, "FirstTime", "");
    if (!text::Trim(firstTime.value).empty()) return;
    // A standard user cannot write the machine-wide record: the greeting is then remembered for
    // this user, so that neither it nor the refusal comes back at every start.
    if (text::Trim(settings.Read(settings::section::kSettings, "FirstTime", "")) == "Yes") return;
    // A refused write says "Permission Denied"; the greeting is shown all the same.
    if (!machine.WriteMachineSetting(product_.productName, settings::section::kSettings,
                                     "FirstTime", "Yes")) {
        settings.Write(settings::section::kSettings, "FirstTime", "Yes");
    }
    const std::string text = Message("MSG_THANK1") + "\r\n\r\n" + Message("MSG_THANK2") +
                             "\r\n\r\n" + Message("MSG_THANK3");
    if (frontEnd_.prompts.ShowMessage(text, Message("MSG_THANK4"), ui::MessageButtons::YesNo,
                                      ui::MessageIcon::Question) == ui::MessageAnswer::Yes) {
        RunLiveUpdate();
    }
}

void Application::OpenWebsite() {
    std::string address = text::Trim(product_.website);
    if (address.empty()) return;
    if (address.find("://") == std::string::npos) address = "http://" + address;
    frontEnd_.platform.launcher.Open(address);
}

void Application::ViewHelp() {
    const std::string folder = text::FolderOf(programPath_);
    const std::string help = folder.empty() ? "Help.chm" : folder + "\\Help.chm";
    // A missing help file opens nothing.
    if (!frontEnd_.platform.files.Attributes(help)) return;
    frontEnd_.platform.launcher.Open(help);
    settings::ProgramSettings settings = Settings();
    MachineSettings(frontEnd_.platform.registry, settings, frontEnd_.prompts, product_)
        .WriteMachineSetting(product_.productName, settings::section::kSettings, "showHelp", "0");
}

void Application::ShowAbout() {
    ui::FrmAbout& about = form_.frmAbout;
    about.caption = "About " + product_.productName;
    about.lblProduct.caption = product_.productName;
    about.lblCompany.caption = product_.companyName;
    about.lblVersion.caption =
        std::to_string(product_.major) + "." + std::to_string(product_.minor);
    about.visible = true;
}

}  // namespace qm::app
