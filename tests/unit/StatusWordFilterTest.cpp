// The status-line word filter: listed words disappear wherever they occur, inside longer words
// too and whatever their case; everything else reaches the screen unchanged.

#include "scan/StatusWordFilter.h"

#include <gtest/gtest.h>

#include "support/TestLabel.h"

namespace qm::scan {
namespace {

struct FilterCase {
    const char* in;
    const char* out;
};

void PrintTo(const FilterCase& c, std::ostream* os) {
    *os << test::TestLabel(c.in);
}

class WordFilter : public ::testing::TestWithParam<FilterCase> {};

TEST_P(WordFilter, RemovesListedWords) {
    EXPECT_EQ(StatusWordFilter(GetParam().in), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WordFilter,
    ::testing::Values(FilterCase{"sex", ""}, FilterCase{"C:\\Essex\\map.exe", "C:\\Es\\map.exe"},
                      FilterCase{"SEX.EXE", ".EXE"}, FilterCase{"SeXy", "y"},
                      FilterCase{"canal.dll", "c.dll"}, FilterCase{"ANALYZER", "YZER"},
                      FilterCase{"document.doc", "doent.doc"}, FilterCase{"CUMulative", "ulative"},
                      FilterCase{"ButtonBar.ocx", "onBar.ocx"}, FilterCase{"butt butt", " "},
                      FilterCase{"sexsexsex", ""},
                      FilterCase{"Scanning registry: HKEY_LOCAL_MACHINE\\SOFTWARE\\Run",
                                 "Scanning registry: HKEY_LOCAL_MACHINE\\SOFTWARE\\Run"},
                      FilterCase{"C:\\Windows\\notepad.exe", "C:\\Windows\\notepad.exe"},
                      FilterCase{"Loading definitions, please wait...",
                                 "Loading definitions, please wait..."},
                      FilterCase{"", ""}));

}  // namespace
}  // namespace qm::scan
