#pragma once
// The one bracket around long work: scans, the removal run, Live Update and the shields'
// checks run inside it. While work runs, the background timers are paused and,
// for work the user started, the controls that could start other work are disabled; however
// the work ends — normally, after a Stop, or with an exception — everything is restored.

#include <functional>

#include "settings/SettingsStore.h"
#include "ui/FrmMain.h"

namespace qm::work {

class LongWork {
  public:
    enum class Kind {
        // Started by the user or the schedule: page buttons disabled, timers paused.
        Foreground,
        // A shield's quick check: only the timers are paused.
        Background,
    };
    enum class Outcome { Done, Refused, Failed };

    LongWork(ui::FrmMain& form, settings::ProgramSettings settings)
        : form_(form), settings_(std::move(settings)) {}

    bool Busy() const { return busy_; }

    // Runs `work` inside the bracket. Refused while other work runs (one long job at a time:
    // the pump lets clicks through during work); an exception thrown by the work is absorbed
    // here, after the bracket has been undone.
    Outcome Run(Kind kind, const std::function<void()>& work);

  private:
    void Enter(Kind kind);
    void Leave(Kind kind);

    ui::FrmMain& form_;
    settings::ProgramSettings settings_;
    bool busy_ = false;
};

}  // namespace qm::work
