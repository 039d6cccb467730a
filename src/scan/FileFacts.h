#pragma once
// What a scan learnt about each file it reported: the company in its version information and
// its length, read when the file was judged. The scan report, written at the scan's end, takes
// them from here instead of opening every file again.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace qm::scan {

struct FileFacts {
    std::string company;
    std::uint64_t size = 0;
};

// By the location the results list shows, in the order the scan learnt them.
class FileFactsByLocation {
  public:
    // Records what was learnt of the file at `location`, replacing what was known before.
    void Record(const std::string& location, FileFacts facts) {
        const auto [it, added] = index_.try_emplace(location, entries_.size());
        if (added) {
            entries_.emplace_back(location, std::move(facts));
        } else {
            entries_[it->second].second = std::move(facts);
        }
    }
    // What was learnt of the file, or nothing. The report asks in the order the scan added its
    // rows, so the entry after the last one found is tried first: a report of many thousand
    // rows then costs one comparison a row rather than a hash and a walk through the table.
    const FileFacts* Find(const std::string& location) const {
        if (next_ < entries_.size() && entries_[next_].first == location)
            return &entries_[next_++].second;
        const auto it = index_.find(location);
        if (it == index_.end()) return nullptr;
        next_ = it->second + 1;
        return &entries_[it->second].second;
    }
    void clear() {
        entries_.clear();
        index_.clear();
        next_ = 0;
    }
    std::size_t size() const { return entries_.size(); }

  private:
    std::vector<std::pair<std::string, FileFacts>> entries_;
    std::unordered_map<std::string, std::size_t> index_;
    mutable std::size_t next_ = 0;  // where the next lookup looks first
};

}  // namespace qm::scan
