#pragma once
// The running programs: their identifiers and executable names, their files, and stopping one.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qm::platform {

struct ProcessEntry {
    std::uint32_t id = 0;
    std::string baseName;  // "notepad.exe"; never empty in a listing
};

class Processes {
  public:
    virtual ~Processes() = default;
    // Every running process that has a name, in the system's order; nothing when the list
    // cannot be had at all.
    virtual std::optional<std::vector<ProcessEntry>> List() = 0;
    // The full file name of the process's executable (its first module); nothing when the
    // process cannot be opened (gone, protected) or its modules cannot be read.
    virtual std::optional<std::string> ExecutablePath(std::uint32_t id) = 0;
    // Terminates the process (with the debug privilege where the system has one).
    virtual bool Kill(std::uint32_t id, std::uint32_t exitCode) = 0;
    // True when the process has ended, waiting at most `milliseconds`; false while it runs,
    // and also when it cannot be opened to be waited for (it may well be running).
    virtual bool WaitForExit(std::uint32_t id, std::uint32_t milliseconds) = 0;
};

}  // namespace qm::platform
