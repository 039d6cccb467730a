#include "platform/win32/Win32FileSystem.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/win32/Handle.h"
#include "platform/win32/WidePath.h"
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

    // A seek rather than a read, never past the end: the company reader jumps straight to a
    // version resource, or to a table gigabytes into a large file.
    bool Skip(std::uint64_t bytes) override {
        LARGE_INTEGER size{}, here{};
        if (!::GetFileSizeEx(file_.get(), &size) ||
            !::SetFilePointerEx(file_.get(), LARGE_INTEGER{}, &here, FILE_CURRENT)) {
            return ByteReader::Skip(bytes);  // no size to seek within: read through
        }
        const auto left =
            static_cast<std::uint64_t>(std::max<LONGLONG>(size.QuadPart - here.QuadPart, 0));
        LARGE_INTEGER move{};
        move.QuadPart = static_cast<LONGLONG>(std::min(bytes, left));
        return ::SetFilePointerEx(file_.get(), move, nullptr, FILE_CURRENT) && bytes <= left;
    }

  private:
    UniqueFile file_;
};

bool WriteAll(HANDLE file, std::string_view bytes) {
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
// short so that it adds little to a target that is already deep.
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
    explicit TemporaryFile(const std::string& path) : path_(WideFilePath(path)) {}
    ~TemporaryFile() {
        if (!kept_) ::DeleteFileW(path_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    TemporaryFile(TemporaryFile&& other) noexcept
        : path_(std::move(other.path_)), kept_(std::exchange(other.kept_, true)) {}
    TemporaryFile& operator=(TemporaryFile&&) = delete;

    const std::wstring& path() const { return path_; }
    void Keep() { kept_ = true; }

  private:
    std::wstring path_;
    bool kept_ = false;
};

// A new file beside the target, open for writing, deleted again unless it is moved into place.
struct BesideFile {
    TemporaryFile temp;
    UniqueFile file;
};

// `access` beyond writing: DELETE lets the new file be renamed through its own handle.
std::optional<BesideFile> OpenBeside(const std::string& path, DWORD access = 0) {
    if (path.empty()) return std::nullopt;
    for (unsigned attempt = 0; attempt < 16; ++attempt) {
        TemporaryFile temp(TemporarySibling(path));
        UniqueFile file(::CreateFileW(temp.path().c_str(), GENERIC_WRITE | access, 0, nullptr,
                                      CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) return BesideFile{std::move(temp), std::move(file)};
        // Only a name clash is worth another try; a missing folder or a full disk fails the
        // same way every time.
        if (::GetLastError() != ERROR_FILE_EXISTS) return std::nullopt;
        temp.Keep();  // someone else's file: not ours to delete
    }
    return std::nullopt;
}

// Closes the new file (an open file cannot be moved) and moves it over the target.
bool MoveIntoPlace(BesideFile& beside, const std::string& path) {
    beside.file.reset();
    if (!::MoveFileExW(beside.temp.path().c_str(), WideFilePath(path).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return false;
    }
    beside.temp.Keep();
    return true;
}

// Gives an open file (opened with DELETE access) another name, never over an existing file.
// Through the handle, the file is not looked up and opened again by name as a move would.
bool RenameOpenFile(HANDLE file, const std::wstring& to) {
    const std::size_t nameBytes = to.size() * sizeof(wchar_t);
    // The name runs on past the structure's end; whole structures keep the buffer aligned.
    std::vector<FILE_RENAME_INFO> room(2 + nameBytes / sizeof(FILE_RENAME_INFO));
    FILE_RENAME_INFO& info = room.front();
    info.ReplaceIfExists = FALSE;
    info.RootDirectory = nullptr;
    info.FileNameLength = static_cast<DWORD>(nameBytes);
    std::memcpy(info.FileName, to.c_str(), nameBytes + sizeof(wchar_t));
    return ::SetFileInformationByHandle(file, FileRenameInfo, &info,
                                        static_cast<DWORD>(room.size() * sizeof info)) != FALSE;
}

// Each piece goes to the file beside the target as it comes; only a file that must be on the
// disk waits for it, once, at Commit. On Commit the old file is first moved aside, the new one
// moved in and the old one deleted, so the old one can always be put back: moving a new file
// over an existing one instead makes some file systems (ext4, under Wine) write the new file
// out there and then, which costs more than writing it did. The three steps go through open
// handles: under Wine every look-up of a path costs a request to its server.
class FilePieceWriter final : public PieceWriter {
  public:
    FilePieceWriter(BesideFile beside, std::string path, Durability durability)
        : beside_(std::move(beside)), path_(std::move(path)), durability_(durability) {}

    bool Write(std::string_view bytes) override {
        failed_ = failed_ || !WriteAll(beside_.file.get(), bytes);
        return !failed_;
    }

    bool Commit() override {
        if (failed_ || committed_) return false;
        committed_ = true;
        if (durability_ == Durability::kOnDisk && !::FlushFileBuffers(beside_.file.get())) {
            return false;
        }
        const std::wstring target = WideFilePath(path_);
        // Opened to be renamed and deleted only, sharing everything: a reader of the old file
        // goes on reading it. A folder (never opened as a file) or a file held by a program
        // that does not share deleting stays as it is, and the new file is not moved in.
        UniqueFile old(::CreateFileW(target.c_str(), DELETE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!old && ::GetLastError() != ERROR_FILE_NOT_FOUND) return false;
        if (old && !MoveAside(old.get())) return false;
        if (!RenameOpenFile(beside_.file.get(), target)) {
            // The old file goes back; should even that fail it stays under its other name
            // rather than be lost.
            if (old) RenameOpenFile(old.get(), target);
            return false;
        }
        beside_.temp.Keep();
        beside_.file.reset();
        if (old) {
            // Gone when its handle closes. Should that be refused (a read-only file), it stays
            // under its other name: it was replaced all the same.
            FILE_DISPOSITION_INFO dispose{TRUE};
            ::SetFileInformationByHandle(old.get(), FileDispositionInfo, &dispose, sizeof dispose);
        }
        return true;
    }

  private:
    // Under a name of its own; only a name clash is worth another try.
    bool MoveAside(HANDLE old) const {
        for (unsigned attempt = 0; attempt < 16; ++attempt) {
            if (RenameOpenFile(old, WideFilePath(TemporarySibling(path_)))) return true;
            const DWORD error = ::GetLastError();
            if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) return false;
        }
        return false;
    }

    BesideFile beside_;
    std::string path_;
    Durability durability_;
    bool failed_ = false;
    bool committed_ = false;
};

// Every write lands at the file's end (the handle has append access only).
class FileAppender final : public Appender {
  public:
    explicit FileAppender(UniqueFile file) : file_(std::move(file)) {}
    bool Append(std::string_view bytes) override {
        if (bytes.size() > 0x7fffffffu) return false;
        DWORD written = 0;
        return ::WriteFile(file_.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                           nullptr) != FALSE &&
               written == bytes.size();
    }
    bool Flush() override { return ::FlushFileBuffers(file_.get()) != FALSE; }

  private:
    UniqueFile file_;
};

// Every entry a wide search pattern finds, "." and ".." left out.
template <typename Each>
void ForEachEntry(const std::wstring& pattern, Each each) {
    WIN32_FIND_DATAW data{};
    UniqueFind find(::FindFirstFileW(pattern.c_str(), &data));
    if (!find) return;
    do {
        const std::wstring_view name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        each(data);
    } while (::FindNextFileW(find.get(), &data));
}

// Reads the file from where its pointer stands to its end, one chunk at a time; false when a
// read fails or `each` says so.
template <typename Each>
bool ReadEachChunk(HANDLE file, std::vector<char>& chunk, Each each) {
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file, chunk.data(), static_cast<DWORD>(chunk.size()), &got, nullptr)) {
            return false;
        }
        if (got == 0) return true;
        if (!each(std::string_view(chunk.data(), got))) return false;
    }
}

}  // namespace

std::optional<std::uint32_t> Win32FileSystem::Attributes(const std::string& path) {
    const DWORD a = ::GetFileAttributesW(WideFilePath(path).c_str());
    if (a == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    return a;
}

// Listed in wide names and written in the ANSI code page only where that is exact: the ANSI
// call would hand out a best-fit look-alike ("a" for "a-macron") that names another entry, or
// "?" that a later call takes for a wildcard.
std::vector<DirEntry> Win32FileSystem::ListFolder(const std::string& folder) {
    std::vector<DirEntry> entries;
    if (folder.empty()) return entries;
    std::string pattern = folder;
    if (!IsSeparator(pattern.back())) pattern += '\\';
    pattern += '*';
    ForEachEntry(WideFilePath(pattern), [&](const WIN32_FIND_DATAW& data) {
        AnsiText name = NarrowToAnsi(data.cFileName);
        // The short name, where the volume keeps one, reaches the same entry.
        if (!name.exact && data.cAlternateFileName[0] != L'\0') {
            name = NarrowToAnsi(data.cAlternateFileName);
        }
        if (!name.exact) {
            entries.push_back(DirEntry{std::string(), data.dwFileAttributes, true});
            return;
        }
        entries.push_back(DirEntry{std::move(name.text), data.dwFileAttributes});
    });
    return entries;
}

std::unique_ptr<ByteReader> Win32FileSystem::OpenForReading(const std::string& path) {
    // Readers never lock others out: the scanner reads files other programs have open, and a
    // definition update may replace a file while it is being counted.
    UniqueFile file(::CreateFileW(WideFilePath(path).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return nullptr;
    return std::make_unique<FileByteReader>(std::move(file));
}

// From the directory entry: the file is not opened, so a file another program holds open
// without sharing still has its size.
std::optional<std::uint64_t> Win32FileSystem::FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(WideFilePath(path).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return std::nullopt;
    }
    return (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

bool Win32FileSystem::WriteWholeFile(const std::string& path, const std::string& bytes) {
    auto beside = OpenBeside(path);
    if (!beside) return false;
    const bool written = WriteAll(beside->file.get(), bytes) &&
                         ::FlushFileBuffers(beside->file.get()) && MoveIntoPlace(*beside, path);
    return written;
}

std::unique_ptr<PieceWriter> Win32FileSystem::ReplaceInPieces(const std::string& path,
                                                              Durability durability) {
    auto beside = OpenBeside(path, DELETE);
    if (!beside) return nullptr;
    return std::make_unique<FilePieceWriter>(std::move(*beside), path, durability);
}

std::optional<std::string> Win32FileSystem::FullPath(const std::string& path) {
    return FullAnsiPath(path);
}

bool Win32FileSystem::DeleteFile(const std::string& path) {
    const std::wstring wide = WideFilePath(path);
    if (::DeleteFileW(wide.c_str())) return true;
    // The program deletes only what it means to delete (a threat whose copy is safe, a copy
    // of its own): a read-only attribute does not keep such a file, but a file that still
    // will not go keeps the attribute it had.
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY) == 0 ||
        (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return false;
    }
    if (!::SetFileAttributesW(wide.c_str(), attributes & ~DWORD{FILE_ATTRIBUTE_READONLY})) {
        return false;
    }
    if (::DeleteFileW(wide.c_str())) return true;
    ::SetFileAttributesW(wide.c_str(), attributes);
    return false;
}

bool Win32FileSystem::CopyFile(const std::string& from, const std::string& to) {
    return ::CopyFileW(WideFilePath(from).c_str(), WideFilePath(to).c_str(), TRUE) != FALSE;
}

// One open of each file: the source is read once, every chunk written to the copy as it comes,
// and the copy read back through its own handle before it is closed. Its attributes and times
// are the source's, as CopyFile gives them.
bool Win32FileSystem::CopyFileReadingBoth(const std::string& from, const std::string& to,
                                          ByteSink& original, ByteSink& copied) {
    UniqueFile source(::CreateFileW(WideFilePath(from).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    // The basic facts only: asking for the whole BY_HANDLE_FILE_INFORMATION also asks the
    // volume for its serial number, which under Wine is a request to its mount manager.
    FILE_BASIC_INFO facts{};
    if (!source ||
        !::GetFileInformationByHandleEx(source.get(), FileBasicInfo, &facts, sizeof facts) ||
        (facts.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return false;
    }
    const std::wstring target = WideFilePath(to);
    UniqueFile copy(::CreateFileW(target.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!copy) return false;  // it exists, or its folder does not
    const auto copyAndCheck = [&] {
        std::vector<char> chunk(64 * 1024);
        const bool copiedAll = ReadEachChunk(source.get(), chunk, [&](std::string_view bytes) {
            original.Take(bytes.data(), bytes.size());
            return WriteAll(copy.get(), bytes);
        });
        LARGE_INTEGER start{};
        if (!copiedAll || !::SetFilePointerEx(copy.get(), start, nullptr, FILE_BEGIN)) {
            return false;
        }
        if (!ReadEachChunk(copy.get(), chunk, [&](std::string_view bytes) {
                copied.Take(bytes.data(), bytes.size());
                return true;
            })) {
            return false;
        }
        // A backup that a power cut could still take away is no backup: the original may be
        // deleted as soon as this returns.
        if (!::FlushFileBuffers(copy.get())) return false;
        FILE_BASIC_INFO basic = facts;
        basic.ChangeTime.QuadPart = 0;  // the system's to set
        // The times and attributes are a courtesy: the bytes are what makes the backup.
        ::SetFileInformationByHandle(copy.get(), FileBasicInfo, &basic, sizeof basic);
        return true;
    };
    const bool made = copyAndCheck();
    copy.reset();
    if (!made) {
        // A read-only attribute is never set on a failed copy: it was made here and goes.
        ::DeleteFileW(target.c_str());
        return false;
    }
    return true;
}

bool Win32FileSystem::AppendToFile(const std::string& path, const std::string& bytes) {
    if (bytes.size() > 0x7fffffffu) return false;  // before the file is made
    const auto appender = OpenForAppending(path);
    return appender && appender->Append(bytes);
}

std::unique_ptr<Appender> Win32FileSystem::OpenForAppending(const std::string& path) {
    UniqueFile file(::CreateFileW(WideFilePath(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ,
                                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return nullptr;
    return std::make_unique<FileAppender>(std::move(file));
}

bool Win32FileSystem::DeleteFolderTree(const std::string& folder) {
    std::string path = folder;
    while (path.size() > 3 && IsSeparator(path.back()))
        path.pop_back();
    if (path.empty()) return false;
    // The tree is handled in wide names throughout, so that entries whose names the ANSI code
    // page cannot show go too; and depth first without recursion, with one path that grows and
    // shrinks, because past MAX_PATH a tree can be thousands of levels deep. Each folder's
    // listing is read to its end before anything in it is deleted, and the folder goes as soon
    // as it is empty.
    struct Level {
        std::size_t pathLength = 0;
        std::vector<std::pair<std::wstring, DWORD>> entries;  // name, attributes
        std::size_t next = 0;
    };
    std::wstring current = WideFilePath(path);
    while (current.size() > 1 && current.back() == L'\\')
        current.pop_back();
    std::vector<Level> levels;
    const auto enter = [&] {
        Level level;
        level.pathLength = current.size();
        ForEachEntry(current + L"\\*", [&](const WIN32_FIND_DATAW& data) {
            level.entries.emplace_back(data.cFileName, data.dwFileAttributes);
        });
        levels.push_back(std::move(level));
    };
    ::SetFileAttributesW(current.c_str(), FILE_ATTRIBUTE_DIRECTORY);
    enter();
    while (!levels.empty()) {
        Level& level = levels.back();
        current.resize(level.pathLength);
        if (level.next == level.entries.size()) {
            ::RemoveDirectoryW(current.c_str());
            levels.pop_back();
            continue;
        }
        const auto& [name, attributes] = level.entries[level.next++];
        current += L'\\';
        current += name;
        ::SetFileAttributesW(current.c_str(), FILE_ATTRIBUTE_NORMAL);
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            ::DeleteFileW(current.c_str());
        } else if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            // A junction or folder link goes by itself; what it points to is not in the tree.
            ::RemoveDirectoryW(current.c_str());
        } else {
            enter();  // `level` is not used again: the vector may have moved
        }
    }
    return !Attributes(path);
}

bool Win32FileSystem::RenameFile(const std::string& from, const std::string& to) {
    return ::MoveFileW(WideFilePath(from).c_str(), WideFilePath(to).c_str()) != FALSE;
}

bool Win32FileSystem::MoveReplacing(const std::string& from, const std::string& to) {
    return ::MoveFileExW(WideFilePath(from).c_str(), WideFilePath(to).c_str(),
                         MOVEFILE_REPLACE_EXISTING) != FALSE;
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
            ::CreateDirectoryW(WideFilePath(path.substr(0, i)).c_str(), nullptr);
        }
    }
    ::CreateDirectoryW(WideFilePath(path).c_str(), nullptr);
    return isFolder(path);
}

bool Win32FileSystem::DeleteAtRestart(const std::string& path) {
    return ::MoveFileExW(WideFilePath(path).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
}

}  // namespace qm::platform::win32
