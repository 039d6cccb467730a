#pragma once
// One run of the console: the program built on the console's stand-ins, the window's language
// and server taken over, and the command's verb carried out. The verbs live by kind:
// ConsoleFrontEnd.cpp dispatches, ConsoleScanVerb.cpp scans, ConsoleFileVerbs.cpp works on the
// program's files (definitions, exclusions, quarantine, report, languages) and
// ConsoleServerVerbs.cpp talks to the definition server.

#include <string>

#include "app/Application.h"
#include "app/console/ConsoleArguments.h"
#include "app/console/ConsoleFrontEnd.h"
#include "app/console/ConsoleStandIns.h"

namespace qm::app::console {

class Verbs {
  public:
    Verbs(Arguments arguments, ConsoleEnvironment& env);

    // The exit status: kExitClean, kExitFound or kExitError.
    int Run();

  private:
    // The message on standard error; always kExitError.
    int Fail(const std::string& message);
    bool DataFolderUsable();

    int Scan();
    // The target of a File or Folder Scan must be there, and of the kind asked for.
    bool TargetUsable(ScanRequest& request);
    // `--drives` marks the named drives for this run only; each must be on the drive list.
    bool MarkDrives(const ScanRequest& request);

    int Defs();
    int Count();
    int Exclude();
    int Quarantine();
    int Restore(const std::string& name);
    int Report();
    int Language();
    int Browsers();

    int Update();
    int Submit();

    Arguments arguments_;
    ConsoleEnvironment& env_;
    ConsolePrompts prompts_;
    ArgumentPickers pickers_;
    NoEvents pump_;
    Application app_;
};

}  // namespace qm::app::console
