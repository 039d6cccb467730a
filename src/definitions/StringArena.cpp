#include "definitions/StringArena.h"

#include <cstring>

#include "text/Text.h"

namespace qm::defs {

char* StringArena::Allocate(std::size_t size) {
    if (size > kBlockSize / 4) {
        // A long text gets a block of its own; the current block stays open.
        auto block = std::make_unique_for_overwrite<char[]>(size);
        char* p = block.get();
        blocks_.insert(blocks_.end() - (blocks_.empty() ? 0 : 1), std::move(block));
        large_ += size;
        return p;
    }
    if (used_ + size > kBlockSize) {
        blocks_.push_back(std::make_unique_for_overwrite<char[]>(kBlockSize));
        ++smallBlocks_;
        used_ = 0;
    }
    char* p = blocks_.back().get() + used_;
    used_ += size;
    return p;
}

std::string_view StringArena::Store(std::string_view text) {
    if (text.empty()) return {};
    char* p = Allocate(text.size());
    std::memcpy(p, text.data(), text.size());
    return {p, text.size()};
}

std::string_view StringArena::StoreLower(std::string_view text) {
    if (text.empty()) return {};
    char* p = Allocate(text.size());
    text::LowerCopy(text.data(), text.size(), p);
    return {p, text.size()};
}

}  // namespace qm::defs
