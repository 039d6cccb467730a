#include "app/SiblingRecords.h"

#include "definitions/Text.h"

namespace qm::app {

namespace {

std::string BaseNameWithoutExtension(const std::string& path) {
    std::string name = text::FileNameOf(path);
    if (const auto dot = name.rfind('.'); dot != std::string::npos) name.erase(dot);
    return name;
}

}  // namespace

AntiHijackTool ReadAntiHijackTool(SettingsStore& store, const std::string& company) {
    return {store.Read(kAntiHijackApp, company, "Name", ""),
            store.Read(kAntiHijackApp, company, "File", "")};
}

void WriteStartupRecords(SettingsStore& store, const platform::ProductInfo& product,
                         const std::string& programPath, ui::FrmMain& form) {
    const AntiHijackTool tool = ReadAntiHijackTool(store, product.companyName);
    if (!tool.name.empty()) {
        form.cmdHijack.caption = tool.name;
        form.cmdHijack.visible = true;
    }
    store.Write(kOwnRecordsApp, product.companyName, "Name", product.productName);
    store.Write(
        kOwnRecordsApp, product.companyName, "File",
        text::FolderOf(programPath) + "\\" + BaseNameWithoutExtension(programPath) + ".exe");
}

void WriteRunningStatus(ProgramSettings settings, bool running) {
    settings.Write(section::kOptions, "STATUS", running ? "RUNNING" : "STOPPED");
    settings.Write(section::kOptions, "RESTART", "False");
}

void LaunchAntiHijack(SettingsStore& store, platform::Platform& platform, ui::Prompts& prompts,
                      const platform::ProductInfo& product) {
    const AntiHijackTool tool = ReadAntiHijackTool(store, product.companyName);
    if (!tool.file.empty() && platform.files.Attributes(tool.file)) {
        platform.launcher.Run("\"" + tool.file + "\"");
        return;
    }
    prompts.ShowMessage("Sorry, the following file no longer exists: \r\n" + tool.file,
                        product.productName, ui::MessageButtons::Ok, ui::MessageIcon::None);
}

}  // namespace qm::app
