#include "platform/sandbox/MachineStore.h"

#include <stdexcept>
#include <system_error>

namespace tamsel::sandbox {

namespace {

constexpr const char* kFormat = "tamsel-sandbox machine 1";

constexpr const char* kSchema =
    "CREATE TABLE settings (name TEXT PRIMARY KEY, value TEXT NOT NULL);"
    "CREATE TABLE file_state (path TEXT PRIMARY KEY COLLATE NOCASE,"
    "                         read_only INTEGER NOT NULL, in_use INTEGER NOT NULL);"
    "CREATE TABLE volumes (letter TEXT PRIMARY KEY, label TEXT NOT NULL);";

// One prepared statement, finalised when it goes out of scope.
class Statement {
  public:
    Statement(sqlite3* db, const char* sql, const std::string& storeName)
        : db_(db), storeName_(storeName) {
        if (sqlite3_prepare_v2(db, sql, -1, &statement_, nullptr) != SQLITE_OK)
            Fail("cannot query");
    }
    ~Statement() { sqlite3_finalize(statement_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& Bind(int index, const std::string& text) {
        sqlite3_bind_text(statement_, index, text.c_str(), static_cast<int>(text.size()),
                          SQLITE_TRANSIENT);
        return *this;
    }
    Statement& Bind(int index, int value) {
        sqlite3_bind_int(statement_, index, value);
        return *this;
    }
    bool Step() {
        int status = sqlite3_step(statement_);
        if (status == SQLITE_ROW) return true;
        if (status == SQLITE_DONE) return false;
        Fail("cannot read or write");
    }
    int Int(int column) { return sqlite3_column_int(statement_, column); }
    std::string Text(int column) {
        const auto* text = sqlite3_column_text(statement_, column);
        return text == nullptr ? std::string() : reinterpret_cast<const char*>(text);
    }

  private:
    [[noreturn]] void Fail(const std::string& what) {
        throw std::runtime_error(storeName_ + ": " + what + ": " + sqlite3_errmsg(db_));
    }

    sqlite3* db_;
    sqlite3_stmt* statement_ = nullptr;
    const std::string& storeName_;
};

sqlite3* OpenDatabase(const std::string& name, int flags) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(name.c_str(), &db, flags, nullptr) != SQLITE_OK) {
        std::string message = name + ": cannot open the machine database: " +
                              (db != nullptr ? sqlite3_errmsg(db) : "out of memory");
        sqlite3_close(db);
        throw std::runtime_error(message);
    }
    // Several programs of one machine may run at once (the tool, Setup, the started program).
    sqlite3_busy_timeout(db, 5000);
    return db;
}

void Execute(sqlite3* db, const std::string& name, const char* sql) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        std::string text = name + ": " + (message != nullptr ? message : "cannot write");
        sqlite3_free(message);
        throw std::runtime_error(text);
    }
}

}  // namespace

void MachineStore::Create(const std::filesystem::path& file,
                          const std::vector<VolumeLabel>& labels) {
    std::string name = file.string();
    std::error_code error;
    if (std::filesystem::exists(file, error)) {
        throw std::runtime_error(name + ": a machine database is there already");
    }
    sqlite3* db = OpenDatabase(name, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    try {
        Execute(db, name, "BEGIN");
        Execute(db, name, kSchema);
        Statement(db, "INSERT INTO settings VALUES ('format', ?1)", name).Bind(1, kFormat).Step();
        Statement(db, "INSERT INTO settings VALUES ('wsh', 'on')", name).Step();
        for (const auto& label : labels) {
            Statement(db, "INSERT INTO volumes VALUES (?1, ?2)", name)
                .Bind(1, std::string(1, label.letter))
                .Bind(2, label.label)
                .Step();
        }
        Execute(db, name, "COMMIT");
    } catch (...) {
        sqlite3_close(db);
        throw;
    }
    sqlite3_close(db);
}

MachineStore::MachineStore(const std::filesystem::path& file) : name_(file.string()) {
    db_ = OpenDatabase(name_, SQLITE_OPEN_READWRITE);
    std::string format;
    try {
        Statement query(db_, "SELECT value FROM settings WHERE name = 'format'", name_);
        if (query.Step()) format = query.Text(0);
    } catch (const std::exception&) {
        format.clear();
    }
    if (format != kFormat) {
        sqlite3_close(db_);
        throw std::runtime_error(name_ + ": not a sandbox machine database");
    }
}

MachineStore::~MachineStore() { sqlite3_close(db_); }

FileState MachineStore::GetFileState(const std::string& windowsPath) {
    Statement query(db_, "SELECT read_only, in_use FROM file_state WHERE path = ?1", name_);
    query.Bind(1, windowsPath);
    FileState state;
    if (query.Step()) {
        state.readOnly = query.Int(0) != 0;
        state.inUse = query.Int(1) != 0;
    }
    return state;
}

void MachineStore::SetFileState(const std::string& windowsPath, FileState state) {
    if (!state.readOnly && !state.inUse) {
        Statement(db_, "DELETE FROM file_state WHERE path = ?1", name_).Bind(1, windowsPath).Step();
        return;
    }
    Statement(db_,
              "INSERT INTO file_state VALUES (?1, ?2, ?3) ON CONFLICT(path) DO UPDATE "
              "SET path = ?1, read_only = ?2, in_use = ?3",
              name_)
        .Bind(1, windowsPath)
        .Bind(2, state.readOnly ? 1 : 0)
        .Bind(3, state.inUse ? 1 : 0)
        .Step();
}

std::string MachineStore::Setting(const std::string& name, const std::string& fallback) {
    Statement query(db_, "SELECT value FROM settings WHERE name = ?1", name_);
    query.Bind(1, name);
    return query.Step() ? query.Text(0) : fallback;
}

void MachineStore::SetSetting(const std::string& name, const std::string& value) {
    Statement(db_, "INSERT OR REPLACE INTO settings VALUES (?1, ?2)", name_)
        .Bind(1, name)
        .Bind(2, value)
        .Step();
}

std::vector<VolumeLabel> MachineStore::Labels() {
    Statement query(db_, "SELECT letter, label FROM volumes ORDER BY letter", name_);
    std::vector<VolumeLabel> labels;
    while (query.Step()) {
        std::string letter = query.Text(0);
        if (letter.size() == 1) labels.push_back({letter[0], query.Text(1)});
    }
    return labels;
}

}  // namespace tamsel::sandbox
