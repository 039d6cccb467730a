#include "definitions/DefinitionStore.h"

#include "definitions/MergeJournal.h"
#include "definitions/PathTokens.h"

namespace qm::defs {

DefinitionStore::DefinitionStore(platform::FileSystem& files, std::string dataFolder)
    : fs_(files), files_(files, std::move(dataFolder)) {}

void DefinitionStore::InstallAndCount() {
    FinishInterruptedReplacement(fs_, files_.DataFolder());
    files_.InstallDownloadedDefinitions();
    Recount();
}

void DefinitionStore::Recount() {
    counts_ = files_.CountDefinitions();
    definitions_ = DefinitionSet{};
}

void DefinitionStore::RebuildSafetyList(const PathTokenExpander& tokens,
                                        const std::string& driveRoot, LoadControl& control) {
    safety_ = LoadSafetyList(files_, fs_, tokens, driveRoot, control);
}

void DefinitionStore::LoadDefinitions(const PathTokenExpander& tokens, LoadControl& control) {
    definitions_.Load(files_, fs_, tokens, safety_, control);
}

void DefinitionStore::LoadExclusions(LoadControl& control) {
    exclusions_.Load(fs_, ExclusionFilePath(), control);
}

bool DefinitionStore::AddExclusion(std::string_view entry, LoadControl& control) {
    return exclusions_.Add(fs_, ExclusionFilePath(), entry, control);
}

}  // namespace qm::defs
