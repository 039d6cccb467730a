#pragma once
// Keeps many small strings in a few large blocks. The in-memory definition tables hold
// hundreds of thousands of short texts; one allocation per text would cost more than reading
// the files.

#include <memory>
#include <string_view>
#include <vector>

namespace qm::defs {

class StringArena {
  public:
    StringArena() = default;
    StringArena(const StringArena&) = delete;
    StringArena& operator=(const StringArena&) = delete;
    StringArena(StringArena&&) = default;
    StringArena& operator=(StringArena&&) = default;

    // A copy of the text that lives as long as the arena (moving the arena keeps it valid).
    std::string_view Store(std::string_view text);
    // A copy in lower case.
    std::string_view StoreLower(std::string_view text);
    std::size_t BytesReserved() const { return smallBlocks_ * kBlockSize + large_; }

  private:
    char* Allocate(std::size_t size);

    static constexpr std::size_t kBlockSize = 1 << 20;
    std::vector<std::unique_ptr<char[]>> blocks_;
    std::size_t used_ = kBlockSize;  // of the last block
    std::size_t smallBlocks_ = 0;
    std::size_t large_ = 0;
};

}  // namespace qm::defs
