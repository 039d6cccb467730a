#pragma once
// File and folder operations the core needs. Paths and file contents are byte strings in the
// system ANSI code page; the core never sees wide strings.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qm::platform {

// The attribute bits as the file system reports them (FILE_ATTRIBUTE_*).
namespace attr {
inline constexpr std::uint32_t kReadOnly = 0x01;
inline constexpr std::uint32_t kHidden = 0x02;
inline constexpr std::uint32_t kSystem = 0x04;
inline constexpr std::uint32_t kDirectory = 0x10;
inline constexpr std::uint32_t kArchive = 0x20;
inline constexpr std::uint32_t kNormal = 0x80;
inline constexpr std::uint32_t kReparsePoint = 0x400;  // a junction or a link
}  // namespace attr

struct DirEntry {
    std::string name;
    std::uint32_t attributes = 0;
    // The entry's name cannot be written in the ANSI code page and it has no short name: it
    // cannot be named, so it can be neither checked nor entered (`name` is empty). A look-alike
    // name could name another entry, one that a removal would then delete.
    bool nameless = false;
};

// A sequential reader of a file's bytes; the file is closed when the reader goes away.
class ByteReader {
  public:
    virtual ~ByteReader() = default;
    // Reads up to `size` bytes into `buffer`; returns 0 at the end of the file or on an error.
    virtual std::size_t Read(char* buffer, std::size_t size) = 0;
    // Moves `bytes` further into the file without handing them out; false when the file ends
    // (or cannot be read) first. This one reads and discards; readers that can seek override it.
    virtual bool Skip(std::uint64_t bytes) {
        char discard[16 * 1024];
        while (bytes > 0) {
            const std::size_t want =
                bytes < sizeof discard ? static_cast<std::size_t>(bytes) : sizeof discard;
            const std::size_t got = Read(discard, want);
            if (got == 0) return false;
            bytes -= got;
        }
        return true;
    }
};

// A file's new content written piece by piece; it replaces the file only on Commit. A writer
// dropped before Commit leaves the old file as it was and nothing beside it.
class PieceWriter {
  public:
    virtual ~PieceWriter() = default;
    // False once any piece failed (a full disk); later pieces are then not written.
    virtual bool Write(std::string_view bytes) = 0;
    // Puts the new content in place of the old; false when a piece or the move failed.
    virtual bool Commit() = 0;
};

// Takes the bytes a copy moves, as they pass.
class ByteSink {
  public:
    virtual ~ByteSink() = default;
    virtual void Take(const char* data, std::size_t size) = 0;
};

// A file kept open for adding bytes at its end, for a log that takes many records in a row.
class Appender {
  public:
    virtual ~Appender() = default;
    virtual bool Append(std::string_view bytes) = 0;
    // Puts what was appended on the disk, out of the system's cache: a record that must
    // survive a power cut (the quarantine's manifest) is flushed before anything relies on it.
    virtual bool Flush() { return true; }
};

enum class Durability { kRegenerable, kOnDisk };

class FileSystem {
  public:
    virtual ~FileSystem() = default;

    // The path made full against the current folder (as GetFullPathName makes it), so that it
    // names the same place wherever it is used; nothing when that cannot be done. This one
    // knows no current folder and makes nothing full.
    virtual std::optional<std::string> FullPath(const std::string&) { return std::nullopt; }

    // The entry's attributes, or nothing when the path names no file or folder.
    virtual std::optional<std::uint32_t> Attributes(const std::string& path) = 0;
    // Every entry of a folder, "." and ".." left out, hidden and system entries included.
    // Nothing when the folder cannot be listed.
    virtual std::vector<DirEntry> ListFolder(const std::string& folder) = 0;

    virtual std::unique_ptr<ByteReader> OpenForReading(const std::string& path) = 0;
    // The file's length in bytes; nothing when the path names no file (a folder, or nothing).
    // This one reads the file through; file systems that can ask the system override it.
    virtual std::optional<std::uint64_t> FileSize(const std::string& path) {
        auto reader = OpenForReading(path);
        if (!reader) return std::nullopt;
        char buffer[16 * 1024];
        std::uint64_t size = 0;
        while (const std::size_t got = reader->Read(buffer, sizeof buffer))
            size += got;
        return size;
    }
    // Replaces the file's whole content: the new content is written beside it and moved into
    // place, so a failure leaves the old file untouched and never a half-written one.
    virtual bool WriteWholeFile(const std::string& path, const std::string& bytes) = 0;
    // The same for a large file written piece by piece: the pieces go beside the file and
    // Commit moves them into place, so the file is never seen half-written. A file the program
    // can write again from what it knows (the scan report) may leave its bytes in the system's
    // cache (a power cut may cost the newest copy); any other is on the disk before it moves
    // into place. Nothing when the new file cannot be started. This one collects the pieces for
    // WriteWholeFile; file systems that can write as they go override it.
    virtual std::unique_ptr<PieceWriter> ReplaceInPieces(const std::string& path,
                                                         Durability durability);

    // Deletes a file, a read-only one too; one that still will not go keeps its attributes.
    virtual bool DeleteFile(const std::string& path) = 0;
    // Fails when `to` exists.
    virtual bool RenameFile(const std::string& from, const std::string& to) = 0;
    // Moves `from` onto `to` in one step, replacing `to` when it exists; on failure both stay.
    virtual bool MoveReplacing(const std::string& from, const std::string& to) = 0;
    // Creates the folder and any missing parents; true when it exists afterwards.
    virtual bool CreateFolder(const std::string& folder) = 0;
    // Copies a file with its bytes and attributes; fails when `to` exists.
    virtual bool CopyFile(const std::string& from, const std::string& to) = 0;
    // CopyFile, handing every byte read from `from` to `original` and then every byte read
    // back from the finished copy to `copied`, so that the two can be compared without opening
    // either file again. The copy is on the disk, not only in the system's cache, when this
    // returns: it is a backup, and the original may be deleted next. False, with no copy left
    // behind, when the copy, a read or the flush failed. This one copies and then reads both
    // files; file systems that can do it in one go override it.
    virtual bool CopyFileReadingBoth(const std::string& from, const std::string& to,
                                     ByteSink& original, ByteSink& copied);
    // Adds bytes at the end of the file, creating it when missing. For logs that only grow.
    virtual bool AppendToFile(const std::string& path, const std::string& bytes) = 0;
    // The same for many appends in a row without opening the file for each; others can read
    // the file meanwhile. Nothing when it cannot be opened. This one calls AppendToFile for
    // each; file systems that can hold the file open override it.
    virtual std::unique_ptr<Appender> OpenForAppending(const std::string& path);
    // Deletes a folder with everything in it, read-only, hidden and system entries included.
    // True when the folder is gone afterwards.
    virtual bool DeleteFolderTree(const std::string& folder) = 0;
    // Asks the system to delete the file when it next starts (for a file another program
    // holds open). False when the system refused (on Windows it needs administrator rights)
    // or cannot do it at all.
    virtual bool DeleteAtRestart(const std::string&) { return false; }
};

// A whole file's bytes; nothing when it cannot be opened or is larger than `largest` (measured
// first, and again as it is read, since it may grow meanwhile), so a runaway file costs
// neither the memory nor the time of reading it.
std::optional<std::string> ReadWholeFile(FileSystem& files, const std::string& path,
                                         std::uint64_t largest);

}  // namespace qm::platform
