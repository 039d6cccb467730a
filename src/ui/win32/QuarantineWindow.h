#pragma once
// The quarantine's viewer: every item in the quarantine in a list, "Restore" to put the chosen
// one back where it came from, "Open Folder" for the folder itself, "Close". Modal over its
// owner; its layout is a dialog template built in memory.

#include <string>

#include "platform/win32/WinApi.h"
#include "ui/Interaction.h"

namespace qm::ui::win32 {

// The viewer's controls, for whoever drives it (the window tests).
inline constexpr int kQuarantineListId = 201;
inline constexpr int kQuarantineRestoreId = 202;
inline constexpr int kQuarantineOpenFolderId = 203;
inline constexpr int kQuarantineCloseId = IDCANCEL;

// Shows the quarantine under `caption` and returns once the viewer is closed. Each restore's
// outcome is told in a message box with the same caption.
void ShowQuarantineWindow(HINSTANCE instance, HWND owner, const std::string& caption,
                          QuarantineActions& actions) noexcept;

}  // namespace qm::ui::win32
