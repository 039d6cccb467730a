#include "platform/win32/Win32FileSystem.h"

#include <algorithm>
#include <atomic>

#include "platform/win32/Handle.h"
#include "platform/win32/WinApi.h"

namespace qm::platform::win32 {

namespace {

// ReadFile and WriteFile take a DWORD count; larger requests are split.
constexpr std::size_t kMaxChunk = std::size_t{1} << 30;

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

class FileByteReader final : public ByteReader {
  public:
    explicit FileByteReader(UniqueFile file) : file_(std::move(file)) {}

    std::size_t Read(char* buffer, std::size_t size) override {
        const DWORD want = static_cast<DWORD>(std::min(size, kMaxChunk));
        DWORD got = 0;
        if (want == 0 || !::ReadFile(file_.get(), buffer, want, &got, nullptr)) return 0;
        return got;
    }

  private:
    UniqueFile file_;
};

bool WriteAll(HANDLE file, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD want = static_cast<DWORD>(std::min(bytes.size() - done, kMaxChunk));
        DWORD wrote = 0;
        if (!::WriteFile(file, bytes.data() + done, want, &wrote, nullptr) || wrote == 0) {
            return false;
        }
        done += wrote;
    }
    return true;
}

// A name in the target's folder (a move within one folder is a rename, never a copy) that no
// other writer picks at the same moment: the process id and a per-process counter. It is kept
// short so that a target near the path length limit still gets a usable temporary name.
std::string TemporarySibling(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    const auto cut = path.find_last_of("\\/:");
    const std::string folder = cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
    return folder + "~qm" + std::to_string(::GetCurrentProcessId()) + "-" +
           std::to_string(counter.fetch_add(1)) + ".tmp";
}

// Deletes the temporary file unless the write went through.
class TemporaryFile {
  public:
    explicit TemporaryFile(std::string path) : path_(std::move(path)) {}
    ~TemporaryFile() {
        if (!kept_) ::DeleteFileA(path_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const std::string& path() const { return path_; }
    void Keep() { kept_ = true; }

  private:
    std::string path_;
    bool kept_ = false;
};

}  // namespace

std::optional<std::uint32_t> Win32FileSystem::Attributes(const std::string& path) {
    const DWORD a = ::GetFileAttributesA(path.c_str());
    if (a == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    return a;
}

std::vector<DirEntry> Win32FileSystem::ListFolder(const std::string& folder) {
    std::vector<DirEntry> entries;
    if (folder.empty()) return entries;
    std::string pattern = folder;
    if (!IsSeparator(pattern.back())) pattern += '\\';
    pattern += '*';

    WIN32_FIND_DATAA data{};
    UniqueFind find(::FindFirstFileA(pattern.c_str(), &data));
    if (!find) return entries;
    do {
        std::string name = data.cFileName;
        if (name == "." || name == "..") continue;
        // Characters outside the ANSI code page come back as "?", which no real name holds and
        // which a later call would take for a wildcard; the short name reaches the same entry.
        if (name.find('?') != std::string::npos && data.cAlternateFileName[0] != '\0') {
            name = data.cAlternateFileName;
        }
        entries.push_back(DirEntry{name, data.dwFileAttributes});
    } while (::FindNextFileA(find.get(), &data));
    return entries;
}

std::unique_ptr<ByteReader> Win32FileSystem::OpenForReading(const std::string& path) {
    // Readers never lock others out: the scanner reads files other programs have open, and a
    // definition update may replace a file while it is being counted.
    UniqueFile file(::CreateFileA(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return nullptr;
    return std::make_unique<FileByteReader>(std::move(file));
}

bool Win32FileSystem::WriteWholeFile(const std::string& path, const std::string& bytes) {
    if (path.empty()) return false;
    for (unsigned attempt = 0; attempt < 16; ++attempt) {
        TemporaryFile temp(TemporarySibling(path));
        bool written = false;
        {
            UniqueFile file(::CreateFileA(temp.path().c_str(), GENERIC_WRITE, 0, nullptr,
                                          CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
            if (!file) {
                // Only a name clash is worth another try; a missing folder or a full disk
                // fails the same way every time.
                if (::GetLastError() == ERROR_FILE_EXISTS) {
                    temp.Keep();  // someone else's file: not ours to delete
                    continue;
                }
                return false;
            }
            written = WriteAll(file.get(), bytes) && ::FlushFileBuffers(file.get());
        }  // closed here: an open file cannot be moved into place
        if (!written) return false;
        if (!::MoveFileExA(temp.path().c_str(), path.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return false;
        }
        temp.Keep();
        return true;
    }
    return false;
}

bool Win32FileSystem::DeleteFile(const std::string& path) {
    return ::DeleteFileA(path.c_str()) != FALSE;
}

bool Win32FileSystem::CopyFile(const std::string& from, const std::string& to) {
    return ::CopyFileA(from.c_str(), to.c_str(), TRUE) != FALSE;
}

bool Win32FileSystem::AppendToFile(const std::string& path, const std::string& bytes) {
    if (bytes.size() > 0x7fffffffu) return false;
    UniqueFile file(::CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                       nullptr) != FALSE &&
           written == bytes.size();
}

bool Win32FileSystem::DeleteFolderTree(const std::string& folder) {
    std::string path = folder;
    while (path.size() > 3 && IsSeparator(path.back()))
        path.pop_back();
    // The listing is read to its end before anything in it is deleted.
    for (const DirEntry& entry : ListFolder(path)) {
        const std::string child = path + "\\" + entry.name;
        ::SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (entry.attributes & attr::kDirectory) {
            DeleteFolderTree(child);
        } else {
            ::DeleteFileA(child.c_str());
        }
    }
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_DIRECTORY);
    ::RemoveDirectoryA(path.c_str());
    return !Attributes(path);
}

bool Win32FileSystem::RenameFile(const std::string& from, const std::string& to) {
    return ::MoveFileA(from.c_str(), to.c_str()) != FALSE;
}

bool Win32FileSystem::MoveReplacing(const std::string& from, const std::string& to) {
    return ::MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

bool Win32FileSystem::CreateFolder(const std::string& folder) {
    std::string path = folder;
    while (path.size() > 1 && IsSeparator(path.back()))
        path.pop_back();
    if (path.empty()) return false;

    const auto isFolder = [this](const std::string& p) {
        const auto a = Attributes(p);
        return a && (*a & attr::kDirectory) != 0;
    };
    if (isFolder(path)) return true;

    // Every prefix that ends before a separator, then the whole path. The prefixes that name
    // a drive ("C:") or a share ("\\server") cannot be created and fail harmlessly; those that
    // exist already fail with ERROR_ALREADY_EXISTS. Only the final state counts.
    for (std::size_t i = 1; i < path.size(); ++i) {
        if (IsSeparator(path[i]) && !IsSeparator(path[i - 1])) {
            ::CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
        }
    }
    ::CreateDirectoryA(path.c_str(), nullptr);
    return isFolder(path);
}

}  // namespace qm::platform::win32
