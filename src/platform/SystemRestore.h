#pragma once
// Windows System Restore, as the removal run uses it: one restore point around each run.

#include <cstdint>
#include <optional>
#include <string>

namespace qm::platform {

class SystemRestore {
  public:
    virtual ~SystemRestore() = default;
    // Whether this Windows has System Restore: Windows Me, XP, and every NT version after 5.
    virtual bool Available() = 0;
    // Begins a system change of restore point type `type` (12, "modify settings", is the
    // removal's own): the restore point's sequence number, or why none could be made.
    struct Begun {
        std::optional<std::int64_t> sequence;
        std::string failure;  // one sentence for the user when there is no sequence
    };
    virtual Begun Begin(const std::string& description, int type) = 0;
    // Ends the system change begun under that sequence number.
    virtual bool End(std::int64_t sequence) = 0;
};

}  // namespace qm::platform
