#include "support/FakePlatform.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "definitions/LineScramble.h"
#include "platform/RegFile.h"
#include "text/Text.h"

namespace qm::test {

namespace {

class StringReader final : public platform::ByteReader {
  public:
    explicit StringReader(std::string data) : data_(std::move(data)) {}
    std::size_t Read(char* buffer, std::size_t size) override {
        const std::size_t n = std::min(size, data_.size() - pos_);
        if (n > 0) std::memcpy(buffer, data_.data() + pos_, n);
        pos_ += n;
        return n;
    }
    bool Skip(std::uint64_t bytes) override {
        const std::size_t left = data_.size() - pos_;
        pos_ += bytes < left ? static_cast<std::size_t>(bytes) : left;
        return bytes <= left;
    }

  private:
    std::string data_;
    std::size_t pos_ = 0;
};

std::string ParentOf(const std::string& key) {
    const auto slash = key.rfind('\\');
    return slash == std::string::npos ? std::string() : key.substr(0, slash);
}

}  // namespace

std::string FakeFileSystem::KeyOf(const std::string& path) {
    std::string key = text::Lower(text::ReduceDoubleBackslashes(path));
    std::replace(key.begin(), key.end(), '/', '\\');
    // A drive root "c:\\" is the key "c:", the parent of everything on the drive.
    while (key.size() > 2 && key.back() == '\\')
        key.pop_back();
    return key;
}

void FakeFileSystem::PutFile(const std::string& path, std::string content,
                             std::uint32_t attributes) {
    nodes_[KeyOf(path)] = Node{path, attributes, std::move(content)};
}

void FakeFileSystem::PutFolder(const std::string& path, std::uint32_t attributes) {
    nodes_[KeyOf(path)] = Node{path, attributes | platform::attr::kDirectory, {}};
}

std::optional<std::string> FakeFileSystem::Content(const std::string& path) const {
    const auto it = nodes_.find(KeyOf(path));
    if (it == nodes_.end()) return std::nullopt;
    return it->second.content;
}

bool FakeFileSystem::Has(const std::string& path) const {
    return nodes_.count(KeyOf(path)) != 0;
}

std::optional<std::uint32_t> FakeFileSystem::Attributes(const std::string& path) {
    const auto it = nodes_.find(KeyOf(path));
    if (it == nodes_.end()) return std::nullopt;
    return it->second.attributes;
}

std::vector<platform::DirEntry> FakeFileSystem::ListFolder(const std::string& folder) {
    std::vector<platform::DirEntry> entries;
    const std::string parent = KeyOf(folder);
    for (const auto& [key, node] : nodes_) {
        if (ParentOf(key) != parent) continue;
        const auto slash = node.path.find_last_of("\\/");
        const bool unnamed = std::any_of(nameless.begin(), nameless.end(),
                                         [&](const std::string& p) { return KeyOf(p) == key; });
        if (unnamed) {
            entries.push_back({std::string(), node.attributes, true});
            continue;
        }
        entries.push_back({node.path.substr(slash + 1), node.attributes});
    }
    return entries;
}

std::unique_ptr<platform::ByteReader> FakeFileSystem::OpenForReading(const std::string& path) {
    const auto it = nodes_.find(KeyOf(path));
    if (it == nodes_.end() || (it->second.attributes & platform::attr::kDirectory)) return nullptr;
    ++openCount;
    ++opensOf[KeyOf(path)];
    return std::make_unique<StringReader>(it->second.content);
}

bool FakeFileSystem::WriteWholeFile(const std::string& path, const std::string& bytes) {
    if (failWrites) return false;
    auto& node = nodes_[KeyOf(path)];
    if (node.path.empty()) node.path = path;
    node.content = bytes;
    return true;
}

void FakeFileSystem::RemoveTree(const std::string& folder) {
    const std::string key = KeyOf(folder);
    std::erase_if(nodes_, [&](const auto& entry) {
        return entry.first == key || entry.first.rfind(key + "\\", 0) == 0;
    });
}

bool FakeFileSystem::DeleteFile(const std::string& path) {
    const auto it = nodes_.find(KeyOf(path));
    if (it == nodes_.end() || (it->second.attributes & platform::attr::kDirectory)) return false;
    for (const auto& held : failDeletesOf) {
        if (KeyOf(held) == it->first) return false;
    }
    onDisk_.erase(it->first);  // the system's journal keeps a deletion
    nodes_.erase(it);
    return true;
}

bool FakeFileSystem::RenameFile(const std::string& from, const std::string& to) {
    if (Has(to) || !Has(from)) return false;
    return MoveReplacing(from, to);
}

bool FakeFileSystem::MoveReplacing(const std::string& from, const std::string& to) {
    if (failMoves || movesLeft == 0) return false;
    if (movesLeft > 0) --movesLeft;
    const auto it = nodes_.find(KeyOf(from));
    if (it == nodes_.end()) return false;
    Node node = it->second;
    node.path = to;
    nodes_.erase(it);
    nodes_[KeyOf(to)] = std::move(node);
    return true;
}

bool FakeFileSystem::CopyFile(const std::string& from, const std::string& to) {
    const auto it = nodes_.find(KeyOf(from));
    if (failWrites || it == nodes_.end() || Has(to) ||
        (it->second.attributes & platform::attr::kDirectory) || !Has(ParentOf(KeyOf(to)))) {
        return false;
    }
    for (const auto& locked : failCopiesOf) {
        if (KeyOf(locked) == KeyOf(from)) return false;
    }
    Node copy = it->second;
    copy.path = to;
    Unflushed(KeyOf(to));
    nodes_[KeyOf(to)] = std::move(copy);
    return true;
}

bool FakeFileSystem::CopyFileReadingBoth(const std::string& from, const std::string& to,
                                         platform::ByteSink& original, platform::ByteSink& copied) {
    if (!FileSystem::CopyFileReadingBoth(from, to, original, copied)) return false;
    Flushed(KeyOf(to));
    return true;
}

std::unique_ptr<platform::Appender> FakeFileSystem::OpenForAppending(const std::string& path) {
    struct FakeAppender final : platform::Appender {
        FakeFileSystem& files;
        std::string path;
        FakeAppender(FakeFileSystem& f, std::string p) : files(f), path(std::move(p)) {}
        bool Append(std::string_view bytes) override {
            return files.AppendToFile(path, std::string(bytes));
        }
        bool Flush() override {
            files.Flushed(KeyOf(path));
            return true;
        }
    };
    if (failWrites) return nullptr;
    return std::make_unique<FakeAppender>(*this, path);
}

void FakeFileSystem::Unflushed(const std::string& key) {
    if (onDisk_.contains(key)) return;
    const auto it = nodes_.find(key);
    onDisk_[key] = it == nodes_.end() ? std::nullopt : std::optional<Node>(it->second);
}

void FakeFileSystem::PowerCut() {
    for (auto& [key, node] : onDisk_) {
        if (node) {
            nodes_[key] = *node;
        } else {
            nodes_.erase(key);
        }
    }
    onDisk_.clear();
}

bool FakeFileSystem::AppendToFile(const std::string& path, const std::string& bytes) {
    if (failWrites) return false;
    Unflushed(KeyOf(path));
    auto& node = nodes_[KeyOf(path)];
    if (node.path.empty()) node.path = path;
    node.content += bytes;
    return true;
}

bool FakeFileSystem::DeleteFolderTree(const std::string& folder) {
    RemoveTree(folder);
    return !Has(folder);
}

bool FakeFileSystem::CreateFolder(const std::string& folder) {
    std::string key = KeyOf(folder);
    while (!key.empty() && key.size() > 2) {
        if (!nodes_.count(key)) nodes_[key] = Node{key, platform::attr::kDirectory, {}};
        key = ParentOf(key);
    }
    return true;
}

FakeShellFolders::FakeShellFolders() {
    const std::string user = "C:\\users\\tester";
    folders = {
        {2, user + "\\Start Menu\\Programs"},
        {5, user + "\\Documents"},
        {11, user + "\\Start Menu"},
        {16, user + "\\Desktop"},
        {22, "C:\\ProgramData\\Start Menu"},
        {25, "C:\\users\\Public\\Desktop"},
        {26, user + "\\AppData\\Roaming"},
        {33, user + "\\AppData\\Local\\Microsoft\\Windows\\INetCookies"},
        {35, "C:\\ProgramData"},
        {36, "C:\\windows"},
        {37, "C:\\windows\\system32"},
        {38, "C:\\Program Files"},
    };
}

std::optional<std::string> FakeShellFolders::SpecialFolder(int csidl) {
    ++lookups;
    const auto it = folders.find(csidl);
    if (it == folders.end()) return std::nullopt;
    return it->second;
}

std::optional<std::string> FakeShellFolders::SpecialFolderByIdList(int csidl) {
    return SpecialFolder(csidl);
}

ui::MessageAnswer ScriptedPrompts::ShowMessage(const std::string& text, const std::string& title,
                                               ui::MessageButtons buttons, ui::MessageIcon icon) {
    shown.push_back({text, title, buttons, icon});
    if (whileShowing) whileShowing();
    if (!answers.empty()) {
        const auto a = answers.front();
        answers.pop_front();
        return a;
    }
    return buttons == ui::MessageButtons::YesNo ? ui::MessageAnswer::No : ui::MessageAnswer::Ok;
}

bool FakeDrives::VolumeReadable(const std::string& root) {
    const std::string key = text::Lower(root);
    for (const auto& r : unreadableRoots) {
        if (r == key) return false;
    }
    for (const auto& d : drives) {
        if (text::Lower(d.letter) + ":\\" == key) return true;
    }
    return false;
}

std::string FakeRegistry::KeyOf(std::uint32_t root, const std::string& keyPath) {
    std::string path = text::Lower(keyPath);
    while (!path.empty() && path.back() == '\\')
        path.pop_back();
    return std::to_string(root) + "\\" + path;
}

void FakeRegistry::PutKey(std::uint32_t root, const std::string& keyPath) {
    keys_[KeyOf(root, keyPath)];
    written_.push_back(KeyOf(root, keyPath));
}

void FakeRegistry::Put(std::uint32_t root, const std::string& keyPath, const std::string& name,
                       Value value) {
    keys_[KeyOf(root, keyPath)][text::Lower(name)] = std::move(value);
    written_.push_back(KeyOf(root, keyPath));
}

namespace {

class FakeRegistryWatch final : public platform::RegistryWatch {
  public:
    FakeRegistryWatch(const std::vector<std::string>& written, std::string key)
        : written_(written), key_(std::move(key)), seen_(written.size()) {}
    bool Changed() override {
        bool changed = false;
        for (; seen_ < written_.size(); ++seen_) {
            const std::string& w = written_[seen_];
            changed =
                changed || w == key_ || w.starts_with(key_ + "\\") || key_.starts_with(w + "\\");
        }
        return changed;
    }

  private:
    const std::vector<std::string>& written_;
    std::string key_;
    std::size_t seen_;
};

}  // namespace

std::unique_ptr<platform::RegistryWatch> FakeRegistry::WatchKeyTree(std::uint32_t root,
                                                                    const std::string& keyPath) {
    if (failWatches) return nullptr;
    return std::make_unique<FakeRegistryWatch>(written_, KeyOf(root, keyPath));
}

std::optional<FakeRegistry::Value> FakeRegistry::Get(std::uint32_t root, const std::string& keyPath,
                                                     const std::string& name) const {
    const auto key = keys_.find(KeyOf(root, keyPath));
    if (key == keys_.end()) return std::nullopt;
    const auto value = key->second.find(text::Lower(name));
    if (value == key->second.end()) return std::nullopt;
    return value->second;
}

bool FakeRegistry::KeyOpens(std::uint32_t root, const std::string& keyPath,
                            platform::RegistryAccess access) {
    ++opens;
    const std::string key = KeyOf(root, keyPath);
    if (!keys_.contains(key)) return false;
    for (const auto& denied : deniedKeys) {
        if (KeyOf(root, denied) == key) return false;
    }
    if (access == platform::RegistryAccess::Change) {
        for (const auto& readOnly : readOnlyKeys) {
            if (KeyOf(root, readOnly) == key) return false;
        }
    }
    return true;
}

platform::RegistryRead FakeRegistry::ReadValueAs(std::uint32_t root, const std::string& keyPath,
                                                 const std::string& valueName,
                                                 platform::RegistryAccess access) {
    using Status = platform::RegistryRead::Status;
    platform::RegistryRead read;
    const std::string key = KeyOf(root, keyPath);
    const auto found = keys_.find(key);
    if (!KeyOpens(root, keyPath, access)) {
        read.status = found == keys_.end() ? Status::NoKey : Status::KeyDenied;
        return read;
    }
    const auto value = found->second.find(text::Lower(valueName));
    if (value == found->second.end()) {
        read.status = Status::NoValue;
        return read;
    }
    read.status = Status::Ok;
    read.type = value->second.type;
    read.text = value->second.text;
    read.number = value->second.number;
    return read;
}

bool FakeRegistry::WriteString(std::uint32_t root, const std::string& keyPath,
                               const std::string& valueName, const std::string& value) {
    if (failWritesLeft > 0) {
        --failWritesLeft;
        return false;
    }
    for (auto r : readOnlyRoots) {
        if (r == root) return false;
    }
    Put(root, keyPath, valueName, Value{platform::RegistryValueType::String, value, 0});
    return true;
}

bool FakeRegistry::DeleteKeyTree(std::uint32_t root, const std::string& keyPath) {
    for (auto r : readOnlyRoots) {
        if (r == root) return false;
    }
    const std::string key = KeyOf(root, keyPath);
    written_.push_back(key);
    return std::erase_if(keys_, [&](const auto& entry) {
               return entry.first == key || entry.first.rfind(key + "\\", 0) == 0;
           }) > 0;
}

namespace {

std::u16string Widened(std::string_view ansi) {
    std::u16string wide;
    for (char c : ansi)
        wide += static_cast<char16_t>(static_cast<unsigned char>(c));
    return wide;
}

// Nothing for text with a unit no ANSI byte widens to.
std::optional<std::string> Narrowed(std::u16string_view wide) {
    std::string ansi;
    for (char16_t c : wide) {
        if (c > 0xFF) return std::nullopt;
        ansi += static_cast<char>(c);
    }
    return ansi;
}

platform::regfile::Value FileValue(const std::string& name, const FakeRegistry::Value& value) {
    namespace type = platform::regfile::type;
    platform::regfile::Value out{Widened(name), type::kBinary, value.text};
    switch (value.type) {
        case platform::RegistryValueType::String:
        case platform::RegistryValueType::ExpandString:
            out.type = value.type == platform::RegistryValueType::String ? type::kString
                                                                         : type::kExpandString;
            out.data.clear();
            for (char c : value.text + '\0') {
                out.data += c;
                out.data += '\0';
            }
            break;
        case platform::RegistryValueType::Number:
            out.type = type::kDword;
            out.data.clear();
            for (int shift = 0; shift < 32; shift += 8)
                out.data += static_cast<char>((value.number >> shift) & 0xFF);
            break;
        case platform::RegistryValueType::Other:
            break;
    }
    return out;
}

// The fake's value for a value of a file; nothing for one it cannot hold.
std::optional<FakeRegistry::Value> HeldValue(const platform::regfile::Value& value) {
    namespace type = platform::regfile::type;
    using platform::RegistryValueType;
    if (value.type == type::kString || value.type == type::kExpandString) {
        const std::string& d = value.data;
        if (d.size() < 2 || d.size() % 2 != 0 || d[d.size() - 2] != '\0' || d.back() != '\0') {
            return std::nullopt;
        }
        std::u16string text;
        for (std::size_t i = 0; i + 2 < d.size(); i += 2) {
            text += static_cast<char16_t>(static_cast<unsigned char>(d[i]) |
                                          static_cast<unsigned char>(d[i + 1]) << 8);
        }
        const auto ansi = Narrowed(text);
        if (!ansi) return std::nullopt;
        return FakeRegistry::Value{value.type == type::kString ? RegistryValueType::String
                                                               : RegistryValueType::ExpandString,
                                   *ansi, 0};
    }
    if (value.type == type::kDword && value.data.size() == 4) {
        std::uint32_t number = 0;
        for (int i = 3; i >= 0; --i)
            number =
                number << 8 | static_cast<unsigned char>(value.data[static_cast<std::size_t>(i)]);
        return FakeRegistry::Value{RegistryValueType::Number, {}, number};
    }
    if (value.type == type::kBinary)
        return FakeRegistry::Value{RegistryValueType::Other, value.data, 0};
    return std::nullopt;
}

}  // namespace

std::optional<std::string> FakeRegistry::ExportValue(std::uint32_t root, const std::string& keyPath,
                                                     const std::string& valueName) {
    const auto value = Get(root, keyPath, valueName);
    if (failExports || !value) return std::nullopt;
    return platform::regfile::Format({{root, Widened(keyPath), {FileValue(valueName, *value)}}});
}

std::optional<std::string> FakeRegistry::ExportKey(std::uint32_t root, const std::string& keyPath) {
    const std::string key = KeyOf(root, keyPath);
    if (failExports || !keys_.contains(key)) return std::nullopt;
    std::vector<platform::regfile::Key> keys;
    for (const auto& [path, values] : keys_) {
        if (path != key && path.rfind(key + "\\", 0) != 0) continue;
        keys.push_back({root, Widened(path.substr(path.find('\\') + 1)), {}});
        for (const auto& [name, value] : values)
            keys.back().values.push_back(FileValue(name, value));
    }
    return platform::regfile::Format(keys);
}

bool FakeRegistry::DeleteValue(std::uint32_t root, const std::string& keyPath,
                               const std::string& valueName) {
    for (auto r : readOnlyRoots) {
        if (r == root) return false;
    }
    const auto key = keys_.find(KeyOf(root, keyPath));
    written_.push_back(KeyOf(root, keyPath));
    return key != keys_.end() && key->second.erase(text::Lower(valueName)) > 0;
}

platform::ImportResult FakeRegistry::ImportRegistryFile(const std::string& fileBytes) {
    using platform::ImportResult;
    ++imports;
    const auto keys = platform::regfile::Parse(fileBytes);
    if (!keys) return ImportResult::Unreadable;
    struct Write {
        std::uint32_t root;
        std::string key;
        std::optional<std::pair<std::string, Value>> value;  // nothing: the key alone
    };
    std::vector<Write> writes;
    for (const auto& k : *keys) {
        const auto path = Narrowed(k.path);
        if (!path) return ImportResult::Failed;
        writes.push_back({k.root, *path, std::nullopt});
        for (const auto& v : k.values) {
            const auto name = Narrowed(v.name);
            auto held = HeldValue(v);
            if (!name || !held) return ImportResult::Failed;
            const auto now = Get(k.root, *path, *name);
            if (now && FileValue(*name, *now) != platform::regfile::Value{v.name, v.type, v.data}) {
                return ImportResult::Conflict;
            }
            writes.push_back({k.root, *path, std::pair(*name, std::move(*held))});
        }
    }
    if (failWritesLeft > 0) {
        --failWritesLeft;
        return ImportResult::Failed;
    }
    for (const auto& w : writes) {
        for (auto r : readOnlyRoots) {
            if (r == w.root) return ImportResult::Failed;
        }
    }
    for (const auto& w : writes) {
        if (w.value) {
            Put(w.root, w.key, w.value->first, w.value->second);
        } else {
            PutKey(w.root, w.key);
        }
    }
    return ImportResult::Imported;
}

FakeMachine::FakeMachine() {
    const auto info = version.info;
    messages.SetPlaceholders(info.productName, info.companyName);
    i18n::LoadDefaultMessages(messages);
    files.PutFolder("C:\\");
    files.PutFolder(kDataFolder);
}

void FakeMachine::PutDefinitionFile(const std::string& name,
                                    const std::vector<std::string>& plainLines) {
    std::string bytes;
    for (const auto& l : plainLines)
        bytes += defs::EncodeLine(l) + "\r\n";
    files.PutFile(std::string(kDataFolder) + "\\" + name, bytes);
}

void FakeMachine::PutCompleteDefinitionSet() {
    PutDefinitionFile("FileDefinition.dat", {"bad.exe=Bad Thing|[windir]|Adware"});
    PutDefinitionFile("DirectoryDefinition.dat",
                      {"badfolder=Bad Folder|[progfil]badfolder|Adware"});
    PutDefinitionFile("RegistryDefinition.dat", {"2^SOFTWARE\\Bad^=Bad Key|Adware"});
    PutDefinitionFile("ExeDefinition.dat", {"bad.exe=Bad Thing|[windir]|Adware"});
    PutDefinitionFile("BlockedCookies.dat", {"tracker.example"});
}

}  // namespace qm::test

namespace qm::test {

namespace {

// Days from 1 March of year 0 (the civil calendar's algorithm), shifted to the system's epoch
// of 30 December 1899.
// Civil dates by their date-value day (day 0 is 30 December 1899).
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
    return platform::DaysFromCivil(y, m, d) + platform::kDateValueOfUnixEpoch;
}

void CivilFromDays(long long z, long long& y, unsigned& m, unsigned& d) {
    platform::CivilFromDays(z - platform::kDateValueOfUnixEpoch, y, m, d);
}

}  // namespace

std::optional<double> FakeDates::Parse(const std::string& text) {
    unsigned month = 0, day = 0, year = 0, hour = 0, minute = 0, second = 0;
    if (german) {
        int used = 0;
        const int fields = std::sscanf(text.c_str(), "%u.%u.%u%n %u:%u:%u", &day, &month, &year,
                                       &used, &hour, &minute, &second);
        if (fields < 3 || (fields == 3 && static_cast<std::size_t>(used) != text.size()) ||
            (fields > 3 && fields != 6) || month < 1 || month > 12 || day < 1 || day > 31 ||
            hour > 23 || minute > 59 || second > 59) {
            return {};
        }
        return static_cast<double>(DaysFromCivil(year, month, day)) +
               (hour * 3600 + minute * 60 + second) / 86400.0;
    }
    char marker[3] = {};
    int used = 0;
    // A time alone is that time on the system's day 0, as the system reads it.
    if (std::sscanf(text.c_str(), "%u:%u:%u %2s", &hour, &minute, &second, marker) == 4 &&
        text.find('/') == std::string::npos) {
        const std::string m = marker;
        if ((m != "AM" && m != "PM") || hour < 1 || hour > 12 || minute > 59 || second > 59) {
            return {};
        }
        return ((hour % 12 + (m == "PM" ? 12u : 0u)) * 3600 + minute * 60 + second) / 86400.0;
    }
    const int fields = std::sscanf(text.c_str(), "%u/%u/%u%n %u:%u:%u %2s", &month, &day, &year,
                                   &used, &hour, &minute, &second, marker);
    if (fields < 3 || month < 1 || month > 12 || day < 1 || day > 31 || year < 100) return {};
    if (fields == 3 && static_cast<std::size_t>(used) != text.size()) return {};
    if (fields > 3) {
        const std::string m = marker;
        if (fields != 7 || (m != "AM" && m != "PM") || hour < 1 || hour > 12 || minute > 59 ||
            second > 59) {
            return {};
        }
        hour = hour % 12 + (m == "PM" ? 12 : 0);
    }
    const long long days = DaysFromCivil(year, month, day);
    long long y = 0;
    unsigned m = 0, d = 0;
    CivilFromDays(days, y, m, d);
    if (m != month || d != day) return {};  // 2/30 and the like
    return static_cast<double>(days) + (hour * 3600 + minute * 60 + second) / 86400.0;
}

std::string FakeDates::Format(double date) {
    const auto days = static_cast<long long>(std::floor(date));
    const auto seconds =
        static_cast<long long>(std::llround((date - static_cast<double>(days)) * 86400.0));
    long long y = 0;
    unsigned m = 0, d = 0;
    CivilFromDays(days, y, m, d);
    if (german) {
        std::string text = std::to_string(d) + "." + std::to_string(m) + "." + std::to_string(y);
        if (seconds == 0) return text;
        char time[32];
        std::snprintf(time, sizeof time, " %02lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60,
                      seconds % 60);
        return text + time;
    }
    // Day 0 is no date: the system writes its times alone.
    std::string text =
        days == 0 ? "" : std::to_string(m) + "/" + std::to_string(d) + "/" + std::to_string(y);
    if (seconds == 0) return days == 0 ? "12:00:00 AM" : text;
    const long long h = seconds / 3600, mi = seconds / 60 % 60, s = seconds % 60;
    char time[32];
    std::snprintf(time, sizeof time, "%s%lld:%02lld:%02lld %s", days == 0 ? "" : " ",
                  h % 12 == 0 ? 12 : h % 12, mi, s, h < 12 ? "AM" : "PM");
    return text + time;
}

}  // namespace qm::test

namespace qm::test {

std::string Latin1Encoding::Utf8ToAnsi(std::string_view utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = lead < 0x80         ? 1
                                   : (lead >> 5) == 6  ? 2
                                   : (lead >> 4) == 14 ? 3
                                   : (lead >> 3) == 30 ? 4
                                                       : 0;
        bool valid = length != 0 && i + length <= utf8.size();
        unsigned code = length == 1   ? lead
                        : length == 2 ? lead & 0x1Fu
                        : length == 3 ? lead & 0x0Fu
                                      : lead & 0x07u;
        for (std::size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            valid = (next >> 6) == 2;
            code = (code << 6) | (next & 0x3Fu);
        }
        if (!valid) {
            out += '?';
            ++i;
            continue;
        }
        out += code < 0x100 ? static_cast<char>(code) : '?';
        i += length;
    }
    return out;
}

}  // namespace qm::test

namespace qm::test {

void FakeMachine::InstallUpdateKey(const TestSigningKey& key) {
    files.PutFile(text::FolderOf(version.executablePath) + "\\UpdateKeys.txt",
                  "; the test's key\r\n" + update::KeyLineText(key.Line()) + "\r\n");
}

void FakeMachine::AllowUnsignedDefinitions() {
    registry.Put(
        platform::root::kLocalMachine,
        "SOFTWARE\\" + version.info.companyName + "\\" + version.info.productName + "\\Settings",
        "AllowUnsignedDefinitions", {platform::RegistryValueType::String, "1"});
}

}  // namespace qm::test
