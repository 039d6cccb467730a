#pragma once
// platform::RegistryWatch over RegNotifyChangeKeyValue: an asynchronous notification on the key
// and its subtree that sets an event, looked at without waiting and set again after each change.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Registry.h"
#include "platform/win32/Handle.h"

namespace qm::platform::win32 {

class Win32RegistryWatch final : public RegistryWatch {
  public:
    // The path is watched as the reader reads it: "Software\WOW6432Node\..." is the 32-bit
    // view's own key for this 64-bit program, and "Software\Policies" is one key for both views.
    Win32RegistryWatch(std::uint32_t root, const std::string& keyPath);
    bool Changed() override;

  private:
    // Asks for the next change of the key or, while it is not there, of the nearest parent that
    // is (a key appearing below it is such a change, and the watch then moves down to it). The
    // request belongs to the calling thread, which must outlive it: the program sets and looks
    // at every watch on its one user-interface thread.
    void Arm();
    std::string PathOf(std::size_t depth) const;

    std::uint32_t root_;
    std::vector<std::string> names_;  // the key path, one name per level
    UniqueKernelHandle event_;
    UniqueRegKey watched_;
    bool armed_ = false;
    bool atKey_ = false;  // the key itself is watched, not one of its parents
};

}  // namespace qm::platform::win32
