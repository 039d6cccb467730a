#include "scan/DriveList.h"

namespace qm::scan {

bool DriveListed(const platform::DriveInfo& drive) {
    switch (drive.kind) {
        case platform::DriveKind::Removable:
        case platform::DriveKind::Remote:
        case platform::DriveKind::CdRom:
            return true;
        case platform::DriveKind::Fixed:
            return drive.ready;
        default:
            return false;
    }
}

void FillDriveList(ui::ListView& list, platform::Drives& drives, ui::EventPump& pump,
                   const settings::ProgramSettings& settings) {
    list.Clear();
    for (const auto& drive : drives.List()) {
        if (DriveListed(drive)) list.Add(drive.letter);
        pump.LetEventsRun();
    }
    LoadDriveMarks(list, settings);
}

void LoadDriveMarks(ui::ListView& list, const settings::ProgramSettings& settings) {
    for (auto& row : list.rows) {
        row.checked = settings.ReadFlag(settings::section::kDrives, row.text, true);
    }
}

void StoreDriveMarks(const ui::ListView& list, settings::ProgramSettings& settings) {
    for (const auto& row : list.rows) {
        settings.WriteOption(settings::section::kDrives, row.text, row.checked);
    }
}

}  // namespace qm::scan
