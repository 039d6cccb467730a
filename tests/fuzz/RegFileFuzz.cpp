// libFuzzer target for the registry-editor file reader, on the raw input as a whole file and
// on the input as the text of a file (each byte one UTF-16 unit, after the byte order mark and
// the header), which reaches the key and value lines far sooner. Checked: whatever reads
// writes out again and reads back as the very same keys and values.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/RegFile.h"

namespace {

void Check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "check failed: %s\n", what);
    std::abort();
}

void RoundTrip(std::string_view file) {
    using namespace qm::platform::regfile;
    const auto keys = Parse(file);
    if (!keys) return;
    const auto again = Format(*keys);
    Check(again.has_value(), "every root read has a name to write");
    const auto back = Parse(*again);
    Check(back.has_value(), "a written file reads");
    Check(*back == *keys, "a written file reads back the same keys and values");
    Check(Format(*back) == again, "writing is the same each time");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view raw(reinterpret_cast<const char*>(data), size);
    RoundTrip(raw);
    std::string file = "\xFF\xFE";
    for (char c : std::string_view("Windows Registry Editor Version 5.00\r\n\r\n")) {
        file += c;
        file += '\0';
    }
    for (char c : raw) {
        file += c;
        file += '\0';
    }
    RoundTrip(file);
    return 0;
}
