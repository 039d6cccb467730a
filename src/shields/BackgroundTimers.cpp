#include "shields/BackgroundTimers.h"

#include <cstdlib>

namespace qm::shields {

void SetBackgroundTimers(ui::FrmMain& form, const app::ProgramSettings& settings, bool enable) {
    using app::section::kOptions;
    if (!enable) {
        form.tmrCheckHomePage.enabled = false;
        form.tmrMemoryInspected.enabled = false;
        form.tmrScheduler.enabled = false;
        form.tmrTimeOut.enabled = false;
        return;
    }
    form.tmrScheduler.enabled =
        std::atoi(settings.Read(kOptions, "chkAutomaticScanYesOrNo", "0").c_str()) != 0;
    form.tmrCheckHomePage.enabled =
        settings.Read(kOptions, "optIEHomePageSheildOn", "True") == "True";
    form.tmrMemoryInspected.enabled =
        settings.Read(kOptions, "optMemorySheildOn", "True") == "True";
}

}  // namespace qm::shields
