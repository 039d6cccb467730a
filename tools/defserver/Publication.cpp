#include "Publication.h"

#include <sqlite3.h>

#include <stdexcept>

#include "definitions/LineScramble.h"

namespace qm::defserver {

namespace {

// A prepared statement, finalized when it goes.
class Statement {
  public:
    Statement(sqlite3* db, const char* sql) {
        if (sqlite3_prepare_v2(db, sql, -1, &statement_, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db));
    }
    ~Statement() { sqlite3_finalize(statement_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void Bind(int index, const std::string& text) {
        sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()),
                          SQLITE_TRANSIENT);
    }
    void BindBlob(int index, const std::string& bytes) {
        sqlite3_bind_blob(statement_, index, bytes.data(), static_cast<int>(bytes.size()),
                          SQLITE_TRANSIENT);
    }
    bool Step() {
        const int rc = sqlite3_step(statement_);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE)
            throw std::runtime_error(sqlite3_errmsg(sqlite3_db_handle(statement_)));
        return rc == SQLITE_ROW;
    }
    void Reset() {
        sqlite3_reset(statement_);
        sqlite3_clear_bindings(statement_);
    }
    std::string Text(int column) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
        return text ? std::string(
                          text, static_cast<std::size_t>(sqlite3_column_bytes(statement_, column)))
                    : std::string();
    }

  private:
    sqlite3_stmt* statement_ = nullptr;
};

void Execute(sqlite3* db, const char* sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string message = error ? error : "database error";
        sqlite3_free(error);
        throw std::runtime_error(message);
    }
}

// The line scrambled but for its plain "|" and "=", which the answer sends as they are.
std::string ScrambledButSeparators(const std::string& line) {
    std::string out;
    for (const char c : line)
        out += (c == '|' || c == '=') ? std::string(1, c) : defs::EncodeLine(std::string(1, c));
    return out;
}

}  // namespace

Publication::Publication(const std::string& path, bool create) {
    const int flags =
        SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
    if (sqlite3_open_v2(path.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
        const std::string message = db_ ? sqlite3_errmsg(db_) : "cannot open the database";
        sqlite3_close(db_);
        throw std::runtime_error(path + ": " + message);
    }
    sqlite3_busy_timeout(db_, 5000);
    // What the program sends its maker, the translation file and the signing keys; a database
    // made before these existed gains them when it is opened.
    Execute(db_,
            "CREATE TABLE IF NOT EXISTS submissions ("
            " id INTEGER PRIMARY KEY,"
            " kind TEXT NOT NULL,"
            " received TEXT NOT NULL,"
            " files TEXT NOT NULL DEFAULT '',"
            " details TEXT NOT NULL DEFAULT '',"
            " data TEXT NOT NULL DEFAULT '');"
            "CREATE TABLE IF NOT EXISTS known_names (name TEXT PRIMARY KEY);"
            "CREATE TABLE IF NOT EXISTS translation ("
            " id INTEGER PRIMARY KEY CHECK (id = 1), text BLOB NOT NULL);"
            "CREATE TABLE IF NOT EXISTS signing_keys ("
            " number INTEGER PRIMARY KEY,"
            " id TEXT NOT NULL UNIQUE,"
            " private_key TEXT NOT NULL,"
            " public_point BLOB NOT NULL,"
            " created TEXT NOT NULL,"
            " introduction TEXT NOT NULL DEFAULT '');");
    if (create) {
        Execute(db_,
                "CREATE TABLE IF NOT EXISTS records ("
                " id INTEGER PRIMARY KEY,"
                " kind TEXT NOT NULL,"
                " action TEXT NOT NULL CHECK (action IN ('ADD', 'DEL')),"
                " body TEXT NOT NULL,"
                " published TEXT NOT NULL);"
                "CREATE INDEX IF NOT EXISTS by_time ON records (published);");
    }
}

Publication::~Publication() {
    sqlite3_close(db_);
}

void Publication::Publish(const std::vector<PublishedRecord>& records, const std::string& when) {
    Execute(db_, "BEGIN");
    try {
        Statement insert(db_,
                         "INSERT INTO records (kind, action, body, published) VALUES (?, ?, ?, ?)");
        for (const auto& r : records) {
            insert.Bind(1, r.kind);
            insert.Bind(2, r.action);
            insert.Bind(3, r.body);
            insert.Bind(4, when);
            insert.Step();
            insert.Reset();
        }
        Execute(db_, "COMMIT");
    } catch (...) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

std::optional<std::string> Publication::Newest() {
    Statement newest(db_, "SELECT MAX(published) FROM records");
    if (!newest.Step()) return std::nullopt;
    const std::string when = newest.Text(0);
    if (when.empty()) return std::nullopt;
    return when;
}

std::vector<PublishedRecord> Publication::After(const std::string& since) {
    Statement after(db_,
                    "SELECT kind, action, body FROM records WHERE published > ? ORDER BY "
                    "published, id");
    after.Bind(1, since);
    std::vector<PublishedRecord> records;
    while (after.Step())
        records.push_back({after.Text(0), after.Text(1), after.Text(2)});
    return records;
}

void Publication::RecordFalsePositive(const std::string& files, const std::string& details,
                                      const std::string& when) {
    Statement insert(db_,
                     "INSERT INTO submissions (kind, received, files, details) "
                     "VALUES ('FP', ?, ?, ?)");
    insert.Bind(1, when);
    insert.Bind(2, files);
    insert.Bind(3, details);
    insert.Step();
}

bool Publication::RecordData(const std::string& data, const std::string& when) {
    Statement insert(db_, "INSERT INTO submissions (kind, received, data) VALUES ('DATA', ?, ?)");
    insert.Bind(1, when);
    insert.Bind(2, data);
    insert.Step();
    Statement known(db_, "INSERT OR IGNORE INTO known_names (name) VALUES (?)");
    known.Bind(1, data);
    known.Step();
    return sqlite3_changes(db_) > 0;
}

std::vector<Submission> Publication::Submissions() {
    Statement all(db_, "SELECT kind, received, files, details, data FROM submissions ORDER BY id");
    std::vector<Submission> out;
    while (all.Step())
        out.push_back({all.Text(0), all.Text(1), all.Text(2), all.Text(3), all.Text(4)});
    return out;
}

void Publication::SetTranslation(const std::string& text) {
    Statement put(db_, "INSERT OR REPLACE INTO translation (id, text) VALUES (1, ?)");
    put.Bind(1, text);
    put.Step();
}

std::optional<std::string> Publication::Translation() {
    Statement get(db_, "SELECT text FROM translation WHERE id = 1");
    if (!get.Step()) return std::nullopt;
    return get.Text(0);
}

void Publication::AddKey(const StoredKey& key) {
    Statement insert(db_,
                     "INSERT INTO signing_keys (id, private_key, public_point, created, "
                     "introduction) VALUES (?, ?, ?, ?, ?)");
    insert.Bind(1, key.id);
    insert.Bind(2, key.privatePem);
    insert.BindBlob(3, key.publicPoint);
    insert.Bind(4, key.created);
    insert.Bind(5, key.introduction);
    insert.Step();
}

std::vector<StoredKey> Publication::Keys() {
    Statement all(db_,
                  "SELECT id, private_key, public_point, created, introduction FROM signing_keys "
                  "ORDER BY number");
    std::vector<StoredKey> keys;
    while (all.Step())
        keys.push_back({all.Text(0), all.Text(1), all.Text(2), all.Text(3), all.Text(4)});
    return keys;
}

long long Publication::Version() {
    Statement version(db_, "PRAGMA data_version");
    version.Step();
    return std::stoll(version.Text(0));
}

std::string BodyOf(const std::string& kind, const std::string& readableLine) {
    if (kind == "COOK") return defs::EncodeLine(readableLine.substr(0, readableLine.find('=')));
    if (kind == "REG") {
        // "<key>^=<name>|<category>": the client stores <key> ^= <name> | <category>.
        const std::size_t cut = readableLine.find("^=");
        const std::size_t bar = readableLine.find('|', cut == std::string::npos ? 0 : cut);
        if (cut == std::string::npos || bar == std::string::npos) return {};
        const std::string key = readableLine.substr(0, cut);
        const std::string name = readableLine.substr(cut + 2, bar - cut - 2);
        const std::string category = readableLine.substr(bar + 1);
        return defs::EncodeLine(key + "^") + "=" + defs::EncodeLine(name) + "|" +
               defs::EncodeLine(key) + "|" + defs::EncodeLine(category);
    }
    return ScrambledButSeparators(readableLine);
}

std::string DeletionBodyOf(const std::string& kind, const std::string& key) {
    return defs::EncodeLine(kind == "REG" ? key + "^" : key);
}

std::string AnswerOf(const std::vector<PublishedRecord>& records) {
    std::string answer;
    for (const auto& r : records) {
        if (!answer.empty()) answer += "[BR]";
        answer += defs::EncodeLine(r.kind) + "|" + r.action + "[DEF]" + r.body;
    }
    return answer;
}

}  // namespace qm::defserver
