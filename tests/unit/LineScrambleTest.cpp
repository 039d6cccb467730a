#include "definitions/LineScramble.h"

#include <gtest/gtest.h>

namespace qm::defs {
namespace {

TEST(LineScramble, EveryCodeBelow255SurvivesARoundTrip) {
    std::string all;
    for (int c = 0; c <= 254; ++c)
        all += static_cast<char>(c);
    EXPECT_EQ(DecodeLine(EncodeLine(all)), all);
}

TEST(LineScramble, Code255ComesBackAsZeroBecauseTheShiftIsModulo255) {
    const std::string in(1, static_cast<char>(255));
    EXPECT_EQ(EncodeLine(in), "@");
    EXPECT_EQ(DecodeLine(EncodeLine(in)), std::string(1, '\0'));
    EXPECT_EQ(EncodeLine(std::string(1, '\0')), "@");
}

TEST(LineScramble, KnownValuesAndBoundaries) {
    EXPECT_EQ(EncodeLine("A"), std::string(1, static_cast<char>(65 + 64)));
    // Codes 192 to 255 wrap to 1 to 64.
    EXPECT_EQ(EncodeLine(std::string(1, static_cast<char>(192))), std::string(1, '\x01'));
    EXPECT_EQ(EncodeLine(std::string(1, static_cast<char>(191))),
              std::string(1, static_cast<char>(255)));
    EXPECT_EQ(EncodeLine(""), "");
}

TEST(LineScramble, EncodedTextNeverContainsNulAndKeepsItsLength) {
    std::string all;
    for (int c = 0; c <= 255; ++c)
        all += static_cast<char>(c);
    const std::string encoded = EncodeLine(all);
    EXPECT_EQ(encoded.size(), all.size());
    EXPECT_EQ(encoded.find('\0'), std::string::npos);
}

TEST(LineScramble, SeparatorsCanBeSearchedInEncodedText) {
    const std::string line = "a.exe=Threat|[windir]|Adware";
    const std::string encoded = EncodeLine(line);
    EXPECT_EQ(encoded.find(EncodeLine("=")), line.find('='));
    EXPECT_EQ(encoded.find(EncodeLine("|")), line.find('|'));
}

}  // namespace
}  // namespace qm::defs
