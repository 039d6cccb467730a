// libFuzzer target for the translation reader: the language names, the group choice, the item
// index and the caption lookup with its placeholders, on the raw input as a whole file.
// Checked: every listed language can be chosen; a chosen group's text lies inside the file;
// a caption never holds a line break.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "i18n/Languages.h"
#include "i18n/TranslationFile.h"

namespace {

void Check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "check failed: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace qm::i18n;
    const std::string file(reinterpret_cast<const char*>(data), size);
    Languages languages({"Quillmarsh", "Quillmarsh Software", "www.quillmarsh.example"});
    for (const std::string& name : LanguageNames(file)) {
        const auto block = SelectGroup(file, name);
        if (block) Check(block->size() <= file.size(), "a group inside the file");
        languages.Choose(file, name);
        for (const char* item : {"FRMMAIN_CMDSCAN", "MSG_SURE", "A", "<", ""}) {
            const std::string caption = languages.getCaption(item);
            Check(caption.find('\n') == std::string::npos, "one line per item");
        }
    }
    return 0;
}
