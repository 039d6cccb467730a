#pragma once
// UTF-8 to the ANSI code page through the wide characters the system converts both ways.

#include "platform/TextEncoding.h"

namespace qm::platform::win32 {

class Win32TextEncoding final : public TextEncoding {
  public:
    std::string Utf8ToAnsi(std::string_view utf8) override;
};

}  // namespace qm::platform::win32
