#pragma once
// How the maker's signature travels with the server's answers. The wire format, once:
//
//   signature line   "QMSIG1 <purpose> <key id> <made> <signature>"
//     purpose        "definitions", "date" or "translation": an answer signed for one use is
//                    no answer for another
//     key id         16 lowercase hexadecimal digits: the first 8 bytes of the SHA-256 of the
//                    signing key's public point
//     made           when the server signed, UTC, "YYYYMMDDTHHMMSSZ"
//     signature      ECDSA P-256 over SHA-256, r then s (64 bytes), in Base64
//   signed bytes     "QMSIG1 <purpose> <key id> <made>" LF <context> LF <body>, where the body
//                    is every byte of the answer before the signature line and the context is
//                    the installed date a definitions query sent (as the server read it), empty
//                    for the others
//   carriers         definitions: <records>"[BR]"<line> (just <line> with no records): a
//                    record without "[DEF]" is skipped by every client
//                    date: <date with its time, "12/5/2026 10:00:00 AM"> " " <line>: the date
//                    ends at its AM/PM marker, where every client cuts it
//                    translation: <file> CR LF "<!-- " <line> " -->" CR LF: an XML comment
//
// The signature line is the last "QMSIG1 " in the answer; whatever follows its fields but
// blanks, line ends and the comment's close makes the answer unsigned.

#include <optional>
#include <string>
#include <string_view>

namespace qm::update {

inline constexpr std::string_view kSignatureTag = "QMSIG1";

enum class SignedPurpose { Definitions, Date, Translation };
const char* PurposeName(SignedPurpose purpose);

struct SignatureLine {
    SignedPurpose purpose = SignedPurpose::Definitions;
    std::string keyId;
    std::string made;       // "YYYYMMDDTHHMMSSZ"
    std::string signature;  // the 64 bytes, decoded
};

struct SplitAnswer {
    std::string_view body;                   // every byte before the signature line
    std::optional<SignatureLine> signature;  // nothing: unsigned, or a line that does not read
};
SplitAnswer SplitSignedAnswer(std::string_view answer);

// The bytes the signature covers.
std::string SignedBytes(const SignatureLine& line, std::string_view context, std::string_view body);

// The answer's payload once its signature line is taken off: the records without the "[BR]"
// before the line, the date without its blank, the file without the comment's opening.
std::string_view PayloadOf(SignedPurpose purpose, std::string_view body);
// The body a payload is signed as: the payload with the carrier's separator.
std::string BodyOf(SignedPurpose purpose, std::string_view payload);
// The whole signed answer: the body, the line, and the comment's close for a translation.
std::string SignedAnswerText(std::string_view body, const SignatureLine& line);

// "YYYYMMDDTHHMMSSZ" of a UTC time, and the date value (days since 30 December 1899) it names.
std::string MadeText(int year, int month, int day, int hour, int minute, int second);
std::optional<double> MadeDateValue(std::string_view made);

// A key's id: 16 lowercase hexadecimal digits of the first 8 bytes of a SHA-256 digest.
std::string KeyIdOf(const unsigned char* digest);

}  // namespace qm::update
