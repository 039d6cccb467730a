#pragma once
// Bracketed tokens in definition records ("[windir]", "[appdata]", ...) that stand for the
// shell's special folders, and the three folder routines they rest on.

#include <array>
#include <string>
#include <string_view>

#include "platform/ShellFolders.h"

namespace qm::defs {

namespace csidl {
inline constexpr int kPrograms = 2;
inline constexpr int kStartMenu = 11;
inline constexpr int kCommonStartMenu = 22;
}  // namespace csidl

struct PathToken {
    std::string_view token;
    int csidl;
};

// Tokens 1 to 28, in the order they are replaced (case-insensitively).
extern const std::array<PathToken, 28> kFolderTokens;

// The folder of a CSIDL with a trailing "\", or empty when the system has none.
std::string SpecialFolderPath(platform::ShellFolders& shell, int csidl);
// The drive root the user's Start menu lives on, such as "C:\"; empty when unknown.
std::string SystemDriveRoot(platform::ShellFolders& shell);
// The Windows system folder with a trailing "\".
std::string SystemFolderPath(platform::ShellFolders& shell);

// Expands the path tokens of one text. The folders are looked up when the expander is made,
// so a loop over many records asks the shell once rather than thirty times per record.
class PathTokenExpander {
  public:
    explicit PathTokenExpander(platform::ShellFolders& shell);
    std::string Expand(std::string_view text) const;
    // The same into `out` (replacing its content), so a loop can reuse one buffer.
    void ExpandInto(std::string_view text, std::string& out) const;

  private:
    std::string ExpandInOrder(std::string_view text) const;

    std::array<std::string, 28> folders_;
    std::string userProfile_;
    std::string allUsersProfile_;
    bool foldersHaveBrackets_ = false;
};

// One-off expansion (looks every folder up afresh).
std::string ExpandPathTokens(platform::ShellFolders& shell, std::string_view text);

}  // namespace qm::defs
