#pragma once
// The console's command line read into what a run needs: the options before the command, the
// command's words, and a scan's kind, target, drives and `--remove`.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/FrmMain.h"

namespace qm::app::console {

// Printed after every error in the options, so a mistyped run shows what it could have been.
extern const char* const kUsage;

struct Arguments {
    std::optional<std::string> dataFolder;
    std::string server;
    bool json = false;
    std::vector<std::string> command;  // the command's words, its verb first
};

// The options and the command; nothing (and `error` set) when they do not read.
std::optional<Arguments> ParseArguments(const std::vector<std::string>& args, std::string& error);

struct ScanRequest {
    ui::ScanKind kind = ui::ScanKind::Smart;
    std::string kindName;
    std::string target;
    std::vector<std::string> drives;
    bool drivesGiven = false;
    bool remove = false;
};

// `scan smart | full [--drives C,D] | file PATH | folder PATH [--remove]`, from the command's
// words; nothing (and `error` set) when they do not read.
std::optional<ScanRequest> ParseScan(const std::vector<std::string>& command, std::string& error);

// A path given on the command line, written as the program writes paths: "\" between names,
// never two in a row, and no trailing one (the Folder Scan adds its own).
std::string NormaliseTarget(std::string path);

bool HasControlCharacter(std::string_view s);

}  // namespace qm::app::console
