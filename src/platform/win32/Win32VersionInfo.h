#pragma once
// platform::VersionInfo over the running program's own VERSIONINFO resource.

#include "platform/VersionInfo.h"

namespace qm::platform::win32 {

class Win32VersionInfo final : public VersionInfo {
  public:
    ProductInfo OwnProductInfo() override;
    std::string OwnExecutablePath() override;
};

}  // namespace qm::platform::win32
