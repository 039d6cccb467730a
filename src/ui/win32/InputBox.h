#pragma once
// The input box: a prompt, one line to type in, OK and Cancel.

#include <optional>
#include <string>

#include "platform/win32/WinApi.h"

namespace qm::ui::win32 {

inline constexpr int kInputPromptId = 3901;
inline constexpr int kInputTextId = 3902;

// Modal over `owner`; the text typed, or nothing for Cancel, Escape or the close box.
std::optional<std::string> ShowInputBox(HINSTANCE instance, HWND owner, const std::string& prompt,
                                        const std::string& title, const std::string& initial);

}  // namespace qm::ui::win32
