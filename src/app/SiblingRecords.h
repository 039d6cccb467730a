#pragma once
// The records this program shares with the maker's sibling tools: its own name and file under
// `Tallowmere2`, the anti-hijack tool's under `Gorsemoor2` (read only), and the running
// status in `OptionAndSettings`.

#include <string>

#include "platform/Platform.h"
#include "settings/SettingsStore.h"
#include "ui/FrmMain.h"
#include "ui/Interaction.h"

namespace qm::app {

inline constexpr const char* kOwnRecordsApp = "Tallowmere2";
inline constexpr const char* kAntiHijackApp = "Gorsemoor2";

struct AntiHijackTool {
    std::string name;  // its display name, "" when it is not installed
    std::string file;  // its executable
};

AntiHijackTool ReadAntiHijackTool(settings::SettingsStore& store, const std::string& company);

// Start-up's records: the anti-hijack button shown under the tool's name when there is one,
// and this program's own name and file (`programPath` is its full executable path).
void WriteStartupRecords(settings::SettingsStore& store, const platform::ProductInfo& product,
                         const std::string& programPath, ui::FrmMain& form);

// "RUNNING" once the program is up, "STOPPED" at every orderly end; RESTART "False" both times.
void WriteRunningStatus(settings::ProgramSettings settings, bool running);

// `cmdHijack`: starts the anti-hijack tool, or says that its file is gone.
void LaunchAntiHijack(settings::SettingsStore& store, platform::Platform& platform,
                      ui::Prompts& prompts, const platform::ProductInfo& product);

}  // namespace qm::app
