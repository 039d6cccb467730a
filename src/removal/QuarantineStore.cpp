#include "removal/QuarantineStore.h"

#include <algorithm>

#include "definitions/DefinitionFiles.h"
#include "text/Text.h"

namespace qm::removal {

namespace {

// How often a deletion is tried: another program may hold the file for a moment.
constexpr int kDeleteRounds = 8;
// A whole-key registry backup can be large, but not larger than any manifest.
constexpr std::uint64_t kMaxRegBackupBytes = kMaxManifestBytes;

std::string WithoutTrailingBackslashes(const std::string& path) {
    return std::string(text::WithoutTrailingBackslashes(path));
}

// The name of a file or folder, a folder's trailing backslash ignored.
std::string LastComponent(const std::string& path) {
    return text::FileNameOf(text::WithoutTrailingBackslashes(path));
}

// "name (n).ext" for a file, "name (n)" for a folder: the n-th item of a name already taken.
std::string NumberedName(const std::string& name, int n, bool folder) {
    const std::string suffix = " (" + std::to_string(n) + ")";
    const auto dot = name.rfind('.');
    if (folder || dot == std::string::npos || dot == 0) return name + suffix;
    return name.substr(0, dot) + suffix + name.substr(dot);
}

// The item as the user knows it: a registry value with its name after the key.
std::string Shown(const QuarantineEntry& entry) {
    if (!entry.value) return entry.original;
    return entry.original + "\\" + (entry.value->empty() ? "(Default)" : *entry.value);
}

RestoreOutcome Outcome(RestoreStatus status, std::string message) {
    return {status, std::move(message)};
}

ContentDigest Recorded(const QuarantineEntry& entry) {
    return {entry.size, entry.sha256};
}

}  // namespace

bool QuarantineStore::EnsureFolder() {
    // Made once per store: a removal of thousands of items asks the file system once.
    if (!folderMade_) folderMade_ = platform_.files.CreateFolder(Folder());
    return folderMade_;
}

std::optional<std::string> QuarantineStore::NextName(const std::string& name, bool folder) {
    // Many threats share a name (the same file in a hundred folders): the numbers this store
    // has handed out are not offered again, so a new copy does not look at every copy of that
    // name before it.
    int& next = nextNumber_[text::Lower(name)];
    for (int n = std::max(next, 1); n < 1000; ++n) {
        const std::string candidate = n == 1 ? name : NumberedName(name, n, folder);
        // The log and the manifest are the store's own: no copy may take their names.
        if (text::EqualsNoCase(candidate, kQuarantineLog) ||
            text::EqualsNoCase(candidate, kManifestName)) {
            continue;
        }
        next = n + 1;
        return candidate;
    }
    next = 1000;
    return std::nullopt;
}

std::optional<std::string> QuarantineStore::FreeName(const std::string& name, bool folder) {
    while (const auto candidate = NextName(name, folder)) {
        if (!platform_.files.Attributes(Folder() + "\\" + *candidate)) return candidate;
    }
    return std::nullopt;
}

bool QuarantineStore::AppendEntry(const QuarantineEntry& entry) {
    platform::FileSystem& files = platform_.files;
    const std::string path = ManifestPath();
    std::string prefix;
    if (!manifestReady_) {
        if (!files.Attributes(path)) {
            prefix = ManifestHeader() + "\r\n";
        } else if (const auto bytes = ReadSmallFile(files, path, kMaxManifestBytes)) {
            if (bytes->empty()) {
                prefix = ManifestHeader() + "\r\n";
            } else if (bytes->back() != '\n') {
                // An append cut short by a crash: the torn line goes before another follows it,
                // or it would run into the new entry and spoil both.
                const auto complete = bytes->rfind('\n');
                const std::string kept = complete == std::string::npos
                                             ? ManifestHeader() + "\r\n"
                                             : bytes->substr(0, complete + 1);
                if (!files.WriteWholeFile(path, kept)) return false;
            }
        }
    }
    // The entry is what finds the copy again: it is on the disk before the original may go.
    manifestReady_ = Append(manifestFile_, path, prefix + FormatEntry(entry), true);
    return manifestReady_;
}

bool QuarantineStore::Append(std::unique_ptr<platform::Appender>& held, const std::string& path,
                             const std::string& bytes, bool flush) {
    if (!keepOpen_ && !flush) return platform_.files.AppendToFile(path, bytes);
    std::unique_ptr<platform::Appender> once;
    std::unique_ptr<platform::Appender>& appender = keepOpen_ ? held : once;
    if (!appender) appender = platform_.files.OpenForAppending(path);
    return appender && appender->Append(bytes) && (!flush || appender->Flush());
}

std::optional<std::string> QuarantineStore::BackUpFile(const std::string& path,
                                                       const std::string& name, EntryKind kind) {
    platform::FileSystem& files = platform_.files;
    const std::string key = text::Lower(path);
    if (const auto made = madeCopies_.find(key); made != madeCopies_.end()) {
        const auto unchanged = DigestOfFile(files, path);
        if (unchanged && *unchanged == made->second.digest &&
            DigestOfFile(files, Folder() + "\\" + made->second.name) == made->second.digest) {
            return made->second.name;
        }
    }
    if (!EnsureFolder()) return {};
    // The copy itself finds out whether a name is taken (it never overwrites): in a quarantine
    // of thousands of files, looking first would cost a second search of the folder.
    std::optional<std::string> copyName;
    std::optional<CopyDigests> digests;
    while (!digests) {
        copyName = NextName(name, false);
        if (!copyName) return std::nullopt;
        digests = CopyWithDigests(files, path, Folder() + "\\" + *copyName);
        // Refused for another reason than a name in use (an earlier copy's): no backup.
        if (!digests && !files.Attributes(Folder() + "\\" + *copyName)) return std::nullopt;
    }
    const std::string copy = Folder() + "\\" + *copyName;
    const ContentDigest& copied = digests->copy;
    if (digests->original != copied ||
        !AppendEntry({kind, path, std::nullopt, *copyName, copied.size, copied.sha256,
                      platform_.clock.NowText(), false})) {
        // A short or altered copy is no backup, and must not stay looking like one.
        files.DeleteFile(copy);
        return std::nullopt;
    }
    LogFileRecord(path, *copyName);
    madeCopies_[key] = {*copyName, copied};
    return copyName;
}

bool QuarantineStore::BackUpFolder(const std::string& source, const std::string& name) {
    platform::FileSystem& files = platform_.files;
    // A folder that holds the quarantine would be copied into itself.
    if (text::StartsWith(text::Lower(Folder()) + "\\", text::Lower(source) + "\\")) return false;
    if (!EnsureFolder()) return false;
    const auto copyName = FreeName(name, true);
    if (!copyName) return false;
    const std::string copy = Folder() + "\\" + *copyName;
    if (!files.CreateFolder(copy)) return false;
    const auto digest = CopyTree(source, copy);
    if (!digest || !AppendEntry({EntryKind::Folder, source, std::nullopt, *copyName, digest->size,
                                 digest->sha256, platform_.clock.NowText(), false})) {
        files.DeleteFolderTree(copy);
        return false;
    }
    return true;
}

std::optional<ContentDigest> QuarantineStore::CopyTree(const std::string& from,
                                                       const std::string& to) {
    platform::FileSystem& files = platform_.files;
    TreeDigest tree;
    const bool whole = WalkTree(files, from, [&](const TreeEntry& entry) {
        const std::string into = to + "\\" + entry.relative;
        if (entry.folder) {
            tree.AddFolder(entry.relative);
            return files.CreateFolder(into);
        }
        const auto digests = CopyWithDigests(files, from + "\\" + entry.relative, into);
        if (!digests || digests->original != digests->copy) return false;
        tree.AddFile(entry.relative, digests->copy);
        events_.LetEventsRun();
        return true;
    });
    if (!whole) return std::nullopt;
    return tree.Finish();
}

void QuarantineStore::LogFileRecord(const std::string& path, const std::string& name) {
    if (!logging) return;
    if (!EnsureFolder()) return;
    Append(logFile_, LogPath(),
           platform_.clock.NowText() + " - File: " + name + "\r\n - Location: " + path +
               "\r\n\r\n\r\n");
}

void QuarantineStore::LogRegistryRecord(const std::string& keyPath, const std::string& valueName) {
    if (!logging) return;
    if (!EnsureFolder()) return;
    Append(logFile_, LogPath(),
           platform_.clock.NowText() + " - Key: " + keyPath + "\r\nValue: " + valueName +
               "\r\n\r\n\r\n");
}

std::optional<std::string> QuarantineStore::WriteRegBackup(const std::string& backupName,
                                                           const std::string& fileBytes) {
    std::string name = backupName;
    std::erase_if(name, [](char c) { return c == '/' || c == ':' || c == '\\'; });
    // Other characters a file name cannot hold, and a length that keeps the path usable.
    for (char& c : name) {
        if (c == '*' || c == '?' || c == '"' || c == '<' || c == '>' || c == '|' ||
            static_cast<unsigned char>(c) < 32) {
            c = '_';
        }
    }
    if (name.size() > 120) name.resize(120);
    platform::FileSystem& files = platform_.files;
    if (!EnsureFolder()) return {};
    for (int n = 1; n < 1000; ++n) {
        const std::string fileName =
            (n == 1 ? name : name + " (" + std::to_string(n) + ")") + ".reg";
        const std::string file = Folder() + "\\" + fileName;
        if (files.Attributes(file)) continue;
        // A name nothing uses yet: written in place, then read back, so a cut-short write is
        // caught below and removed rather than kept as a backup.
        if (!files.AppendToFile(file, fileBytes)) {
            files.DeleteFile(file);
            return std::nullopt;
        }
        if (DigestOfFile(files, file) != DigestOfBytes(fileBytes)) {
            files.DeleteFile(file);
            return std::nullopt;
        }
        return fileName;
    }
    return std::nullopt;
}

bool QuarantineStore::RecordRegistryBackup(const std::string& location,
                                           const std::optional<std::string>& valueName,
                                           const std::string& nameInQuarantine,
                                           const std::string& fileBytes) {
    const ContentDigest digest = DigestOfBytes(fileBytes);
    return AppendEntry({EntryKind::Registry, location, valueName, nameInQuarantine, digest.size,
                        digest.sha256, platform_.clock.NowText(), false});
}

void QuarantineStore::DiscardRegBackup(const std::string& nameInQuarantine) {
    platform_.files.DeleteFile(Folder() + "\\" + nameInQuarantine);
}

bool QuarantineStore::QuarantineFile(const std::string& path, const std::string& name) {
    platform::FileSystem& files = platform_.files;
    if (!defs::PlainFileExists(files, path) || !text::EqualsNoCase(LastComponent(path), name)) {
        return false;
    }
    bool backedUp = false;
    for (int round = 0; round < kDeleteRounds; ++round) {
        if (!defs::PlainFileExists(files, path)) break;
        if (!backedUp) backedUp = BackUpFile(path, name, EntryKind::File).has_value();
        // Without its copy the file stays: the removal run lists it as not removed.
        if (backedUp) files.DeleteFile(path);
        events_.LetEventsRun();
    }
    return backedUp;
}

bool QuarantineStore::QuarantineItem(const std::string& path) {
    platform::FileSystem& files = platform_.files;
    if (path.find('\\') == std::string::npos) return false;
    // One look at the entry: a plain file (hidden and system ones count as absent) or a folder.
    const auto attributes = files.Attributes(path);
    if (!attributes) return false;
    using namespace platform::attr;
    const bool isFolder = (*attributes & kDirectory) != 0;
    const bool isFile = !isFolder && (*attributes & (kHidden | kSystem)) == 0;
    if (!isFile && !isFolder) return false;
    const std::string name = LastComponent(path);
    if (isFolder) {
        const std::string source = WithoutTrailingBackslashes(path);
        if (!BackUpFolder(source, name)) return false;
        files.DeleteFolderTree(source);
        return true;
    }
    if (!BackUpFile(path, name, EntryKind::File)) return false;
    for (int round = 0; round < kDeleteRounds; ++round) {
        if (files.DeleteFile(path) || !files.Attributes(path)) break;
        events_.LetEventsRun();
    }
    return true;
}

bool QuarantineStore::QuarantineCookie(const std::string& path) {
    if (!BackUpFile(path, LastComponent(path), EntryKind::Cookie)) return false;
    platform_.files.DeleteFile(path);
    return true;
}

Manifest QuarantineStore::ReadManifest() const {
    return removal::ReadManifest(platform_.files, ManifestPath());
}

std::vector<std::string> QuarantineStore::ListItems() const {
    std::vector<std::string> items;
    for (const auto& entry : platform_.files.ListFolder(Folder())) {
        if (text::EqualsNoCase(entry.name, kQuarantineLog) ||
            text::EqualsNoCase(entry.name, kManifestName)) {
            continue;
        }
        const bool folder = (entry.attributes & platform::attr::kDirectory) != 0;
        items.push_back(entry.name + (folder ? "\\" : ""));
    }
    std::sort(items.begin(), items.end());
    return items;
}

std::optional<std::string> QuarantineStore::VerifiedCopyOf(const std::string& originalPath) const {
    platform::FileSystem& files = platform_.files;
    const std::string original = WithoutTrailingBackslashes(originalPath);
    const Manifest manifest = ReadManifest();
    std::optional<ContentDigest> now;
    bool nowRead = false;
    // The newest copy first: an older one may hold what the file was before.
    for (auto it = manifest.entries.rbegin(); it != manifest.entries.rend(); ++it) {
        const QuarantineEntry& entry = *it;
        if (entry.restored || entry.kind == EntryKind::Registry) continue;
        std::string candidate;
        std::optional<ContentDigest> recorded;
        const std::string& from = entry.original;
        if (entry.kind != EntryKind::Folder && text::EqualsNoCase(from, original)) {
            candidate = entry.name;
            recorded = Recorded(entry);
        } else if (entry.kind == EntryKind::Folder && original.size() > from.size() + 1 &&
                   original[from.size()] == '\\' &&
                   text::EqualsNoCase(std::string_view(original).substr(0, from.size()), from)) {
            // A file inside a quarantined folder: the folder's entry covers the whole tree.
            candidate = entry.name + original.substr(from.size());
        } else {
            continue;
        }
        const auto copy = DigestOfFile(files, Folder() + "\\" + candidate);
        if (!copy || (recorded && *copy != *recorded)) continue;
        if (!nowRead) {
            now = DigestOfFile(files, original);
            nowRead = true;
        }
        // A file that cannot be read any more (held by another program) is judged by its
        // entry alone; that needs an entry of its own.
        if (now ? *copy != *now : !recorded) continue;
        return candidate;
    }
    return std::nullopt;
}

// A restore never overwrites and never creates a folder that has gone.
std::optional<RestoreOutcome> QuarantineStore::RefusedTarget(const std::string& target) const {
    platform::FileSystem& files = platform_.files;
    if (files.Attributes(target)) {
        return Outcome(RestoreStatus::TargetExists, Text("MSG_RESTORE_EXISTS", target));
    }
    const std::string parent = text::ParentFolderOf(target);
    if (parent.empty() || !defs::FolderExists(files, parent)) {
        return Outcome(RestoreStatus::FolderGone,
                       Text("MSG_RESTORE_FOLDER_GONE", parent.empty() ? target : parent));
    }
    return std::nullopt;
}

RestoreOutcome QuarantineStore::RestoreFile(const QuarantineEntry& entry) {
    platform::FileSystem& files = platform_.files;
    const std::string& target = entry.original;
    if (auto refused = RefusedTarget(target)) return *std::move(refused);
    const std::string copy = Folder() + "\\" + entry.name;
    if (DigestOfFile(files, copy) != Recorded(entry)) {
        return Outcome(RestoreStatus::DamagedCopy, Text("MSG_RESTORE_DAMAGED_COPY", entry.name));
    }
    if (!files.CopyFile(copy, target)) {
        return Outcome(RestoreStatus::Failed, Text("MSG_RESTORE_NOT_WRITTEN", target));
    }
    if (DigestOfFile(files, target) != Recorded(entry)) {
        files.DeleteFile(target);
        return Outcome(RestoreStatus::Failed, Text("MSG_RESTORE_CAME_OUT_DAMAGED", target));
    }
    return Outcome(RestoreStatus::Restored, Text("MSG_RESTORED", target));
}

RestoreOutcome QuarantineStore::RestoreFolder(const QuarantineEntry& entry) {
    platform::FileSystem& files = platform_.files;
    const std::string target = WithoutTrailingBackslashes(entry.original);
    if (auto refused = RefusedTarget(target)) return *std::move(refused);
    const std::string copy = Folder() + "\\" + entry.name;
    if (DigestOfTree(files, copy) != Recorded(entry)) {
        return Outcome(RestoreStatus::DamagedCopy, Text("MSG_RESTORE_DAMAGED_COPY", entry.name));
    }
    if (!files.CreateFolder(target)) {
        return Outcome(RestoreStatus::Failed, Text("MSG_RESTORE_NOT_CREATED", target));
    }
    const auto digest = CopyTree(copy, target);
    if (!digest || *digest != Recorded(entry)) {
        files.DeleteFolderTree(target);
        return Outcome(RestoreStatus::Failed, Text("MSG_RESTORE_NOT_WHOLE", target));
    }
    return Outcome(RestoreStatus::Restored, Text("MSG_RESTORED", target));
}

RestoreOutcome QuarantineStore::RestoreRegistry(const QuarantineEntry& entry) {
    using Status = platform::RegistryRead::Status;
    platform::Registry& registry = platform_.registry;
    const std::string shown = Shown(entry);
    const auto slash = entry.original.find('\\');
    const auto root = RootOfHiveName(std::string_view(entry.original).substr(0, slash));
    const std::string key =
        slash == std::string::npos ? std::string() : entry.original.substr(slash + 1);
    if (!root || text::TrimView(key).empty()) {
        return Outcome(RestoreStatus::Failed, Text("MSG_RESTORE_NO_KEY", shown));
    }
    const auto present = [&] {
        const Status status = registry.ReadValue(*root, key, entry.value.value_or("")).status;
        return entry.value ? status != Status::NoKey && status != Status::NoValue
                           : status != Status::NoKey;
    };
    const auto exists = [&] {
        return Outcome(RestoreStatus::TargetExists, Text("MSG_RESTORE_EXISTS", shown));
    };
    // A single value comes back only where there is none. A whole key may come back into a
    // key that is there again — the removal of a key row backs up its default value and then
    // the rest of the key, and the two backups are restored in either order — and the import
    // refuses it as a whole when any value it holds exists with other data.
    if (entry.value && present()) return exists();
    const auto bytes =
        ReadSmallFile(platform_.files, Folder() + "\\" + entry.name, kMaxRegBackupBytes);
    if (!bytes || DigestOfBytes(*bytes) != Recorded(entry)) {
        return Outcome(RestoreStatus::DamagedCopy, Text("MSG_RESTORE_DAMAGED_BACKUP", entry.name));
    }
    const platform::ImportResult imported = registry.ImportRegistryFile(*bytes);
    if (imported == platform::ImportResult::Conflict) return exists();
    if (imported != platform::ImportResult::Imported || !present()) {
        return Outcome(RestoreStatus::Failed, Text("MSG_RESTORE_NOT_IMPORTED", entry.name));
    }
    return Outcome(RestoreStatus::Restored, Text("MSG_RESTORED", shown));
}

RestoreOutcome QuarantineStore::Restore(const std::string& nameInQuarantine) {
    Manifest manifest = ReadManifest();
    if (manifest.status == Manifest::Status::Missing) {
        return Outcome(RestoreStatus::NoManifest, Text("MSG_RESTORE_NO_MANIFEST", ManifestPath()));
    }
    if (manifest.status == Manifest::Status::Damaged) {
        return Outcome(RestoreStatus::DamagedManifest,
                       Text("MSG_RESTORE_BAD_MANIFEST", ManifestPath()));
    }
    std::size_t found = manifest.entries.size();
    bool restoredBefore = false;
    for (std::size_t i = 0; i < manifest.entries.size(); ++i) {
        if (!text::EqualsNoCase(manifest.entries[i].name, nameInQuarantine)) continue;
        if (manifest.entries[i].restored) {
            restoredBefore = true;
        } else {
            found = i;
        }
    }
    // By the item's own name: a file removed again after a restore has its newer copy under a
    // numbered name ("again (2).exe"), and the user asks for it by the name it had.
    for (std::size_t i = manifest.entries.size(); found == manifest.entries.size() && i-- > 0;) {
        const QuarantineEntry& entry = manifest.entries[i];
        if (!entry.restored && entry.kind != EntryKind::Registry &&
            text::EqualsNoCase(LastComponent(entry.original), nameInQuarantine)) {
            found = i;
        }
    }
    if (found == manifest.entries.size()) {
        if (restoredBefore) {
            return Outcome(RestoreStatus::AlreadyRestored,
                           Text("MSG_RESTORE_ALREADY", nameInQuarantine));
        }
        return Outcome(RestoreStatus::UnknownName, Text("MSG_RESTORE_UNKNOWN", nameInQuarantine));
    }
    QuarantineEntry& entry = manifest.entries[found];
    RestoreOutcome outcome = entry.kind == EntryKind::Registry ? RestoreRegistry(entry)
                             : entry.kind == EntryKind::Folder ? RestoreFolder(entry)
                                                               : RestoreFile(entry);
    if (!outcome.restored()) return outcome;
    // The copy stays; its entry says it is back, so it is neither offered again nor taken for
    // the backup of a later removal.
    entry.restored = true;
    // A copy that was restored backs up nothing any more: the next removal of the same file
    // makes a copy of its own instead of taking this one again.
    madeCopies_.clear();
    std::string rewritten = ManifestHeader() + "\r\n";
    for (const auto& e : manifest.entries)
        rewritten += FormatEntry(e);
    if (!platform_.files.WriteWholeFile(ManifestPath(), rewritten)) {
        outcome.message += " " + Text("MSG_RESTORE_MANIFEST_STALE", "");
    }
    manifestReady_ = false;
    return outcome;
}

std::string QuarantineStore::Text(const char* key, const std::string& item) const {
    static const i18n::MessageCatalogue builtIn = [] {
        i18n::MessageCatalogue catalogue;
        i18n::LoadDefaultMessages(catalogue);
        return catalogue;
    }();
    return i18n::WithItem((messages_ ? *messages_ : builtIn).getMessages(key), item);
}

void QuarantineStore::ViewQuarantine() {
    platform_.files.CreateFolder(Folder());
    platform_.launcher.Run("explorer " + Folder());
}

}  // namespace qm::removal
