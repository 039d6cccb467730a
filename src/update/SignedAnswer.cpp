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
    int parts[6] = {};
    const int widths[6] = {4, 2, 2, 2, 2, 2};
    std::size_t at = 0;
    for (int i = 0; i < 6; ++i) {
        if (at == 8) ++at;  // the "T"
        for (int k = 0; k < widths[i]; ++k, ++at) {
            const char c = made[at];
            if (c < '0' || c > '9') return std::nullopt;
            parts[i] = parts[i] * 10 + (c - '0');
        }
    }
    if (parts[1] < 1 || parts[1] > 12 || parts[2] < 1 || parts[2] > 31 || parts[3] > 23 ||
        parts[4] > 59 || parts[5] > 59) {
        return std::nullopt;
    }
    platform::LocalTime time;
    time.year = parts[0];
    time.month = parts[1];
    time.day = parts[2];
    time.hour = parts[3];
    time.minute = parts[4];
    time.second = parts[5];
    return platform::DateValueOf(time);
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
