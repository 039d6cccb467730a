#include "removal/QuarantineStore.h"

#include "definitions/DefinitionFiles.h"
#include "definitions/Text.h"

namespace qm::removal {

namespace {

// How often a deletion is tried: another program may hold the file for a moment.
constexpr int kDeleteRounds = 8;

std::string LastComponent(const std::string& path) {
    std::string_view p = path;
    while (!p.empty() && p.back() == '\\')
        p.remove_suffix(1);
    const auto slash = p.rfind('\\');
    return std::string(slash == std::string_view::npos ? p : p.substr(slash + 1));
}

// "name (n).ext": the n-th copy of a name already taken.
std::string NumberedName(const std::string& name, int n) {
    const auto dot = name.rfind('.');
    const std::string suffix = " (" + std::to_string(n) + ")";
    if (dot == std::string::npos || dot == 0) return name + suffix;
    return name.substr(0, dot) + suffix + name.substr(dot);
}

}  // namespace

std::string QuarantineStore::CopyIn(const std::string& path, const std::string& name) {
    platform::FileSystem& files = platform_.files;
    files.CreateFolder(Folder());
    for (int n = 1; n < 1000; ++n) {
        const std::string copyName = n == 1 ? name : NumberedName(name, n);
        const std::string target = Folder() + "\\" + copyName;
        if (files.Attributes(target)) continue;  // taken by an earlier removal
        return files.CopyFile(path, target) ? copyName : std::string();
    }
    return {};
}

void QuarantineStore::LogFileRecord(const std::string& path, const std::string& name) {
    if (!logging) return;
    platform_.files.CreateFolder(Folder());
    platform_.files.AppendToFile(LogPath(), platform_.clock.NowText() + " - File: " + name +
                                                "\r\n - Location: " + path + "\r\n\r\n\r\n");
}

void QuarantineStore::LogRegistryRecord(const std::string& keyPath, const std::string& valueName) {
    if (!logging) return;
    platform_.files.CreateFolder(Folder());
    platform_.files.AppendToFile(LogPath(), platform_.clock.NowText() + " - Key: " + keyPath +
                                                "\r\nValue: " + valueName + "\r\n\r\n\r\n");
}

bool QuarantineStore::WriteRegBackup(const std::string& backupName, const std::string& fileBytes) {
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
    files.CreateFolder(Folder());
    for (int n = 1; n < 1000; ++n) {
        const std::string file =
            Folder() + "\\" + (n == 1 ? name : name + " (" + std::to_string(n) + ")") + ".reg";
        if (files.Attributes(file)) continue;
        return files.WriteWholeFile(file, fileBytes);
    }
    return false;
}

bool QuarantineStore::QuarantineFile(const std::string& path, const std::string& name) {
    platform::FileSystem& files = platform_.files;
    if (!defs::PlainFileExists(files, path) || !text::EqualsNoCase(LastComponent(path), name)) {
        return false;
    }
    bool copied = false;
    for (int round = 0; round < kDeleteRounds; ++round) {
        if (!defs::PlainFileExists(files, path)) break;
        if (!copied) {
            const std::string copyName = CopyIn(path, name);
            copied = !copyName.empty();
            if (copied) LogFileRecord(path, copyName);
        }
        // Without its copy the file stays: the removal run lists it as not removed.
        if (copied) files.DeleteFile(path);
        events_.LetEventsRun();
    }
    return copied;
}

bool QuarantineStore::QuarantineItem(const std::string& path) {
    platform::FileSystem& files = platform_.files;
    if (path.find('\\') == std::string::npos) return false;
    const bool isFile = defs::PlainFileExists(files, path);
    const bool isFolder = !isFile && defs::FolderExists(files, path);
    if (!isFile && !isFolder) return false;
    const std::string name = LastComponent(path);
    if (isFolder) {
        std::string source = path;
        if (!source.empty() && source.back() == '\\') source.pop_back();
        if (!CopyFolder(source, Folder() + "\\" + name)) return false;
        files.DeleteFolderTree(source);
        return true;
    }
    const std::string copyName = CopyIn(path, name);
    if (copyName.empty()) return false;
    LogFileRecord(path, copyName);
    for (int round = 0; round < kDeleteRounds; ++round) {
        if (files.DeleteFile(path) || !files.Attributes(path)) break;
        events_.LetEventsRun();
    }
    return true;
}

bool QuarantineStore::QuarantineCookie(const std::string& path) {
    const std::string name = LastComponent(path);
    const std::string copyName = CopyIn(path, name);
    if (copyName.empty()) return false;
    LogFileRecord(path, copyName);
    platform_.files.DeleteFile(path);
    return true;
}

bool QuarantineStore::CopyFolder(const std::string& from, const std::string& to) {
    // A folder of an earlier removal with the same name is added to, file by file; a file
    // name that is taken there gets a numbered name rather than replacing the older copy.
    platform::FileSystem& files = platform_.files;
    if (!files.CreateFolder(to)) return false;
    bool whole = true;
    for (const auto& entry : files.ListFolder(from)) {
        const std::string source = from + "\\" + entry.name;
        if (entry.attributes & platform::attr::kDirectory) {
            whole = CopyFolder(source, to + "\\" + entry.name) && whole;
            continue;
        }
        bool copied = false;
        for (int n = 1; n < 1000 && !copied; ++n) {
            const std::string target =
                to + "\\" + (n == 1 ? entry.name : NumberedName(entry.name, n));
            if (files.Attributes(target)) continue;
            copied = files.CopyFile(source, target);
            if (!copied) break;
        }
        whole = copied && whole;
        events_.LetEventsRun();
    }
    return whole;
}

void QuarantineStore::ViewQuarantine() {
    platform_.files.CreateFolder(Folder());
    platform_.launcher.Run("explorer " + Folder());
}

}  // namespace qm::removal
