// The hash behind the quarantine's verified copies, and the manifest's lines: what goes in
// comes out, a torn last line is skipped, and anything else that does not read marks the
// manifest damaged.

#include "removal/QuarantineManifest.h"

#include <gtest/gtest.h>

#include "removal/ContentHash.h"
#include "support/FakePlatform.h"

namespace qm::removal {
namespace {

TEST(ContentHashTest, MatchesTheStandardTestVectorsHoweverTheBytesArrive) {
    EXPECT_EQ(DigestOfBytes("").sha256,
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(DigestOfBytes("abc").sha256,
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    const std::string twoBlocks = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
    EXPECT_EQ(DigestOfBytes(twoBlocks).sha256,
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    // The same bytes in pieces that straddle the 64-byte blocks.
    Sha256 pieces;
    for (std::size_t at = 0; at < twoBlocks.size(); at += 7)
        pieces.Update(std::string_view(twoBlocks).substr(at, 7));
    EXPECT_EQ(pieces.HexDigest(), DigestOfBytes(twoBlocks).sha256);
    // A million bytes read from a file in chunks.
    test::FakeFileSystem files;
    files.PutFile("C:\\a.bin", std::string(1000000, 'a'));
    const auto file = DigestOfFile(files, "C:\\a.bin");
    ASSERT_TRUE(file);
    EXPECT_EQ(file->size, 1000000u);
    EXPECT_EQ(file->sha256, "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
    EXPECT_FALSE(DigestOfFile(files, "C:\\missing.bin"));
}

TEST(ContentHashTest, AFolderTreeHashCoversNamesContentAndEmptyFolders) {
    test::FakeFileSystem files;
    const auto tree = [&](const std::string& root) {
        files.PutFolder(root);
        files.PutFolder(root + "\\sub");
        files.PutFile(root + "\\a.dll", "a");
        files.PutFile(root + "\\sub\\b.dll", "bb");
    };
    tree("C:\\One");
    tree("C:\\Two");
    const auto one = DigestOfTree(files, "C:\\One");
    ASSERT_TRUE(one);
    EXPECT_EQ(one->size, 3u);
    EXPECT_EQ(DigestOfTree(files, "C:\\Two"), one) << "where the tree is does not count";
    files.PutFile("C:\\Two\\sub\\b.dll", "bB");
    EXPECT_NE(DigestOfTree(files, "C:\\Two"), one);
    files.PutFile("C:\\Two\\sub\\b.dll", "bb");
    files.PutFolder("C:\\Two\\empty");
    EXPECT_NE(DigestOfTree(files, "C:\\Two"), one);
    files.RemoveTree("C:\\Two\\empty");
    ASSERT_TRUE(files.RenameFile("C:\\Two\\a.dll", "C:\\Two\\c.dll"));
    EXPECT_NE(DigestOfTree(files, "C:\\Two"), one);
    EXPECT_FALSE(DigestOfTree(files, "C:\\Three"));
}

QuarantineEntry Entry(EntryKind kind, std::string original, std::optional<std::string> value,
                      std::string name) {
    return {kind, std::move(original),  std::move(value),       std::move(name),
            42,   std::string(64, 'a'), "12/8/2026 8:46:21 PM", false};
}

void ExpectSame(const QuarantineEntry& a, const QuarantineEntry& b) {
    EXPECT_EQ(a.kind, b.kind);
    EXPECT_EQ(a.original, b.original);
    EXPECT_EQ(a.value, b.value);
    EXPECT_EQ(a.name, b.name);
    EXPECT_EQ(a.size, b.size);
    EXPECT_EQ(a.sha256, b.sha256);
    EXPECT_EQ(a.time, b.time);
    EXPECT_EQ(a.restored, b.restored);
}

TEST(QuarantineManifestTest, EveryFieldComesBackAsItWentIn) {
    std::vector<QuarantineEntry> entries = {
        Entry(EntryKind::File, "C:\\odd\tname%20\r\nhere.dll", std::nullopt, "odd (2).dll"),
        Entry(EntryKind::Folder, "C:\\Program Files\\Tool", std::nullopt, "Tool (2)"),
        Entry(EntryKind::Cookie, "C:\\Cookies\\user@site[1].txt", std::nullopt, "user@site[1].txt"),
        Entry(EntryKind::Registry, "HKEY_CURRENT_USER\\Software\\Bar", std::nullopt,
              "HKEY_CURRENT_USERSoftwareBar.reg"),
        Entry(EntryKind::Registry, "HKEY_CURRENT_USER\\Software\\Bar", "", "default.reg"),
        Entry(EntryKind::Registry, "HKEY_CURRENT_USER\\Software\\Bar", "@", "at.reg"),
        Entry(EntryKind::Registry, "HKEY_CURRENT_USER\\Software\\Bar", "a\tb%", "tab.reg"),
    };
    entries[1].restored = true;
    std::string bytes = ManifestHeader() + "\r\n";
    for (const auto& e : entries) {
        const std::string line = FormatEntry(e);
        EXPECT_EQ(line.find_first_of("\r\n"), line.size() - 2) << "one line each";
        bytes += line;
    }
    const Manifest manifest = ParseManifest(bytes);
    EXPECT_EQ(manifest.status, Manifest::Status::Ok);
    EXPECT_FALSE(manifest.tornLastLine);
    ASSERT_EQ(manifest.entries.size(), entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i)
        ExpectSame(manifest.entries[i], entries[i]);
}

struct DamageCase {
    const char* what;
    std::string tail;  // after the header and one good line
    Manifest::Status status;
    bool torn;
};

class ManifestDamage : public ::testing::TestWithParam<DamageCase> {};

TEST_P(ManifestDamage, TheGoodEntriesStillReadAndOnlyATornLastLineIsForgiven) {
    const auto good = Entry(EntryKind::File, "C:\\a.dll", std::nullopt, "a.dll");
    const std::string start = ManifestHeader() + "\r\n" + FormatEntry(good);
    const Manifest manifest = ParseManifest(start + GetParam().tail);
    EXPECT_EQ(manifest.status, GetParam().status);
    EXPECT_EQ(manifest.tornLastLine, GetParam().torn);
    ASSERT_EQ(manifest.entries.size(), 1u);
    ExpectSame(manifest.entries[0], good);
}

const std::string kHash(64, 'b');
INSTANTIATE_TEST_SUITE_P(
    Lines, ManifestDamage,
    ::testing::Values(
        DamageCase{"torn", "file\tC:\\b.dll\t\tb.dll\t4", Manifest::Status::Ok, true},
        DamageCase{"blank", "\r\n", Manifest::Status::Ok, false},
        DamageCase{"few fields", "file\tC:\\b.dll\r\n", Manifest::Status::Damaged, false},
        DamageCase{"kind", "disk\tC:\\b\t\tb\t4\t" + kHash + "\tt\tquarantined\r\n",
                   Manifest::Status::Damaged, false},
        DamageCase{"size", "file\tC:\\b\t\tb\t4x\t" + kHash + "\tt\tquarantined\r\n",
                   Manifest::Status::Damaged, false},
        DamageCase{"hash", "file\tC:\\b\t\tb\t4\tabc\tt\tquarantined\r\n",
                   Manifest::Status::Damaged, false},
        DamageCase{"escape", "file\tC:\\b%2\t\tb\t4\t" + kHash + "\tt\tquarantined\r\n",
                   Manifest::Status::Damaged, false},
        DamageCase{"path as name", "file\tC:\\b\t\t..\\..\\b\t4\t" + kHash + "\tt\tquarantined\r\n",
                   Manifest::Status::Damaged, false},
        DamageCase{"value of a file", "file\tC:\\b\tv\tb\t4\t" + kHash + "\tt\tquarantined\r\n",
                   Manifest::Status::Damaged, false},
        DamageCase{"state", "file\tC:\\b\t\tb\t4\t" + kHash + "\tt\tgone\r\n",
                   Manifest::Status::Damaged, false}),
    [](const auto& c) {
        std::string name = c.param.what;
        std::erase(name, ' ');
        return name;
    });

TEST(QuarantineManifestTest, WithoutItsHeaderAManifestIsDamagedAndEmptyIsMissing) {
    const auto good = Entry(EntryKind::File, "C:\\a.dll", std::nullopt, "a.dll");
    EXPECT_EQ(ParseManifest(FormatEntry(good)).status, Manifest::Status::Damaged);
    EXPECT_EQ(ParseManifest("").status, Manifest::Status::Missing);
    const Manifest tornHeader = ParseManifest("kind\tori");
    EXPECT_EQ(tornHeader.status, Manifest::Status::Missing);
    EXPECT_TRUE(tornHeader.tornLastLine);
    EXPECT_EQ(ParseManifest(std::string("\0\xff\t\t\n", 5)).status, Manifest::Status::Damaged);
}

}  // namespace
}  // namespace qm::removal
