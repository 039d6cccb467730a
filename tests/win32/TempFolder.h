#pragma once
// Test helpers that touch the disk with plain Win32 calls, independently of the code under
// test: a private temporary folder per test, and raw reads and writes to set up and check files.

#include <optional>
#include <string>

namespace qm::wintest {

// A fresh, empty folder under the user's temporary folder, removed with everything in it
// (hidden and read-only entries included) when the object goes away.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    // path() & "\" & name
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

  private:
    std::string path_;
};

// Creates or truncates the file and writes the bytes; fails the calling test on an error.
void PutFile(const std::string& path, const std::string& bytes);
// The file's whole content, or nothing when it cannot be opened.
std::optional<std::string> FileContent(const std::string& path);
bool PathExists(const std::string& path);
// ANSI text (the system code page) as UTF-16.
std::wstring Widen(const std::string& ansi);

}  // namespace qm::wintest
