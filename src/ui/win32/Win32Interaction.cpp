#include "ui/win32/Win32Interaction.h"

#include "ui/win32/InputBox.h"

#include <commdlg.h>
#include <shlobj.h>

#include <array>

namespace qm::ui::win32 {

MessageAnswer Win32Prompts::ShowMessage(const std::string& text, const std::string& title,
                                        MessageButtons buttons, MessageIcon icon) {
    UINT style = 0;
    switch (buttons) {
        case MessageButtons::Ok:
            style |= MB_OK;
            break;
        case MessageButtons::YesNo:
            style |= MB_YESNO;
            break;
        case MessageButtons::AbortRetryIgnore:
            style |= MB_ABORTRETRYIGNORE;
            break;
        case MessageButtons::OkCancel:
            style |= MB_OKCANCEL;
            break;
    }
    switch (icon) {
        case MessageIcon::None:
            break;
        case MessageIcon::Information:
            style |= MB_ICONINFORMATION;
            break;
        case MessageIcon::Question:
            style |= MB_ICONQUESTION;
            break;
        case MessageIcon::Exclamation:
            style |= MB_ICONEXCLAMATION;
            break;
        case MessageIcon::Critical:
            style |= MB_ICONERROR;
            break;
    }
    switch (::MessageBoxA(owner_ ? owner_() : nullptr, text.c_str(), title.c_str(), style)) {
        case IDYES:
            return MessageAnswer::Yes;
        case IDNO:
            return MessageAnswer::No;
        case IDABORT:
            return MessageAnswer::Abort;
        case IDRETRY:
            return MessageAnswer::Retry;
        case IDIGNORE:
            return MessageAnswer::Ignore;
        case IDCANCEL:
            return MessageAnswer::Cancel;
        default:
            return MessageAnswer::Ok;
    }
}

std::optional<std::string> Win32Prompts::AskText(const std::string& prompt,
                                                 const std::string& title,
                                                 const std::string& initial) {
    return ShowInputBox(::GetModuleHandleA(nullptr), owner_ ? owner_() : nullptr, prompt, title,
                        initial);
}

std::optional<std::string> Win32Pickers::ChooseFile() {
    std::array<char, MAX_PATH * 4> path{};
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner_ ? owner_() : nullptr;
    dialog.lpstrFilter = "All files (*.*)\0*.*\0";
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = static_cast<DWORD>(path.size());
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER;
    if (!::GetOpenFileNameA(&dialog)) return std::nullopt;
    return std::string(path.data());
}

std::optional<std::string> Win32Pickers::ChooseFolder() {
    std::array<char, MAX_PATH> display{};
    BROWSEINFOA browse{};
    browse.hwndOwner = owner_ ? owner_() : nullptr;
    browse.pszDisplayName = display.data();
    browse.lpszTitle = "Choose the folder to scan";
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    PIDLIST_ABSOLUTE list = ::SHBrowseForFolderA(&browse);
    if (!list) return std::nullopt;
    std::array<char, MAX_PATH * 4> path{};
    const BOOL ok = ::SHGetPathFromIDListA(list, path.data());
    ::CoTaskMemFree(list);
    if (!ok) return std::nullopt;
    return std::string(path.data());
}

void Win32EventPump::LetEventsRun() {
    const std::uint64_t now = ::GetTickCount64();
    if (now - lastPump_ < intervalMs_) return;
    PumpNow();
}

void Win32EventPump::WaitForEvents() {
    // A tenth of a second at most, so a caller's own condition is looked at now and then.
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
    PumpNow();
}

void Win32EventPump::PumpNow() {
    lastPump_ = ::GetTickCount64();
    if (beforePump_) beforePump_();
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Keep the quit for the program's main loop.
            quit_ = true;
            ::PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        HWND dialog = dialog_ ? dialog_() : nullptr;
        if (dialog && ::IsDialogMessageA(dialog, &message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
}

}  // namespace qm::ui::win32
