#include "app/JsonWriter.h"

#include <array>
#include <cstdio>

namespace qm::app {

namespace {

// Code page 1252's characters 0x80 to 0x9F; the five undefined ones map to themselves.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

std::string JsonString(std::string_view ansi) {
    std::string out = "\"";
    for (const char c : ansi) {
        const auto b = static_cast<unsigned char>(c);
        switch (c) {
            case '"':
                out += "\\\"";
                continue;
            case '\\':
                out += "\\\\";
                continue;
            case '\n':
                out += "\\n";
                continue;
            case '\r':
                out += "\\r";
                continue;
            case '\t':
                out += "\\t";
                continue;
            default:
                break;
        }
        if (b < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", b);
            out += buf;
        } else if (b >= 0x80 && b <= 0x9F) {
            AppendUtf8(out, kHighControls[b - 0x80]);
        } else {
            AppendUtf8(out, b);
        }
    }
    out += '"';
    return out;
}

void JsonWriter::Separator() {
    if (needComma_) out_ += ',';
    needComma_ = false;
}

void JsonWriter::Key(std::string_view key) {
    Separator();
    if (!key.empty()) {
        out_ += JsonString(key);
        out_ += ':';
    }
}

void JsonWriter::BeginObject() {
    Separator();
    out_ += '{';
}

void JsonWriter::BeginObjectIn(std::string_view key) {
    Key(key);
    out_ += '{';
}

void JsonWriter::EndObject() {
    out_ += '}';
    needComma_ = true;
}

void JsonWriter::BeginArray(std::string_view key) {
    Key(key);
    out_ += '[';
}

void JsonWriter::EndArray() {
    out_ += ']';
    needComma_ = true;
}

void JsonWriter::Field(std::string_view key, std::string_view value) {
    Key(key);
    out_ += JsonString(value);
    needComma_ = true;
}

void JsonWriter::Number(std::string_view key, long long value) {
    Key(key);
    out_ += std::to_string(value);
    needComma_ = true;
}

void JsonWriter::Boolean(std::string_view key, bool value) {
    Key(key);
    out_ += value ? "true" : "false";
    needComma_ = true;
}

}  // namespace qm::app
