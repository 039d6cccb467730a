#include "app/console/ConsoleFrontEnd.h"

#include "app/console/ConsoleVerbs.h"
#include "definitions/DefinitionFiles.h"
#include "text/Text.h"

namespace qm::app {

namespace console {

namespace {

// The window program beside this console, which the Run entry must name.
std::string WindowProgramBeside(const std::string& consolePath) {
    const std::string folder = text::FolderOf(consolePath);
    return folder.empty() ? "Quillmarsh.exe" : folder + "\\Quillmarsh.exe";
}

}  // namespace

Verbs::Verbs(Arguments arguments, ConsoleEnvironment& env)
    : arguments_(std::move(arguments)),
      env_(env),
      prompts_(env.err),
      app_(FrontEnd{env.platform, env.settings, prompts_, pickers_, pump_},
           StartOptions{arguments_.dataFolder,
                        WindowProgramBeside(env.platform.version.OwnExecutablePath())}) {}

int Verbs::Run() {
    const auto& command = arguments_.command;
    const std::string& verb = command[0];
    // Decoding and encoding work on any file; everything else needs the data folder.
    const bool needsDataFolder = !(verb == "defs" && command.size() > 1 && command[1] != "count") &&
                                 verb != "language" && verb != "submit";
    // The console speaks the window's language: its messages come translated too.
    app_.Translation().ChangeLanguage(
        app_.Form(),
        env_.settings.Read(app_.Product().productName, "Settings", "Language", "English"));
    if (!arguments_.server.empty()) app_.SetServerAddress(arguments_.server);
    if (needsDataFolder && !DataFolderUsable()) return kExitError;
    if (verb == "scan") return Scan();
    if (verb == "defs") return Defs();
    if (verb == "exclude") return Exclude();
    if (verb == "quarantine") return Quarantine();
    if (verb == "report") return Report();
    if (verb == "update" && command.size() == 1) return Update();
    if (verb == "language") return Language();
    if (verb == "submit") return Submit();
    if (verb == "browsers") return Browsers();
    return Fail("unknown command " + verb);
}

int Verbs::Fail(const std::string& message) {
    env_.err << "quillmarsh-cli: " << message << kEol;
    return kExitError;
}

bool Verbs::DataFolderUsable() {
    const std::string& folder = app_.DataFolder();
    if (folder.empty() || !defs::FolderExists(env_.platform.files, folder)) {
        Fail("the data folder \"" + folder + "\" does not exist or cannot be read");
        return false;
    }
    return true;
}

}  // namespace console

int RunConsole(const std::vector<std::string>& args, ConsoleEnvironment& env) {
    std::string error;
    auto arguments = console::ParseArguments(args, error);
    if (!arguments) {
        env.err << "quillmarsh-cli: " << error << console::kEol << console::kUsage;
        return kExitError;
    }
    console::Verbs verbs(std::move(*arguments), env);
    return verbs.Run();
}

}  // namespace qm::app
