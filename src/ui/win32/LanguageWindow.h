#pragma once
// The language window as the first run shows it: modal, a list of the languages and OK.

#include <string>
#include <vector>

#include "platform/win32/WinApi.h"

namespace qm::ui::win32 {

// Shows the window over `owner` (may be none) and returns the language chosen when it closes;
// `current` is chosen when it opens.
std::string ChooseLanguageModal(HINSTANCE instance, HWND owner,
                                const std::vector<std::string>& languages,
                                const std::string& current);

}  // namespace qm::ui::win32
