#pragma once
// The Live Update progress window: the exchange's real progress in its status box, a caption
// that blinks between the steps of a conversation with the server while it waits, Cancel, and
// a notification-area icon of its own for as long as it is open.

#include <string>

#include "ui/Controls.h"

namespace qm::ui {

struct FrmDownload {
    FrmDownload();

    std::string caption = "Live Update";
    bool visible = false;
    std::string txtStatus;
    Label lblProduct;
    Button Command1;  // "Cancel": only closes the window; the exchange goes on
    Timer tmrBlink;
    bool showsUpArrow = false;
    int blinkStep = 0;  // 0 to 14
    // The window's own icon in the notification area, with its tool tip.
    bool trayIconShown = false;
    std::string trayTip = "Getting latest definitions.";

    void Open();
    // Closing removes the window's tray icon too.
    void Close();
    // One tick of `tmrBlink`: the other arrow, its caption, then the step's own caption.
    void Blink();
};

}  // namespace qm::ui
