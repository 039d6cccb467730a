// Live Update from the window and from the console: the exchange with the definition server,
// what follows a change of definitions, the progress window, the notice and the automatic
// update once the program has been idle.

#include "app/Application.h"

#include "app/MachineSettings.h"
#include "text/Text.h"
#include "update/AddressList.h"

namespace qm::app {

update::UpdateOutcome Application::UpdateDefinitions(const std::string& serverAddress) {
    std::string status;
    update::UpdateOutcome outcome;
    outcome.status = update::UpdateOutcome::Status::NotWritten;
    work_.Run(work::LongWork::Kind::Foreground,
              [&] { outcome = ExchangeWithServer(serverAddress, status); });
    return outcome;
}

update::UpdateOutcome Application::ExchangeWithServer(const std::string& serverAddress,
                                                      std::string& status) {
    update::LiveUpdate exchange(frontEnd_.platform, frontEnd_.pump, store_.Files(), product_,
                                serverAddress, UpdateTrust());
    updateCancelled_ = false;
    const update::UpdateOutcome outcome =
        exchange.FetchAndMergeUpdates(status, [this] { return updateCancelled_; });
    if (outcome.status != update::UpdateOutcome::Status::Updated) return outcome;
    // Counted and reloaded only: installing downloaded copies is start-up's alone, or a copy
    // that appeared since would replace the file just merged under the new date.
    store_.Recount();
    // The memory pass skips its work while the same programs run; with new program
    // definitions every one of them is looked at again.
    memoryShield_.Snapshot().names.clear();
    form_.lblLastUpdate.caption = "Signatures Last Updated On " + outcome.storedDate + " PST";
    RefreshStatusPage();
    return outcome;
}

update::UpdateTrust Application::UpdateTrust() {
    settings::ProgramSettings settings = Settings();
    MachineSettings machine(frontEnd_.platform.registry, settings, frontEnd_.prompts, product_);
    // Beside `FirstTime`, where only an administrator can write: the program never sets it.
    const auto allow = machine.ReadMachineSetting(
        product_.productName, settings::section::kSettings, kAllowUnsignedDefinitions, "");
    unsignedAllowed_ = text::Trim(allow.value) == "1";
    return {text::FolderOf(programPath_), unsignedAllowed_};
}

std::string Application::ServerAddress() const {
    if (!serverOverride_.empty()) return serverOverride_;
    const std::string stored =
        text::Trim(Settings().Read(settings::section::kOptions, "UpdateServer", ""));
    return stored.empty() ? update::DefaultServerAddress() : stored;
}

void Application::RunLiveUpdate() {
    if (work_.Busy()) return;
    ui::FrmDownload& download = form_.frmDownload;
    form_.cmdLiveUpdate.enabled = false;
    using Status = update::UpdateOutcome::Status;
    work_.Run(work::LongWork::Kind::Foreground, [&] {
        download.txtStatus.clear();
        download.Open();
        const update::UpdateOutcome outcome =
            ExchangeWithServer(ServerAddress(), download.txtStatus);
        if (outcome.status == Status::Updated) {
            settings::ProgramSettings settings = Settings();
            settings.Write(settings::section::kOptions, "SHOW", "True");
            settings.Write(settings::section::kOptions, "RESTART", "True");
            download.trayIconShown = false;
            ShowNotice(Message("MSG_UPDATED_DEFS"));
        } else if (outcome.status == Status::NotWritten) {
            // New definitions came but could not be put in place: saying they are the most
            // recent would leave the user unprotected without knowing it.
            ShowNotice(Message("MSG_DEFS_NOT_SAVED"));
        } else if (outcome.status == Status::Unreachable) {
            // A failed exchange is no news of the most recent definitions.
            ShowNotice(Message("MSG_INTERNET"));
        } else if (outcome.status == Status::Unverified) {
            // Not the maker's answer: telling the user is the whole point of checking.
            ShowNotice(Message("MSG_DEFS_NOT_VERIFIED"));
        } else if (outcome.status == Status::Current) {
            ShowNotice(Message("MSG_RECENT_DEFS"));
        }  // cancelled by the user: nothing to tell
    });
    download.Close();
    form_.cmdLiveUpdate.enabled = true;
}

void Application::ShowNotice(const std::string& text) {
    ui::FrmSignatureUpdated& notice = form_.frmSignatureUpdated;
    notice.Load(product_.productName,
                frontEnd_.screen ? frontEnd_.screen->Measure() : ui::ScreenFacts{});
    notice.lblUpdateInfo.caption = text;
}

void Application::NoticeOk() {
    Settings().Write(settings::section::kOptions, "SHOW", "false");
    form_.frmSignatureUpdated.Close();
    form_.frmDownload.trayIconShown = false;
}

void Application::CloseDownloadWindow() {
    // Cancel ends the exchange too: nothing is merged or stored.
    if (form_.frmDownload.visible) updateCancelled_ = true;
    form_.frmDownload.Close();
}

void Application::ShowAddressList() {
    frontEnd_.prompts.ShowMessage(update::DefinitionAddressList(product_.website),
                                  product_.productName, ui::MessageButtons::Ok,
                                  ui::MessageIcon::Information);
}

void Application::AutomaticUpdateTick() {
    if (!form_.cmdScanNow.enabled) return;  // a scan's seconds are not idle ones
    if (idleSeconds_ <= 299) {
        ++idleSeconds_;
        return;
    }
    // Work that holds the program (an alert waiting, a removal) only delays the update: the
    // count stays where it is and a later tick tries again.
    if (work_.Busy()) return;
    idleSeconds_ = 0;
    form_.timUpdate.enabled = false;
    RunLiveUpdate();
}

}  // namespace qm::app
