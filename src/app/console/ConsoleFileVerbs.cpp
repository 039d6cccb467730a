// The verbs that work on the program's files: the definition files decoded, encoded and
// counted, the exclusions added and listed, the quarantine listed and restored from, the last
// report shown, and the translation file's languages and template.

#include "app/console/ConsoleOutput.h"
#include "app/console/ConsoleVerbs.h"
#include "definitions/LineScramble.h"
#include "text/Text.h"
#include "text/TextFile.h"

namespace qm::app::console {

int Verbs::Defs() {
    const auto& cmd = arguments_.command;
    if (cmd.size() == 2 && cmd[1] == "count") return Count();
    if (cmd.size() == 3 && (cmd[1] == "decode" || cmd[1] == "encode")) {
        const bool decode = cmd[1] == "decode";
        auto reader = text::LineReader::Open(
            env_.platform.files, cmd[2], decode ? text::LineEnds::CrLfOnly : text::LineEnds::Any);
        if (!reader) return Fail("cannot read " + cmd[2]);
        std::string line;
        while (reader->Next(line)) {
            env_.out << (decode ? defs::DecodeLine(line) : defs::EncodeLine(line)) << kEol;
        }
        return kExitClean;
    }
    return Fail("defs takes: decode FILE, encode FILE or count");
}

int Verbs::Count() {
    PrintCounts(env_.out, app_.Store().Files().CountDefinitions(), arguments_.json);
    return kExitClean;
}

// exclude add TEXT | exclude list: the user's exclusions, as the Exclude button stores them.
int Verbs::Exclude() {
    const auto& cmd = arguments_.command;
    const std::string path = app_.Store().ExclusionFilePath();
    if (cmd.size() == 3 && cmd[1] == "add") {
        if (text::TrimView(cmd[2]).empty()) return Fail("exclude add takes a non-blank text");
        // One entry is one line of the file: a line break would make it two.
        if (HasControlCharacter(cmd[2])) {
            return Fail("exclude add takes one line of text, without control characters");
        }
        if (!app_.AddExclusion(cmd[2])) return Fail("cannot write " + path);
        if (arguments_.json) {
            const std::string added = text::Trim(cmd[2]);
            PrintExclusions(env_.out, defs::ExclusionList::ReadEntries(env_.platform.files, path),
                            &added, true);
        }
        return kExitClean;
    }
    if (cmd.size() == 2 && cmd[1] == "list") {
        PrintExclusions(env_.out, defs::ExclusionList::ReadEntries(env_.platform.files, path),
                        nullptr, arguments_.json);
        return kExitClean;
    }
    return Fail("exclude takes: add TEXT or list");
}

// quarantine list | quarantine restore NAME: what the removals have backed up, and one item
// put back where it came from.
int Verbs::Quarantine() {
    const auto& cmd = arguments_.command;
    if (cmd.size() == 3 && cmd[1] == "restore") return Restore(cmd[2]);
    if (cmd.size() != 2 || cmd[1] != "list") return Fail("quarantine takes: list or restore NAME");
    const removal::QuarantineStore& store = app_.Quarantine();
    PrintQuarantine(env_.out, store.Folder(), store.ListItems(), store.ReadManifest(),
                    arguments_.json);
    return kExitClean;
}

int Verbs::Restore(const std::string& name) {
    const removal::RestoreOutcome outcome = app_.Quarantine().Restore(name);
    if (!outcome.restored()) return Fail(outcome.message);
    PrintRestored(env_.out, name, outcome.message, arguments_.json);
    return kExitClean;
}

// report show: the last scan's report as its viewer shows it.
int Verbs::Report() {
    const auto& cmd = arguments_.command;
    if (cmd.size() != 2 || cmd[1] != "show") return Fail("report takes: show");
    PrintReport(env_.out, app_.ReportPath(), app_.ReportViewerText(), arguments_.json);
    return kExitClean;
}

int Verbs::Language() {
    const auto& cmd = arguments_.command;
    if (cmd.size() == 2 && cmd[1] == "list") {
        for (const std::string& name : app_.Translation().LanguageNames())
            env_.out << name << kEol;
        return kExitClean;
    }
    if (cmd.size() == 3 && cmd[1] == "template") {
        if (!app_.Translation().WriteTemplate(app_.Form(), cmd[2]))
            return Fail("cannot write " + cmd[2]);
        env_.out << "Wrote the English template to " << cmd[2] << kEol;
        return kExitClean;
    }
    return Fail("language takes: list | template FILE");
}

}  // namespace qm::app::console
