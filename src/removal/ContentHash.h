#pragma once
// Content hashes for the quarantine: a copy counts as a backup only once its size and SHA-256
// match the original's. Files are read through the platform's file system in bounded chunks,
// so a file of any size costs a fixed amount of memory; a folder's hash covers its whole tree.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/FileSystem.h"

namespace qm::removal {

// SHA-256 (FIPS 180-4).
class Sha256 {
  public:
    Sha256();
    void Update(const char* data, std::size_t size);
    void Update(std::string_view data) { Update(data.data(), data.size()); }
    // The hash as 64 lower-case hex digits. The object starts over afterwards.
    std::string HexDigest();

  private:
    void Block(const unsigned char* block);

    std::array<std::uint32_t, 8> state_{};
    std::array<unsigned char, 64> buffer_{};
    std::size_t buffered_ = 0;
    std::uint64_t length_ = 0;  // bytes so far
};

struct ContentDigest {
    std::uint64_t size = 0;
    std::string sha256;  // 64 lower-case hex digits
    bool operator==(const ContentDigest&) const = default;
};

ContentDigest DigestOfBytes(std::string_view bytes);
// Nothing when the file cannot be opened.
std::optional<ContentDigest> DigestOfFile(platform::FileSystem& files, const std::string& path);

struct CopyDigests {
    ContentDigest original;
    ContentDigest copy;
};
// Copies the file (failing when `to` exists) and hashes the original as it is read and the
// copy as it reads back. Nothing, with no copy left behind, when the copy failed.
std::optional<CopyDigests> CopyWithDigests(platform::FileSystem& files, const std::string& from,
                                           const std::string& to);

// One entry below the root of a folder tree: its path relative to the root ("sub\a.dll").
struct TreeEntry {
    std::string relative;
    bool folder = false;
};
// Visits every entry below `root` in one fixed order, whatever order the folders list them in:
// the entries of a folder by their lower-case names, a folder right before its content.
// Links to other places (junctions) are not followed. Stops, returning false, as soon as
// `visit` returns false.
bool WalkTree(platform::FileSystem& files, const std::string& root,
              const std::function<bool(const TreeEntry&)>& visit);

// The hash of a folder tree: every folder's relative path, and every file's relative path,
// size and hash, in the order WalkTree visits them. The size is the sum of the file sizes.
class TreeDigest {
  public:
    void AddFolder(const std::string& relative);
    void AddFile(const std::string& relative, const ContentDigest& file);
    ContentDigest Finish();

  private:
    Sha256 hash_;
    std::uint64_t size_ = 0;
};

// Nothing when the folder is missing or any file in it cannot be read.
std::optional<ContentDigest> DigestOfTree(platform::FileSystem& files, const std::string& folder);

}  // namespace qm::removal
