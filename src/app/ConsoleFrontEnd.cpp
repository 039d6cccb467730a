#include "app/ConsoleFrontEnd.h"

#include <algorithm>
#include <optional>

#include "app/Application.h"
#include "app/ConsoleScanOutput.h"
#include "app/JsonWriter.h"
#include "definitions/DefinitionFiles.h"
#include "definitions/LineScramble.h"
#include "text/Text.h"
#include "text/TextFile.h"

namespace qm::app {

namespace {

constexpr const char* kUsage =
    "usage: quillmarsh-cli [--data-folder DIR] [--server URL] [--json] COMMAND [ARGS]\r\n"
    "  scan smart | full [--drives C,D] | file PATH | folder PATH   [--remove]\r\n"
    "  defs decode FILE | defs encode FILE | defs count\r\n"
    "  exclude add TEXT | exclude list\r\n"
    "  report show\r\n"
    "  quarantine list | quarantine restore NAME\r\n"
    "  update\r\n"
    "  language list | language template FILE\r\n"
    "  submit false-positive --details TEXT PATH... | submit file NAME\r\n";

// Lines on the console end with CR LF, as in every file the program writes.
constexpr const char* kEol = "\r\n";

struct Options {
    std::optional<std::string> dataFolder;
    std::string server;
    bool json = false;
    std::vector<std::string> command;
};

std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error) {
    Options o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (!o.command.empty()) {
            o.command.push_back(a);
        } else if (a == "--json") {
            o.json = true;
        } else if (a == "--data-folder" || a == "--server") {
            if (i + 1 >= args.size()) {
                error = a + " needs a value";
                return std::nullopt;
            }
            const std::string& value = args[++i];
            if (a == "--data-folder") {
                if (text::TrimView(value).empty()) {
                    error = "--data-folder needs a folder";
                    return std::nullopt;
                }
                o.dataFolder = value;
            } else {
                o.server = value;
            }
        } else if (text::StartsWith(a, "--")) {
            error = "unknown option " + a;
            return std::nullopt;
        } else {
            o.command.push_back(a);
        }
    }
    if (o.command.empty()) {
        error = "no command given";
        return std::nullopt;
    }
    return o;
}

// "counts": the signature counts of each kind and their total.
void CountsObject(JsonWriter& j, const defs::SignatureCounts& c) {
    j.BeginObjectIn("counts");
    j.Number("cookies", c.cookies);
    j.Number("files", c.files);
    j.Number("registry", c.registry);
    j.Number("programs", c.programs);
    j.Number("total", c.Total());
    j.EndObject();
}

// Message boxes become lines on standard error; questions are answered No, so nothing the
// console does is ever confirmed by default.
class ConsolePrompts final : public ui::Prompts {
  public:
    explicit ConsolePrompts(std::ostream& err) : err_(err) {}
    ui::MessageAnswer ShowMessage(const std::string& message, const std::string&,
                                  ui::MessageButtons buttons, ui::MessageIcon) override {
        shown.push_back(message);
        err_ << message << kEol;
        switch (buttons) {
            case ui::MessageButtons::YesNo:
                return ui::MessageAnswer::No;
            case ui::MessageButtons::AbortRetryIgnore:
                return ui::MessageAnswer::Abort;
            case ui::MessageButtons::OkCancel:
                return ui::MessageAnswer::Cancel;
            case ui::MessageButtons::Ok:
                break;
        }
        return ui::MessageAnswer::Ok;
    }
    std::vector<std::string> shown;

  private:
    std::ostream& err_;
};

// The file or folder named on the command line stands for the user's choice in the picker.
class ArgumentPickers final : public ui::Pickers {
  public:
    std::optional<std::string> file;
    std::optional<std::string> folder;
    std::optional<std::string> ChooseFile() override { return file; }
    std::optional<std::string> ChooseFolder() override { return folder; }
};

class NoEvents final : public ui::EventPump {
  public:
    void LetEventsRun() override {}
};

struct ScanRequest {
    ui::ScanKind kind = ui::ScanKind::Smart;
    std::string kindName;
    std::string target;
    std::vector<std::string> drives;
    bool drivesGiven = false;
    bool remove = false;
};

std::optional<ScanRequest> ParseScan(const std::vector<std::string>& cmd, std::string& error) {
    ScanRequest r;
    if (cmd.size() < 2) {
        error = "scan needs a kind: smart, full, file PATH or folder PATH";
        return std::nullopt;
    }
    r.kindName = cmd[1];
    std::size_t i = 2;
    if (r.kindName == "smart") {
        r.kind = ui::ScanKind::Smart;
    } else if (r.kindName == "full") {
        r.kind = ui::ScanKind::FullSystem;
    } else if (r.kindName == "file" || r.kindName == "folder") {
        r.kind = r.kindName == "file" ? ui::ScanKind::File : ui::ScanKind::Folder;
        if (cmd.size() < 3 || cmd[2].empty()) {
            error = "scan " + r.kindName + " needs a PATH";
            return std::nullopt;
        }
        r.target = cmd[2];
        i = 3;
    } else {
        error = "unknown scan kind " + r.kindName;
        return std::nullopt;
    }
    for (; i < cmd.size(); ++i) {
        if (cmd[i] == "--remove") {
            r.remove = true;
        } else if (cmd[i] == "--drives" && r.kind == ui::ScanKind::FullSystem &&
                   i + 1 < cmd.size()) {
            r.drivesGiven = true;
            for (auto piece : text::Split(cmd[++i], ',')) {
                std::string letter = text::Upper(text::Trim(piece));
                if (letter.size() >= 2 && letter[1] == ':') letter.resize(1);
                if (letter.size() != 1 || letter[0] < 'A' || letter[0] > 'Z') {
                    error = "--drives takes drive letters such as C,D";
                    return std::nullopt;
                }
                r.drives.push_back(letter);
            }
        } else {
            error = "unexpected argument " + cmd[i];
            return std::nullopt;
        }
    }
    return r;
}

ScanPrintout CaptureScan(const ScanRequest& req, const ui::FrmMain& form,
                         const scan::ScanSession& session) {
    ScanPrintout p;
    p.kind = req.kindName;
    p.status = form.lblStatus.caption;
    p.started = session.StartTime();
    p.finished = session.FinishTime();
    p.processes = form.lblMemoryInspected.caption;
    p.registry = form.lblRegistryInspected.caption;
    p.files = form.lblFilesFolderInspected.caption;
    p.found = form.lblSoftwareFound.caption;
    p.traces = form.lbltracesFound.caption;
    p.skipped = session.Counters().skipped;
    p.live = form.lvwSpywareFound;
    p.results = form.lvwPicRemoveListOfSpywareFoundAndToBeRemoved;
    p.fileWork = form.lvwFilesToBeDeleted;
    p.registryWork = form.lvwRegistryToBeDeleted;
    p.cookieWork = form.lvwCookiesToDelete;
    return p;
}

// A path given on the command line, written as the program writes paths: "\" between names,
// never two in a row, and no trailing one (the Folder Scan adds its own).
std::string NormaliseTarget(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    text::ReduceDoubleBackslashesInPlace(path);
    while (path.size() > 3 && path.back() == '\\')
        path.pop_back();
    return path;
}

bool HasControlCharacter(std::string_view s) {
    return std::any_of(s.begin(), s.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x20 || u == 0x7f;
    });
}

// The window program beside this console, which the Run entry must name.
std::string WindowProgramBeside(const std::string& consolePath) {
    const std::string folder = text::FolderOf(consolePath);
    return folder.empty() ? "Quillmarsh.exe" : folder + "\\Quillmarsh.exe";
}

class Console {
  public:
    Console(Options options, ConsoleEnvironment& env)
        : o_(std::move(options)),
          env_(env),
          prompts_(env.err),
          app_(FrontEnd{env.platform, env.settings, prompts_, pickers_, pump_},
               StartOptions{o_.dataFolder,
                            WindowProgramBeside(env.platform.version.OwnExecutablePath())}) {}

    int Run() {
        const std::string& verb = o_.command[0];
        // Decoding and encoding work on any file; everything else needs the data folder.
        const bool needsDataFolder =
            !(verb == "defs" && o_.command.size() > 1 && o_.command[1] != "count") &&
            verb != "language" && verb != "submit";
        // The console speaks the window's language: its messages come translated too.
        app_.Translation().ChangeLanguage(
            app_.Form(),
            env_.settings.Read(app_.Product().productName, "Settings", "Language", "English"));
        if (!o_.server.empty()) app_.SetServerAddress(o_.server);
        if (needsDataFolder && !DataFolderUsable()) return kExitError;
        if (verb == "scan") return Scan();
        if (verb == "defs") return Defs();
        if (verb == "exclude") return Exclude();
        if (verb == "quarantine") return Quarantine();
        if (verb == "report") return Report();
        if (verb == "update" && o_.command.size() == 1) return Update();
        if (verb == "language") return Language();
        if (verb == "submit") return Submit();
        return Fail("unknown command " + verb);
    }

  private:
    int Fail(const std::string& message) {
        env_.err << "quillmarsh-cli: " << message << kEol;
        return kExitError;
    }

    bool DataFolderUsable() {
        const std::string& folder = app_.DataFolder();
        if (folder.empty() || !defs::FolderExists(env_.platform.files, folder)) {
            Fail("the data folder \"" + folder + "\" does not exist or cannot be read");
            return false;
        }
        return true;
    }

    // The target of a File or Folder Scan must be there, and of the kind asked for: a scan
    // of nothing would report a clean machine.
    bool TargetUsable(ScanRequest& req) {
        if (req.kind != ui::ScanKind::File && req.kind != ui::ScanKind::Folder) return true;
        // Made full first: relative to the console's current folder, a folder name would be
        // taken for a drive root by the candidate checks, whose rules differ there.
        const auto full = env_.platform.files.FullPath(NormaliseTarget(req.target));
        if (!full) {
            Fail("\"" + req.target + "\" cannot be made a full path");
            return false;
        }
        req.target = NormaliseTarget(*full);
        const auto attributes = env_.platform.files.Attributes(req.target);
        const bool isFolder = attributes && (*attributes & platform::attr::kDirectory) != 0;
        if (!attributes) {
            Fail("\"" + req.target + "\" does not exist");
            return false;
        }
        if (isFolder != (req.kind == ui::ScanKind::Folder)) {
            Fail("\"" + req.target + "\" is " + (isFolder ? "a folder" : "a file") + ": use scan " +
                 (isFolder ? "folder" : "file"));
            return false;
        }
        if (req.kind == ui::ScanKind::File) pickers_.file = req.target;
        if (req.kind == ui::ScanKind::Folder) pickers_.folder = req.target;
        return true;
    }

    // `--drives` marks the named drives for this run only; each must be on the drive list.
    bool MarkDrives(const ScanRequest& req) {
        if (!req.drivesGiven) return true;
        ui::ListView& drives = app_.Form().lvwHardDrives;
        for (const auto& letter : req.drives) {
            const bool listed = std::any_of(
                drives.rows.begin(), drives.rows.end(),
                [&](const ui::ListItem& row) { return text::EqualsNoCase(row.text, letter); });
            if (!listed) {
                Fail("drive " + letter + ": is not on this machine");
                return false;
            }
        }
        for (auto& row : drives.rows) {
            row.checked =
                std::any_of(req.drives.begin(), req.drives.end(),
                            [&](const std::string& l) { return text::EqualsNoCase(row.text, l); });
        }
        return true;
    }

    int Scan() {
        std::string error;
        auto req = ParseScan(o_.command, error);
        if (!req) return Fail(error);
        if (!TargetUsable(*req)) return kExitError;

        app_.Start();
        if (!MarkDrives(*req)) return kExitError;
        ui::FrmMain& form = app_.Form();
        form.SelectScanKind(req->kind);
        if (app_.RunScan(false) == work::LongWork::Outcome::Failed) {
            return Fail("the scan broke off: " + form.lblStatus.caption);
        }

        const std::string missing = app_.Message("MSG_MISSING");
        for (const auto& shown : prompts_.shown) {
            if (shown == missing) return kExitError;
        }
        // Whether the scan found something is decided before the removal empties the lists.
        const bool found = app_.Session().Counters().itemsFound != 0 ||
                           !form.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.rows.empty();
        if (req->remove) app_.SelectAll();  // as the removal will, so the listing shows it
        ScanPrintout printout = CaptureScan(*req, form, app_.Session());
        if (req->remove) {
            if (app_.RemoveEverythingFound() == work::LongWork::Outcome::Failed) {
                return Fail("the removal broke off");
            }
            printout.removal = &app_.LastRemoval();
        }
        if (o_.json) {
            PrintScanJson(env_.out, printout);
        } else {
            PrintScanText(env_.out, printout);
        }
        return found ? kExitFound : kExitClean;
    }

    // report show: the last scan's report as its viewer shows it.
    int Language() {
        const auto& cmd = o_.command;
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

    int Submit() {
        const auto& cmd = o_.command;
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

    int Report() {
        if (o_.command.size() != 2 || o_.command[1] != "show") return Fail("report takes: show");
        const std::string text = app_.ReportViewerText();
        if (o_.json) {
            JsonWriter j;
            j.BeginObject();
            j.Field("path", app_.ReportPath());
            j.Field("text", text);
            j.EndObject();
            env_.out << j.Text() << kEol;
        } else {
            env_.out << text;
        }
        return kExitClean;
    }

    int Defs() {
        const auto& cmd = o_.command;
        if (cmd.size() == 2 && cmd[1] == "count") return Count();
        if (cmd.size() == 3 && (cmd[1] == "decode" || cmd[1] == "encode")) {
            const bool decode = cmd[1] == "decode";
            auto reader =
                text::LineReader::Open(env_.platform.files, cmd[2],
                                       decode ? text::LineEnds::CrLfOnly : text::LineEnds::Any);
            if (!reader) return Fail("cannot read " + cmd[2]);
            std::string line;
            while (reader->Next(line)) {
                env_.out << (decode ? defs::DecodeLine(line) : defs::EncodeLine(line)) << kEol;
            }
            return kExitClean;
        }
        return Fail("defs takes: decode FILE, encode FILE or count");
    }

    std::vector<std::string> ExclusionEntries() {
        std::vector<std::string> entries;
        for (auto& line :
             text::ReadAllLines(env_.platform.files, app_.Store().ExclusionFilePath())) {
            if (!text::TrimView(line).empty()) entries.push_back(std::move(line));
        }
        return entries;
    }

    void PrintExclusions(const std::vector<std::string>& entries, const std::string* added) {
        if (!o_.json) {
            for (const auto& e : entries)
                env_.out << e << kEol;
            return;
        }
        JsonWriter j;
        j.BeginObject();
        if (added) j.Field("added", *added);
        j.BeginArray("exclusions");
        for (const auto& e : entries)
            j.Field({}, e);  // array items have no key
        j.EndArray();
        j.EndObject();
        env_.out << j.Text() << kEol;
    }

    // exclude add TEXT | exclude list: the user's exclusions, as the Exclude button stores them.
    int Exclude() {
        const auto& cmd = o_.command;
        if (cmd.size() == 3 && cmd[1] == "add") {
            if (text::TrimView(cmd[2]).empty()) return Fail("exclude add takes a non-blank text");
            // One entry is one line of the file: a line break would make it two.
            if (HasControlCharacter(cmd[2])) {
                return Fail("exclude add takes one line of text, without control characters");
            }
            if (!app_.AddExclusion(cmd[2])) {
                return Fail("cannot write " + app_.Store().ExclusionFilePath());
            }
            if (o_.json) {
                const std::string added = text::Trim(cmd[2]);
                PrintExclusions(ExclusionEntries(), &added);
            }
            return kExitClean;
        }
        if (cmd.size() == 2 && cmd[1] == "list") {
            PrintExclusions(ExclusionEntries(), nullptr);
            return kExitClean;
        }
        return Fail("exclude takes: add TEXT or list");
    }

    // quarantine list | quarantine restore NAME: what the removals have backed up, and one
    // item put back where it came from.
    int Quarantine() {
        const auto& cmd = o_.command;
        if (cmd.size() == 3 && cmd[1] == "restore") return Restore(cmd[2]);
        if (cmd.size() != 2 || cmd[1] != "list")
            return Fail("quarantine takes: list or restore NAME");
        const removal::QuarantineStore& store = app_.Quarantine();
        std::vector<std::string> items;
        for (const auto& entry : env_.platform.files.ListFolder(store.Folder())) {
            if (text::EqualsNoCase(entry.name, removal::kQuarantineLog) ||
                text::EqualsNoCase(entry.name, removal::kManifestName)) {
                continue;
            }
            const bool folder = (entry.attributes & platform::attr::kDirectory) != 0;
            items.push_back(entry.name + (folder ? "\\" : ""));
        }
        std::sort(items.begin(), items.end());
        const removal::Manifest manifest = store.ReadManifest();
        if (!o_.json) {
            for (const auto& item : items)
                env_.out << item << kEol;
            return kExitClean;
        }
        JsonWriter j;
        j.BeginObject();
        j.Field("folder", store.Folder());
        j.BeginArray("items");
        for (const auto& item : items)
            j.Field({}, item);
        j.EndArray();
        j.BeginArray("entries");
        for (const auto& e : manifest.entries) {
            j.BeginObject();
            j.Field("kind", removal::KindName(e.kind));
            j.Field("original", e.original);
            if (e.value) j.Field("value", *e.value);
            j.Field("name", e.name);
            j.Number("size", static_cast<long long>(e.size));
            j.Field("hash", e.sha256);
            j.Field("time", e.time);
            j.Boolean("restored", e.restored);
            j.EndObject();
        }
        j.EndArray();
        j.EndObject();
        env_.out << j.Text() << kEol;
        return kExitClean;
    }

    int Restore(const std::string& name) {
        const removal::RestoreOutcome outcome = app_.Quarantine().Restore(name);
        if (!outcome.restored()) return Fail(outcome.message);
        if (o_.json) {
            JsonWriter j;
            j.BeginObject();
            j.Field("restored", name);
            j.Field("message", outcome.message);
            j.EndObject();
            env_.out << j.Text() << kEol;
        } else {
            env_.out << outcome.message << kEol;
        }
        return kExitClean;
    }

    // Exit 0 when updated or already current; 2 when the server could not be reached or the
    // files not written, which the window keeps to itself but a script needs to know.
    int Update() {
        using Status = update::UpdateOutcome::Status;
        const update::UpdateOutcome outcome =
            app_.UpdateDefinitions(o_.server.empty() ? update::DefaultServerAddress() : o_.server);
        if (outcome.status == Status::Unreachable) {
            return Fail("the definition server could not be reached");
        }
        if (outcome.status == Status::NotWritten) {
            return Fail("the new definitions could not be written; the installed ones stay");
        }
        const auto& c = app_.Store().Counts();
        if (o_.json) {
            JsonWriter j;
            j.BeginObject();
            j.Field("status", update::StatusName(outcome.status));
            j.Number("changes", outcome.changes);
            j.Field("date", outcome.storedDate);
            CountsObject(j, c);
            j.EndObject();
            env_.out << j.Text() << kEol;
        } else if (outcome.status == Status::Updated) {
            env_.out << "Definitions updated: " << outcome.changes << " changes, dated "
                     << outcome.storedDate << ", " << c.Total() << " signatures" << kEol;
        } else {
            env_.out << "The definitions are current (dated " << outcome.storedDate << ")" << kEol;
        }
        return kExitClean;
    }

    int Count() {
        const auto c = app_.Store().Files().CountDefinitions();
        if (o_.json) {
            JsonWriter j;
            j.BeginObject();
            CountsObject(j, c);
            j.EndObject();
            env_.out << j.Text() << kEol;
        } else {
            env_.out << "Cookie signatures: " << c.cookies << kEol;
            env_.out << "File and folder signatures: " << c.files << kEol;
            env_.out << "Registry signatures: " << c.registry << kEol;
            env_.out << "Program signatures: " << c.programs << kEol;
            env_.out << "Total: " << c.Total() << kEol;
        }
        return kExitClean;
    }

    Options o_;
    ConsoleEnvironment& env_;
    ConsolePrompts prompts_;
    ArgumentPickers pickers_;
    NoEvents pump_;
    Application app_;
};

}  // namespace

int RunConsole(const std::vector<std::string>& args, ConsoleEnvironment& env) {
    std::string error;
    auto options = ParseOptions(args, error);
    if (!options) {
        env.err << "quillmarsh-cli: " << error << kEol << kUsage;
        return kExitError;
    }
    Console console(std::move(*options), env);
    return console.Run();
}

}  // namespace qm::app
