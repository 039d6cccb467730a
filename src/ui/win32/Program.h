#pragma once
// The desktop program: the platform, the models, the main window and the scan session wired
// together. WinMain runs one; the GUI tests run one in their own process and drive its
// controls.

#include <memory>
#include <string>

#include "platform/win32/WinApi.h"

namespace qm::ui::win32 {

struct ProgramOptions {
    std::string dataFolder;  // empty: the user's "[appdata]AntiSpywareDAT"
};

class Program {
  public:
    Program(HINSTANCE instance, ProgramOptions options);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Loads the program as its start-up does and creates the main window; false when the
    // window cannot be created.
    bool Start(int showCommand);
    // The message loop; returns the exit code.
    int Run();
    HWND Window() const;
    // The pump's interval in milliseconds (0 pumps on every item).
    void SetPumpIntervalMs(unsigned ms);

  private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

ProgramOptions ParseProgramOptions(const std::string& commandLine);

}  // namespace qm::ui::win32
