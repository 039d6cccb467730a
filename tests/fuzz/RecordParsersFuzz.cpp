// libFuzzer target for the definition-file record parsers, the line scramble, the line reader
// and the protected-location test. Each input is used whole as one decoded line for every
// parser, as the bytes of a file for the line reader, and split at LF into a SafetyList (all
// pieces but the last) and a location (the last piece). Every result is checked against the
// record layouts written out plainly; a mismatch aborts with a message.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "definitions/LineScramble.h"
#include "definitions/Records.h"
#include "definitions/SafetyList.h"
#include "support/ChunkedReader.h"
#include "support/RecordOracles.h"
#include "support/ReferenceSafety.h"
#include "text/Text.h"
#include "text/TextFile.h"

namespace {

using namespace qm;
using test::oracle::Piece;
using test::oracle::TrimSpaces;

void Check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

void FileRecords(const std::string& x) {
    const auto r = defs::ParseFileRecord(x);
    const std::string field1 = x.substr(0, x.find('|'));
    Check(r.has_value() == (field1.find('=') != std::string::npos), "file record presence");
    if (!r) return;
    Check(r->name == TrimSpaces(Piece(field1, '=', 0)), "file name");
    Check(r->threatName == Piece(field1, '=', 1), "file threat name");
    Check(r->hasFolder == (x.find('|') != std::string::npos), "file has folder");
    Check(r->folder == Piece(x, '|', 1), "file folder");
    Check(r->category == Piece(x, '|', 2), "file category");
}

void ExeRecords(const std::string& x) {
    const auto r = defs::ParseExeRecord(x);
    const auto eq = x.find('=');
    Check(r.has_value() == (eq != std::string::npos), "program record presence");
    if (!r) return;
    Check(r->exeName == x.substr(0, eq), "program name");
    const std::string rest = Piece(x.substr(eq + 1), '=', 0);
    Check(r->folder == (rest.find('|') == std::string::npos ? rest : Piece(rest, '|', 1)),
          "program folder");
}

void RegistryRecords(const std::string& x) {
    static const char* const kRoots[] = {"HKEY_CLASSES_ROOT",   "HKEY_CURRENT_USER",
                                         "HKEY_LOCAL_MACHINE",  "HKEY_USERS",
                                         "HKEY_CURRENT_CONFIG", "HKEY_DYN_DATA"};
    const auto t = defs::SplitRegistryRecord(x);
    const auto eq = x.rfind('=');
    Check(t.has_value() == (eq != std::string::npos), "registry record presence");
    if (!t) return;
    Check(t->keySpec == x.substr(0, eq), "registry key text");
    Check(t->threatName.find_first_of("=|") == std::string::npos, "registry threat separators");
    Check(t->threatName == TrimSpaces(t->threatName), "registry threat trimmed");
    Check(t->category.find('=') == std::string::npos, "registry category");

    const auto r = defs::ParseRegistryKeySpec(*t, t->keySpec);
    const std::string code = TrimSpaces(Piece(t->keySpec, '^', 0));
    const bool known = code.size() == 1 && code[0] >= '0' && code[0] <= '5' &&
                       t->keySpec.find('^') != std::string::npos;
    Check(r.has_value() == known, "registry hive code");
    if (!r) return;
    Check(r->rootName == kRoots[code[0] - '0'], "registry root name");
    Check(r->keyPath == Piece(t->keySpec, '^', 1), "registry key path");
    Check(r->valueName == text::ReduceDoubleBackslashes(Piece(t->keySpec, '^', 2)),
          "registry value name");
}

void SafetyRecords(const std::string& x) {
    const auto r = defs::ParseSafetyRecord(x);
    Check(r.has_value() == (x.find('|') != std::string::npos), "safety record presence");
    if (!r) return;
    Check(r->kind == Piece(x, '|', 0), "safety kind");
    Check(r->label == TrimSpaces(Piece(Piece(x, '|', 1), '=', 0)), "safety label");
    Check(r->location == Piece(x, '|', 2), "safety location");
    const std::string entry = defs::SafetyEntry(*r, r->location);
    const std::string& k = r->kind;
    if (k == "SFILE" || k == "SEXE" || k == "SDLL") {
        Check(entry.empty() == (r->location.empty() && r->label.empty()), "file safety entry");
    } else if (k == "SDIR") {
        Check(entry.empty() == r->location.empty(), "folder safety entry");
    } else if (k == "SREG") {
        Check(entry.rfind(defs::RootKeyName(Piece(r->location, '^', 0)) + "\\", 0) == 0,
              "registry safety entry");
    } else {
        Check(entry.empty(), "other kinds add no entry");
    }
}

void Scramble(const std::string& x) {
    const std::string encoded = defs::EncodeLine(x);
    Check(encoded.size() == x.size(), "scramble keeps the length");
    Check(encoded.find('\0') == std::string::npos, "encoded text has no NUL");
    std::string expected = x;
    for (char& c : expected) {
        if (static_cast<unsigned char>(c) == 255) c = '\0';
    }
    Check(defs::DecodeLine(encoded) == expected, "scramble round trip");
}

void Lines(const std::string& x) {
    // The read sizes come from the input, so line ends fall across reads in many ways.
    std::vector<std::size_t> chunks;
    for (std::size_t i = 0; i < x.size() && i < 4; ++i) {
        chunks.push_back(1 + static_cast<unsigned char>(x[i]) % 9);
    }
    for (text::LineEnds ends : {text::LineEnds::Any, text::LineEnds::CrLfOnly}) {
        text::LineReader reader(std::make_unique<test::ChunkedReader>(x, chunks), ends);
        std::vector<std::string> lines;
        std::string line;
        while (reader.Next(line)) {
            lines.push_back(line);
            Check(lines.size() <= x.size() + 1, "line reader ends");
        }
        const auto expected = ends == text::LineEnds::Any ? test::oracle::SplitAnyLineEnd(x)
                                                          : test::oracle::SplitCrLf(x);
        Check(lines == expected, "line reader splits like the plain splitter");
    }
}

void SafetyAndCookies(const std::string& x) {
    std::vector<std::string> pieces;
    std::size_t pos = 0;
    for (;;) {
        const auto hit = x.find('\n', pos);
        if (hit == std::string::npos) break;
        pieces.push_back(x.substr(pos, hit - pos));
        pos = hit + 1;
    }
    const std::string last = x.substr(pos);
    if (pieces.size() > 64) pieces.resize(64);

    const defs::SafetyList list(pieces);
    Check(list.IsSafeLocation(last) == test::ReferenceIsSafeLocation(pieces, last),
          "SafetyList agrees with the in-order walk");
    Check(defs::MatchBlockedCookie(pieces, last) == test::oracle::MatchBlockedCookie(pieces, last),
          "blocked-cookie match follows the rule");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 4096) return 0;
    const std::string x(reinterpret_cast<const char*>(data), size);
    FileRecords(x);
    ExeRecords(x);
    RegistryRecords(x);
    SafetyRecords(x);
    Scramble(x);
    Lines(x);
    SafetyAndCookies(x);
    return 0;
}
