#include "ui/FrmSignatureUpdated.h"

namespace qm::ui {

FrmSignatureUpdated::FrmSignatureUpdated() {
    cmdUpdateSuccesfullOK.caption = "OK";
    tmrPopupSignatureUpdate = {10, false};
    tmrEnablePopDownTimer = {7000, false};
    tmrPopDown = {10, false};
}

void FrmSignatureUpdated::Load(const std::string& productName, const ScreenFacts& screen) {
    lblUpdateInfo.caption = "All " + productName +
                            " signatures have been updated automatically.  You are now "
                            "protected from new malicious applications.";
    // The factors below 15 keep the notice a little inside the screen's right edge and above
    // the taskbar's line.
    const int innerWidthPx = kWidthTwips / kTwipsPerPixel;
    top = static_cast<int>((screen.heightPx - screen.taskbarHeightPx) * 14.5);
    left = static_cast<int>((screen.widthPx - innerWidthPx) * 14.7);
    targetTop = static_cast<int>(screen.heightPx * 14.5) - (kHeightTwips + 100);
    tmrPopDown.enabled = false;
    tmrEnablePopDownTimer.enabled = false;
    tmrPopupSignatureUpdate.enabled = true;
    visible = true;
}

void FrmSignatureUpdated::SlideUp() {
    top -= 20;
    if (top > targetTop) return;
    tmrPopupSignatureUpdate.enabled = false;
    tmrEnablePopDownTimer.enabled = true;
}

void FrmSignatureUpdated::StartPopDown() {
    tmrEnablePopDownTimer.enabled = false;
    tmrPopDown.enabled = true;
}

bool FrmSignatureUpdated::PopDown() {
    top += 40;
    if (top <= kPopDownEndTwips) return false;
    tmrPopDown.enabled = false;
    return true;
}

void FrmSignatureUpdated::Close() {
    tmrPopupSignatureUpdate.enabled = false;
    tmrEnablePopDownTimer.enabled = false;
    tmrPopDown.enabled = false;
    visible = false;
}

}  // namespace qm::ui
