#pragma once
// What a scan learnt about each file it reported: the company in its version information and
// its length, read when the file was judged. The scan report, written at the scan's end, takes
// them from here instead of opening every file again.

#include <cstdint>
#include <string>
#include <unordered_map>

namespace qm::scan {

struct FileFacts {
    std::string company;
    std::uint64_t size = 0;
};

// By the location the results list shows.
using FileFactsByLocation = std::unordered_map<std::string, FileFacts>;

}  // namespace qm::scan
