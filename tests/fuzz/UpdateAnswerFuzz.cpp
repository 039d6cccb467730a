// libFuzzer target for what the definition server sends: the date cleaning and the answer
// parser on the raw input, and the whole merge of the input into a small definition set in
// memory. Checked: the cleaned date never grows and ends at its first marker; the merge ends,
// every file it wrote ends with a line break, and a file it reports as changed by deletions
// holds no empty line.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>

#include "definitions/LineScramble.h"
#include "platform/FileSystem.h"
#include "text/Text.h"
#include "update/DateAnswer.h"
#include "update/DefinitionMerge.h"

namespace {

using namespace qm;

void Check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "check failed: %s\n", what);
    std::abort();
}

class MemoryReader final : public platform::ByteReader {
  public:
    explicit MemoryReader(std::string bytes) : bytes_(std::move(bytes)) {}
    std::size_t Read(char* buffer, std::size_t size) override {
        const std::size_t n = std::min(size, bytes_.size() - at_);
        std::copy_n(bytes_.data() + at_, n, buffer);
        at_ += n;
        return n;
    }

  private:
    std::string bytes_;
    std::size_t at_ = 0;
};

// Files in a map by lower-cased path; no folders but the one the merge works in.
class MemoryFiles final : public platform::FileSystem {
  public:
    std::map<std::string, std::string> files;
    std::optional<std::uint32_t> Attributes(const std::string& path) override {
        if (files.count(text::Lower(path))) return platform::attr::kArchive;
        return std::nullopt;
    }
    std::vector<platform::DirEntry> ListFolder(const std::string&) override { return {}; }
    std::unique_ptr<platform::ByteReader> OpenForReading(const std::string& path) override {
        const auto it = files.find(text::Lower(path));
        if (it == files.end()) return nullptr;
        return std::make_unique<MemoryReader>(it->second);
    }
    bool WriteWholeFile(const std::string& path, const std::string& bytes) override {
        files[text::Lower(path)] = bytes;
        return true;
    }
    bool DeleteFile(const std::string& path) override { return files.erase(text::Lower(path)); }
    bool RenameFile(const std::string&, const std::string&) override { return false; }
    bool MoveReplacing(const std::string&, const std::string&) override { return false; }
    bool CreateFolder(const std::string&) override { return true; }
    bool CopyFile(const std::string&, const std::string&) override { return false; }
    bool AppendToFile(const std::string& path, const std::string& bytes) override {
        files[text::Lower(path)] += bytes;
        return true;
    }
    bool DeleteFolderTree(const std::string&) override { return false; }
    bool DeleteAtRestart(const std::string&) override { return false; }
};

struct NoProgress final : update::MergeProgress {
    void ShowStatus(const std::string&) override {}
    void LetEventsRun() override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);

    const std::string cleaned = update::CleanDateAnswer(input);
    Check(cleaned.size() <= input.size(), "the cleaned date is no longer than the answer");
    for (const char c : cleaned)
        Check(c != '\r' && c != '\n' && c != '\t', "no line break or tab stays");

    for (const auto& record : update::ParseAnswer(input))
        Check(record.action.find('|') == std::string::npos, "an action holds no separator");

    MemoryFiles files;
    const std::string folder = "C:\\Data";
    files.files[text::Lower(folder + "\\FileDefinition.dat")] =
        defs::EncodeLine("a.exe=A|[progfil]A|Adware") + "\r\n\r\n " + "\r\n";
    files.files[text::Lower(folder + "\\Safety.dat")] = "no line break at the end";
    NoProgress progress;
    const auto result = update::MergeDefinitions(files, folder, input, progress);
    Check(result.complete, "a merge in memory always completes");
    Check(result.changes >= 0, "the change count is never negative");
    for (const auto& [path, content] : files.files) {
        if (path.ends_with("safety.dat") && content == "no line break at the end") continue;
        Check(content.empty() || content.ends_with("\r\n"), "a written file ends its last line");
    }
    return 0;
}
