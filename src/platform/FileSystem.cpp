#include "platform/FileSystem.h"

#include <utility>

namespace qm::platform {

namespace {

// Keeps every piece until Commit hands the whole content to WriteWholeFile.
class CollectingWriter final : public PieceWriter {
  public:
    CollectingWriter(FileSystem& files, std::string path) : files_(files), path_(std::move(path)) {}

    bool Write(std::string_view bytes) override {
        content_.append(bytes);
        return true;
    }
    bool Commit() override { return files_.WriteWholeFile(path_, content_); }

  private:
    FileSystem& files_;
    std::string path_;
    std::string content_;
};

}  // namespace

std::unique_ptr<PieceWriter> FileSystem::ReplaceInPieces(const std::string& path) {
    if (path.empty()) return nullptr;
    return std::make_unique<CollectingWriter>(*this, path);
}

}  // namespace qm::platform
