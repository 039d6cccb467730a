// Registry-editor files: every value type and awkward name reads back exactly as written, each
// in the registry editor's form; backups from the earlier writer still read; a file with a
// deletion or a line that does not read is refused.

#include "platform/RegFile.h"

#include <gtest/gtest.h>

#include "platform/Registry.h"

namespace qm::platform::regfile {
namespace {

using namespace std::literals;

// UTF-16LE bytes, as the registry stores text and as the file holds it.
std::string Utf16(std::u16string_view text) {
    std::string bytes;
    for (char16_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

// Text data with its terminating NUL.
std::string Sz(std::u16string_view text) {
    return Utf16(text) + std::string(2, '\0');
}

std::string FileOf(std::u16string_view body) {
    return "\xFF\xFE" + Utf16(u"Windows Registry Editor Version 5.00\r\n\r\n") + Utf16(body);
}

// The file's text with every unit past ASCII as "?", to look at its lines.
std::string Shown(const std::string& file) {
    std::string text;
    for (std::size_t i = 2; i + 1 < file.size(); i += 2)
        text += file[i + 1] == 0 && file[i] > 0 ? file[i] : '?';
    return text;
}

struct Case {
    const char* what;
    Value value;
    std::string line;  // how the value's line starts
};

class FormatThenParse : public ::testing::TestWithParam<Case> {};

TEST_P(FormatThenParse, GivesBackTheSameValueInTheRegistryEditorsForm) {
    const std::vector<Key> keys{{root::kCurrentUser, u"Software\\Qm [x] ", {GetParam().value}},
                                {root::kLocalMachine, u"", {}}};
    const auto file = Format(keys);
    ASSERT_TRUE(file);
    EXPECT_EQ(Parse(*file), keys);
    const std::string text = Shown(*file);
    EXPECT_NE(text.find("]\r\n" + GetParam().line), std::string::npos) << text;
    for (std::size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos;
         start = end + 2) {
        EXPECT_LE(end - start, 80u) << "a line wider than the registry editor's";
    }
}

const std::string kAbc = "abc";
INSTANTIATE_TEST_SUITE_P(
    Values, FormatThenParse,
    ::testing::Values(
        Case{"Text", {u"P", type::kString, Sz(u"C:\\d \"q\" 1%"sv)}, R"("P"="C:\\d \"q\" 1%")"},
        Case{"TextWithLineBreaks",
             {u"L", type::kString, Sz(u"a\r\nb\nc"sv)},
             "\"L\"=hex(1):61,00,0d,00,0a,00,62,00,0a,00,63,00,00,00\r\n"},
        Case{"TextWithATab", {u"T", type::kString, Sz(u"a\tb"sv)}, "\"T\"=hex(1):61,00,09"},
        Case{"TextWithAnInnerNul", {u"N", type::kString, Sz(u"a\0b"sv)}, "\"N\"=hex(1):61"},
        Case{"TextWithoutItsNul", {u"O", type::kString, kAbc}, "\"O\"=hex(1):61,62,63\r\n"},
        Case{"EmptyText", {u"E", type::kString, std::string(2, '\0')}, "\"E\"=\"\"\r\n"},
        Case{"NoBytes", {u"Z", type::kString, ""}, "\"Z\"=hex(1):\r\n"},
        Case{"ExpandText", {u"X", type::kExpandString, Sz(u"%T%"sv)}, "\"X\"=hex(2):25"},
        Case{"MultiText", {u"M", type::kMultiString, Sz(u"a\0b\0"sv)}, "\"M\"=hex(7):61"},
        Case{"Binary", {u"B", type::kBinary, "\x00\x01\xfe\xff"s}, "\"B\"=hex:00,01,fe,ff\r\n"},
        Case{"Dword", {u"D", type::kDword, "\x2a\x00\x00\x80"s}, "\"D\"=dword:8000002a\r\n"},
        Case{"ShortDword", {u"S", type::kDword, kAbc}, "\"S\"=hex(4):61,62,63\r\n"},
        Case{"Qword", {u"Q", type::kQword, "12345678"}, "\"Q\"=hex(b):31,32"},
        Case{"NoneAtAll", {u"0", type::kNone, ""}, "\"0\"=hex(0):\r\n"},
        Case{"LargestType", {u"F", 0xffffffff, "\x01"}, "\"F\"=hex(ffffffff):01\r\n"},
        Case{"LongBinary", {u"W", type::kBinary, std::string(100, '\x5a')}, "\"W\"=hex:5a,5a"},
        Case{"DefaultValue", {u"", type::kString, Sz(u"d"sv)}, "@=\"d\"\r\n"},
        Case{"NamedAt", {u"@", type::kString, Sz(u"v"sv)}, "\"@\"=\"v\"\r\n"},
        Case{"OddName", {u" \"q\\ = @", type::kDword, "\0\0\0\0"s}, R"(" \"q\\ = @"=dword:0)"},
        Case{"NameWithLineBreaks",
             {u"a\r\nb\tc", type::kBinary, ""},
             R"("a\u000d\u000ab\u0009c"=hex:)"},
        Case{"NameLikeAnEscape", {u"\\u0041", type::kBinary, ""}, R"("\\u0041"=hex:)"}),
    [](const auto& c) { return std::string(c.param.what); });

TEST(RegFile, BackupsOfTheEarlierWriterStillRead) {
    // Quoted text raw with only "\\" and "\"" escaped, even its line breaks; hex data wrapped.
    const std::string file = FileOf(
        u"[HKEY_CURRENT_USER\\Software\\Old]\r\n"
        u"\"Back\\\\Sl\\\"ash\"=\"C:\\\\d \\\"q\\\"\"\r\n"
        u"@=\"def\"\r\n"
        u"\"Lines\"=\"one\r\ntwo\nthree\"\r\n"
        u"\"Bin\"=hex:00,01,\\\r\n  02,ff\r\n"
        u"\"Num\"=dword:0000002a\r\n"
        u"\r\n"
        u"[HKCU\\Software\\Old\\Sub]\r\n"
        u"\r\n");
    const std::vector<Key> expected{{root::kCurrentUser,
                                     u"Software\\Old",
                                     {{u"Back\\Sl\"ash", type::kString, Sz(u"C:\\d \"q\""sv)},
                                      {u"", type::kString, Sz(u"def"sv)},
                                      {u"Lines", type::kString, Sz(u"one\r\ntwo\nthree"sv)},
                                      {u"Bin", type::kBinary, "\x00\x01\x02\xff"s},
                                      {u"Num", type::kDword, "\x2a\0\0\0"s}}},
                                    {root::kCurrentUser, u"Software\\Old\\Sub", {}}};
    EXPECT_EQ(Parse(file), expected);
}

TEST(RegFile, RefusesAFileWithADeletionOrALineThatDoesNotRead) {
    for (const std::u16string_view body : {
             u"[-HKEY_CURRENT_USER\\Software\\Old]\r\n",
             u"[HKEY_CURRENT_USER\\Software\\Old]\r\n\"a\"=-\r\n",
             u"\"a\"=dword:00000001\r\n[HKEY_CURRENT_USER\\Software\\Old]\r\n",
             u"[HKEY_NOWHERE\\Software\\Old]\r\n",
             u"[HKEY_CURRENT_USER\\Software\\Old]\r\n\"a\"=\"torn\r\n",
             u"[HKEY_CURRENT_USER\\Software\\Old]\r\n\"a\"=hex:0g\r\n",
             u"[HKEY_CURRENT_USER\\Software\\Old]\r\n\"a\\u00\"=hex:\r\n",
             u"[HKEY_CURRENT_USER\\Software\\Old]\r\nstray text\r\n",
             u"",
         }) {
        EXPECT_FALSE(Parse(FileOf(body))) << Shown(FileOf(body));
    }
    const std::string good = FileOf(u"[HKEY_CURRENT_USER\\Software\\Old]\r\n");
    ASSERT_TRUE(Parse(good));
    EXPECT_FALSE(Parse(good.substr(2))) << "no byte order mark";
    EXPECT_FALSE(Parse(good + "x")) << "half a unit";
}

}  // namespace
}  // namespace qm::platform::regfile
