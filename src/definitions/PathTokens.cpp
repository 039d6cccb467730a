#include "definitions/PathTokens.h"

#include "definitions/Text.h"

namespace qm::defs {

const std::array<PathToken, 28> kFolderTokens = {{
    {"[startsp]", 29}, {"[appdata]", 26}, {"[recycle]", 10}, {"[comstar]", 30},
    {"[comapp]", 35},  {"[desktop]", 25}, {"[comdocs]", 46}, {"[comfav]", 31},
    {"[comprog]", 23}, {"[comstam]", 22}, {"[comtemp]", 45}, {"[cookies]", 33},
    {"[comdesk]", 16}, {"[favorit]", 6},  {"[fonts]", 20},   {"[history]", 34},
    {"[netcach]", 32}, {"[progs]", 2},    {"[progfil]", 38}, {"[comprogfil]", 43},
    {"[personl]", 5},  {"[recent]", 8},   {"[sendto]", 9},   {"[startup]", 7},
    {"[strtmnu]", 11}, {"[system]", 37},  {"[templat]", 21}, {"[windir]", 36},
}};

std::string SpecialFolderPath(platform::ShellFolders& shell, int csidl) {
    auto folder = shell.SpecialFolder(csidl);
    if (!folder || folder->empty())
        return {};
    std::string path = folder->substr(0, folder->find('\0'));
    path += '\\';
    return path;
}

std::string SystemDriveRoot(platform::ShellFolders& shell) {
    auto folder = shell.SpecialFolderByIdList(csidl::kPrograms);
    if (!folder)
        return {};
    std::string path = folder->substr(0, folder->find('\0'));
    if (path.empty())
        return {};
    if (path.back() != '\\')
        path += '\\';
    return path.substr(0, 3);
}

std::string SystemFolderPath(platform::ShellFolders& shell) {
    std::string path = shell.SystemDirectory();
    path = path.substr(0, path.find('\0'));
    if (path.empty() || path.back() != '\\')
        path += '\\';
    return path;
}

namespace {
std::string ProfileFromStartMenu(platform::ShellFolders& shell, int csidl) {
    return text::ReplaceAllNoCase(SpecialFolderPath(shell, csidl), "\\Start Menu", "");
}
}  // namespace

PathTokenExpander::PathTokenExpander(platform::ShellFolders& shell)
    : userProfile_(ProfileFromStartMenu(shell, csidl::kStartMenu)),
      allUsersProfile_(ProfileFromStartMenu(shell, csidl::kCommonStartMenu)) {
    for (std::size_t i = 0; i < kFolderTokens.size(); ++i) {
        folders_[i] = SpecialFolderPath(shell, kFolderTokens[i].csidl);
    }
}

std::string PathTokenExpander::Expand(std::string_view in) const {
    std::string out(in);
    // Every token starts with "[": a text without one is returned as it is.
    if (out.find('[') == std::string::npos)
        return out;
    for (std::size_t i = 0; i < kFolderTokens.size(); ++i) {
        out = text::ReplaceAllNoCase(out, kFolderTokens[i].token, folders_[i]);
    }
    // "[user]" and "[alluser]" are matched in lower case only.
    out = text::ReplaceAll(out, "[user]", userProfile_);
    out = text::ReplaceAll(out, "[alluser]", allUsersProfile_);
    return out;
}

std::string ExpandPathTokens(platform::ShellFolders& shell, std::string_view text) {
    return PathTokenExpander(shell).Expand(text);
}

}  // namespace qm::defs
