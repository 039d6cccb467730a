#pragma once

#include "settings/SettingsStore.h"
#include "ui/FrmMain.h"

namespace qm::work {

// Pauses the shield, scheduler and time-out timers (false), or restarts each from its setting
// (true). Scans, removals, updates and the shields bracket their work with it so that no
// background tick runs inside them.
void SetBackgroundTimers(ui::FrmMain& form, const settings::ProgramSettings& settings, bool enable);

}  // namespace qm::work
