#include "update/SignedAnswer.h"

#include <cstdio>
#include <vector>

#include "platform/Clock.h"
#include "text/Base64.h"
#include "text/Text.h"

namespace qm::update {

namespace {

constexpr std::string_view kRecordSeparator = "[BR]";
constexpr std::string_view kCommentOpen = "\r\n<!-- ";
constexpr std::string_view kCommentClose = " -->\r\n";

std::optional<SignedPurpose> PurposeNamed(std::string_view name) {
    for (const SignedPurpose purpose :
         {SignedPurpose::Definitions, SignedPurpose::Date, SignedPurpose::Translation}) {
        if (name == PurposeName(purpose)) return purpose;
    }
    return std::nullopt;
}

bool IsLowerHex(std::string_view text) {
    for (const char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    }
    return true;
}

bool EndsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

}  // namespace

const char* PurposeName(SignedPurpose purpose) {
    switch (purpose) {
        case SignedPurpose::Definitions:
            return "definitions";
        case SignedPurpose::Date:
            return "date";
        case SignedPurpose::Translation:
            return "translation";
    }
    return "";
}

SplitAnswer SplitSignedAnswer(std::string_view answer) {
    const std::string tag = std::string(kSignatureTag) + " ";
    const std::size_t at = answer.rfind(tag);
    if (at == std::string_view::npos) return {answer, std::nullopt};
    SplitAnswer split{answer.substr(0, at), std::nullopt};
    std::vector<std::string_view> fields;
    for (std::string_view field : text::Split(answer.substr(at), ' ')) {
        // Line ends and the comment's close end the line; nothing else may follow it.
        while (!field.empty() && (field.back() == '\r' || field.back() == '\n'))
            field.remove_suffix(1);
        if (!field.empty()) fields.push_back(field);
    }
    if (fields.size() == 6 && fields[5] == "-->") fields.pop_back();
    if (fields.size() != 5) return split;
    const auto purpose = PurposeNamed(fields[1]);
    auto signature = text::Base64Decode(fields[4]);
    if (!purpose || fields[2].size() != 16 || !IsLowerHex(fields[2]) || !MadeDateValue(fields[3]) ||
        !signature || signature->size() != 64) {
        return split;
    }
    split.signature = SignatureLine{*purpose, std::string(fields[2]), std::string(fields[3]),
                                    std::move(*signature)};
    return split;
}

std::string SignedBytes(const SignatureLine& line, std::string_view context,
                        std::string_view body) {
    std::string bytes = std::string(kSignatureTag) + " " + PurposeName(line.purpose) + " " +
                        line.keyId + " " + line.made + "\n";
    bytes.append(context);
    bytes += '\n';
    bytes.append(body);
    return bytes;
}

std::string_view PayloadOf(SignedPurpose purpose, std::string_view body) {
    const std::string_view separator = purpose == SignedPurpose::Definitions ? kRecordSeparator
                                       : purpose == SignedPurpose::Date      ? " "
                                                                             : kCommentOpen;
    if (EndsWith(body, separator)) body.remove_suffix(separator.size());
    return body;
}

std::string BodyOf(SignedPurpose purpose, std::string_view payload) {
    std::string body(payload);
    switch (purpose) {
        case SignedPurpose::Definitions:
            if (!body.empty()) body += kRecordSeparator;
            break;
        case SignedPurpose::Date:
            body += ' ';
            break;
        case SignedPurpose::Translation:
            body += kCommentOpen;
            break;
    }
    return body;
}

std::string SignedAnswerText(std::string_view body, const SignatureLine& line) {
    std::string answer(body);
    answer += std::string(kSignatureTag) + " " + PurposeName(line.purpose) + " " + line.keyId +
              " " + line.made + " " + text::Base64Encode(line.signature);
    if (line.purpose == SignedPurpose::Translation) answer += kCommentClose;
    return answer;
}

std::string MadeText(int year, int month, int day, int hour, int minute, int second) {
    char made[32];
    std::snprintf(made, sizeof made, "%04d%02d%02dT%02d%02d%02dZ", year, month, day, hour, minute,
                  second);
    return made;
}

std::optional<double> MadeDateValue(std::string_view made) {
    if (made.size() != 16 || made[8] != 'T' || made[15] != 'Z') return std::nullopt;
    const auto year = text::DigitsValue(made.substr(0, 4));
    const auto month = text::DigitsValue(made.substr(4, 2));
    const auto day = text::DigitsValue(made.substr(6, 2));
    const auto hour = text::DigitsValue(made.substr(9, 2));
    const auto minute = text::DigitsValue(made.substr(11, 2));
    const auto second = text::DigitsValue(made.substr(13, 2));
    if (!year || !month || !day || !hour || !minute || !second || *month < 1 || *month > 12 ||
        *day < 1 || *day > 31 || *hour > 23 || *minute > 59 || *second > 59) {
        return std::nullopt;
    }
    return platform::DateValueOf({*year, *month, *day, 0, *hour, *minute, *second});
}

std::string KeyIdOf(const unsigned char* digest) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string id;
    for (int i = 0; i < 8; ++i) {
        id += kHex[digest[i] >> 4];
        id += kHex[digest[i] & 15];
    }
    return id;
}

}  // namespace qm::update
