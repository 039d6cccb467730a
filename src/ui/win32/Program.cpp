#include "ui/win32/Program.h"

#include "app/OptionsPage.h"
#include "app/SettingsStore.h"
#include "definitions/DefinitionFiles.h"
#include "definitions/PathTokens.h"
#include "definitions/Text.h"
#include "i18n/MessageCatalogue.h"
#include "platform/win32/RegistrySettingsStore.h"
#include "platform/win32/Win32Platform.h"
#include "removal/PropagateCheck.h"
#include "removal/QuarantineStore.h"
#include "scan/DriveList.h"
#include "scan/ListSorting.h"
#include "scan/ScanSession.h"
#include "ui/FrmMain.h"
#include "ui/win32/MainWindow.h"
#include "ui/win32/Win32Interaction.h"

namespace qm::ui::win32 {

struct Program::Parts {
    Parts(HINSTANCE instance, ProgramOptions opts)
        : options(std::move(opts)),
          window(instance, form, Handlers()),
          prompts([this] { return window.Handle(); }),
          pickers([this] { return window.Handle(); }),
          pump([this] { return window.Handle(); }, [this] { window.Sync(); }) {}

    MainWindowHandlers Handlers() {
        MainWindowHandlers h;
        h.startScan = [this] {
            if (session) session->StartScan();
        };
        h.pauseScan = [this] {
            if (session) session->PauseScan();
        };
        h.stopScan = [this](bool fromLabel) {
            if (session) session->StopScan(fromLabel);
        };
        h.selectAll = [this] {
            if (session) session->SelectAll();
        };
        h.resultCheckChanged = [this](ListItem& row) { removal::PropagateCheck(form, row); };
        h.liveListColumnClicked = [this](int column) {
            scan::EnhListView_SortColumns(form.lvwSpywareFound, column, false);
        };
        h.checkBoxClicked = [this](CheckBox& box) {
            if (optionsPage) optionsPage->CheckBoxClicked(box);
        };
        h.optionClicked = [this](OptionButton& option) {
            if (optionsPage) optionsPage->OptionClicked(option);
        };
        h.sendDataReleased = [this] {
            if (optionsPage) optionsPage->SendDataReleased();
        };
        h.exclude = [this] {
            if (session) session->ExcludeCheckedResults();
        };
        h.viewExclusions = [this] {
            if (session) session->ViewExclusions();
        };
        h.viewQuarantine = [this] {
            if (quarantine) quarantine->ViewQuarantine();
        };
        h.driveCheckChanged = [this] {
            if (optionsPage) optionsPage->DriveCheckChanged();
        };
        return h;
    }

    ProgramOptions options;
    platform::win32::Win32Platform machine;
    platform::win32::RegistrySettingsStore settings;
    i18n::MessageCatalogue messages;
    FrmMain form;
    MainWindow window;
    Win32Prompts prompts;
    Win32Pickers pickers;
    Win32EventPump pump;
    std::unique_ptr<scan::ScanSession> session;
    std::unique_ptr<app::OptionsPage> optionsPage;
    std::unique_ptr<removal::QuarantineStore> quarantine;
};

Program::Program(HINSTANCE instance, ProgramOptions options)
    : parts_(std::make_unique<Parts>(instance, std::move(options))) {}

Program::~Program() = default;

HWND Program::Window() const {
    return parts_->window.Handle();
}

void Program::SetPumpIntervalMs(unsigned ms) {
    parts_->pump.SetIntervalMs(ms);
}

bool Program::Start(int showCommand) {
    Parts& p = *parts_;
    const platform::ProductInfo product = p.machine.version.OwnProductInfo();
    p.messages.SetPlaceholders(product.productName, product.companyName);
    i18n::LoadDefaultMessages(p.messages);

    std::string dataFolder = p.options.dataFolder.empty()
                                 ? defs::ExpandPathTokens(p.machine.shell, defs::kDataFolderToken)
                                 : p.options.dataFolder;
    p.session = std::make_unique<scan::ScanSession>(
        p.form,
        scan::ScanServices{p.machine.platform, p.prompts, p.pickers, p.pump, p.settings, p.messages,
                           product},
        dataFolder);
    // Start-up's part for the definitions: install downloaded copies, count the signatures.
    // A data folder that is missing or unreadable simply counts as an empty set.
    p.session->Files().InstallDownloadedDefinitions();
    p.session->SetSignatureCounts(p.session->Files().CountDefinitions());
    p.session->LoadExclusions();
    p.quarantine =
        std::make_unique<removal::QuarantineStore>(p.machine.platform, dataFolder, *p.session);
    p.optionsPage = std::make_unique<app::OptionsPage>(
        p.form, app::OptionsServices{p.settings, p.machine.registry, p.prompts, p.messages, product,
                                     p.machine.version.OwnExecutablePath()});
    // The drive list first, so that loading the settings restores its marks.
    scan::FillDriveList(p.form.lvwHardDrives, p.machine.drives, p.pump,
                        app::ProgramSettings(p.settings, product.productName));
    p.optionsPage->LoadSettingsIntoControls(p.session->Files().ReadDefinitionDate());
    p.form.frmStatus.caption = product.productName + " Status";
    p.session->ShowStatusPage();
    p.form.ShowPage(p.form.frmStatus);

    if (!p.window.Create()) return false;
    p.window.SetTitle(p.messages.getMessages("MSG_CAPTION"));
    p.window.Sync();
    const bool maximized = p.form.windowState == WindowState::Maximized;
    p.window.Show(maximized ? SW_SHOWMAXIMIZED : showCommand);
    return true;
}

int Program::Run() {
    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        HWND dialog = parts_->window.Handle();
        if (dialog && ::IsDialogMessageA(dialog, &message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

ProgramOptions ParseProgramOptions(const std::string& commandLine) {
    ProgramOptions options;
    // The one option: --data-folder DIR (quoted when it holds blanks).
    const std::string flag = "--data-folder";
    const auto at = commandLine.find(flag);
    if (at == std::string::npos) return options;
    std::string rest = text::Trim(commandLine.substr(at + flag.size()));
    if (!rest.empty() && rest.front() == '"') {
        const auto close = rest.find('"', 1);
        options.dataFolder =
            rest.substr(1, close == std::string::npos ? std::string::npos : close - 1);
    } else {
        options.dataFolder = rest.substr(0, rest.find(' '));
    }
    return options;
}

}  // namespace qm::ui::win32
