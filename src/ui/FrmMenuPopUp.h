#pragma once
// The tray menu: a small window that slides up above the taskbar at the right edge when the
// tray icon is pressed, stays while the pointer moves over it, and drops six seconds after
// the last movement. Positions are in twips, as its timers move it.

#include <string>

#include "ui/Controls.h"
#include "ui/FrmSignatureUpdated.h"

namespace qm::ui {

// The program's icon in the notification area (`clsTray`).
struct TrayIconModel {
    bool bRunningInTray = false;
    std::string tip;  // at most 63 characters reach the system
};

struct FrmMenuPopUp {
    FrmMenuPopUp();

    static constexpr int kWidthTwips = 2700;
    static constexpr int kHeightTwips = 1800;

    bool visible = false;
    std::string caption;
    Label lblName, lblMenuClose;
    Button mnuMaxmimaize, mnuClose;  // "Show Program", "Exit Program"
    Timer tmrMenuPopup, TmrEnablePopDown, tmrPopDown;
    int lTimDown = 0;
    int left = 0, top = 0, targetTop = 0, screenHeight = 0;  // twips

    // Loads and shows the menu at the taskbar's line; "Exit Program" only when no scan or
    // removal runs.
    void Load(const std::string& productName, const ScreenFacts& screen, bool exitAllowed);
    // `tmrMenuPopup`: 80 twips up; at the target the idle count starts.
    void SlideUp();
    // `TmrEnablePopDown`: one idle second; after six the menu drops.
    void IdleSecond();
    // The pointer moved over the menu: it stays.
    void PointerMoved() { lTimDown = 0; }
    // "Close This Menu": straight to dropping.
    void StartPopDown();
    // `tmrPopDown`: 100 twips down; true once it has dropped far enough to unload.
    bool PopDown();
    void Unload();
};

}  // namespace qm::ui
