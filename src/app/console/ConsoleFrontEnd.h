#pragma once
// The console front end: the same core as the window, driven from a command line, for
// scripting, administrators and end-to-end checks.
//
//   quillmarsh-cli [--data-folder DIR] [--server URL] [--json] COMMAND [ARGS]
//     scan smart | full [--drives C,D] | file PATH | folder PATH   [--remove]
//     defs decode FILE | defs encode FILE | defs count
//
// Exit status: 0 completed with nothing found, 1 completed with findings, 2 error.

#include <ostream>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "settings/SettingsStore.h"

namespace qm::app {

inline constexpr int kExitClean = 0;
inline constexpr int kExitFound = 1;
inline constexpr int kExitError = 2;

struct ConsoleEnvironment {
    platform::Platform& platform;
    settings::SettingsStore& settings;
    std::ostream& out;
    std::ostream& err;
};

int RunConsole(const std::vector<std::string>& args, ConsoleEnvironment& env);

}  // namespace qm::app
