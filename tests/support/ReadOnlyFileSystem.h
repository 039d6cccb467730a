#pragma once
// A base for test file systems that serve one file's bytes and refuse every change: the
// subclass says how the file is read.

#include "platform/FileSystem.h"

namespace qm::test {

class ReadOnlyFileSystem : public platform::FileSystem {
  public:
    std::optional<std::uint32_t> Attributes(const std::string&) override {
        return platform::attr::kArchive;
    }
    std::vector<platform::DirEntry> ListFolder(const std::string&) override { return {}; }
    bool WriteWholeFile(const std::string&, const std::string&) override { return false; }
    bool DeleteFile(const std::string&) override { return false; }
    bool RenameFile(const std::string&, const std::string&) override { return false; }
    bool MoveReplacing(const std::string&, const std::string&) override { return false; }
    bool CreateFolder(const std::string&) override { return false; }
    bool CopyFile(const std::string&, const std::string&) override { return false; }
    bool AppendToFile(const std::string&, const std::string&) override { return false; }
    bool DeleteFolderTree(const std::string&) override { return false; }
};

}  // namespace qm::test
