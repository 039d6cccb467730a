// The registry phase: every entry of "RegistryDefinition.dat" names a key or a value; one that
// exists on this machine, and is neither protected nor excluded, is a Detection and is queued
// for removal.

#include <cstdlib>

#include "definitions/PathTokens.h"
#include "definitions/Records.h"
#include "scan/ScanSession.h"
#include "text/Text.h"

namespace qm::scan {

std::optional<Hive> HiveFromCode(std::string_view code) {
    // Code 4 and 5 skip the performance-data root: it is never named by a definition.
    constexpr std::uint32_t kRoots[] = {
        platform::root::kClassesRoot, platform::root::kCurrentUser,   platform::root::kLocalMachine,
        platform::root::kUsers,       platform::root::kCurrentConfig, platform::root::kDynData};
    const auto n = defs::HiveCodeNumber(code);
    if (!n) return std::nullopt;
    return Hive{kRoots[*n], defs::RootKeyName(code)};
}

std::string SignedRootText(std::uint32_t root) {
    return std::to_string(static_cast<std::int32_t>(root));
}

namespace {

bool ValueExists(platform::Registry& registry, std::uint32_t root, const std::string& key,
                 const std::string& value) {
    // Strings and 32-bit numbers only: a binary or multi-string value counts as absent.
    const auto read = registry.ReadValueAs(root, key, value, platform::RegistryAccess::Change);
    using Type = platform::RegistryValueType;
    return read.status == platform::RegistryRead::Status::Ok &&
           (read.type == Type::String || read.type == Type::ExpandString ||
            read.type == Type::Number);
}

}  // namespace

void ScanSession::ReportRegistryHit(const Hive& hive, const std::string& key,
                                    const std::string& value, const std::string& location,
                                    const std::string& threatName, const std::string& category) {
    ui::ListItem& work = form_.lvwRegistryToBeDeleted.Add(SignedRootText(hive.root));
    work.SetSubItem(1, key);
    work.SetSubItem(2, value);
    work.SetSubItem(3, threatName);
    form_.lbltracesFound.caption =
        std::to_string(std::atoll(form_.lbltracesFound.caption.c_str()) + 1);
    const bool unnamed = text::TrimView(threatName).empty();
    if (unnamed && !value.empty()) return;  // queued, but neither shown nor counted
    ui::ListItem& result = form_.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.Add(
        unnamed ? key : threatName, ui::detection::kRegistry);
    result.SetSubItem(1, location);
    if (!unnamed && !category.empty()) result.SetSubItem(2, category);
    form_.lvwSpywareFound
        .Add(unnamed ? "RegKey " + key : threatName, unnamed ? 0 : ui::detection::kRegistry)
        .SetSubItem(1, location);
    ++counters_.itemsFound;
}

void ScanSession::ScanRegistry() {
    const std::string driveRoot = defs::SystemDriveRoot(services_.platform.shell);
    const defs::PathTokenExpander tokens(services_.platform.shell);
    platform::Registry& registry = services_.platform.registry;
    ForEachSignature(defs::file::kRegistry, [&](const std::string& line) {
        const auto record = defs::SplitRegistryRecord(line);
        if (!record) return;
        const std::string left =
            tokens.Expand(text::ReplaceAll(record->keySpec, "[drive]", driveRoot));
        const auto fields = text::Split(left, '^');
        // Fewer than three fields name neither a key nor a value.
        if (fields.size() < 3) return;
        const auto hive = HiveFromCode(fields[0]);
        if (!hive) return;
        const std::string key(fields[1]);
        const std::string value = text::ReduceDoubleBackslashes(fields[2]);

        ++counters_.registryInspected;
        ProgressUpdateLazy(
            [&] { return phaseLabel_ + "\r\n" + text::Lower(key + "\\" + std::string(fields[2])); },
            Percent(static_cast<double>(counters_.registryInspected),
                    static_cast<double>(Signatures().registry)),
            Percent(static_cast<double>(counters_.registryInspected + Signatures().cookies +
                                        Signatures().programs),
                    static_cast<double>(Signatures().Total())));

        const std::string keyLocation = hive->name + "\\" + key;
        const std::string location = keyLocation + value;
        const bool exists = value.empty() ? registry.KeyOpens(hive->root, text::Trim(key),
                                                              platform::RegistryAccess::Change)
                                          : ValueExists(registry, hive->root, key, value);
        if (!exists || store_.Safety().IsSafeLocation(location)) return;
        if (Exclusions().IsExcluded(location) || Exclusions().IsExcluded(keyLocation)) {
            ReportExcluded(location);
            return;
        }
        ReportRegistryHit(*hive, key, value, location, record->threatName, record->category);
    });
}

}  // namespace qm::scan
