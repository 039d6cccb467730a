#pragma once

#include <string>

namespace qm::platform {

class Clipboard {
  public:
    virtual ~Clipboard() = default;
    // Empties the clipboard, then puts the text on it (ANSI code page); false on failure.
    virtual bool PutText(const std::string& text) = 0;
};

}  // namespace qm::platform
