#pragma once
// The base of the program's modeless windows: the dialog is made from its layout (a template
// in memory or a resource) with the object as its creation parameter, its messages reach the
// object's OnMessage through ForwardingDialogProc, and it is destroyed with the object
// forgotten first. A command of the window ends in the program's handler and then in
// `syncAll`, which brings every window in line with the models.

#include <functional>
#include <utility>

#include "platform/win32/WinApi.h"
#include "ui/win32/ControlUpdates.h"
#include "ui/win32/DialogForwarding.h"

namespace qm::ui::win32 {

template <typename Window>
class ModelessDialog {
  public:
    ModelessDialog(const ModelessDialog&) = delete;
    ModelessDialog& operator=(const ModelessDialog&) = delete;

    HWND Handle() const { return hwnd_; }

  protected:
    explicit ModelessDialog(std::function<void()> syncAll = {}) : syncAll_(std::move(syncAll)) {}
    ~ModelessDialog() { Destroy(); }

    // Makes the dialog `layout` describes, owned by `owner`; false when it could not be made.
    bool CreateDialogWindow(HINSTANCE instance, const DLGTEMPLATE* layout, HWND owner) {
        hwnd_ = CreateForwardingDialog(instance, layout, owner, Self());
        return hwnd_ != nullptr;
    }
    // The same from the dialog resource `resource`.
    bool CreateDialogWindow(HINSTANCE instance, int resource, HWND owner) {
        hwnd_ =
            ::CreateDialogParamA(instance, MAKEINTRESOURCEA(resource), owner,
                                 ForwardingDialogProc<Window>, reinterpret_cast<LPARAM>(Self()));
        return hwnd_ != nullptr;
    }
    // Destroys the window now. A window whose members its controls use (a font, an owner)
    // calls it from its own destructor, before those members go.
    void Destroy() {
        DestroyForwardingDialog(hwnd_);
        hwnd_ = nullptr;
    }

    // A command of this window: the program's handler, then every window brought in line.
    template <typename Command>
    INT_PTR Run(Command&& command) {
        std::forward<Command>(command)();
        syncAll_();
        return TRUE;
    }
    // True for a request to close the window: its close box, Escape, or `closeButton`.
    static bool IsCloseRequest(UINT message, WPARAM wParam, int closeButton) {
        if (message == WM_CLOSE) return true;
        return message == WM_COMMAND &&
               (LOWORD(wParam) == closeButton || LOWORD(wParam) == IDCANCEL);
    }

    HWND hwnd_ = nullptr;
    std::function<void()> syncAll_;

  private:
    friend INT_PTR CALLBACK ForwardingDialogProc<Window>(HWND, UINT, WPARAM, LPARAM) noexcept;
    void Attach(HWND hwnd) { hwnd_ = hwnd; }
    void Detach() { hwnd_ = nullptr; }
    Window* Self() { return static_cast<Window*>(this); }
};

}  // namespace qm::ui::win32
