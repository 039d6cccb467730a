#include "app/console/ConsoleArguments.h"

#include <algorithm>

#include "text/Text.h"

namespace qm::app::console {

const char* const kUsage =
    "usage: quillmarsh-cli [--data-folder DIR] [--server URL] [--json] COMMAND [ARGS]\r\n"
    "  scan smart | full [--drives C,D] | file PATH | folder PATH   [--remove]\r\n"
    "  defs decode FILE | defs encode FILE | defs count\r\n"
    "  exclude add TEXT | exclude list\r\n"
    "  report show\r\n"
    "  quarantine list | quarantine restore NAME\r\n"
    "  update\r\n"
    "  browsers | browsers accept\r\n"
    "  language list | language template FILE\r\n"
    "  submit false-positive --details TEXT PATH... | submit file NAME\r\n";

std::optional<Arguments> ParseArguments(const std::vector<std::string>& args, std::string& error) {
    Arguments o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (!o.command.empty()) {
            o.command.push_back(a);
        } else if (a == "--json") {
            o.json = true;
        } else if (a == "--data-folder" || a == "--server") {
            if (i + 1 >= args.size()) {
                error = a + " needs a value";
                return std::nullopt;
            }
            const std::string& value = args[++i];
            if (a == "--data-folder") {
                if (text::TrimView(value).empty()) {
                    error = "--data-folder needs a folder";
                    return std::nullopt;
                }
                o.dataFolder = value;
            } else {
                o.server = value;
            }
        } else if (text::StartsWith(a, "--")) {
            error = "unknown option " + a;
            return std::nullopt;
        } else {
            o.command.push_back(a);
        }
    }
    if (o.command.empty()) {
        error = "no command given";
        return std::nullopt;
    }
    return o;
}

std::optional<ScanRequest> ParseScan(const std::vector<std::string>& cmd, std::string& error) {
    ScanRequest r;
    if (cmd.size() < 2) {
        error = "scan needs a kind: smart, full, file PATH or folder PATH";
        return std::nullopt;
    }
    r.kindName = cmd[1];
    std::size_t i = 2;
    if (r.kindName == "smart") {
        r.kind = ui::ScanKind::Smart;
    } else if (r.kindName == "full") {
        r.kind = ui::ScanKind::FullSystem;
    } else if (r.kindName == "file" || r.kindName == "folder") {
        r.kind = r.kindName == "file" ? ui::ScanKind::File : ui::ScanKind::Folder;
        if (cmd.size() < 3 || cmd[2].empty()) {
            error = "scan " + r.kindName + " needs a PATH";
            return std::nullopt;
        }
        r.target = cmd[2];
        i = 3;
    } else {
        error = "unknown scan kind " + r.kindName;
        return std::nullopt;
    }
    for (; i < cmd.size(); ++i) {
        if (cmd[i] == "--remove") {
            r.remove = true;
        } else if (cmd[i] == "--drives" && r.kind == ui::ScanKind::FullSystem &&
                   i + 1 < cmd.size()) {
            r.drivesGiven = true;
            for (auto piece : text::Split(cmd[++i], ',')) {
                std::string letter = text::Upper(text::Trim(piece));
                if (letter.size() >= 2 && letter[1] == ':') letter.resize(1);
                if (letter.size() != 1 || letter[0] < 'A' || letter[0] > 'Z') {
                    error = "--drives takes drive letters such as C,D";
                    return std::nullopt;
                }
                r.drives.push_back(letter);
            }
        } else {
            error = "unexpected argument " + cmd[i];
            return std::nullopt;
        }
    }
    return r;
}

std::string NormaliseTarget(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    text::ReduceDoubleBackslashesInPlace(path);
    while (path.size() > 3 && path.back() == '\\')
        path.pop_back();
    return path;
}

bool HasControlCharacter(std::string_view s) {
    return std::any_of(s.begin(), s.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x20 || u == 0x7f;
    });
}

}  // namespace qm::app::console
