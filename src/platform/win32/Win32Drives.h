#pragma once
// platform::Drives over the logical-drive API.

#include "platform/Drives.h"

namespace qm::platform::win32 {

class Win32Drives final : public Drives {
  public:
    // Readiness is probed for fixed disks only: probing a floppy or an empty CD drive can take
    // seconds, and those drives are listed whatever their state.
    std::vector<DriveInfo> List() override;
    bool VolumeReadable(const std::string& root) override;
};

}  // namespace qm::platform::win32
