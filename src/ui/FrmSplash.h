#pragma once
// The splash window: the product, its maker and its web site while the program comes up. Its
// timer counts to 148 in steps of 2; the tick that finds 148 ends the splash and the main
// window loads.

#include <cstdint>

#include "ui/Controls.h"

namespace qm::ui {

struct FrmSplash {
    FrmSplash() { Timer2.interval = 2; }

    Label lblProduct, lblCompany, lblWebsite;
    Timer Timer2;  // off until the splash has loaded
    std::uint16_t counter = 0;
    bool visible = false;

    static constexpr std::uint16_t kLastCount = 148;  // the 75th tick finds it

    // One tick of `Timer2`; true on the tick that ends the splash (timer stopped, window
    // hidden), after which the main window loads.
    bool Tick() {
        if (!Timer2.enabled) return false;
        if (counter == kLastCount) {
            Timer2.enabled = false;
            visible = false;
            return true;
        }
        counter = static_cast<std::uint16_t>(counter + 2);
        return false;
    }
};

}  // namespace qm::ui
