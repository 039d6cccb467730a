#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/FileSystem.h"

namespace qm::scan {

// Reads pieces of one file at chosen offsets through the file system's sequential reader:
// forward by skipping, backward by opening the file again. The file's first 64 KiB are kept
// once read, so the many small looks at a file's start (its headers, its version table, the
// plain-text search of a small file) cost one opening; past that, each read is as large as its
// caller asks and no larger.
class FileCursor {
  public:
    FileCursor(platform::FileSystem& files, std::string path)
        : files_(files), path_(std::move(path)) {}

    // Copies up to `size` bytes from `offset` into `buffer`; fewer when the file ends first,
    // none when it cannot be opened or read there.
    std::size_t ReadAt(std::uint64_t offset, char* buffer, std::size_t size);
    // The same into a string.
    std::string ReadAt(std::uint64_t offset, std::size_t size);

  private:
    platform::FileSystem& files_;
    std::string path_;
    std::size_t ReadFromReader(std::uint64_t offset, char* buffer, std::size_t size);

    static constexpr std::size_t kHead = 64 * 1024;
    std::unique_ptr<platform::ByteReader> reader_;
    std::uint64_t position_ = 0;  // where the reader stands
    std::string head_;            // the file's first bytes, once read
    bool headRead_ = false;
    bool whole_ = false;  // the head is the whole file
};

}  // namespace qm::scan
