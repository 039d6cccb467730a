#include "work/BackgroundTimers.h"

namespace qm::work {

void SetBackgroundTimers(ui::FrmMain& form, const settings::ProgramSettings& settings,
                         bool enable) {
    using settings::section::kOptions;
    if (!enable) {
        form.tmrCheckHomePage.enabled = false;
        form.tmrMemoryInspected.enabled = false;
        form.tmrScheduler.enabled = false;
        form.tmrTimeOut.enabled = false;
        return;
    }
    form.tmrScheduler.enabled = settings.ReadFlag(kOptions, "chkAutomaticScanYesOrNo", false);
    form.tmrCheckHomePage.enabled = settings.ReadFlag(kOptions, "optIEHomePageSheildOn", true);
    form.tmrMemoryInspected.enabled = settings.ReadFlag(kOptions, "optMemorySheildOn", true);
}

}  // namespace qm::work
