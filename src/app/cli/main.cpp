// The Windows entry of the console front end: wires the real platform to the portable core.

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "app/console/ConsoleFrontEnd.h"
#include "platform/win32/RegistrySettingsStore.h"
#include "platform/win32/Win32Platform.h"

int main(int argc, char** argv) {
    // Bytes go out exactly as the core writes them: scrambled lines may hold any code, and
    // every line already ends with CR LF.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);

    try {
        qm::platform::win32::Win32Platform machine;
        qm::platform::win32::RegistrySettingsStore settings;
        qm::app::ConsoleEnvironment env{machine.platform, settings, std::cout, std::cerr};

        const std::vector<std::string> args(argv + 1, argv + argc);
        const int rc = qm::app::RunConsole(args, env);
        std::cout.flush();
        return rc;
    } catch (const std::exception& e) {
        std::cerr << "quillmarsh-cli: " << e.what() << "\r\n";
    } catch (...) {
        std::cerr << "quillmarsh-cli: unexpected failure\r\n";
    }
    return qm::app::kExitError;
}
