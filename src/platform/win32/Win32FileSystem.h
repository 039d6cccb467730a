#pragma once
// platform::FileSystem over the wide file API. Paths and names cross the seam in the system's
// ANSI code page, as the core expects; inside, absolute paths take their "\\?\" form, so that
// folders deeper than MAX_PATH are listed, read, written and deleted like any other
// (WidePath.h). A listed name the code page cannot show is given by its short name.

#include "platform/FileSystem.h"

namespace qm::platform::win32 {

class Win32FileSystem final : public FileSystem {
  public:
    std::optional<std::string> FullPath(const std::string& path) override;
    std::optional<std::uint32_t> Attributes(const std::string& path) override;
    std::vector<DirEntry> ListFolder(const std::string& folder) override;
    std::unique_ptr<ByteReader> OpenForReading(const std::string& path) override;
    std::optional<std::uint64_t> FileSize(const std::string& path) override;
    bool WriteWholeFile(const std::string& path, const std::string& bytes) override;
    std::unique_ptr<PieceWriter> ReplaceInPieces(const std::string& path,
                                                 Durability durability) override;
    bool DeleteFile(const std::string& path) override;
    bool RenameFile(const std::string& from, const std::string& to) override;
    bool MoveReplacing(const std::string& from, const std::string& to) override;
    bool CreateFolder(const std::string& folder) override;
    bool CopyFile(const std::string& from, const std::string& to) override;
    bool CopyFileReadingBoth(const std::string& from, const std::string& to, ByteSink& original,
                             ByteSink& copied) override;
    bool AppendToFile(const std::string& path, const std::string& bytes) override;
    std::unique_ptr<Appender> OpenForAppending(const std::string& path) override;
    bool DeleteFolderTree(const std::string& folder) override;
    bool DeleteAtRestart(const std::string& path) override;
};

}  // namespace qm::platform::win32
