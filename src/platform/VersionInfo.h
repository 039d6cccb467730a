#pragma once

#include <string>

namespace qm::platform {

// What the program's own version resource says about it.
struct ProductInfo {
    std::string productName;
    std::string companyName;
    std::string website;  // the Comments field
    int major = 0;
    int minor = 0;
};

class VersionInfo {
  public:
    virtual ~VersionInfo() = default;
    virtual ProductInfo OwnProductInfo() = 0;
    // The running program's full file name, such as "C:\\Program Files\\App\\App.exe".
    virtual std::string OwnExecutablePath() = 0;
};

}  // namespace qm::platform
