#include "shields/RunningProgramAlert.h"

#include "scan/ProcessControl.h"
#include "text/Text.h"

namespace qm::shields {

void RunningProgramAlert::RunningThreatFound(const scan::JudgedProcess& process,
                                             const std::string& company) {
    process_ = process;
    form_.caption = services_.context.product.productName + "  - Alert";
    form_.lblAlertFileName.caption = process.exeName;
    // The caller passes the company, or the line saying there is none.
    form_.lblAlertCompanyName.caption = company;
    form_.cmdYes.enabled = true;
    form_.tmrBlink.enabled = true;
    answered_ = false;
    form_.visible = true;
    // The background timers stay paused by the caller for as long as the question is open.
    while (!answered_ && form_.visible && !services_.context.pump.Quitting())
        services_.context.pump.WaitForEvents();
    Close();
}

void RunningProgramAlert::Stop() {
    if (answered_) return;
    form_.cmdYes.enabled = false;
    answered_ = true;
    if (!scan::StopJudgedProcess(services_.context.platform.processes, process_,
                                 services_.systemDirectory)) {
        services_.context.prompts.ShowMessage(
            text::Upper(process_.exeName) +
                " could not be stopped.  You should try again after "
                "saving your work and closing any open applications.",
            services_.context.product.productName, ui::MessageButtons::Ok,
            ui::MessageIcon::Information);
    }
    Close();
}

void RunningProgramAlert::Allow() {
    if (answered_) return;
    answered_ = true;
    services_.addExclusion(text::Trim(process_.exeName));
    Close();
}

void RunningProgramAlert::Close() {
    form_.visible = false;
    form_.tmrBlink.enabled = false;
}

}  // namespace qm::shields
