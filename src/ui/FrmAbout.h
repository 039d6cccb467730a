#pragma once
// The About window: the product, its maker and its version, from the version information.

#include <string>

#include "ui/Controls.h"

namespace qm::ui {

struct FrmAbout {
    FrmAbout() { cmdOK.caption = "OK"; }
    std::string caption;
    bool visible = false;
    Label lblProduct, lblCompany, lblVersion;
    Button cmdOK;
};

}  // namespace qm::ui
