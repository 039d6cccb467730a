#pragma once
// The slide-up notice after Live Update: it rises from where the taskbar begins at the right
// edge of the screen, stays seven seconds, sinks again and closes itself. Positions are in
// twips, as the notice's timers move it; the window draws them at its own DPI (ui/Twips.h).

#include <string>

#include "ui/Controls.h"
#include "ui/Twips.h"

namespace qm::ui {

// The screen as the notice needs it, in pixels at the default 96 DPI (kTwipsPerPixel twips
// each) whatever the screen's own DPI, so that the twips worked out from it are true twips.
struct ScreenFacts {
    int widthPx = 1024;
    int heightPx = 768;
    int taskbarHeightPx = 0;  // 0 when there is no taskbar
};

// Where a front end finds the screen's size and the taskbar's.
class Screen {
  public:
    virtual ~Screen() = default;
    virtual ScreenFacts Measure() = 0;
};

struct FrmSignatureUpdated {
    FrmSignatureUpdated();

    // The notice's size.
    static constexpr int kWidthTwips = 4800;
    static constexpr int kHeightTwips = 1800;
    // Sinking ends once the notice's top is below this.
    static constexpr int kPopDownEndTwips = 11167;

    bool visible = false;
    Label lblUpdateInfo;
    Button cmdUpdateSuccesfullOK;
    Timer tmrPopupSignatureUpdate, tmrEnablePopDownTimer, tmrPopDown;
    int left = 0, top = 0, targetTop = 0;  // twips

    // Loads the notice at the taskbar's line, its text the general one for `productName`;
    // the caller then puts its own message in `lblUpdateInfo` and the notice starts rising.
    void Load(const std::string& productName, const ScreenFacts& screen);
    // `tmrPopupSignatureUpdate`: 20 twips up; at the target the seven-second wait starts.
    void SlideUp();
    // `tmrEnablePopDownTimer`: the wait is over, sinking starts.
    void StartPopDown();
    // `tmrPopDown`: 40 twips down; true once it has sunk far enough to close (OK).
    bool PopDown();
    // OK: the timers stopped and the notice closed.
    void Close();
};

}  // namespace qm::ui
