#include "platform/FileSystem.h"

#include <utility>
#include <vector>

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

// Opens the file again for every append.
class ReopeningAppender final : public Appender {
  public:
    ReopeningAppender(FileSystem& files, std::string path)
        : files_(files), path_(std::move(path)) {}
    bool Append(std::string_view bytes) override {
        return files_.AppendToFile(path_, std::string(bytes));
    }

  private:
    FileSystem& files_;
    std::string path_;
};

// Every byte of the file to the sink; false when it cannot be opened.
bool ReadInto(FileSystem& files, const std::string& path, ByteSink& sink) {
    auto reader = files.OpenForReading(path);
    if (!reader) return false;
    std::vector<char> chunk(64 * 1024);
    while (const std::size_t got = reader->Read(chunk.data(), chunk.size()))
        sink.Take(chunk.data(), got);
    return true;
}

}  // namespace

bool FileSystem::CopyFileReadingBoth(const std::string& from, const std::string& to,
                                     ByteSink& original, ByteSink& copied) {
    if (!CopyFile(from, to)) return false;
    if (!ReadInto(*this, from, original) || !ReadInto(*this, to, copied)) {
        DeleteFile(to);
        return false;
    }
    return true;
}

std::unique_ptr<Appender> FileSystem::OpenForAppending(const std::string& path) {
    if (path.empty()) return nullptr;
    return std::make_unique<ReopeningAppender>(*this, path);
}

std::unique_ptr<PieceWriter> FileSystem::ReplaceInPieces(const std::string& path, Durability) {
    if (path.empty()) return nullptr;
    return std::make_unique<CollectingWriter>(*this, path);
}

std::optional<std::string> ReadWholeFile(FileSystem& files, const std::string& path,
                                         std::uint64_t largest) {
    if (files.FileSize(path).value_or(0) > largest) return std::nullopt;
    auto reader = files.OpenForReading(path);
    if (!reader) return std::nullopt;
    std::string bytes;
    std::vector<char> chunk(64 * 1024);
    while (const std::size_t got = reader->Read(chunk.data(), chunk.size())) {
        if (got > largest - bytes.size()) return std::nullopt;
        bytes.append(chunk.data(), got);
    }
    return bytes;
}

}  // namespace qm::platform
