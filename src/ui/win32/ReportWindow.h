#pragma once
// The scan report's viewer (frmReport): the report in a read-only text box `txtReport` and the
// button `cmdOk`, modal over its owner. Its layout is a dialog template built in memory.

#include <string>

#include "platform/win32/WinApi.h"

namespace qm::ui::win32 {

// The viewer's controls, for whoever drives it (the window tests).
inline constexpr int kReportTextId = 101;  // txtReport
inline constexpr int kReportOkId = IDOK;   // cmdOk, "OK"

// Shows `text` under `caption` and returns once the viewer is closed (OK, Escape or the close
// box); the owner takes no input meanwhile. Nothing is shown when the window cannot be made.
void ShowReportWindow(HINSTANCE instance, HWND owner, const std::string& caption,
                      const std::string& text, const std::string& okCaption = "OK") noexcept;

}  // namespace qm::ui::win32
