// The Smart Scan's known-location passes over "FileDefinition.dat" and "DirectoryDefinition.dat".

#include <gtest/gtest.h>

#include <cstring>

#include "platform/FileSystem.h"
#include "scan/CompanyName.h"
#include "scan/ScanSession.h"
#include "support/FakeApplication.h"
#include "support/FakePlatform.h"
#include "support/ReadOnlyFileSystem.h"

namespace qm::scan {
namespace {

using test::FakeMachine;

// A version resource's string table as the linker lays it out: type word 1, UTF-16 key, the
// value after it; the surrounding bytes are arbitrary.
std::string Wide(std::string_view s) {
    std::string out;
    for (char c : s) {
        out += c;
        out += '\0';
    }
    return out;
}

std::string ExecutableFrom(const std::string& company) {
    std::string bytes = "MZ" + std::string(300, '\x90');
    bytes += '\x01' + std::string(1, '\0') + Wide("StringFileInfo") + std::string(40, '\0');
    // "CompanyName" key: the value starts 26 bytes after the pattern's first byte.
    std::string key = std::string(1, '\x01') + '\0' + Wide("CompanyName").substr(0, 21);
    bytes += key;
    bytes += std::string(26 - key.size(), '\0');
    bytes += Wide(company) + std::string(4, '\0') + Wide("FileDescription");
    return bytes;
}

class KnownLocationScanTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m.PutDefinitionFile(
            "FileDefinition.dat",
            {"adbar.exe=Demo AdBar|[progfil]Demo AdBar|Adware",
             "hidden.exe=Hidden One|[progfil]Demo AdBar|Adware",
             "typed.exe=Typed One|[windir]|TYPE", "signed.exe=Signed One|[progfil]Signed|Spyware",
             "loose.exe=No Folder Here", "explorer.exe=Shell|[windir]|Trojan"});
        m.PutDefinitionFile(
            "DirectoryDefinition.dat",
            {"Demo AdBar=Demo AdBar Folder|[progfil]Demo AdBar|Adware",
             "No Bar=Ignored Record Without A Folder", "Gone=Gone Folder|[progfil]Gone|Adware"});
        m.PutDefinitionFile("RegistryDefinition.dat", {});
        m.PutDefinitionFile("ExeDefinition.dat", {});
        m.PutDefinitionFile("BlockedCookies.dat", {});
        m.PutDefinitionFile("Safety.dat", {"SFILE|Explorer=|[windir]explorer.exe"});
        m.files.PutFolder("C:\\Program Files\\Demo AdBar");
        m.files.PutFile("C:\\Program Files\\Demo AdBar\\adbar.exe", "MZ");
        m.files.PutFile("C:\\Program Files\\Demo AdBar\\hidden.exe", "MZ", platform::attr::kHidden);
        m.files.PutFile("C:\\windows\\typed.exe", "MZ");
        m.files.PutFile("C:\\windows\\explorer.exe", "MZ");
        m.files.PutFile("C:\\Program Files\\Signed\\signed.exe",
                        ExecutableFrom("  microsoft CORPORATION "));
        app.Store().SetCounts(app.Store().Files().CountDefinitions());
        // Only the known-location passes: the other phases are switched off.
        for (const char* key : {"chkSweepMemory", "chkScanRegistry"}) {
            m.settings.Write("Quillmarsh", "OptionAndSettings", key, "False");
        }
        m.settings.Write("Quillmarsh", "OptionAndSettings", "chkScanCookies", "0");
    }

    test::FakeApplication fake;
    FakeMachine& m = fake.m;
    ui::FrmMain& form = fake.form;
    scan::ScanSession& session = fake.session;
    app::Application& app = fake.app;
};

TEST_F(KnownLocationScanTest, ReportsPresentFilesAndFoldersInAllThreeLists) {
    app.StartScan();
    const auto& results = form.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.rows;
    ASSERT_EQ(results.size(), 3u);
    EXPECT_EQ(results[0].text, "Demo AdBar");
    EXPECT_EQ(results[0].SubItem(1), "C:\\Program Files\\Demo AdBar\\adbar.exe");
    EXPECT_EQ(results[0].icon, ui::detection::kFile);
    EXPECT_EQ(results[0].SubItem(3), "Medium/High");
    // "TYPE" is shown as written by this pass, so it gets no risk.
    EXPECT_EQ(results[1].text, "Typed One");
    EXPECT_EQ(results[1].SubItem(2), "TYPE");
    EXPECT_EQ(results[1].SubItem(3), "");
    EXPECT_EQ(results[2].text, "Demo AdBar Folder");
    EXPECT_EQ(results[2].icon, ui::detection::kFolder);
    EXPECT_EQ(results[2].SubItem(1), "C:\\Program Files\\Demo AdBar");

    const auto& live = form.lvwSpywareFound.rows;
    ASSERT_EQ(live.size(), 3u);
    EXPECT_EQ(live[2].SubItem(1), "C:\\Program Files\\Demo AdBar");
    const auto& work = form.lvwFilesToBeDeleted.rows;
    ASSERT_EQ(work.size(), 3u);
    EXPECT_EQ(work[0].text, "C:\\Program Files\\Demo AdBar\\adbar.exe");
    EXPECT_EQ(work[0].SubItem(1), "Demo AdBar");

    // Six file records and two folder records with a "|" were inspected.
    EXPECT_EQ(form.lblFilesFolderInspected.caption, "8");
    EXPECT_EQ(form.lblSoftwareFound.caption, "3");
    EXPECT_EQ(form.lbltracesFound.caption, "3");
    EXPECT_EQ(form.lblStatus.caption, "Scanning complete.");
}

TEST_F(KnownLocationScanTest, StopDuringThePassExaminesNoFurtherRecord) {
    m.pump.onEvents = [&](long long) {
        if (!form.lvwFilesToBeDeleted.rows.empty()) {
            m.prompts.answers.push_back(ui::MessageAnswer::Yes);
            session.StopScan();
        }
    };
    app.StartScan();
    EXPECT_EQ(form.lvwFilesToBeDeleted.rows.size(), 1u);
    EXPECT_EQ(form.lblStatus.caption, "Scanning was cancelled.");
}

TEST(CompanyName, ReadsTheWideVersionEntryAndTheMicrosoftFilter) {
    test::FakeFileSystem files;
    files.PutFile("C:\\a.exe", ExecutableFrom("Quillmarsh Software"));
    EXPECT_EQ(ReadCompanyName(files, "C:\\a.exe"), "Quillmarsh Software");
    files.PutFile("C:\\ms.exe", ExecutableFrom("Microsoft Corporation"));
    EXPECT_TRUE(IsMicrosoftFile(files, "C:\\ms.exe"));
    EXPECT_FALSE(IsMicrosoftFile(files, "C:\\a.exe"));
    files.PutFile("C:\\none.exe", std::string(100000, 'x'));
    EXPECT_EQ(ReadCompanyName(files, "C:\\none.exe"), "");
    EXPECT_EQ(ReadCompanyName(files, "C:\\missing.exe"), "");
}

TEST(CompanyName, FindsEntriesAcrossReadBoundariesInLargeFiles) {
    test::FakeFileSystem files;
    // The table starts just before a 64 KiB boundary, far into the file.
    std::string bytes(5 * 65536 - 7, 'z');
    bytes += ExecutableFrom("Far Away Ltd");
    files.PutFile("C:\\big.exe", bytes);
    EXPECT_EQ(ReadCompanyName(files, "C:\\big.exe"), "Far Away Ltd");
}

// One file of several GiB, made up as it is read: zeros, with a version table at `tableAt`.
// Nothing holds the file, so only the reader's own buffers can use memory.
class HugeFile final : public test::ReadOnlyFileSystem {
  public:
    HugeFile(std::uint64_t size, std::uint64_t tableAt, std::string table)
        : size_(size), tableAt_(tableAt), table_(std::move(table)) {}
    std::uint64_t largestRead = 0;

    std::unique_ptr<platform::ByteReader> OpenForReading(const std::string&) override {
        struct Reader final : platform::ByteReader {
            HugeFile& file;
            std::uint64_t pos = 0;
            explicit Reader(HugeFile& f) : file(f) {}
            std::size_t Read(char* buffer, std::size_t size) override {
                const auto n =
                    static_cast<std::size_t>(std::min<std::uint64_t>(size, file.size_ - pos));
                file.largestRead = std::max<std::uint64_t>(file.largestRead, size);
                std::memset(buffer, 0, n);
                const std::uint64_t end = pos + n, tableEnd = file.tableAt_ + file.table_.size();
                for (std::uint64_t at = std::max(pos, file.tableAt_); at < std::min(end, tableEnd);
                     ++at)
                    buffer[at - pos] = file.table_[static_cast<std::size_t>(at - file.tableAt_)];
                pos = end;
                return n;
            }
        };
        return std::make_unique<Reader>(*this);
    }

  private:
    std::uint64_t size_, tableAt_;
    std::string table_;
};

TEST(CompanyName, SeveralGiBFileIsReadInPiecesAndItsTableFoundPastFourGiB) {
    // Past 4 GiB, where a 32-bit offset would wrap and find nothing or the wrong bytes.
    constexpr std::uint64_t kGiB = 1ull << 30;
    HugeFile file(4 * kGiB + kGiB / 4, 4 * kGiB + 12345, ExecutableFrom("Microsoft Corporation"));
    EXPECT_TRUE(IsMicrosoftFile(file, "C:\\huge.iso"));
    EXPECT_LE(file.largestRead, 1u << 20) << "the file is read in bounded pieces";
}

TEST(CompanyName, PlainTextEntryWhenThereIsNoWideTable) {
    test::FakeFileSystem files;
    files.PutFile("C:\\plain.dll", "junk StringFileInfo CompanyName" + std::string(1, '\0') +
                                       "Plain Co" + std::string(3, '\0') + "rest");
    EXPECT_EQ(ReadCompanyName(files, "C:\\plain.dll"), "Plain Co");
}

}  // namespace
}  // namespace qm::scan
