#include "text/Base64.h"

#include <array>

namespace qm::text {

namespace {

constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<signed char, 256> ReverseAlphabet() {
    std::array<signed char, 256> reverse{};
    reverse.fill(-1);
    for (std::size_t i = 0; i < kAlphabet.size(); ++i)
        reverse[static_cast<unsigned char>(kAlphabet[i])] = static_cast<signed char>(i);
    return reverse;
}
constexpr std::array<signed char, 256> kReverse = ReverseAlphabet();

}  // namespace

std::string Base64Encode(std::string_view bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t left = bytes.size() - i;
        const auto byte = [&](std::size_t k) {
            return static_cast<unsigned>(static_cast<unsigned char>(bytes[i + k]));
        };
        unsigned group = byte(0) << 16;
        if (left > 1) group |= byte(1) << 8;
        if (left > 2) group |= byte(2);
        out += kAlphabet[(group >> 18) & 63];
        out += kAlphabet[(group >> 12) & 63];
        out += left > 1 ? kAlphabet[(group >> 6) & 63] : '=';
        out += left > 2 ? kAlphabet[group & 63] : '=';
    }
    return out;
}

std::optional<std::string> Base64Decode(std::string_view text) {
    if (text.size() % 4 != 0) return std::nullopt;
    std::string out;
    out.reserve(text.size() / 4 * 3);
    for (std::size_t i = 0; i < text.size(); i += 4) {
        const bool last = i + 4 == text.size();
        unsigned group = 0;
        int padding = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            const char c = text[i + k];
            if (c == '=') {
                // Only the last one or two characters of the last group may be padding.
                if (!last || k < 2) return std::nullopt;
                ++padding;
                group <<= 6;
                continue;
            }
            const signed char value = kReverse[static_cast<unsigned char>(c)];
            if (value < 0 || padding > 0) return std::nullopt;
            group = (group << 6) | static_cast<unsigned>(value);
        }
        out += static_cast<char>((group >> 16) & 0xFF);
        if (padding < 2) out += static_cast<char>((group >> 8) & 0xFF);
        if (padding < 1) out += static_cast<char>(group & 0xFF);
    }
    return out;
}

}  // namespace qm::text
