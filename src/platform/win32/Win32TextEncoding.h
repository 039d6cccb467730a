#pragma once
// UTF-8 to the ANSI code page through the wide characters the system converts both ways, and
// the code page's case and lead-byte tables.

#include "platform/TextEncoding.h"

namespace qm::platform::win32 {

class Win32TextEncoding final : public TextEncoding {
  public:
    std::string Utf8ToAnsi(std::string_view utf8) override;
    // Built from the system's own conversions and case mapping of each byte.
    std::optional<CodePageTables> CodePage() override;
};

}  // namespace qm::platform::win32
