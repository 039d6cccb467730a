// The verbs that talk to the definition server: Live Update, and the reports the program
// sends its maker.

#include "app/console/ConsoleArguments.h"
#include "app/console/ConsoleOutput.h"
#include "app/console/ConsoleVerbs.h"
#include "text/Text.h"

namespace qm::app::console {

// Exit 0 when updated or already current; 2 when the server could not be reached, its answer
// not verified or the files not written, which a script needs to know.
int Verbs::Update() {
    using Status = update::UpdateOutcome::Status;
    const std::string& server = arguments_.server;
    const update::UpdateOutcome outcome =
        app_.UpdateDefinitions(server.empty() ? update::DefaultServerAddress() : server);
    if (outcome.status == Status::Unreachable) {
        return Fail("the definition server could not be reached");
    }
    if (outcome.status == Status::NotWritten) {
        return Fail("the new definitions could not be written; the installed ones stay");
    }
    if (outcome.status == Status::Unverified) {
        // A script reading the JSON learns why as well as the exit status.
        if (arguments_.json) PrintUpdate(env_.out, outcome, app_.Store().Counts(), true);
        return Fail(std::string("the server's answer could not be verified (") +
                    update::VerdictName(outcome.refusal) + "): nothing was changed");
    }
    PrintUpdate(env_.out, outcome, app_.Store().Counts(), arguments_.json);
    return kExitClean;
}

int Verbs::Submit() {
    const auto& cmd = arguments_.command;
    if (cmd.size() == 3 && cmd[1] == "file") {
        const auto answer = app_.Reports().SendName(cmd[2]);
        if (!answer || !Submissions::NameTaken(*answer))
            return Fail("the server did not take " + cmd[2]);
        env_.out << cmd[2] << " submitted: " << text::Trim(*answer) << kEol;
        return kExitClean;
    }
    if (cmd.size() >= 5 && cmd[1] == "false-positive" && cmd[2] == "--details") {
        std::string locations;
        for (std::size_t i = 4; i < cmd.size(); ++i)
            locations += NormaliseTarget(cmd[i]) + "\r\n";
        const auto answer = app_.Reports().SendFalsePositive(locations, cmd[3]);
        if (!answer || !Submissions::FalsePositiveTaken(*answer))
            return Fail("the false-positive report was not taken: " + answer.value_or(""));
        env_.out << "False-positive report submitted for " << (cmd.size() - 4) << " location(s)"
                 << kEol;
        return kExitClean;
    }
    return Fail("submit takes: false-positive --details TEXT PATH... | file NAME");
}

}  // namespace qm::app::console
