#pragma once
// Starting other programs and opening documents, folders and web pages, without waiting.

#include <string>

namespace qm::platform {

class Launcher {
  public:
    virtual ~Launcher() = default;
    // Starts a command line such as "notepad C:\file.txt" in a normal window.
    virtual bool Run(const std::string& commandLine) = 0;
    // Opens a document, a folder or a web address with the program the system assigns.
    virtual bool Open(const std::string& target) = 0;
};

}  // namespace qm::platform
