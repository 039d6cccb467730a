#pragma once
// The test double of the platform: a fake machine with in-memory files (with attributes),
// scripted shell folders, a manual clock and scripted answers to every question the program
// asks the user.

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "i18n/MessageCatalogue.h"
#include "platform/Platform.h"
#include "settings/SettingsStore.h"
#include "support/OpenSslSignatures.h"
#include "ui/Interaction.h"
#include "work/Context.h"

namespace qm::test {

class FakeFileSystem final : public platform::FileSystem {
  public:
    struct Node {
        std::string path;  // as first written
        std::uint32_t attributes = platform::attr::kArchive;
        std::string content;
    };

    // Test set-up helpers.
    void PutFile(const std::string& path, std::string content,
                 std::uint32_t attributes = platform::attr::kArchive);
    void PutFolder(const std::string& path, std::uint32_t attributes = platform::attr::kDirectory);
    std::optional<std::string> Content(const std::string& path) const;
    bool Has(const std::string& path) const;
    // Removes a folder with everything below it (a folder deleted by another program).
    void RemoveTree(const std::string& folder);
    // Makes every later write fail (a full or read-only disk).
    bool failWrites = false;
    // Makes every later replacing move fail.
    bool failMoves = false;
    // Paths (any case) listed as entries without a name in the code page and without a short
    // name, as the real listing gives them.
    std::vector<std::string> nameless;
    // When not negative: that many more replacing moves succeed, every later one fails (a run
    // that ends between two replacements).
    int movesLeft = -1;
    int openCount = 0;
    std::map<std::string, int> opensOf;  // by KeyOf(path)

    // Where a relative path starts (no "." or ".." resolving: the real one is tested under Wine).
    std::string currentFolder = "C:\\work";
    std::optional<std::string> FullPath(const std::string& path) override {
        if (path.size() >= 3 && path[1] == ':' && path[2] == '\\') return path;
        if (path.rfind("\\", 0) == 0) return currentFolder.substr(0, 2) + path;
        return currentFolder + "\\" + path;
    }
    std::optional<std::uint32_t> Attributes(const std::string& path) override;
    std::vector<platform::DirEntry> ListFolder(const std::string& folder) override;
    std::unique_ptr<platform::ByteReader> OpenForReading(const std::string& path) override;
    std::optional<std::uint64_t> FileSize(const std::string& path) override {
        const auto attributes = Attributes(path);
        if (!attributes || (*attributes & platform::attr::kDirectory)) return std::nullopt;
        return Content(path)->size();
    }
    bool WriteWholeFile(const std::string& path, const std::string& bytes) override;
    bool DeleteFile(const std::string& path) override;
    bool RenameFile(const std::string& from, const std::string& to) override;
    bool MoveReplacing(const std::string& from, const std::string& to) override;
    bool CreateFolder(const std::string& folder) override;
    bool CopyFile(const std::string& from, const std::string& to) override;
    bool AppendToFile(const std::string& path, const std::string& bytes) override;
    bool DeleteFolderTree(const std::string& folder) override;
    // Paths (any case) whose copies fail: a locked or unreadable file.
    std::vector<std::string> failCopiesOf;
    // Paths (any case) that cannot be deleted: a file another program holds open.
    std::vector<std::string> failDeletesOf;
    // Deletions the system was asked to make at the next start; refused when set.
    bool refuseDeleteAtRestart = false;
    std::vector<std::string> deleteAtRestart;
    bool DeleteAtRestart(const std::string& path) override {
        if (refuseDeleteAtRestart || !Has(path)) return false;
        deleteAtRestart.push_back(path);
        return true;
    }

    // A copy is on the disk when it is made (the real one flushes it); appended bytes only
    // once their appender is flushed. A power cut takes back everything else written since.
    bool CopyFileReadingBoth(const std::string& from, const std::string& to,
                             platform::ByteSink& original, platform::ByteSink& copied) override;
    std::unique_ptr<platform::Appender> OpenForAppending(const std::string& path) override;
    // Every file copied or appended to and not flushed since goes back to what the disk held.
    void PowerCut();

    // A path as the fake files are kept: lower case, one separator kind, no trailing one.
    static std::string KeyOf(const std::string& path);

  private:
    // Remembers what the disk holds before the first change not yet flushed.
    void Unflushed(const std::string& key);
    void Flushed(const std::string& key) { onDisk_.erase(key); }

    std::map<std::string, Node> nodes_;
    std::map<std::string, std::optional<Node>> onDisk_;
};

class FakeShellFolders final : public platform::ShellFolders {
  public:
    FakeShellFolders();  // a typical machine with drive C:
    std::map<int, std::string> folders;
    std::string systemDirectory = "C:\\windows\\system32";
    int lookups = 0;

    std::optional<std::string> SpecialFolder(int csidl) override;
    std::optional<std::string> SpecialFolderByIdList(int csidl) override;
    std::string SystemDirectory() override { return systemDirectory; }
};

class FakeClock final : public platform::Clock {
  public:
    std::string now = "12/8/2026 8:46:21 PM";
    platform::LocalTime local{2026, 12, 8, 2, 20, 46, 21};  // a Tuesday
    unsigned long long milliseconds = 0;                    // tests move it on
    std::string NowText() override { return now; }
    platform::LocalTime Now() override { return local; }
    // The fake machine's zone is UTC.
    platform::LocalTime UniversalNow() override { return local; }
    unsigned long long Milliseconds() override { return milliseconds; }
};

class FakeVersionInfo final : public platform::VersionInfo {
  public:
    platform::ProductInfo info{"Quillmarsh", "Quillmarsh Software", "www.quillmarsh.example", 1, 0};
    std::string executablePath = "C:\\Program Files\\Quillmarsh\\Quillmarsh.exe";
    platform::ProductInfo OwnProductInfo() override { return info; }
    std::string OwnExecutablePath() override { return executablePath; }
};

// Drive C: fixed and ready; tests add others.
class FakeDrives final : public platform::Drives {
  public:
    std::vector<platform::DriveInfo> drives{{"C", platform::DriveKind::Fixed, true}};
    std::vector<std::string> unreadableRoots;  // lower case, such as "d:\\"

    std::vector<platform::DriveInfo> List() override { return drives; }
    bool VolumeReadable(const std::string& root) override;
};

// An in-memory registry: names compare without regard to case, as in the real one.
class FakeRegistry final : public platform::Registry {
  public:
    struct Value {
        platform::RegistryValueType type = platform::RegistryValueType::String;
        std::string text;
        std::uint32_t number = 0;
    };
    // Keys that exist but refuse to open (an account without rights), and roots that refuse
    // every write (HKEY_LOCAL_MACHINE for a limited user).
    std::vector<std::string> deniedKeys;
    std::vector<std::uint32_t> readOnlyRoots;
    int failWritesLeft = 0;  // the next N writes fail, whatever the key

    void Put(std::uint32_t root, const std::string& keyPath, const std::string& name, Value value);
    void PutKey(std::uint32_t root, const std::string& keyPath);
    std::optional<Value> Get(std::uint32_t root, const std::string& keyPath,
                             const std::string& name) const;

    platform::RegistryRead ReadValueAs(std::uint32_t root, const std::string& keyPath,
                                       const std::string& valueName,
                                       platform::RegistryAccess access) override;
    bool KeyOpens(std::uint32_t root, const std::string& keyPath,
                  platform::RegistryAccess access) override;
    // Keys that open for reading only (a machine-wide key under a limited account).
    std::vector<std::string> readOnlyKeys;
    int opens = 0;  // keys opened so far
    bool WriteString(std::uint32_t root, const std::string& keyPath, const std::string& valueName,
                     const std::string& value) override;
    bool DeleteValue(std::uint32_t root, const std::string& keyPath,
                     const std::string& valueName) override;
    bool DeleteKeyTree(std::uint32_t root, const std::string& keyPath) override;
    bool WriteNumber(std::uint32_t root, const std::string& keyPath, const std::string& valueName,
                     std::uint32_t value) override {
        if (failWritesLeft > 0) {
            --failWritesLeft;
            return false;
        }
        Put(root, keyPath, valueName, Value{platform::RegistryValueType::Number, {}, value});
        return true;
    }
    // Real registry-editor files (platform/RegFile.h). A String value is REG_SZ with its ANSI
    // bytes widened one byte per UTF-16 unit and its NUL, an ExpandString REG_EXPAND_SZ the
    // same way, a Number REG_DWORD, any other value REG_BINARY of its text's bytes. Key paths
    // and names in a whole key's file come out in lower case, as the fake keeps them.
    std::optional<std::string> ExportValue(std::uint32_t root, const std::string& keyPath,
                                           const std::string& valueName) override;
    std::optional<std::string> ExportKey(std::uint32_t root, const std::string& keyPath) override;
    bool failExports = false;
    // Reads back what the two exports above write, with the real import's no-overwrite rule:
    // nothing is set unless the whole file reads, every value fits the fake's types, and no
    // value in it exists with another type or data.
    platform::ImportResult ImportRegistryFile(const std::string& fileBytes) override;
    int imports = 0;
    std::optional<std::vector<platform::regfile::Key>> ReadKeyTree(
        std::uint32_t root, const std::string& keyPath) override {
        ++treeReads;
        return Registry::ReadKeyTree(root, keyPath);
    }
    int treeReads = 0;
    // A watch sees every write below its key, and the key's own making and deleting; with
    // `failWatches` this registry cannot watch.
    std::unique_ptr<platform::RegistryWatch> WatchKeyTree(std::uint32_t root,
                                                          const std::string& keyPath) override;
    bool failWatches = false;

  private:
    static std::string KeyOf(std::uint32_t root, const std::string& keyPath);
    std::map<std::string, std::map<std::string, Value>> keys_;
    std::vector<std::string> written_;  // every key written to, in order, as KeyOf gives it
};

// Scripted running programs: each with an identifier, a name and an executable path.
class FakeProcesses final : public platform::Processes {
  public:
    struct Process {
        std::uint32_t id;
        std::string baseName;
        std::optional<std::string> path;  // nothing: cannot be opened
    };
    std::vector<Process> running;
    bool listFails = false;
    int lists = 0;
    std::vector<std::uint32_t> killed;
    bool failKills = false;  // a protected program: every stop is refused

    std::optional<std::vector<platform::ProcessEntry>> List() override {
        ++lists;
        if (listFails) return std::nullopt;
        std::vector<platform::ProcessEntry> out;
        for (const auto& p : running)
            out.push_back({p.id, p.baseName});
        return out;
    }
    std::optional<std::string> ExecutablePath(std::uint32_t id) override {
        for (const auto& p : running) {
            if (p.id == id) return p.path;
        }
        return std::nullopt;
    }
    bool Kill(std::uint32_t id, std::uint32_t) override {
        if (failKills) return false;
        const auto before = running.size();
        std::erase_if(running, [&](const Process& p) { return p.id == id; });
        if (running.size() == before) return false;
        killed.push_back(id);
        return true;
    }
    bool WaitForExit(std::uint32_t id, std::uint32_t) override {
        for (const auto& p : running) {
            if (p.id == id) return false;
        }
        return true;
    }
};

// Records what the program started or opened.
class RecordingLauncher final : public platform::Launcher {
  public:
    std::vector<std::string> started;
    bool Run(const std::string& commandLine) override {
        started.push_back(commandLine);
        return true;
    }
    bool Open(const std::string& target) override {
        started.push_back("open " + target);
        return true;
    }
};

struct ShownMessage {
    std::string text;
    std::string title;
    ui::MessageButtons buttons;
    ui::MessageIcon icon;
};

class ScriptedPrompts final : public ui::Prompts {
  public:
    std::deque<ui::MessageAnswer> answers;  // taken in order; Ok / No when empty
    std::vector<ShownMessage> shown;
    std::function<void()> whileShowing;  // runs while a box is open (the box is modal)

    ui::MessageAnswer ShowMessage(const std::string& text, const std::string& title,
                                  ui::MessageButtons buttons, ui::MessageIcon icon) override;
    // Input boxes: each answer taken in order, a cancel when they run out.
    std::deque<std::optional<std::string>> typed;
    std::vector<std::string> asked;  // their prompts
    std::optional<std::string> AskText(const std::string& prompt, const std::string&,
                                       const std::string&) override {
        asked.push_back(prompt);
        if (typed.empty()) return std::nullopt;
        auto answer = typed.front();
        typed.pop_front();
        return answer;
    }
};

class ScriptedPickers final : public ui::Pickers {
  public:
    std::optional<std::string> file;
    std::optional<std::string> folder;
    std::optional<std::string> ChooseFile() override { return file; }
    std::optional<std::string> ChooseFolder() override { return folder; }
};

class ScriptedPump final : public ui::EventPump {
  public:
    long long calls = 0;
    std::function<void(long long call)> onEvents;  // a click arriving during a long loop
    void LetEventsRun() override {
        ++calls;
        if (onEvents) onEvents(calls);
    }
};

// System Restore: available unless told otherwise; the calls are recorded.
class FakeSystemRestore final : public platform::SystemRestore {
  public:
    bool available = true;
    bool beginSucceeds = true;
    std::vector<std::string> begun;  // descriptions
    std::vector<std::int64_t> ended;
    bool Available() override { return available; }
    std::vector<int> types;
    Begun Begin(const std::string& description, int type) override {
        begun.push_back(description);
        types.push_back(type);
        if (!beginSucceeds) return {std::nullopt, "System Restore is turned off."};
        return {static_cast<std::int64_t>(begun.size()), {}};
    }
    bool End(std::int64_t sequence) override {
        ended.push_back(sequence);
        return true;
    }
};

class FakeClipboard final : public platform::Clipboard {
  public:
    std::string text;
    bool PutText(const std::string& t) override {
        text = t;
        return true;
    }
};

// A Western system: UTF-8 to ISO 8859-1, "?" for every other character and every broken byte.
class Latin1Encoding final : public platform::TextEncoding {
  public:
    std::string Utf8ToAnsi(std::string_view utf8) override;
};

// One fake machine with everything wired together.
// Answers every request from a script, in blocks as a server sends them, and records the
// addresses asked for.
class ScriptedHttp final : public platform::Http {
  public:
    // By address: the body, or nothing for a request that fails (unreachable, an error page).
    std::map<std::string, std::optional<std::string>> answers;
    std::vector<std::string> asked;
    // Runs before each block arrives: a slow server moves the clock on here.
    std::function<void()> beforeBlock;

    std::optional<std::string> Get(const std::string& url, std::size_t blockBytes,
                                   const platform::HttpHooks& hooks) override {
        asked.push_back(url);
        const auto it = answers.find(url);
        if (it == answers.end() || !it->second) return std::nullopt;
        std::string body;
        const std::string& all = *it->second;
        for (std::size_t at = 0; at < all.size(); at += blockBytes) {
            if (beforeBlock) {
                beforeBlock();
                if (hooks.whileWaiting) hooks.whileWaiting();
            }
            if (hooks.keepGoing && !hooks.keepGoing()) return std::nullopt;
            body.append(all, at, blockBytes);
            hooks.afterBlock(body.size());
        }
        return body;
    }
};

// United States dates ("12/8/2026 8:46:21 PM", a date alone meaning midnight), as the system
// reads and writes them in the test prefix's locale.
class FakeDates final : public platform::Dates {
  public:
    // A German user's formats instead: "16.3.2006", "12.2.2026 08:00:00".
    bool german = false;
    std::optional<double> Parse(const std::string& text) override;
    std::string Format(double date) override;
};

struct FakeMachine {
    FakeFileSystem files;
    FakeShellFolders shell;
    FakeClock clock;
    FakeVersionInfo version;
    FakeDrives drives;
    FakeRegistry registry;
    RecordingLauncher launcher;
    FakeProcesses processes;
    FakeSystemRestore systemRestore;
    FakeClipboard clipboard;
    ScriptedHttp http;
    FakeDates dates;
    ScriptedPrompts prompts;
    ScriptedPickers pickers;
    ScriptedPump pump;
    settings::MemorySettingsStore settings;
    i18n::MessageCatalogue messages;
    Latin1Encoding encoding;
    OpenSslSignatures signatures;
    platform::Platform platform{files,    shell,    clock,     version,       drives,
                                registry, launcher, processes, systemRestore, clipboard,
                                http,     dates,    encoding,  signatures};

    FakeMachine();
    // What the program lends its subsystems, on this machine: its own settings store and
    // catalogue, or those a test watches.
    work::Context Context() { return Context(settings, messages); }
    work::Context Context(settings::SettingsStore& store, i18n::MessageCatalogue& catalogue) {
        return {platform, prompts, pickers, pump, store, catalogue, version.info};
    }
    static constexpr const char* kDataFolder =
        "C:\\users\\tester\\AppData\\Roaming\\AntiSpywareDAT";

    // Writes a definition file in the data folder, each line scrambled, CR LF line ends.
    void PutDefinitionFile(const std::string& name, const std::vector<std::string>& plainLines);
    // The key file in the program's folder, as the installer writes it, listing the key.
    void InstallUpdateKey(const TestSigningKey& key);
    // The machine-wide switch an administrator sets for an unsigned server of their own.
    void AllowUnsignedDefinitions();
    // All five required files (with the given extra lines in FileDefinition.dat).
    void PutCompleteDefinitionSet();
};

}  // namespace qm::test
