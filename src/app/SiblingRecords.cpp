#include "app/SiblingRecords.h"

namespace qm::app {

namespace {

std::string BaseNameWithoutExtension(const std::string& path) {
    std::string name = path.substr(path.find_last_of("\\/") + 1);
    if (const auto dot = name.rfind('.'); dot != std::string::npos) name.erase(dot);
    return name;
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
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
    store.Write(kOwnRecordsApp, product.companyName, "File",
                FolderOf(programPath) + "\\" + BaseNameWithoutExtension(programPath) + ".exe");
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
