#include "app/console/JsonWriter.h"

#include <cstdio>

#include "text/Text.h"

namespace qm::app {

std::string JsonString(std::string_view ansi) {
    // Into UTF-8 first, from the system's code page: the second byte of a two-byte character
    // may be a backslash, which is no escape, while no byte of a UTF-8 sequence is one.
    const std::string utf8 = text::AnsiToUtf8(ansi);
    std::string out = "\"";
    out.reserve(utf8.size() + 2);
    for (const char c : utf8) {
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
        } else {
            out += c;
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
