#include "app/SiblingRecords.h"

#include "text/Text.h"

namespace qm::app {

AntiHijackTool ReadAntiHijackTool(settings::SettingsStore& store, const std::string& company) {
    return {store.Read(kAntiHijackApp, company, "Name", ""),
            store.Read(kAntiHijackApp, company, "File", "")};
}

void WriteStartupRecords(settings::SettingsStore& store, const platform::ProductInfo& product,
                         const std::string& programPath, ui::FrmMain& form) {
    const AntiHijackTool tool = ReadAntiHijackTool(store, product.companyName);
    if (!tool.name.empty()) {
        form.cmdHijack.caption = tool.name;
        form.cmdHijack.visible = true;
    }
    store.Write(kOwnRecordsApp, product.companyName, "Name", product.productName);
    store.Write(kOwnRecordsApp, product.companyName, "File",
                text::FolderOf(programPath) + "\\" + text::StemOf(programPath) + ".exe");
}

void WriteRunningStatus(settings::ProgramSettings settings, bool running) {
    settings.Write(settings::section::kOptions, "STATUS", running ? "RUNNING" : "STOPPED");
    settings.Write(settings::section::kOptions, "RESTART", "False");
}

void LaunchAntiHijack(settings::SettingsStore& store, platform::Platform& platform,
                      ui::Prompts& prompts, const platform::ProductInfo& product) {
    const AntiHijackTool tool = ReadAntiHijackTool(store, product.companyName);
    if (!tool.file.empty() && platform.files.Attributes(tool.file)) {
        platform.launcher.Run("\"" + tool.file + "\"");
        return;
    }
    prompts.ShowMessage("Sorry, the following file no longer exists: \r\n" + tool.file,
                        product.productName, ui::MessageButtons::Ok, ui::MessageIcon::None);
}

}  // namespace qm::app
