#include "platform/win32/Win32Drives.h"

#include "platform/win32/WinApi.h"

namespace qm::platform::win32 {

namespace {

DriveKind KindOf(UINT type) {
    switch (type) {
        case DRIVE_REMOVABLE:
            return DriveKind::Removable;
        case DRIVE_FIXED:
            return DriveKind::Fixed;
        case DRIVE_REMOTE:
            return DriveKind::Remote;
        case DRIVE_CDROM:
            return DriveKind::CdRom;
        case DRIVE_RAMDISK:
            return DriveKind::RamDisk;
        default:
            return DriveKind::Unknown;
    }
}

// Keeps the system from asking the user to insert a disk while a drive is probed.
class QuietCriticalErrors {
  public:
    QuietCriticalErrors() : previous_(::SetErrorMode(SEM_FAILCRITICALERRORS)) {}
    ~QuietCriticalErrors() { ::SetErrorMode(previous_); }
    QuietCriticalErrors(const QuietCriticalErrors&) = delete;
    QuietCriticalErrors& operator=(const QuietCriticalErrors&) = delete;

  private:
    UINT previous_;
};

}  // namespace

std::vector<DriveInfo> Win32Drives::List() {
    std::vector<DriveInfo> drives;
    const DWORD mask = ::GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if ((mask & (1u << i)) == 0) continue;
        DriveInfo drive;
        drive.letter = std::string(1, static_cast<char>('A' + i));
        const std::string root = drive.letter + ":\\";
        const UINT type = ::GetDriveTypeA(root.c_str());
        if (type == DRIVE_NO_ROOT_DIR) continue;
        drive.kind = KindOf(type);
        drive.ready = drive.kind == DriveKind::Fixed && VolumeReadable(root);
        drives.push_back(std::move(drive));
    }
    return drives;
}

bool Win32Drives::VolumeReadable(const std::string& root) {
    QuietCriticalErrors quiet;
    char name[MAX_PATH + 1] = {};
    char fileSystem[MAX_PATH + 1] = {};
    DWORD serial = 0, maxComponent = 0, flags = 0;
    return ::GetVolumeInformationA(root.c_str(), name, sizeof(name), &serial, &maxComponent, &flags,
                                   fileSystem, sizeof(fileSystem)) != FALSE;
}

}  // namespace qm::platform::win32
