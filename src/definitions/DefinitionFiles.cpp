#include "definitions/DefinitionFiles.h"

#include <array>

#include "text/Text.h"
#include "text/TextFile.h"

namespace qm::defs {

bool PlainFileExists(platform::FileSystem& files, const std::string& path) {
    const auto a = files.Attributes(path);
    if (!a) return false;
    using namespace platform::attr;
    return (*a & (kHidden | kSystem | kDirectory)) == 0;
}

bool FolderExists(platform::FileSystem& files, const std::string& path) {
    const auto a = files.Attributes(path);
    return a && (*a & platform::attr::kDirectory) != 0;
}

long long CountLines(platform::FileSystem& files, const std::string& path) {
    auto reader = text::LineReader::Open(files, path, text::LineEnds::CrLfOnly);
    if (!reader) return 0;
    long long n = 0;
    std::string line;
    while (reader->Next(line))
        ++n;
    return n;
}

DefinitionFiles::DefinitionFiles(platform::FileSystem& files, std::string dataFolder)
    : files_(files), dataFolder_(std::move(dataFolder)) {}

std::string DefinitionFiles::PathOf(const std::string& name) const {
    return text::ReduceDoubleBackslashes(dataFolder_ + "\\" + name);
}

bool DefinitionFiles::Exists(const std::string& name) const {
    // The program's own data files count whatever their attributes: a user or a backup tool
    // that hides a definition file must not make the next scan delete the whole set. Only
    // threat files follow the rule that a hidden file is absent.
    const auto a = files_.Attributes(PathOf(name));
    return a && (*a & platform::attr::kDirectory) == 0;
}

namespace {
constexpr const char* kRequired[] = {file::kFiles, file::kRegistry, file::kPrograms, file::kCookies,
                                     file::kFolders};
}

bool DefinitionFiles::AllRequiredPresent() const {
    for (const char* name : kRequired) {
        if (!Exists(name)) return false;
    }
    return true;
}

bool DefinitionFiles::CheckDefinitionFiles() {
    if (AllRequiredPresent()) return true;
    DeleteDefinitionFiles();
    return false;
}

void DefinitionFiles::DeleteDefinitionFiles() {
    for (const char* name : {file::kFolders, file::kCookies, file::kPrograms, file::kRegistry,
                             file::kFiles, file::kDate}) {
        files_.DeleteFile(PathOf(name));
    }
}

SignatureCounts DefinitionFiles::CountDefinitions() const {
    SignatureCounts c;
    c.cookies = CountLines(files_, PathOf(file::kCookies));
    c.programs = CountLines(files_, PathOf(file::kPrograms));
    c.registry = CountLines(files_, PathOf(file::kRegistry));
    c.files = CountLines(files_, PathOf(file::kFiles)) + CountLines(files_, PathOf(file::kFolders));
    return c;
}

void DefinitionFiles::InstallDownloadedDefinitions() {
    for (const char* name : {file::kCookies, file::kRegistry, file::kFiles, file::kPrograms}) {
        const std::string downloaded = PathOf(std::string(file::kDownloadPrefix) + name);
        if (!Exists(std::string(file::kDownloadPrefix) + name)) continue;
        // One replacing move instead of delete-then-rename: if the move fails, the installed
        // file is still there rather than lost.
        files_.MoveReplacing(downloaded, PathOf(name));
    }
}

std::string DefinitionFiles::ReadDefinitionDate() const {
    const std::string path = PathOf(file::kDate);
    if (!files_.Attributes(path)) return kDefaultDefinitionDate;
    auto reader = text::LineReader::Open(files_, path);
    std::string line;
    if (reader && reader->Next(line)) return line;
    return {};
}

void DefinitionFiles::WriteDefinitionDate(const std::string& date) {
    // Replacing in one piece keeps the old stamp when the new one cannot be written.
    text::WriteAllLines(files_, PathOf(file::kDate), {date});
}

}  // namespace qm::defs
