#pragma once
// The drive list of the options page ("Drive Selection") and its stored check marks.

#include "platform/Drives.h"
#include "settings/SettingsStore.h"
#include "ui/Controls.h"
#include "ui/Interaction.h"

namespace qm::scan {

// Whether a drive of this kind is offered: removable, remote and CD drives always, fixed disks
// only when ready, other kinds never.
bool DriveListed(const platform::DriveInfo& drive);

// Rebuilds the list from the machine's drives, one row per listed drive (text = the letter),
// each row's mark restored from the `Drives` section (checked when nothing is stored).
void FillDriveList(ui::ListView& list, platform::Drives& drives, ui::EventPump& pump,
                   const settings::ProgramSettings& settings);
// Restores every row's mark from the `Drives` section.
void LoadDriveMarks(ui::ListView& list, const settings::ProgramSettings& settings);
// Stores every row's mark ("True"/"False") under the `Drives` section.
void StoreDriveMarks(const ui::ListView& list, settings::ProgramSettings& settings);

}  // namespace qm::scan
