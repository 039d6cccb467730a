// Reading and writing the program's text files line by line: where lines end (any line end for
// plain files, CR LF only inside scrambled files), blank and unterminated lines, line ends that
// fall across two reads, over-long lines, and whole-file writes that never half-write.

#include "text/TextFile.h"

#include <gtest/gtest.h>

#include <memory>

#include "definitions/LineScramble.h"
#include "support/ChunkedReader.h"
#include "support/FakePlatform.h"

namespace qm::text {
namespace {

std::vector<std::string> ReadLines(const std::string& bytes, LineEnds ends,
                                   std::vector<std::size_t> chunks = {1 << 20}) {
    LineReader reader(std::make_unique<test::ChunkedReader>(bytes, std::move(chunks)), ends);
    std::vector<std::string> lines;
    std::string line;
    while (reader.Next(line))
        lines.push_back(line);
    return lines;
}

using Lines = std::vector<std::string>;

// Every case is read in one piece, one byte at a time and in uneven pieces: where the reads
// split the bytes must not change the lines.
const std::vector<std::vector<std::size_t>> kChunkings = {{1 << 20}, {1}, {2, 3, 1, 5}};

struct LineCase {
    const char* name;
    std::string bytes;
    Lines any;       // lines with LineEnds::Any
    Lines crLfOnly;  // lines with LineEnds::CrLfOnly
};

void PrintTo(const LineCase& c, std::ostream* os) {
    *os << c.name;
}

class LineEndings : public ::testing::TestWithParam<LineCase> {};

TEST_P(LineEndings, SplitAsTheModeSays) {
    const LineCase& c = GetParam();
    for (const auto& chunks : kChunkings) {
        SCOPED_TRACE("first read size " + std::to_string(chunks[0]));
        EXPECT_EQ(ReadLines(c.bytes, LineEnds::Any, chunks), c.any);
        EXPECT_EQ(ReadLines(c.bytes, LineEnds::CrLfOnly, chunks), c.crLfOnly);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LineEndings,
    ::testing::Values(LineCase{"EmptyFile", "", {}, {}},
                      LineCase{"CrLf", "a\r\nb\r\n", {"a", "b"}, {"a", "b"}},
                      LineCase{"LastLineUnterminated", "a\r\nb", {"a", "b"}, {"a", "b"}},
                      LineCase{"BlankLinesCount", "a\r\n\r\nb\r\n", {"a", "", "b"}, {"a", "", "b"}},
                      LineCase{"OnlyALineEnd", "\r\n", {""}, {""}},
                      LineCase{"LoneLf", "a\nb\n", {"a", "b"}, {"a\nb\n"}},
                      LineCase{"LoneCr", "a\rb\r", {"a", "b"}, {"a\rb\r"}},
                      LineCase{"LfThenCrIsTwoLineEnds", "a\n\rb", {"a", "", "b"}, {"a\n\rb"}},
                      LineCase{"CrBeforeCrLf", "a\r\r\nb", {"a", "", "b"}, {"a\r", "b"}},
                      LineCase{"CrLfAfterLf", "a\n\r\nb", {"a", "", "b"}, {"a\n", "b"}},
                      LineCase{"Mixed", "a\r\nb\rc\nd", {"a", "b", "c", "d"}, {"a", "b\rc\nd"}},
                      LineCase{"NulBytesAreText",
                               std::string("a\0b\r\n\0\r\n", 8),
                               {std::string("a\0b", 3), std::string(1, '\0')},
                               {std::string("a\0b", 3), std::string(1, '\0')}}),
    [](const ::testing::TestParamInfo<LineCase>& p) { return std::string(p.param.name); });

TEST(LineReader, ScrambledLinesHoldingCodes201And204ReadBackWhole) {
    // The scramble turns code 201 into LF and code 204 into CR; CR LF ends the line.
    std::string plain;
    for (int c = 1; c <= 254; ++c)
        plain += static_cast<char>(c);
    const std::string encoded = defs::EncodeLine(plain);
    ASSERT_NE(encoded.find('\n'), std::string::npos);
    ASSERT_NE(encoded.find('\r'), std::string::npos);
    for (const auto& chunks : kChunkings) {
        const Lines lines =
            ReadLines(encoded + "\r\n" + encoded + "\r\n", LineEnds::CrLfOnly, chunks);
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_EQ(defs::DecodeLine(lines[0]), plain);
        EXPECT_EQ(defs::DecodeLine(lines[1]), plain);
    }
}

TEST(LineReader, CrLfFallingAcrossTheReadersOwnBufferStillEndsOneLine) {
    // The reader fills a 64 KiB buffer: put the CR as the last byte of the first fill.
    const std::size_t buffer = 64 * 1024;
    const std::string first(buffer - 1, 'x');
    for (LineEnds ends : {LineEnds::Any, LineEnds::CrLfOnly}) {
        const Lines lines = ReadLines(first + "\r\nnext\r\n", ends);
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_EQ(lines[0], first);
        EXPECT_EQ(lines[1], "next");
    }
}

TEST(LineReader, OneMebibyteLineIsReadWhole) {
    const std::string big(1u << 20, 'q');
    for (LineEnds ends : {LineEnds::Any, LineEnds::CrLfOnly}) {
        const Lines lines = ReadLines("a\r\n" + big + "\r\nz", ends, {4096, 65536, 7});
        ASSERT_EQ(lines.size(), 3u);
        EXPECT_EQ(lines[1], big);
        EXPECT_EQ(lines[2], "z");
    }
}

TEST(LineReader, OverlongLineIsCutAndTheNextLineStillReads) {
    std::string bytes(LineReader::kMaxLineLength + 1000, 'L');
    bytes += "\r\nafter\r\n";
    for (LineEnds ends : {LineEnds::Any, LineEnds::CrLfOnly}) {
        const Lines lines = ReadLines(bytes, ends);
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_EQ(lines[0].size(), LineReader::kMaxLineLength);
        EXPECT_EQ(lines[1], "after");
    }
}

TEST(LineReader, MissingFileCannotBeOpened) {
    test::FakeFileSystem files;
    EXPECT_FALSE(LineReader::Open(files, "C:\\nowhere.txt").has_value());
    EXPECT_TRUE(ReadAllLines(files, "C:\\nowhere.txt").empty());
    files.PutFolder("C:\\folder.txt");
    EXPECT_TRUE(ReadAllLines(files, "C:\\folder.txt").empty());
}

TEST(WriteAllLines, EndsEveryLineWithCrLf) {
    test::FakeFileSystem files;
    ASSERT_TRUE(WriteAllLines(files, "C:\\out.txt", {"one", "", "three"}));
    EXPECT_EQ(files.Content("C:\\out.txt"), "one\r\n\r\nthree\r\n");
    EXPECT_EQ(ReadAllLines(files, "C:\\out.txt"), (Lines{"one", "", "three"}));

    ASSERT_TRUE(WriteAllLines(files, "C:\\out.txt", {}));
    EXPECT_EQ(files.Content("C:\\out.txt"), "");
}

TEST(WriteAllLines, FailedWriteLeavesTheOldContent) {
    test::FakeFileSystem files;
    files.PutFile("C:\\out.txt", "old\r\n");
    files.failWrites = true;
    EXPECT_FALSE(WriteAllLines(files, "C:\\out.txt", {"new"}));
    EXPECT_EQ(files.Content("C:\\out.txt"), "old\r\n");
}

}  // namespace
}  // namespace qm::text
