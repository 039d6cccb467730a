// The version-resource lookup in PE images: intact images give the company, damaged ones a
// clean "no resource" (the company reader then scans the raw bytes) or an empty text.

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <ostream>
#include <string>

#include "scan/CompanyName.h"
#include "scan/VersionResource.h"
#include "support/FakePlatform.h"
#include "support/PeImage.h"

namespace qm::scan {
namespace {

namespace pe = test::pe;

const pe::Strings kMicrosoft = {{"CompanyName", "Microsoft Corporation"},
                                {"FileDescription", "Registry Editor"}};

std::optional<std::string> LookUp(const std::string& bytes) {
    test::FakeFileSystem files;
    files.PutFile("C:\\image.exe", bytes);
    FileCursor file(files, "C:\\image.exe");
    return ReadVersionString(file, "CompanyName");
}

struct Damage {
    const char* name;
    std::function<void(std::string&)> apply;
    std::optional<std::string> expected;
    friend void PrintTo(const Damage& d, std::ostream* os) { *os << d.name; }
};

class DamagedImage : public ::testing::TestWithParam<Damage> {};

TEST_P(DamagedImage, GivesTheCompanyOnlyWhenTheStructureHolds) {
    std::string image = pe::Image(pe::VersionSection(pe::VersionInfo({pe::Table(kMicrosoft)})));
    GetParam().apply(image);
    EXPECT_EQ(LookUp(image), GetParam().expected);
}

constexpr std::size_t kResource = pe::kResourceSection;

INSTANTIATE_TEST_SUITE_P(
    CompanyName, DamagedImage,
    ::testing::Values(
        Damage{"Intact", [](std::string&) {}, "Microsoft Corporation"},
        Damage{"HeadersOffsetPastTheEnd", [](std::string& b) { pe::Put32(b, 0x3C, 0xFFFFFFF0u); },
               std::nullopt},
        Damage{"SectionTableCutShort",
               [](std::string& b) { pe::Put16(b, pe::kSectionCount, 0xFFFF); }, std::nullopt},
        Damage{"DirectoryCutShort", [](std::string& b) { b.resize(kResource + 20); }, std::nullopt},
        Damage{"LanguagesLoopBackToTheNames",
               [](std::string& b) {
                   pe::Put32(b, kResource + pe::kNameDirectory + 20,
                             0x80000000u | pe::kNameDirectory);
               },
               std::nullopt},
        Damage{"DataEntryPastTheSection",
               [](std::string& b) { pe::Put32(b, kResource + pe::kDataEntry, 0x7FFFFFF0u); },
               std::nullopt},
        Damage{"VersionBlockLongerThanTheFile",
               [](std::string& b) { pe::Put16(b, kResource + pe::kVersionData, 0xFFFF); },
               std::nullopt},
        Damage{"EntryLongerThanItsTable",
               [](std::string& b) { pe::Put16(b, b.find(pe::Utf16("CompanyName")) - 6, 0x7FFF); },
               ""}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(CompanyName, TheFirstTableThatNamesTheCompanyWins) {
    const std::string info = pe::VersionInfo({pe::Table({{"ProductName", "Quill"}}, "040704b0"),
                                              pe::Table({{"CompanyName", "Second"}}),
                                              pe::Table({{"CompanyName", "Third"}})});
    EXPECT_EQ(FindVersionString(info, "CompanyName"), "Second");
    EXPECT_EQ(FindVersionString(info, "Comments"), "");
    EXPECT_EQ(FindVersionString(info.substr(1), "CompanyName"), std::nullopt);
}

TEST(CompanyName, AnImagesOwnResourceOutweighsATableAppendedToIt) {
    test::FakeFileSystem files;
    const std::string table = pe::VersionInfo({pe::Table(kMicrosoft)}, 1);
    files.PutFile("C:\\own.exe",
                  pe::Image(pe::VersionSection(pe::VersionInfo({pe::Table({})}))) + table);
    EXPECT_EQ(ReadCompanyName(files, "C:\\own.exe"), "");
    // A table with the type word 0 outside any image, as a compiled resource file holds it.
    files.PutFile("C:\\loose.res",
                  std::string(32, '\0') + pe::VersionInfo({pe::Table(kMicrosoft)}));
    EXPECT_EQ(ReadCompanyName(files, "C:\\loose.res"), "Microsoft Corporation");
}

}  // namespace
}  // namespace qm::scan
