#include "definitions/PathTokens.h"

#include "text/Text.h"

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
    if (!folder || folder->empty()) return {};
    std::string path = folder->substr(0, folder->find('\0'));
    path += '\\';
    return path;
}

std::string SystemDriveRoot(platform::ShellFolders& shell) {
    auto folder = shell.SpecialFolderByIdList(csidl::kPrograms);
    if (!folder) return {};
    std::string path = folder->substr(0, folder->find('\0'));
    if (path.empty()) return {};
    if (path.back() != '\\') path += '\\';
    return path.substr(0, 3);
}

std::string SystemFolderPath(platform::ShellFolders& shell) {
    std::string path = shell.SystemDirectory();
    path = path.substr(0, path.find('\0'));
    if (path.empty() || path.back() != '\\') path += '\\';
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
    for (const std::string* f : {&userProfile_, &allUsersProfile_}) {
        foldersHaveBrackets_ = foldersHaveBrackets_ || f->find_first_of("[]") != std::string::npos;
    }
    for (const auto& f : folders_) {
        foldersHaveBrackets_ = foldersHaveBrackets_ || f.find_first_of("[]") != std::string::npos;
    }
}

std::string PathTokenExpander::ExpandInOrder(std::string_view in) const {
    std::string out(in);
    for (std::size_t i = 0; i < kFolderTokens.size(); ++i) {
        out = text::ReplaceAllNoCase(out, kFolderTokens[i].token, folders_[i]);
    }
    // "[user]" and "[alluser]" are matched in lower case only.
    out = text::ReplaceAll(out, "[user]", userProfile_);
    out = text::ReplaceAll(out, "[alluser]", allUsersProfile_);
    return out;
}

std::string PathTokenExpander::Expand(std::string_view in) const {
    std::string out;
    ExpandInto(in, out);
    return out;
}

void PathTokenExpander::ExpandInto(std::string_view in, std::string& out) const {
    out.clear();
    // Every token starts with "[": a text without one is returned as it is.
    if (in.find('[') == std::string_view::npos) {
        out.append(in);
        return;
    }

    // One left-to-right pass replaces every token where it stands. That is what replacing the
    // tokens one after the other in table order gives, unless a replacement could join the
    // text around it into a new token: only an empty expansion can (folder paths hold ":" and
    // "\", which no token has), or a folder path with brackets. Those texts are expanded
    // again the slow way.
    if (foldersHaveBrackets_) {
        out = ExpandInOrder(in);
        return;
    }
    bool replacedWithNothing = false;
    std::size_t pos = 0;
    while (pos < in.size()) {
        const std::size_t open = in.find('[', pos);
        if (open == std::string_view::npos) break;
        out.append(in.substr(pos, open - pos));
        const std::size_t close = in.find(']', open + 1);
        if (close == std::string_view::npos) {
            pos = open;
            break;
        }
        const std::string_view candidate = in.substr(open, close - open + 1);
        const std::string* replacement = nullptr;
        // The longest token is "[comprogfil]"; tokens are written in lower case in the table.
        char lowered[16];
        if (candidate.size() <= sizeof lowered) {
            for (std::size_t i = 0; i < candidate.size(); ++i) {
                lowered[i] = text::LowerChar(candidate[i]);
            }
            const std::string_view key(lowered, candidate.size());
            for (std::size_t i = 0; i < kFolderTokens.size() && !replacement; ++i) {
                const std::string_view token = kFolderTokens[i].token;
                // Length and first letter rule out nearly every other token before a compare.
                if (token.size() == key.size() && token[1] == key[1] && token == key) {
                    replacement = &folders_[i];
                }
            }
        }
        if (!replacement && candidate == "[user]") replacement = &userProfile_;
        if (!replacement && candidate == "[alluser]") replacement = &allUsersProfile_;
        if (replacement) {
            replacedWithNothing = replacedWithNothing || replacement->empty();
            out += *replacement;
            pos = close + 1;
        } else {
            // Not a token (for example "[drive]"): keep the "[" and look on after it.
            out += '[';
            pos = open + 1;
        }
    }
    out.append(in.substr(pos));
    if (replacedWithNothing && out.find('[') != std::string::npos) out = ExpandInOrder(in);
}

std::string ExpandPathTokens(platform::ShellFolders& shell, std::string_view text) {
    return PathTokenExpander(shell).Expand(text);
}

}  // namespace qm::defs
