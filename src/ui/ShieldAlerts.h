#pragma once
// The two shields' alerts: the running program the memory shield found (modeless, answered
// with STOP or ALLOW), and the changed browser start page (modal, Yes or No).

#include <string>

#include "ui/Controls.h"
#include "ui/Interaction.h"

namespace qm::ui {

struct FrmSpywareFoundAlert {
    FrmSpywareFoundAlert() {
        cmdYes.caption = "STOP";
        cmdNO.caption = "ALLOW";
        tmrBlink = {800, false};
    }
    std::string caption;
    bool visible = false;
    Label lblAlertFileName, lblAlertCompanyName;
    Button cmdYes, cmdNO;
    Timer tmrBlink;  // runs while the alert is open and does nothing
};

struct FrmHomePageChangedAlert {
    FrmHomePageChangedAlert() {
        cmdYes.caption = "Yes";
        cmdNO.caption = "No";
    }
    std::string caption;
    Label lblFrmHomePageProductName, lblHomePageInfo;
    Button cmdYes, cmdNO;
    // Set when the program is ended while the question is open: the alert closes unanswered.
    bool withdrawn = false;
};

// Shows the home-page alert modally; Yes keeps the saved page, No takes the new one, Ignore
// when it could not be shown.
class HomePageAlertView {
  public:
    virtual ~HomePageAlertView() = default;
    virtual MessageAnswer AskHomePage(const FrmHomePageChangedAlert& alert) = 0;
};

}  // namespace qm::ui
