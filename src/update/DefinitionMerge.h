#pragma once
// The definitions answer of the update server applied to the six definition files: additions
// appended, deletions of whole keys, each file replaced in one step. The merge works on the
// scrambled text and decodes only to compare keys.

#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"

namespace qm::update {

// One record of the answer: "<scrambled kind>|<action>[DEF]<body>".
struct UpdateRecord {
    std::string kind;    // decoded: "FILE", "EXE", "DLL", "REG", "COOK", "DIR" or a safe-list kind
    std::string action;  // "ADD" or "DEL" (any other is ignored)
    std::string body;    // scrambled, with "|" and "=" plain
};

// The records of an answer in their order, split at "[BR]" (any case) and trimmed. A record
// without "[DEF]", or whose header has no "|", cannot be taken apart and is left out, as are
// empty ones.
std::vector<UpdateRecord> ParseAnswer(std::string_view answer);

// Where the merge tells how far it is (the progress window's status box) and lets the window's
// events run.
class MergeProgress {
  public:
    virtual ~MergeProgress() = default;
    virtual void ShowStatus(const std::string& text) = 0;
    virtual void LetEventsRun() = 0;
};

struct MergeResult {
    // One for every line added to a file, and one for every file that had deletions.
    int changes = 0;
    // Every file whose new content was made was also put in place. False when a file could not
    // be read or written: the files not yet replaced keep their old content, and the caller
    // keeps the old definitions date so that the next update tries again.
    bool complete = true;
};

// Applies the answer to the definition files in `dataFolder`. Each changed file is written
// beside itself and replaced in one step once every file's new content is ready, so an
// interruption leaves every file whole.
MergeResult MergeDefinitions(platform::FileSystem& files, const std::string& dataFolder,
                             std::string_view answer, MergeProgress& progress);

}  // namespace qm::update
