#pragma once
// A small writer for the console front end's JSON document. The program's texts are ANSI
// (code page 1252); JSON strings go out as UTF-8.

#include <string>
#include <string_view>

namespace qm::app {

// The text converted from code page 1252 to UTF-8 and escaped for a JSON string, with quotes.
std::string JsonString(std::string_view ansi);

class JsonWriter {
  public:
    void BeginObject();
    void EndObject();
    void BeginArray(std::string_view key = {});
    void EndArray();
    void BeginObjectIn(std::string_view key);
    void Field(std::string_view key, std::string_view value);
    void Number(std::string_view key, long long value);
    void Boolean(std::string_view key, bool value);

    const std::string& Text() const { return out_; }

  private:
    void Separator();
    void Key(std::string_view key);

    std::string out_;
    bool needComma_ = false;
};

}  // namespace qm::app
