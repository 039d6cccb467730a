// The demo's sample set is kept readable in the repository and scrambled by a build tool; the
// program must read back exactly the lines that were written down.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "definitions/DefinitionFiles.h"
#include "definitions/LineScramble.h"
#include "support/FakePlatform.h"
#include "text/TextFile.h"

namespace qm::defs {
namespace {

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class DemoDefinitionsTest : public ::testing::TestWithParam<const char*> {};

TEST_P(DemoDefinitionsTest, ScrambledFileDecodesToTheReadableSource) {
    const std::string name = GetParam();
    const std::string source =
        ReadBytes(std::string(QM_SOURCE_DIR) + "/data/demo-definitions/" + name + ".txt");
    const std::string scrambled = ReadBytes(std::string(QM_DEMO_DATA_DIR) + "/" + name + ".dat");
    ASSERT_FALSE(source.empty());
    ASSERT_FALSE(scrambled.empty());

    test::FakeFileSystem files;
    files.PutFile("C:\\src.txt", source);
    files.PutFile("C:\\data.dat", scrambled);
    std::vector<std::string> expected;
    for (auto& line : text::ReadAllLines(files, "C:\\src.txt")) {
        if (line.empty() || line[0] != '#') expected.push_back(line);
    }
    auto decoded = text::ReadAllLines(files, "C:\\data.dat", text::LineEnds::CrLfOnly);
    for (auto& line : decoded)
        DecodeLineInPlace(line);
    EXPECT_EQ(decoded, expected);
    EXPECT_EQ(CountLines(files, "C:\\data.dat"), static_cast<long long>(expected.size()));
}

INSTANTIATE_TEST_SUITE_P(AllFiles, DemoDefinitionsTest,
                         ::testing::Values("FileDefinition", "DirectoryDefinition",
                                           "RegistryDefinition", "ExeDefinition", "BlockedCookies",
                                           "Safety"));

}  // namespace
}  // namespace qm::defs
