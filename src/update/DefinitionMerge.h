#pragma once
// The definitions answer of the update server applied to the six definition files: additions
// appended, deletions of whole keys, each file replaced in one step. The merge works on the
// scrambled text and decodes only to compare keys.

#include <optional>
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
    // True once the user cancelled the update: the merge ends, nothing replaced.
    virtual bool Cancelled() const { return false; }
};

struct MergeResult {
    // One for every line added to a file, and one for every file that had deletions.
    int changes = 0;
    // Every file whose new content was made was also put in place. False when a file could not
    // be read or written: the files not yet replaced keep their old content, and the caller
    // keeps the old definitions date so that the next update tries again.
    bool complete = true;
};

// A merge made but not yet in place: each changed file's new content waits on the disk under
// its scratch name. Dropped without Commit, the scratch files are deleted and nothing changed.
class PreparedMerge {
  public:
    PreparedMerge(platform::FileSystem& files, std::string dataFolder);
    PreparedMerge(PreparedMerge&& other) noexcept;
    PreparedMerge& operator=(PreparedMerge&&) = delete;
    PreparedMerge(const PreparedMerge&) = delete;
    PreparedMerge& operator=(const PreparedMerge&) = delete;
    ~PreparedMerge();

    // One for every line added to a file, and one for every file that had deletions.
    int changes = 0;
    // False when a file could not be made (or the user cancelled): nothing can be committed.
    bool Ready() const { return ready_; }
    bool Cancelled() const { return cancelled_; }
    // Puts every prepared file in place in one step (defs::ReplaceSetInOneStep), with `date`
    // as the new "date.dat" when given. False when the set could not be replaced: the journal
    // then finishes it at the next start, or nothing changed.
    bool Commit(const std::optional<std::string>& date);
    void Discard();

  private:
    friend PreparedMerge PrepareMerge(platform::FileSystem&, const std::string&, std::string_view,
                                      MergeProgress&);
    platform::FileSystem* files_;
    std::string dataFolder_;
    std::vector<std::string> prepared_;  // names of the files waiting under scratch names
    bool ready_ = true;
    bool cancelled_ = false;
};

PreparedMerge PrepareMerge(platform::FileSystem& files, const std::string& dataFolder,
                           std::string_view answer, MergeProgress& progress);

// Applies the answer to the definition files in `dataFolder`: PrepareMerge, then Commit without
// a date.
MergeResult MergeDefinitions(platform::FileSystem& files, const std::string& dataFolder,
                             std::string_view answer, MergeProgress& progress);

}  // namespace qm::update
