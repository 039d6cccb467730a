// The desktop program's entry.

#include "ui/win32/Program.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
    try {
        qm::ui::win32::Program program(
            instance, qm::ui::win32::ParseProgramOptions(commandLine ? commandLine : ""));
        if (!program.StartWithSplash(showCommand)) return 1;
        // The loop ends at once when the main window cannot load, or another copy runs (which
        // was brought forward): that ends with 0.
        return program.Run();
    } catch (...) {
        return 1;
    }
}
