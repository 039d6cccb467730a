#pragma once
// Every translatable caption of the program's windows, by the item name a translation file
// gives it: FORM_CONTROL for labels, buttons, frames and check boxes; FORM_CONTROL plus the
// index for option buttons and menu entries; FORM_CONTROL_TABSi and FORM_CONTROL_COLi for
// the tabs of a tab strip and the columns of a list view; FORM_CAPTION for a window's own
// caption. Captions the program writes as it runs (counts, names, progress) are not listed:
// a translation would only put a stale value there.

#include <functional>
#include <string>

#include "ui/FrmMain.h"

namespace qm::ui {

// Called with the upper-cased item name and the caption it names, window after window: the
// translator writes over the caption, the template writer reads it.
using CaptionVisitor = std::function<void(const std::string& item, std::string& caption)>;

void VisitCaptions(FrmMain& form, const CaptionVisitor& visit);

}  // namespace qm::ui
