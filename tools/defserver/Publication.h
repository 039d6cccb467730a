#pragma once
// The definition server's publication database: every record ever published (its kind, ADD or
// DEL, its body as it is sent, when it was published), and the answers made from it.

#include <memory>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;

namespace qm::defserver {

struct PublishedRecord {
    std::string kind;    // plain: "FILE", "EXE", "DLL", "DIR", "REG", "COOK" or a safe-list kind
    std::string action;  // "ADD" or "DEL"
    std::string body;    // as sent: scrambled, with "|" and "=" plain
};

// A key the publication signs with. The first stands alone; each later one was introduced by
// the key before it, whose "QMKEY1" line with that signature is kept.
struct StoredKey {
    std::string id;            // 16 hex digits of the point's SHA-256
    std::string privatePem;    // PKCS #8
    std::string publicPoint;   // uncompressed, 65 bytes
    std::string created;       // UTC, "YYYYMMDDTHHMMSSZ"
    std::string introduction;  // empty for the first key
};

// One report the program sent: a false positive ("FP": the locations and the details) or a
// name or list of running programs ("DATA"), decoded, with when it arrived (sortable form).
struct Submission {
    std::string kind;
    std::string received;
    std::string files;
    std::string details;
    std::string data;
};

class Publication {
  public:
    // Opens the database; `create` makes it (and its table) when missing. Throws with a
    // message when it cannot be opened.
    Publication(const std::string& path, bool create);
    ~Publication();
    Publication(const Publication&) = delete;
    Publication& operator=(const Publication&) = delete;

    // Adds the records in one transaction, all published at `when` (sortable form).
    void Publish(const std::vector<PublishedRecord>& records, const std::string& when);
    // The newest publication's time (sortable form); nothing when nothing is published.
    std::optional<std::string> Newest();
    // Every record published strictly after `since` (sortable form), oldest first.
    std::vector<PublishedRecord> After(const std::string& since);

    void RecordFalsePositive(const std::string& files, const std::string& details,
                             const std::string& when);
    // True when the data was not known before ("Added"), false for a repeat ("Skipped").
    bool RecordData(const std::string& data, const std::string& when);
    std::vector<Submission> Submissions();
    // The translation file the language path serves; nothing until one is kept.
    void SetTranslation(const std::string& text);
    std::optional<std::string> Translation();

    void AddKey(const StoredKey& key);
    // Every signing key, oldest first.
    std::vector<StoredKey> Keys();

    // A number that changes whenever another connection (another command of the tool) has
    // changed the database since this one last asked.
    long long Version();

  private:
    sqlite3* db_ = nullptr;
};

// The body a readable definition line of that kind is sent as: for files, programs, folders
// and the safe list the line scrambled but for its "|" and "="; for a whole-key registry line
// "<key>^=<name>|<category>" the three fields the client puts back together, with the key the
// client deletes it by first; for a cookie its host scrambled.
std::string BodyOf(const std::string& kind, const std::string& readableLine);
// The body of a deletion of the stored lines whose key (the text before "=") is `key`; for a
// registry line that is "<key>^".
std::string DeletionBodyOf(const std::string& kind, const std::string& key);
// The definitions answer: "<scrambled kind>|<action>[DEF]<body>" records joined by "[BR]".
std::string AnswerOf(const std::vector<PublishedRecord>& records);

}  // namespace qm::defserver
