#pragma once
// The machine's drives, as the drive list of the options page offers them.

#include <string>
#include <vector>

namespace qm::platform {

// Drive kinds numbered as the scripting file-system object numbers them.
enum class DriveKind { Unknown = 0, Removable = 1, Fixed = 2, Remote = 3, CdRom = 4, RamDisk = 5 };

struct DriveInfo {
    std::string letter;  // "C"
    DriveKind kind = DriveKind::Unknown;
    bool ready = false;  // a medium is present and can be read
};

class Drives {
  public:
    virtual ~Drives() = default;
    // Every drive of the machine in drive-letter order.
    virtual std::vector<DriveInfo> List() = 0;
    // True when the volume at `root` (such as "C:\") answers: false without a medium.
    virtual bool VolumeReadable(const std::string& root) = 0;
};

}  // namespace qm::platform
