#include "platform/sandbox/MachineStore.h"

#include <sqlite3.h>

#include <stdexcept>
#include <system_error>

#include "platform/sandbox/SqliteDatabase.h"

namespace tamsel::sandbox {

namespace {

constexpr const char* kFormat = "tamsel-sandbox machine 1";
// Several programs of one machine may run at once (the tool, Setup, the started program).
constexpr int kBusyTimeoutMilliseconds = 5000;
// Where SQLite keeps the file change counter: a 4-byte big-endian number in the header.
constexpr int kChangeCounterOffset = 24;

constexpr const char* kSchema =
    "CREATE TABLE settings (name TEXT PRIMARY KEY, value TEXT NOT NULL);"
    "CREATE TABLE file_state (path TEXT PRIMARY KEY COLLATE NOCASE,"
    "                         read_only INTEGER NOT NULL, in_use INTEGER NOT NULL);"
    "CREATE TABLE volumes (letter TEXT PRIMARY KEY, label TEXT NOT NULL);";

// The key under which a path's state is kept in memory: the ASCII case folding that the
// column's NOCASE collation does.
std::string FoldedPath(std::string path) {
    for (char& c : path) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return path;
}

}  // namespace

void MachineStore::Create(const std::filesystem::path& file,
                          const std::vector<VolumeLabel>& labels) {
    std::error_code error;
    if (std::filesystem::exists(file, error)) {
        throw std::runtime_error(file.string() + ": a machine database is there already");
    }
    SqliteDatabase db(file, true);
    sqlite3_busy_timeout(db.Handle(), kBusyTimeoutMilliseconds);
    db.Execute("BEGIN");
    db.Execute(kSchema);
    db.Prepare("INSERT INTO settings VALUES ('format', ?1)")->Bind(1, kFormat).Run();
    db.Prepare("INSERT INTO settings VALUES ('wsh', 'on')")->Run();
    auto insertLabel = db.Prepare("INSERT INTO volumes VALUES (?1, ?2)");
    for (const auto& label : labels) {
        insertLabel->Reset().Bind(1, std::string(1, label.letter)).Bind(2, label.label).Run();
    }
    db.Execute("COMMIT");
}

MachineStore::MachineStore(const std::filesystem::path& file)
    : database_(std::make_unique<SqliteDatabase>(file, false)) {
    sqlite3_busy_timeout(database_->Handle(), kBusyTimeoutMilliseconds);
    std::string format;
    try {
        auto query = database_->Prepare("SELECT value FROM settings WHERE name = 'format'");
        if (query->Step()) format = query->ColumnText(0);
        query->Finish();
    } catch (const std::exception&) {
        format.clear();
    }
    if (format != kFormat) {
        throw std::runtime_error(database_->Name() + ": not a sandbox machine database");
    }
    auto mode = database_->Prepare("PRAGMA journal_mode");
    counterTracksWrites_ = mode->Step() && mode->ColumnText(0) != "wal";
    mode->Finish();
    begin_ = database_->Prepare("BEGIN");
    commit_ = database_->Prepare("COMMIT");
    selectSettings_ = database_->Prepare("SELECT name, value FROM settings");
    selectStates_ = database_->Prepare("SELECT path, read_only, in_use FROM file_state");
    selectLabels_ = database_->Prepare("SELECT letter, label FROM volumes ORDER BY letter");
    deleteState_ = database_->Prepare("DELETE FROM file_state WHERE path = ?1");
    upsertState_ = database_->Prepare(
        "INSERT INTO file_state VALUES (?1, ?2, ?3) ON CONFLICT(path) DO UPDATE "
        "SET path = ?1, read_only = ?2, in_use = ?3");
    upsertSetting_ = database_->Prepare("INSERT OR REPLACE INTO settings VALUES (?1, ?2)");
}

// The statements go before the connection they belong to.
MachineStore::~MachineStore() {
    begin_.reset();
    commit_.reset();
    selectSettings_.reset();
    selectStates_.reset();
    selectLabels_.reset();
    deleteState_.reset();
    upsertState_.reset();
    upsertSetting_.reset();
}

std::uint32_t MachineStore::ChangeCounter() {
    // Read through SQLite's own file handle: a second descriptor of the file would cost the
    // connection its POSIX locks when closed.
    sqlite3_file* file = nullptr;
    unsigned char bytes[4] = {};
    if (sqlite3_file_control(database_->Handle(), "main", SQLITE_FCNTL_FILE_POINTER, &file) !=
            SQLITE_OK ||
        file == nullptr || file->pMethods == nullptr ||
        file->pMethods->xRead(file, bytes, sizeof bytes, kChangeCounterOffset) != SQLITE_OK) {
        return snapshotCounter_ + 1;  // unknown: read the contents again
    }
    return static_cast<std::uint32_t>(bytes[0]) << 24 | static_cast<std::uint32_t>(bytes[1]) << 16 |
           static_cast<std::uint32_t>(bytes[2]) << 8 | bytes[3];
}

const MachineStore::Snapshot& MachineStore::Current() {
    if (snapshotValid_ && counterTracksWrites_ && ChangeCounter() == snapshotCounter_) {
        return snapshot_;
    }
    snapshotValid_ = false;
    Snapshot fresh;
    begin_->Reset().Run();
    try {
        while (selectSettings_->Step()) {
            fresh.settings[selectSettings_->ColumnText(0)] = selectSettings_->ColumnText(1);
        }
        while (selectStates_->Step()) {
            fresh.fileStates[FoldedPath(selectStates_->ColumnText(0))] =
                FileState{selectStates_->ColumnInt(1) != 0, selectStates_->ColumnInt(2) != 0};
        }
        while (selectLabels_->Step()) {
            std::string letter = selectLabels_->ColumnText(0);
            if (letter.size() == 1)
                fresh.labels.push_back({letter[0], selectLabels_->ColumnText(1)});
        }
        // Read while the transaction holds its shared lock: no writer is half-way through, so
        // the counter belongs to exactly these contents.
        snapshotCounter_ = ChangeCounter();
        commit_->Reset().Run();
    } catch (...) {
        sqlite3_exec(database_->Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
    snapshot_ = std::move(fresh);
    snapshotValid_ = true;
    return snapshot_;
}

FileState MachineStore::GetFileState(const std::string& windowsPath) {
    const auto& states = Current().fileStates;
    if (states.empty()) return {};
    auto found = states.find(FoldedPath(windowsPath));
    return found == states.end() ? FileState{} : found->second;
}

void MachineStore::SetFileState(const std::string& windowsPath, FileState state) {
    if (!state.readOnly && !state.inUse) {
        // Nothing to delete when nothing is stored: no write, and no wait for a busy file.
        if (Current().fileStates.count(FoldedPath(windowsPath)) == 0) return;
        deleteState_->Reset().Bind(1, windowsPath).Run();
    } else {
        upsertState_->Reset()
            .Bind(1, windowsPath)
            .Bind(2, std::int64_t{state.readOnly ? 1 : 0})
            .Bind(3, std::int64_t{state.inUse ? 1 : 0})
            .Run();
    }
    snapshotValid_ = false;
}

std::string MachineStore::Setting(const std::string& name, const std::string& fallback) {
    const auto& settings = Current().settings;
    auto found = settings.find(name);
    return found == settings.end() ? fallback : found->second;
}

void MachineStore::SetSetting(const std::string& name, const std::string& value) {
    upsertSetting_->Reset().Bind(1, name).Bind(2, value).Run();
    snapshotValid_ = false;
}

std::vector<VolumeLabel> MachineStore::Labels() { return Current().labels; }

}  // namespace tamsel::sandbox
