#pragma once
// A ByteReader over a string that hands its bytes out in small pieces of varying size, so a
// line end can fall across two reads (a CR at the end of one read, its LF at the start of the
// next) the way it does at a real reader's buffer boundary.

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace qm::test {

class ChunkedReader final : public platform::ByteReader {
  public:
    // Read i returns at most sizes[i % sizes.size()] bytes (0 entries count as 1).
    ChunkedReader(std::string data, std::vector<std::size_t> sizes)
        : data_(std::move(data)), sizes_(std::move(sizes)) {
        if (sizes_.empty()) sizes_.push_back(1);
    }

    std::size_t Read(char* buffer, std::size_t size) override {
        const std::size_t want = std::max<std::size_t>(1, sizes_[reads_++ % sizes_.size()]);
        const std::size_t n = std::min({size, want, data_.size() - pos_});
        if (n > 0) std::memcpy(buffer, data_.data() + pos_, n);
        pos_ += n;
        return n;
    }

  private:
    std::string data_;
    std::vector<std::size_t> sizes_;
    std::size_t pos_ = 0;
    std::size_t reads_ = 0;
};

}  // namespace qm::test
