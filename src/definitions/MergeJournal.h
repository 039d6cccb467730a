#pragma once
// The definition set replaced as a whole. An update prepares every new file (and the new date)
// beside the installed ones under a scratch name, then writes a small journal that lists them:
// once the journal is on the disk the new set is decided, and the scratch files are moved over
// the installed ones. A run that ends between two of those moves leaves the journal behind,
// and the next start (or the next update) finishes the moves; a run that ends before the
// journal was written leaves only scratch files, which are deleted. Either way every file is
// old or every file is new, the date with them.

#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace qm::defs {

inline constexpr const char* kMergeJournal = "merge.journal";
inline constexpr const char* kScratchSuffix = ".merge";
// The scratch file of the rewrite an earlier version used.
inline constexpr const char* kOldMergeScratch = "temp.dat";

// The scratch name under which a file's new content waits: "<name>.merge".
std::string ScratchNameOf(const std::string& name);

// Writes the journal naming `names` (files of the data folder, each prepared under its scratch
// name) and moves each scratch file over its file. False when the journal could not be written
// (nothing changed; the scratch files are deleted) or a move failed (the journal stays, and the
// next start finishes the moves).
bool ReplaceSetInOneStep(platform::FileSystem& files, const std::string& dataFolder,
                         const std::vector<std::string>& names);

// At start-up, and before an update: finishes the replacement a journal names, then deletes
// any scratch file a run ended part way left behind. False when a journal remains (a move
// still failed).
bool FinishInterruptedReplacement(platform::FileSystem& files, const std::string& dataFolder);

// Deletes the scratch files of these names (a prepared set that will not be used).
void DiscardScratchFiles(platform::FileSystem& files, const std::string& dataFolder,
                         const std::vector<std::string>& names);

}  // namespace qm::defs
