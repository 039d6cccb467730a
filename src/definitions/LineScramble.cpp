#include "definitions/LineScramble.h"

#include <array>

namespace qm::defs {

namespace {

// Modulo 255, not 256: codes 0 and 255 both encode to 64, and 64 decodes to 0.
constexpr std::array<char, 256> MakeTable(bool encode) {
    std::array<char, 256> table{};
    for (int a = 0; a < 256; ++a) {
        int c = encode ? a + kScrambleShift : a - kScrambleShift;
        if (c > 255) c -= 255;
        if (c < 0) c += 255;
        table[static_cast<std::size_t>(a)] = static_cast<char>(static_cast<unsigned char>(c));
    }
    return table;
}

constexpr auto kEncode = MakeTable(true);
constexpr auto kDecode = MakeTable(false);

}  // namespace

std::string EncodeLine(std::string_view plain) {
    std::string out(plain);
    for (char& c : out)
        c = kEncode[static_cast<unsigned char>(c)];
    return out;
}

void DecodeLineInPlace(std::string& line) {
    for (char& c : line)
        c = kDecode[static_cast<unsigned char>(c)];
}

std::string DecodeLine(std::string_view scrambled) {
    std::string out(scrambled);
    DecodeLineInPlace(out);
    return out;
}

}  // namespace qm::defs
