#pragma once

#include <string>

#include "platform/win32/WinApi.h"

namespace qm::ui::win32 {

// Saves what the window shows on screen as a 24-bit BMP file; false when it cannot.
bool SaveWindowBitmap(HWND window, const std::string& path);

}  // namespace qm::ui::win32
