#include "scan/StatusWordFilter.h"

#include <array>

#include "text/Text.h"

namespace qm::scan {

namespace {
// 41 words in 42 entries: one word is listed twice, and removing it again is harmless.
constexpr std::array<std::string_view, 42> kFilteredWords = {
    "fuck",    "shit",  "bitch",  "bastard", "cunt",   "dick",    "cock",   "pussy", "asshole",
    "whore",   "slut",  "piss",   "twat",    "wank",   "bollock", "bugger", "arse",  "tits",
    "boob",    "penis", "vagina", "dildo",   "porn",   "sex",     "anal",   "cum",   "butt",
    "orgasm",  "nude",  "naked",  "horny",   "erotic", "fetish",  "hooker", "milf",  "blowjob",
    "handjob", "jizz",  "spunk",  "clit",    "xxx",    "sex",
};
}  // namespace

std::string StatusWordFilter(std::string_view input) {
    std::string out(input);
    for (auto word : kFilteredWords)
        out = text::ReplaceAllNoCase(out, word, "");
    return out;
}

}  // namespace qm::scan
