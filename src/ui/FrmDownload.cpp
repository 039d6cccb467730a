#include "ui/FrmDownload.h"

namespace qm::ui {

namespace {
constexpr int kLastBlinkStep = 14;
}

FrmDownload::FrmDownload() {
    Command1.caption = "Cancel";
    tmrBlink = {800, false};
}

void FrmDownload::Open() {
    visible = true;
    tmrBlink.enabled = true;
    trayIconShown = true;
    lblProduct.caption = "Connecting to server/downloading.....";
}

void FrmDownload::Close() {
    visible = false;
    tmrBlink.enabled = false;
    trayIconShown = false;
}

void FrmDownload::Blink() {
    showsUpArrow = !showsUpArrow;
    lblProduct.caption =
        showsUpArrow ? "Connecting to server....." : "Checking for Definitions.....";
    // The captions tell a story of their own; the status box tells the real progress.
    if (blinkStep == 0) {
        lblProduct.caption = "Connecting to the Server.";
    } else if ((blinkStep >= 2 && blinkStep <= 5) || blinkStep >= 10) {
        lblProduct.caption = "Sending and receiving data, please wait.";
    } else if (blinkStep == 6) {
        lblProduct.caption = "Successfully sent the request.";
    } else if (blinkStep == 8) {
        lblProduct.caption = "Receiving a response from the Server.";
    }
    blinkStep = blinkStep >= kLastBlinkStep ? 0 : blinkStep + 1;
}

}  // namespace qm::ui
