#include "ui/FrmMenuPopUp.h"

namespace qm::ui {

FrmMenuPopUp::FrmMenuPopUp() {
    mnuMaxmimaize.caption = "Show Program";
    mnuClose.caption = "Exit Program";
    lblMenuClose.caption = "Close This Menu";
    tmrMenuPopup = {1, false};
    TmrEnablePopDown = {1000, false};
    tmrPopDown = {10, false};
}

void FrmMenuPopUp::Load(const std::string& productName, const ScreenFacts& screen,
                        bool exitAllowed) {
    lblName.caption = productName;
    caption = productName;
    lTimDown = 0;
    tmrPopDown.enabled = false;
    TmrEnablePopDown.enabled = false;
    mnuClose.enabled = exitAllowed;
    mnuMaxmimaize.enabled = true;
    // The factors below 15 keep the menu a little inside the screen's edges.
    const int taskbar = static_cast<int>(screen.taskbarHeightPx * 14.5);
    screenHeight = static_cast<int>(screen.heightPx * 14.5);
    top = screenHeight - taskbar;
    left = static_cast<int>((screen.widthPx - kWidthTwips / kTwipsPerPixel) * 14.7);
    targetTop = screenHeight - (kHeightTwips + 100);
    visible = true;
    tmrMenuPopup.enabled = true;
}

void FrmMenuPopUp::SlideUp() {
    visible = true;
    if (top > targetTop) {
        top -= 80;
        return;
    }
    tmrMenuPopup.enabled = false;
    TmrEnablePopDown.enabled = true;
}

void FrmMenuPopUp::IdleSecond() {
    if (++lTimDown <= 5) return;
    lTimDown = 0;
    TmrEnablePopDown.enabled = false;
    tmrPopDown.enabled = true;
}

void FrmMenuPopUp::StartPopDown() {
    tmrMenuPopup.enabled = false;
    TmrEnablePopDown.enabled = false;
    tmrPopDown.enabled = true;
}

bool FrmMenuPopUp::PopDown() {
    top += 100;
    return top > screenHeight - 2000;
}

void FrmMenuPopUp::Unload() {
    tmrMenuPopup.enabled = false;
    TmrEnablePopDown.enabled = false;
    tmrPopDown.enabled = false;
    visible = false;
}

}  // namespace qm::ui
