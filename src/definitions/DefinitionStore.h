#pragma once
// Everything the program knows about the installed definitions and the user's exclusions: the
// definition files in the DataFolder with their signature counts, the protected locations,
// the in-memory file and folder tables and the exclusion list. The scans read it; start-up
// fills it, and a definition update reloads it.

#include <string>
#include <string_view>

#include "definitions/DefinitionFiles.h"
#include "definitions/DefinitionSet.h"
#include "definitions/ExclusionList.h"
#include "definitions/LoadControl.h"
#include "definitions/SafetyList.h"
#include "platform/FileSystem.h"

namespace qm::defs {

class PathTokenExpander;

class DefinitionStore {
  public:
    DefinitionStore(platform::FileSystem& files, std::string dataFolder);

    const std::string& DataFolder() const { return files_.DataFolder(); }
    DefinitionFiles& Files() { return files_; }
    const DefinitionFiles& Files() const { return files_; }

    // Start-up's part: a replacement of the set that a run ended part way is finished (or its
    // scratch files deleted), downloaded copies replace the installed files, the signatures
    // are counted, and the in-memory tables are dropped.
    void InstallAndCount();
    // After an update: the signatures counted again and the tables dropped, so that the next
    // scan that needs them reads the new files. Downloaded copies are left for the next start:
    // one that appeared meanwhile would otherwise replace the file just merged.
    void Recount();
    const SignatureCounts& Counts() const { return counts_; }
    void SetCounts(const SignatureCounts& counts) { counts_ = counts; }

    // The protected locations, rebuilt from "Safety.dat" for every scan.
    void RebuildSafetyList(const PathTokenExpander& tokens, const std::string& driveRoot,
                           LoadControl& control);
    const SafetyList& Safety() const { return safety_; }

    // The file and folder tables, read at most once until the next InstallAndCount.
    void LoadDefinitions(const PathTokenExpander& tokens, LoadControl& control);
    bool DefinitionsLoaded() const { return definitions_.Loaded(); }
    const DefinitionSet& Definitions() const { return definitions_; }

    std::string ExclusionFilePath() const { return files_.PathOf(kExclusionFile); }
    void LoadExclusions(LoadControl& control);
    // Appends one entry to "ENoSignature.dat" and reloads the list; false when not written.
    bool AddExclusion(std::string_view entry, LoadControl& control);
    const ExclusionList& Exclusions() const { return exclusions_; }

  private:
    platform::FileSystem& fs_;
    DefinitionFiles files_;
    SignatureCounts counts_;
    SafetyList safety_;
    DefinitionSet definitions_;
    ExclusionList exclusions_;
};

}  // namespace qm::defs
