#pragma once
// The memory shield's question about a running program: the alert window shows the program's
// file name and company and waits, letting events run, until the user answers. STOP ends the
// very program that was judged (never another of the same name), ALLOW adds the name to the
// exclusions.

#include <functional>
#include <string>

#include "scan/ProcessSnapshot.h"
#include "ui/ShieldAlerts.h"
#include "work/Context.h"

namespace qm::shields {

struct AlertServices {
    work::Context context;
    // Where the system's programs live: the judged path is compared with it resolved.
    std::string systemDirectory;
    // Adds one exclusion and reloads the list.
    std::function<void(const std::string&)> addExclusion;
};

class RunningProgramAlert final : public scan::RunningThreatAlert {
  public:
    RunningProgramAlert(ui::FrmSpywareFoundAlert& form, AlertServices services)
        : form_(form), services_(std::move(services)) {}

    // Shows the alert and returns once it has been answered.
    void RunningThreatFound(const scan::JudgedProcess& process,
                            const std::string& company) override;
    // `cmdYes`, "STOP".
    void Stop();
    // `cmdNO`, "ALLOW".
    void Allow();
    bool Waiting() const { return form_.visible && !answered_; }

  private:
    void Close();

    ui::FrmSpywareFoundAlert& form_;
    AlertServices services_;
    bool answered_ = true;
    scan::JudgedProcess process_;
};

}  // namespace qm::shields
