#pragma once
// The scramble the six definition files are stored in: every character's code is shifted by
// 64 modulo 255, character by character, so the line keeps its length and an encoded line can
// be searched for an encoded separator.

#include <string>
#include <string_view>

namespace qm::defs {

inline constexpr int kScrambleShift = 64;

std::string EncodeLine(std::string_view plain);
std::string DecodeLine(std::string_view scrambled);
void DecodeLineInPlace(std::string& line);

}  // namespace qm::defs
