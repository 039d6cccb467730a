#pragma once
// The options page's behaviour: every option is stored the moment its control changes, and
// the stored settings are read back into the controls at start-up.

#include <string>

#include "app/MachineSettings.h"
#include "settings/SettingsStore.h"
#include "ui/FrmMain.h"
#include "work/Context.h"

namespace qm::app {

struct OptionsServices {
    work::Context context;
    std::string executablePath;  // the program's own full file name
};

class OptionsPage {
  public:
    OptionsPage(ui::FrmMain& form, OptionsServices services);

    // Reads every stored option into the controls (start-up, after the drive list is filled).
    // `definitionDate` is the installed definitions' date for the Auto Update tab.
    void LoadSettingsIntoControls(const std::string& definitionDate);

    // A click on a check box whose value the control has already toggled.
    void CheckBoxClicked(ui::CheckBox& box);
    // A click on an option button: it becomes the selected one of its pair.
    void OptionClicked(ui::OptionButton& option);
    // The mouse released on `chkSendData` (its value already toggled): turning it off asks.
    void SendDataReleased();
    // A drive row's check mark changed: every row's mark is stored.
    void DriveCheckChanged();

    // Sets a check box or option button as the loading does: like a click when it changes.
    void SetCheck(ui::CheckBox& box, int value);
    void SetOption(ui::OptionButton& option, bool value);

    // The program's executable name without folder and extension ("Quillmarsh").
    std::string ExeBaseName() const;

  private:
    ui::OptionButton* PartnerOf(const ui::OptionButton& option);
    const char* KeyOf(const ui::OptionButton& option) const;
    void StorePair(ui::OptionButton& option);
    void RunAtStartupClicked();
    void RefreshRunAtStartLabel();
    void SetHomePageChoicesEnabled(bool enabled);

    ui::FrmMain& form_;
    OptionsServices services_;
    settings::ProgramSettings settings_;
};

}  // namespace qm::app
