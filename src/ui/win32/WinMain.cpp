// The desktop program's entry.

#include "ui/win32/Program.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
    try {
        qm::ui::win32::Program program(
            instance, qm::ui::win32::ParseProgramOptions(commandLine ? commandLine : ""));
        if (!program.ClaimSingleInstance()) return 0;  // the running copy was brought forward
        if (!program.Start(showCommand)) return 1;
        return program.Run();
    } catch (...) {
        return 1;
    }
}
