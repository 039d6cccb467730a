// Win32FileSystem against real files in a temporary folder of the prefix.
#include "platform/win32/Win32FileSystem.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>

#include "TempFolder.h"
#include "platform/win32/Handle.h"
#include "platform/win32/WinApi.h"
#include "text/TextFile.h"

namespace qm::platform::win32 {
namespace {

using ::testing::ElementsAre;
using wintest::FileContent;
using wintest::PathExists;
using wintest::PutFile;

class Win32FileSystemTest : public ::testing::Test {
  protected:
    // Names in the folder, each with its attributes.
    std::map<std::string, std::uint32_t> Listing(const std::string& folder) {
        std::map<std::string, std::uint32_t> byName;
        for (const auto& e : fs_.ListFolder(folder)) {
            EXPECT_TRUE(byName.emplace(e.name, e.attributes).second) << "listed twice: " << e.name;
        }
        return byName;
    }
    std::vector<std::string> Names(const std::string& folder) {
        std::vector<std::string> names;
        for (const auto& [name, attributes] : Listing(folder))
            names.push_back(name);
        return names;
    }

    wintest::TempFolder temp_;
    Win32FileSystem fs_;
};

// --- Attributes and listing -----------------------------------------------------------------

TEST_F(Win32FileSystemTest, AttributesReportFilesFoldersAndHiddenOrSystemFlags) {
    EXPECT_EQ(fs_.Attributes(temp_ / "missing.txt"), std::nullopt);
    EXPECT_EQ(fs_.Attributes(temp_ / "missing\\below.txt"), std::nullopt);

    const auto folder = fs_.Attributes(temp_.path());
    ASSERT_TRUE(folder);
    EXPECT_NE(*folder & attr::kDirectory, 0u);

    const std::string file = temp_ / "plain.txt";
    PutFile(file, "x");
    const auto plain = fs_.Attributes(file);
    ASSERT_TRUE(plain);
    EXPECT_EQ(*plain & (attr::kDirectory | attr::kHidden | attr::kSystem), 0u);

    ASSERT_TRUE(::SetFileAttributesA(
        file.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY));
    const auto marked = fs_.Attributes(file);
    ASSERT_TRUE(marked);
    EXPECT_EQ(*marked & (attr::kHidden | attr::kSystem | attr::kReadOnly | attr::kDirectory),
              attr::kHidden | attr::kSystem | attr::kReadOnly);
}

TEST_F(Win32FileSystemTest, ListFolderReturnsEveryEntryWithItsAttributes) {
    PutFile(temp_ / "a.txt", "a");
    PutFile(temp_ / "hidden.dat", "h");
    ASSERT_TRUE(::SetFileAttributesA((temp_ / "hidden.dat").c_str(), FILE_ATTRIBUTE_HIDDEN));
    PutFile(temp_ / "system.dat", "s");
    ASSERT_TRUE(::SetFileAttributesA((temp_ / "system.dat").c_str(), FILE_ATTRIBUTE_SYSTEM));
    ASSERT_TRUE(::CreateDirectoryA((temp_ / "sub").c_str(), nullptr));
    PutFile(temp_ / "sub\\inner.txt", "i");

    const auto listing = Listing(temp_.path());
    // No "." or "..", nothing from the subfolder, hidden and system entries included.
    ASSERT_EQ(listing.size(), 4u);
    EXPECT_EQ(listing.at("a.txt") & (attr::kDirectory | attr::kHidden), 0u);
    EXPECT_NE(listing.at("hidden.dat") & attr::kHidden, 0u);
    EXPECT_NE(listing.at("system.dat") & attr::kSystem, 0u);
    EXPECT_NE(listing.at("sub") & attr::kDirectory, 0u);

    // A trailing separator names the same folder.
    EXPECT_THAT(Names(temp_.path() + "\\"),
                ElementsAre("a.txt", "hidden.dat", "sub", "system.dat"));
    EXPECT_THAT(Names(temp_ / "sub"), ElementsAre("inner.txt"));
}

TEST_F(Win32FileSystemTest, ListFolderIsEmptyForEmptyMissingOrNonFolderPaths) {
    ASSERT_TRUE(::CreateDirectoryA((temp_ / "empty").c_str(), nullptr));
    EXPECT_TRUE(fs_.ListFolder(temp_ / "empty").empty());
    EXPECT_TRUE(fs_.ListFolder(temp_ / "missing").empty());
    PutFile(temp_ / "file.txt", "x");
    EXPECT_TRUE(fs_.ListFolder(temp_ / "file.txt").empty());
    EXPECT_TRUE(fs_.ListFolder("").empty());
}

// --- Reading --------------------------------------------------------------------------------

TEST_F(Win32FileSystemTest, OpenForReadingReturnsTheExactBytesInPieces) {
    std::string bytes("head\0\r\n\xff\x80tail", 13);
    PutFile(temp_ / "bin.dat", bytes);

    auto reader = fs_.OpenForReading(temp_ / "bin.dat");
    ASSERT_NE(reader, nullptr);
    std::string seen;
    char buffer[5];
    for (std::size_t n; (n = reader->Read(buffer, sizeof buffer)) > 0;) {
        EXPECT_LE(n, sizeof buffer);
        seen.append(buffer, n);
    }
    EXPECT_EQ(seen, bytes);
    EXPECT_EQ(reader->Read(buffer, sizeof buffer), 0u);  // stays at the end
}

TEST_F(Win32FileSystemTest, OpenForReadingFailsForMissingFilesAndFolders) {
    EXPECT_EQ(fs_.OpenForReading(temp_ / "missing.txt"), nullptr);
    EXPECT_EQ(fs_.OpenForReading(temp_.path()), nullptr);
}

TEST_F(Win32FileSystemTest, AnOpenReaderDoesNotLockOthersOut) {
    PutFile(temp_ / "defs.dat", "old");
    auto reader = fs_.OpenForReading(temp_ / "defs.dat");
    ASSERT_NE(reader, nullptr);

    // Another program may still open it for writing, and the file may be deleted while it is
    // being read.
    UniqueFile writer(::CreateFileA((temp_ / "defs.dat").c_str(), GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
    EXPECT_TRUE(writer) << "error " << ::GetLastError();
    writer.reset();
    EXPECT_TRUE(fs_.DeleteFile(temp_ / "defs.dat"));
    // The deletion completes when the reader lets go of the file.
    reader.reset();
    EXPECT_FALSE(PathExists(temp_ / "defs.dat"));
}

// The core's line reader over a real file: NUL bytes stay inside a line, and CR LF, a lone CR
// and a lone LF each end one line, also where a CR LF is split between two reads.
TEST_F(Win32FileSystemTest, LineReaderReadsNulBytesAndEveryKindOfLineEnd) {
    const std::string bytes =
        std::string("abc\0def\r\n", 9) + "\r" + "ghi\r" + "jkl\n" + "\r\n" + "last";
    PutFile(temp_ / "lines.dat", bytes);
    EXPECT_THAT(text::ReadAllLines(fs_, temp_ / "lines.dat"),
                ElementsAre(std::string("abc\0def", 7), "", "ghi", "jkl", "", "last"));

    // The reader's buffer is 64 KiB: put a CR LF across that boundary, and CR-only lines after it.
    const std::string first(65535, 'a');
    PutFile(temp_ / "long.dat", first + "\r\nsecond\rthird\r");
    const auto lines = text::ReadAllLines(fs_, temp_ / "long.dat");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], first);
    EXPECT_EQ(lines[1], "second");
    EXPECT_EQ(lines[2], "third");

    EXPECT_FALSE(text::LineReader::Open(fs_, temp_ / "missing.dat"));
}

// --- Writing --------------------------------------------------------------------------------

TEST_F(Win32FileSystemTest, WriteWholeFileCreatesAndReplacesWithoutLeavingTemporaryFiles) {
    const std::string path = temp_ / "date.dat";
    ASSERT_TRUE(fs_.WriteWholeFile(path, std::string("first\0\r\n", 8)));
    EXPECT_EQ(FileContent(path), std::string("first\0\r\n", 8));

    // A shorter content leaves nothing of the longer one behind.
    ASSERT_TRUE(fs_.WriteWholeFile(path, "2"));
    EXPECT_EQ(FileContent(path), "2");
    ASSERT_TRUE(fs_.WriteWholeFile(path, ""));
    EXPECT_EQ(FileContent(path), "");

    // Larger than any single buffer of the reader.
    std::string big(300000, '\0');
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i * 7 % 251);
    ASSERT_TRUE(fs_.WriteWholeFile(path, big));
    EXPECT_EQ(FileContent(path), big);

    EXPECT_THAT(Names(temp_.path()), ElementsAre("date.dat"));
}

TEST_F(Win32FileSystemTest, WriteWholeFileIntoAMissingFolderFailsCleanly) {
    EXPECT_FALSE(fs_.WriteWholeFile(temp_ / "missing\\date.dat", "x"));
    EXPECT_FALSE(PathExists(temp_ / "missing"));
    EXPECT_TRUE(Names(temp_.path()).empty());
}

TEST_F(Win32FileSystemTest, WriteWholeFileThatCannotReplaceTheTargetLeavesNoTemporary) {
    // A folder cannot be replaced by a file: the content is written, the final move fails.
    ASSERT_TRUE(::CreateDirectoryA((temp_ / "folder").c_str(), nullptr));
    PutFile(temp_ / "folder\\inside.txt", "kept");
    EXPECT_FALSE(fs_.WriteWholeFile(temp_ / "folder", "new"));
    const auto a = fs_.Attributes(temp_ / "folder");
    ASSERT_TRUE(a);
    EXPECT_NE(*a & attr::kDirectory, 0u);
    EXPECT_EQ(FileContent(temp_ / "folder\\inside.txt"), "kept");

    EXPECT_THAT(Names(temp_.path()), ElementsAre("folder"));
    EXPECT_THAT(Names(temp_ / "folder"), ElementsAre("inside.txt"));
}

TEST_F(Win32FileSystemTest, PiecesReplaceTheFileOnlyWhenCommitted) {
    const std::string path = temp_ / "report.txt";
    PutFile(path, std::string(100000, 'o'));
    {
        auto dropped = fs_.ReplaceInPieces(path, Durability::kRegenerable);
        ASSERT_TRUE(dropped);
        ASSERT_TRUE(dropped->Write("never committed"));
    }
    EXPECT_EQ(FileContent(path), std::string(100000, 'o'));
    EXPECT_THAT(Names(temp_.path()), ElementsAre("report.txt"));

    auto writer = fs_.ReplaceInPieces(path, Durability::kOnDisk);
    ASSERT_TRUE(writer);
    ASSERT_TRUE(writer->Write("first "));
    ASSERT_TRUE(writer->Write(std::string_view("\0second", 7)));
    ASSERT_TRUE(writer->Commit());
    EXPECT_FALSE(writer->Commit()) << "a second commit has nothing to move";
    EXPECT_EQ(FileContent(path), std::string("first \0second", 13));
    EXPECT_THAT(Names(temp_.path()), ElementsAre("report.txt"));

    // A folder where the file should go is never moved aside for it.
    ASSERT_TRUE(::CreateDirectoryA((temp_ / "folder").c_str(), nullptr));
    PutFile(temp_ / "folder\\inside.txt", "kept");
    auto blocked = fs_.ReplaceInPieces(temp_ / "folder", Durability::kOnDisk);
    ASSERT_TRUE(blocked);
    ASSERT_TRUE(blocked->Write("new"));
    EXPECT_FALSE(blocked->Commit());
    blocked.reset();
    EXPECT_EQ(FileContent(temp_ / "folder\\inside.txt"), "kept");
    EXPECT_THAT(Names(temp_.path()), ElementsAre("folder", "report.txt"));
}

// A reader that shares deleting (as the program's own readers do) keeps reading the old text
// while the new one takes its place; one that does not share it keeps the old file in place.
TEST_F(Win32FileSystemTest, PiecesReplaceAFileOthersAreReadingOnlyWhenTheyShareDeleting) {
    for (const DWORD share : {DWORD{FILE_SHARE_READ | FILE_SHARE_DELETE}, DWORD{FILE_SHARE_READ}}) {
        SCOPED_TRACE(share);
        const std::string path = temp_ / "report.txt";
        PutFile(path, "old text");
        UniqueFile reader(::CreateFileA(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(reader);
        auto writer = fs_.ReplaceInPieces(path, Durability::kRegenerable);
        ASSERT_TRUE(writer);
        ASSERT_TRUE(writer->Write("new text"));
        const bool replaced = writer->Commit();
        writer.reset();

        char seen[16] = {};
        DWORD got = 0;
        ASSERT_TRUE(::ReadFile(reader.get(), seen, sizeof seen, &got, nullptr));
        EXPECT_EQ(std::string(seen, got), "old text");
        reader.reset();
        EXPECT_EQ(replaced, (share & FILE_SHARE_DELETE) != 0);
        EXPECT_EQ(FileContent(path), replaced ? "new text" : "old text");
        EXPECT_THAT(Names(temp_.path()), ElementsAre("report.txt")) << "no file left aside";
        ASSERT_TRUE(::DeleteFileA(path.c_str()));
    }
}

// --- Deleting and moving --------------------------------------------------------------------

TEST_F(Win32FileSystemTest, DeleteFileRemovesFilesOnly) {
    PutFile(temp_ / "a.dat", "a");
    EXPECT_TRUE(fs_.DeleteFile(temp_ / "a.dat"));
    EXPECT_FALSE(PathExists(temp_ / "a.dat"));
    EXPECT_FALSE(fs_.DeleteFile(temp_ / "a.dat"));

    ASSERT_TRUE(::CreateDirectoryA((temp_ / "sub").c_str(), nullptr));
    EXPECT_FALSE(fs_.DeleteFile(temp_ / "sub"));
    EXPECT_TRUE(PathExists(temp_ / "sub"));
}

TEST_F(Win32FileSystemTest, RenameFileMovesButNeverOverwrites) {
    PutFile(temp_ / "from.dat", "from");
    ASSERT_TRUE(fs_.RenameFile(temp_ / "from.dat", temp_ / "to.dat"));
    EXPECT_FALSE(PathExists(temp_ / "from.dat"));
    EXPECT_EQ(FileContent(temp_ / "to.dat"), "from");

    PutFile(temp_ / "other.dat", "other");
    EXPECT_FALSE(fs_.RenameFile(temp_ / "other.dat", temp_ / "to.dat"));
    EXPECT_EQ(FileContent(temp_ / "other.dat"), "other");
    EXPECT_EQ(FileContent(temp_ / "to.dat"), "from");

    EXPECT_FALSE(fs_.RenameFile(temp_ / "missing.dat", temp_ / "new.dat"));
    EXPECT_FALSE(PathExists(temp_ / "new.dat"));
}

TEST_F(Win32FileSystemTest, MoveReplacingReplacesAnExistingTarget) {
    PutFile(temp_ / "DLSafety.dat", "downloaded");
    PutFile(temp_ / "Safety.dat", "installed, longer than the download");
    ASSERT_TRUE(fs_.MoveReplacing(temp_ / "DLSafety.dat", temp_ / "Safety.dat"));
    EXPECT_EQ(FileContent(temp_ / "Safety.dat"), "downloaded");
    EXPECT_FALSE(PathExists(temp_ / "DLSafety.dat"));

    // Onto a missing target it is a plain move.
    ASSERT_TRUE(fs_.MoveReplacing(temp_ / "Safety.dat", temp_ / "Moved.dat"));
    EXPECT_EQ(FileContent(temp_ / "Moved.dat"), "downloaded");

    // A missing source leaves the target alone.
    EXPECT_FALSE(fs_.MoveReplacing(temp_ / "missing.dat", temp_ / "Moved.dat"));
    EXPECT_EQ(FileContent(temp_ / "Moved.dat"), "downloaded");
}

// --- Folders --------------------------------------------------------------------------------

TEST_F(Win32FileSystemTest, CreateFolderCreatesEveryMissingParent) {
    const std::string deep = temp_ / "a\\b\\c";
    ASSERT_TRUE(fs_.CreateFolder(deep));
    const auto a = fs_.Attributes(deep);
    ASSERT_TRUE(a);
    EXPECT_NE(*a & attr::kDirectory, 0u);

    // Existing folders, with or without a trailing separator, and forward slashes.
    EXPECT_TRUE(fs_.CreateFolder(deep));
    EXPECT_TRUE(fs_.CreateFolder(temp_ / "a\\b\\"));
    EXPECT_TRUE(fs_.CreateFolder(temp_.path() + "/x/y"));
    EXPECT_TRUE(PathExists(temp_ / "x\\y"));
    EXPECT_THAT(Names(temp_.path()), ElementsAre("a", "x"));
}

TEST_F(Win32FileSystemTest, CreateFolderFailsWhereAFileIsInTheWay) {
    PutFile(temp_ / "file", "x");
    EXPECT_FALSE(fs_.CreateFolder(temp_ / "file"));
    EXPECT_FALSE(fs_.CreateFolder(temp_ / "file\\sub"));
    EXPECT_EQ(FileContent(temp_ / "file"), "x");
    EXPECT_FALSE(fs_.CreateFolder(""));
}

// --- Paths past MAX_PATH --------------------------------------------------------------------

// Deep folders are where threats hide: every operation reaches a tree more than 300 characters
// deep, where the ANSI calls stop, and such paths are normalised like short ones.
TEST_F(Win32FileSystemTest, EveryOperationReachesPathsPastMaxPath) {
    const std::string top = temp_ / "long";
    std::string deep = top;
    for (int i = 0; deep.size() < 300; ++i)
        deep += "\\seg" + std::to_string(i) + "_" + std::string(30, 'd');
    ASSERT_TRUE(fs_.CreateFolder(deep));
    ASSERT_EQ(::GetFileAttributesA(deep.c_str()), INVALID_FILE_ATTRIBUTES)
        << "the ANSI call should not reach " << deep.size() << " characters";
    const auto folder = fs_.Attributes(deep);
    ASSERT_TRUE(folder);
    EXPECT_NE(*folder & attr::kDirectory, 0u);

    const std::string file = deep + "\\threat.exe";
    ASSERT_TRUE(fs_.WriteWholeFile(file, "MZ first, and longer"));
    ASSERT_TRUE(fs_.WriteWholeFile(file, "MZ second"));
    ASSERT_TRUE(fs_.AppendToFile(file, "+log"));
    const std::string report = deep + "\\Scan_Log.txt";
    for (const std::string_view text : {"first report", "second report"}) {
        auto writer = fs_.ReplaceInPieces(report, Durability::kRegenerable);
        ASSERT_TRUE(writer && writer->Write(text) && writer->Commit()) << text;
    }
    EXPECT_EQ(text::ReadAllLines(fs_, report), std::vector<std::string>{"second report"});
    ASSERT_TRUE(fs_.DeleteFile(report));
    EXPECT_THAT(Names(deep), ElementsAre("threat.exe"));  // no temporary file left behind
    const auto a = fs_.Attributes(file);
    ASSERT_TRUE(a);
    EXPECT_EQ(*a & attr::kDirectory, 0u);

    ASSERT_TRUE(fs_.CopyFile(file, deep + "\\copy.exe"));
    EXPECT_FALSE(fs_.CopyFile(file, deep + "\\copy.exe"));
    ASSERT_TRUE(fs_.RenameFile(deep + "\\copy.exe", deep + "\\renamed.exe"));
    EXPECT_THAT(Names(deep), ElementsAre("renamed.exe", "threat.exe"));
    ASSERT_TRUE(fs_.MoveReplacing(deep + "\\renamed.exe", file));
    // Forward slashes, "." and "..", a doubled separator and trailing dots name the same file.
    const std::string last = deep.substr(deep.rfind('\\') + 1);
    const std::string roundabout = deep + "/./..\\" + last + "\\\\threat.exe.";
    std::string seen;
    if (auto reader = fs_.OpenForReading(roundabout)) {
        char buffer[64];
        for (std::size_t n; (n = reader->Read(buffer, sizeof buffer)) > 0;)
            seen.append(buffer, n);
    }
    EXPECT_EQ(seen, "MZ second+log");

    // A name outside the code page is listed by its short name, which reaches it.
    const std::wstring wideFile = L"\\\\?\\" + wintest::Widen(deep) + L"\\\u6570\u636e-threat.exe";
    ASSERT_TRUE(UniqueFile(::CreateFileW(wideFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                         FILE_ATTRIBUTE_NORMAL, nullptr)));
    auto names = Names(deep);
    ASSERT_EQ(names.size(), 2u);
    ASSERT_EQ(std::erase(names, "threat.exe"), 1u);
    EXPECT_EQ(names[0].find('?'), std::string::npos) << names[0];
    EXPECT_TRUE(fs_.Attributes(deep + "\\" + names[0]));

    EXPECT_TRUE(fs_.DeleteFile(file));
    EXPECT_FALSE(fs_.Attributes(file));
    ::SetFileAttributesW(wideFile.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    EXPECT_TRUE(fs_.DeleteFolderTree(top));
    EXPECT_FALSE(fs_.Attributes(top));
    EXPECT_TRUE(Names(temp_.path()).empty());
}

}  // namespace
}  // namespace qm::platform::win32
