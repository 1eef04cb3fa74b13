#include "platform/sandbox/SqliteRegistry.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <utility>

#include "platform/sandbox/DefaultMachine.h"
#include "platform/sandbox/RegistryNames.h"
#include "platform/sandbox/SqliteDatabase.h"

namespace tamsel::sandbox {

namespace {

// Marks a database as ours ("TREG") and names the layout of its tables.
constexpr std::int64_t kApplicationId = 0x54524547;
constexpr std::int64_t kSchemaVersion = 1;
constexpr int kBusyTimeoutMilliseconds = 30000;

// The roots are the first four keys; their ids follow the order of their handle values.
constexpr std::int64_t kFirstRootId = 1;

constexpr std::uint32_t kKeySetValue = 0x2;
constexpr std::uint32_t kKeyCreateSubKey = 0x4;

const char* const kSchema = R"sql(
CREATE TABLE registry_key(
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    parent INTEGER NOT NULL,
    name BLOB NOT NULL,
    folded BLOB NOT NULL,
    UNIQUE(parent, folded));
CREATE TABLE registry_value(
    key INTEGER NOT NULL,
    name BLOB NOT NULL,
    folded BLOB NOT NULL,
    type INTEGER NOT NULL,
    data BLOB NOT NULL,
    PRIMARY KEY(key, folded)) WITHOUT ROWID;
INSERT INTO registry_key(id, parent, name, folded) VALUES
    (1, 0, 'HKEY_CLASSES_ROOT', 'hkey_classes_root'),
    (2, 0, 'HKEY_CURRENT_USER', 'hkey_current_user'),
    (3, 0, 'HKEY_LOCAL_MACHINE', 'hkey_local_machine'),
    (4, 0, 'HKEY_USERS', 'hkey_users');
PRAGMA application_id = 1414677831;
PRAGMA user_version = 1;
)sql";
static_assert(kApplicationId == 1414677831);

bool IsRoot(RegKey key) { return key >= reg::kClassesRoot && key <= reg::kUsers; }
bool IsRootId(std::int64_t id) { return id >= kFirstRootId && id < kFirstRootId + 4; }

// Binds a key or value name as its bytes: names are compared byte for byte, never as text.
SqliteStatement& BindName(SqliteStatement& statement, int index, const std::string& name) {
    return statement.BindBlob(index, reinterpret_cast<const std::uint8_t*>(name.data()),
                              name.size());
}

void ConfigureConnection(SqliteDatabase& database) {
    sqlite3_busy_timeout(database.Handle(), kBusyTimeoutMilliseconds);
}

// Writes a new, empty registry to a private file next to `file` and links it into place, so
// that `file` never exists half-made: an existing file is always a complete database or not
// ours. Losing a race with another process that created it first is fine.
void CreateRegistryFile(const std::filesystem::path& file) {
    std::filesystem::path temporary = file;
    temporary += ".new-" + std::to_string(::getpid());
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    {
        SqliteDatabase database(temporary, true);
        ConfigureConnection(database);
        database.Execute("PRAGMA journal_mode = WAL");
        database.Execute("PRAGMA synchronous = FULL");
        database.Execute("BEGIN IMMEDIATE");
        database.Execute(kSchema);
        database.Execute("COMMIT");
    }
    int linked = ::link(temporary.c_str(), file.c_str());
    int linkError = errno;
    std::filesystem::remove(temporary, ignored);
    if (linked != 0 && linkError != EEXIST) {
        throw std::runtime_error(
            file.string() + ": cannot create the registry database: " + std::strerror(linkError));
    }
    // Make the new directory entry itself durable.
    std::filesystem::path directory = file.parent_path().empty() ? "." : file.parent_path();
    int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Checks that an existing file is a registry database of this version; throws otherwise.
void CheckRegistryFile(SqliteDatabase& database) {
    const std::string& name = database.Name();
    std::int64_t applicationId = 0;
    std::int64_t pages = 0;
    try {
        applicationId = database.QueryInt("PRAGMA application_id");
        pages = database.QueryInt("PRAGMA page_count");
    } catch (const DiskFullError&) {
        throw;  // a good database on a full disk: saying it is none would invite a reset
    } catch (const std::runtime_error& error) {
        throw std::runtime_error(name + " is not a registry database (" + error.what() + ")");
    }
    if (pages == 0) {
        throw std::runtime_error(name + " is empty, not a registry database");
    }
    if (applicationId != kApplicationId) {
        throw std::runtime_error(name + " is an SQLite database but not a registry database");
    }
    std::int64_t version = database.QueryInt("PRAGMA user_version");
    if (version != kSchemaVersion) {
        throw std::runtime_error(name + " holds a registry of version " + std::to_string(version) +
                                 "; this program reads version " + std::to_string(kSchemaVersion));
    }
    std::int64_t parts = database.QueryInt(
        "SELECT (SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name IN "
        "('registry_key', 'registry_value')) + (SELECT count(*) FROM registry_key WHERE id "
        "BETWEEN 1 AND 4 AND parent = 0)");
    if (parts != 6) {
        throw std::runtime_error(name + " is a damaged registry database: tables or roots missing");
    }
}

// Replaces each "%NAME%" of a text by what lookup gives for NAME. An unknown variable, and
// "%%", stay as they were written, %-signs included; a "%" without a closing one is kept.
std::string ExpandReferences(
    const std::string& text,
    const std::function<std::optional<std::string>(const std::string&)>& lookup) {
    std::string out;
    std::size_t position = 0;
    while (position < text.size()) {
        const std::size_t open = text.find('%', position);
        const std::size_t close =
            open == std::string::npos ? std::string::npos : text.find('%', open + 1);
        if (close == std::string::npos) {
            out += text.substr(position);
            break;
        }
        out += text.substr(position, open - position);
        const std::string name = text.substr(open + 1, close - open - 1);
        const auto value = name.empty() ? std::nullopt : lookup(name);
        out += value ? *value : text.substr(open, close - open + 1);
        position = close + 1;
    }
    return out;
}

}  // namespace

struct SqliteRegistry::Statements {
    explicit Statements(SqliteDatabase& db)
        : findChild(db.Prepare("SELECT id FROM registry_key WHERE parent = ?1 AND folded = ?2")),
          keyAlive(db.Prepare("SELECT 1 FROM registry_key WHERE id = ?1")),
          hasChild(db.Prepare("SELECT 1 FROM registry_key WHERE parent = ?1 LIMIT 1")),
          insertKey(
              db.Prepare("INSERT INTO registry_key(parent, name, folded) VALUES (?1, ?2, ?3)")),
          deleteKey(db.Prepare("DELETE FROM registry_key WHERE id = ?1")),
          keyName(db.Prepare("SELECT parent, name FROM registry_key WHERE id = ?1")),
          subKeys(
              db.Prepare("SELECT name FROM registry_key WHERE parent = ?1 ORDER BY folded, name")),
          queryValue(
              db.Prepare("SELECT type, data FROM registry_value WHERE key = ?1 AND folded = ?2")),
          begin(db.Prepare("BEGIN")),
          beginImmediate(db.Prepare("BEGIN IMMEDIATE")),
          commit(db.Prepare("COMMIT")),
          rollback(db.Prepare("ROLLBACK")),
          setValue(db.Prepare(
              "INSERT INTO registry_value(key, name, folded, type, data) VALUES (?1, ?2, ?3, ?4, "
              "?5) ON CONFLICT(key, folded) DO UPDATE SET type = excluded.type, data = "
              "excluded.data")),
          deleteValue(db.Prepare("DELETE FROM registry_value WHERE key = ?1 AND folded = ?2")),
          deleteValues(db.Prepare("DELETE FROM registry_value WHERE key = ?1")),
          values(db.Prepare("SELECT name, type, data FROM registry_value WHERE key = ?1 ORDER BY "
                            "folded, name")),
          deleteTreeValues(db.Prepare(
              "WITH RECURSIVE tree(id) AS (SELECT ?1 UNION ALL SELECT k.id FROM registry_key k "
              "JOIN tree ON k.parent = tree.id) DELETE FROM registry_value WHERE key IN tree")),
          deleteTreeKeys(db.Prepare(
              "WITH RECURSIVE tree(id) AS (SELECT ?1 UNION ALL SELECT k.id FROM registry_key k "
              "JOIN tree ON k.parent = tree.id) DELETE FROM registry_key WHERE id IN tree AND "
              "id <> ?2")) {}

    std::unique_ptr<SqliteStatement> findChild, keyAlive, hasChild, insertKey, deleteKey, keyName,
        subKeys, queryValue, begin, beginImmediate, commit, rollback, setValue, deleteValue,
        deleteValues, values, deleteTreeValues, deleteTreeKeys;
};

std::unique_ptr<SqliteRegistry> SqliteRegistry::Open(const std::filesystem::path& file) {
    std::error_code error;
    auto status = std::filesystem::status(file, error);
    if (status.type() == std::filesystem::file_type::not_found) {
        CreateRegistryFile(file);
    } else if (status.type() != std::filesystem::file_type::regular) {
        throw std::runtime_error(file.string() + " is not a registry database (not a file)");
    }
    auto database = std::make_unique<SqliteDatabase>(file, false);
    ConfigureConnection(*database);
    CheckRegistryFile(*database);
    database->Execute("PRAGMA journal_mode = WAL");
    database->Execute("PRAGMA synchronous = FULL");
    return std::unique_ptr<SqliteRegistry>(new SqliteRegistry(file, std::move(database)));
}

SqliteRegistry::SqliteRegistry(const std::filesystem::path& file,
                               std::unique_ptr<SqliteDatabase> database)
    : file_(file),
      database_(std::move(database)),
      statements_(std::make_unique<Statements>(*database_)) {}

// The statements go before the connection they belong to.
SqliteRegistry::~SqliteRegistry() {
    statements_.reset();
    for (auto& statement : pathStatements_) statement.reset();
    for (auto& statement : rootPathStatements_) statement.reset();
}

template <typename Work>
auto SqliteRegistry::InTransaction(bool write, Work&& work) {
    if (transactionDepth_ > 0) {
        ++transactionDepth_;
        struct Leave {
            int& depth;
            ~Leave() { --depth; }
        } leave{transactionDepth_};
        return work();
    }
    // Prepared once: parsing BEGIN and COMMIT for every call would cost more than a lookup.
    (write ? statements_->beginImmediate : statements_->begin)->Reset().Run();
    transactionDepth_ = 1;
    try {
        if constexpr (std::is_void_v<decltype(work())>) {
            work();
            transactionDepth_ = 0;
            statements_->commit->Reset().Run();
        } else {
            auto result = work();
            transactionDepth_ = 0;
            statements_->commit->Reset().Run();
            return result;
        }
    } catch (...) {
        transactionDepth_ = 0;
        try {
            statements_->rollback->Reset().Run();
        } catch (const std::exception&) {
            // SQLite has rolled the transaction back itself (or it never began).
        }
        throw;
    }
}

void SqliteRegistry::RunInTransaction(const std::function<void()>& work) {
    InTransaction(true, work);
}

RegStatus SqliteRegistry::Resolve(RegKey key, KeyRef& ref) {
    if (IsRoot(key)) {
        ref.id = kFirstRootId + static_cast<std::int64_t>(key - reg::kClassesRoot);
        ref.access = reg::kKeySixRights;
        return reg::kSuccess;
    }
    auto found = handles_.find(key);
    if (found == handles_.end()) return reg::kInvalidHandle;
    ref = found->second;
    return KeyAlive(ref.id) ? reg::kSuccess : kKeyDeletedStatus;
}

RegStatus SqliteRegistry::ResolveWithRights(RegKey key, std::uint32_t rights, std::int64_t& id) {
    KeyRef ref;
    RegStatus status = Resolve(key, ref);
    if (status != reg::kSuccess) return status;
    if ((ref.access & rights) == 0) return reg::kAccessDenied;
    id = ref.id;
    return reg::kSuccess;
}

std::optional<RegistryValue> SqliteRegistry::StoredValue(std::int64_t key,
                                                         const std::string& name) {
    auto& statement = *statements_->queryValue;
    const std::string folded = FoldCase(name);
    statement.Reset().Bind(1, key).BindBorrowed(2, folded);
    if (!statement.Step()) return std::nullopt;
    RegistryValue value{name, static_cast<std::uint32_t>(statement.ColumnInt(0)),
                        statement.ColumnBlob(1)};
    statement.Finish();
    return value;
}

bool SqliteRegistry::KeyAlive(std::int64_t id) {
    auto& statement = *statements_->keyAlive;
    bool alive = statement.Reset().Bind(1, id).Step();
    statement.Finish();
    return alive;
}

std::optional<std::int64_t> SqliteRegistry::FindChild(std::int64_t parent,
                                                      const std::string& name) {
    auto& statement = *statements_->findChild;
    const std::string folded = FoldCase(name);
    statement.Reset().Bind(1, parent).BindBorrowed(2, folded);
    std::optional<std::int64_t> id;
    if (statement.Step()) id = statement.ColumnInt(0);
    statement.Finish();
    return id;
}

std::optional<std::int64_t> SqliteRegistry::FindPath(std::int64_t start,
                                                     const std::vector<std::string>& parts) {
    std::int64_t id = start;
    for (const auto& part : parts) {
        auto child = FindChild(id, part);
        if (!child) return std::nullopt;
        id = *child;
    }
    return id;
}

RegStatus SqliteRegistry::FindKey(RegKey key, const std::string& path, std::int64_t& id) {
    KeyRef ref;
    RegStatus status = Resolve(key, ref);
    if (status != reg::kSuccess) return status;
    std::vector<std::string> parts;
    status = SplitKeyPath(path, parts);
    if (status != reg::kSuccess) return status;
    auto found = FindPath(ref.id, parts);
    if (!found) return reg::kFileNotFound;
    id = *found;
    return reg::kSuccess;
}

bool SqliteRegistry::HasSubKeys(std::int64_t id) {
    auto& statement = *statements_->hasChild;
    bool has = statement.Reset().Bind(1, id).Step();
    statement.Finish();
    return has;
}

RegKey SqliteRegistry::NewHandle(std::int64_t id, std::uint32_t access) {
    // Handles stay below the predefined roots; after a wrap-around, skip those still open.
    while (nextHandle_ == 0 || nextHandle_ >= reg::kClassesRoot || handles_.count(nextHandle_)) {
        nextHandle_ = nextHandle_ >= reg::kClassesRoot ? 1 : nextHandle_ + 1;
    }
    RegKey handle = nextHandle_++;
    // The handle keeps the specific key rights asked for (generic rights grant nothing).
    handles_[handle] = KeyRef{id, access & reg::kKeySixRights};
    return handle;
}

RegStatus SqliteRegistry::CreateKeyEx(RegKey root, const std::string& subKey,
                                      std::uint32_t /*reserved*/, const char* /*keyClass*/,
                                      std::uint32_t /*options*/, std::uint32_t access,
                                      RegKey* result, std::uint32_t* disposition) {
    if (result == nullptr) return reg::kInvalidParameter;
    // The handle is handed out only once the keys are committed.
    std::int64_t id = 0;
    bool created = false;
    RegStatus outcome = InTransaction(true, [&]() -> RegStatus {
        KeyRef ref;
        RegStatus status = Resolve(root, ref);
        if (status != reg::kSuccess) return status;
        std::vector<std::string> parts;
        status = SplitKeyPath(subKey, parts);
        if (status != reg::kSuccess) return status;
        id = ref.id;
        for (const auto& part : parts) {
            auto child = FindChild(id, part);
            if (!child) {
                if (id == ref.id && (ref.access & kKeyCreateSubKey) == 0) {
                    return reg::kAccessDenied;
                }
                auto& insert = BindName(statements_->insertKey->Reset().Bind(1, id), 2, part);
                BindName(insert, 3, FoldCase(part)).Run();
                child = sqlite3_last_insert_rowid(database_->Handle());
                created = true;
            } else {
                created = false;
            }
            id = *child;
        }
        return reg::kSuccess;
    });
    if (outcome != reg::kSuccess) return outcome;
    *result = NewHandle(id, access);
    if (disposition != nullptr) {
        *disposition = created ? reg::kCreatedNewKey : reg::kOpenedExistingKey;
    }
    return reg::kSuccess;
}

RegStatus SqliteRegistry::OpenKeyEx(RegKey root, const std::string& subKey,
                                    std::uint32_t /*options*/, std::uint32_t access,
                                    RegKey* result) {
    if (result == nullptr) return reg::kInvalidParameter;
    // The common case, an existing key, takes one statement; anything else is sorted out by
    // the steps below, which tell a missing key from a deleted handle.
    if (const auto id = FindExistingPath(root, subKey)) {
        *result = NewHandle(*id, access);
        return reg::kSuccess;
    }
    return InTransaction(false, [&]() -> RegStatus {
        std::int64_t id = 0;
        RegStatus status = FindKey(root, subKey, id);
        if (status != reg::kSuccess) return status;
        *result = NewHandle(id, access);
        return reg::kSuccess;
    });
}

std::optional<std::int64_t> SqliteRegistry::FindExistingPath(RegKey key, const std::string& path) {
    std::int64_t start = 0;
    const bool fromRoot = IsRoot(key);
    if (fromRoot) {
        start = kFirstRootId + static_cast<std::int64_t>(key - reg::kClassesRoot);
    } else {
        auto found = handles_.find(key);
        if (found == handles_.end()) return std::nullopt;
        start = found->second.id;
    }
    std::vector<std::string> parts;
    if (SplitKeyPath(path, parts) != reg::kSuccess || parts.size() > kMaxJoinedLevels) {
        return std::nullopt;
    }
    // A root is never deleted: the root itself needs no statement.
    if (fromRoot && parts.empty()) return start;
    auto& statement = PathStatement(parts.size(), fromRoot);
    statement.Reset().Bind(1, start);
    // The folded parts stay alive (in `parts`) until the statement is finished.
    for (std::size_t i = 0; i < parts.size(); ++i) {
        parts[i] = FoldCase(parts[i]);
        statement.BindBorrowed(static_cast<int>(i + 2), parts[i]);
    }
    std::optional<std::int64_t> id;
    if (statement.Step()) id = statement.ColumnInt(0);
    statement.Finish();
    return id;
}

// One statement per depth, made when first needed: the start key (which must still exist,
// unless it is a root) joined with each level of the path, so that the whole walk is one read.
SqliteStatement& SqliteRegistry::PathStatement(std::size_t levels, bool fromRoot) {
    auto& statement = (fromRoot ? rootPathStatements_ : pathStatements_)[levels];
    if (!statement) {
        const std::size_t first = fromRoot ? 1 : 0;
        std::string sql =
            "SELECT k" + std::to_string(levels) + ".id FROM registry_key k" + std::to_string(first);
        for (std::size_t i = first + 1; i <= levels; ++i) {
            const std::string k = "k" + std::to_string(i);
            sql += " JOIN registry_key " + k + " ON " + k + ".parent = k" + std::to_string(i - 1) +
                   ".id AND " + k + ".folded = ?" + std::to_string(i + 1);
        }
        sql += fromRoot ? " WHERE k1.parent = ?1 AND k1.folded = ?2" : " WHERE k0.id = ?1";
        statement = database_->Prepare(sql);
    }
    return *statement;
}

RegStatus SqliteRegistry::QueryValueEx(RegKey key, const std::string& valueName,
                                       std::uint32_t* type, std::uint8_t* data,
                                       std::uint32_t* size) {
    if (data != nullptr && size == nullptr) return reg::kInvalidParameter;
    KeyRef ref;
    if (IsRoot(key)) {
        Resolve(key, ref);
    } else {
        auto found = handles_.find(key);
        if (found == handles_.end()) return reg::kInvalidHandle;
        ref = found->second;
    }
    // A value row exists only while its key does (a key goes with its values, and key ids are
    // never used again), so a value found needs no look at the key: one index read, its own
    // transaction. Only a value not found asks whether the key is gone. The row is read in
    // place, straight into the caller's buffer.
    auto& statement = *statements_->queryValue;
    const std::string folded = FoldCase(valueName);
    statement.Reset().Bind(1, ref.id).BindBorrowed(2, folded);
    if (!statement.Step()) {
        if (!KeyAlive(ref.id)) return kKeyDeletedStatus;
        return (ref.access & reg::kKeyQueryValue) == 0 ? reg::kAccessDenied : reg::kFileNotFound;
    }
    const auto storedType = static_cast<std::uint32_t>(statement.ColumnInt(0));
    const std::span<const std::uint8_t> stored = statement.ColumnBytes(1);
    const auto storedSize = static_cast<std::uint32_t>(stored.size());
    RegStatus status = reg::kSuccess;
    if ((ref.access & reg::kKeyQueryValue) == 0) {
        status = reg::kAccessDenied;
    } else if (data == nullptr) {
        if (type != nullptr) *type = storedType;
        if (size != nullptr) *size = storedSize;
    } else if (*size < storedSize) {
        if (type != nullptr) *type = storedType;
        *size = storedSize;
        status = reg::kMoreData;
    } else {
        if (type != nullptr) *type = storedType;
        if (!stored.empty()) std::memcpy(data, stored.data(), stored.size());
        *size = storedSize;
    }
    statement.Finish();
    return status;
}

RegStatus SqliteRegistry::SetValueEx(RegKey key, const std::string& valueName,
                                     std::uint32_t /*reserved*/, std::uint32_t type,
                                     const std::uint8_t* data, std::uint32_t size) {
    if (data == nullptr && size != 0) return reg::kInvalidParameter;
    if (valueName.size() > kMaxValueNameLength) return reg::kInvalidParameter;
    return InTransaction(true, [&]() -> RegStatus {
        std::int64_t id = 0;
        RegStatus status = ResolveWithRights(key, kKeySetValue, id);
        if (status != reg::kSuccess) return status;
        auto& statement = BindName(statements_->setValue->Reset().Bind(1, id), 2, valueName);
        BindName(statement, 3, FoldCase(valueName))
            .Bind(4, static_cast<std::int64_t>(type))
            .BindBlob(5, data, size)
            .Run();
        return reg::kSuccess;
    });
}

RegStatus SqliteRegistry::DeleteKey(RegKey root, const std::string& subKey) {
    return InTransaction(true, [&]() -> RegStatus {
        std::int64_t id = 0;
        RegStatus status = FindKey(root, subKey, id);
        if (status != reg::kSuccess) return status;
        // A predefined root itself cannot be deleted, whether named by itself or by a handle
        // opened on it: the registry would lose the root.
        if (IsRootId(id) || HasSubKeys(id)) return reg::kAccessDenied;
        statements_->deleteValues->Reset().Bind(1, id).Run();
        statements_->deleteKey->Reset().Bind(1, id).Run();
        return reg::kSuccess;
    });
}

RegStatus SqliteRegistry::DeleteValue(RegKey key, const std::string& valueName) {
    return InTransaction(true, [&]() -> RegStatus {
        std::int64_t id = 0;
        RegStatus status = ResolveWithRights(key, kKeySetValue, id);
        if (status != reg::kSuccess) return status;
        BindName(statements_->deleteValue->Reset().Bind(1, id), 2, FoldCase(valueName)).Run();
        return sqlite3_changes(database_->Handle()) > 0 ? reg::kSuccess : reg::kFileNotFound;
    });
}

RegStatus SqliteRegistry::CloseKey(RegKey key) {
    if (IsRoot(key)) return reg::kSuccess;
    return handles_.erase(key) > 0 ? reg::kSuccess : reg::kInvalidHandle;
}

std::optional<std::string> SqliteRegistry::EnvironmentValue(const std::string& name, bool expand) {
    for (auto [root, path] : {std::pair{reg::kCurrentUser, kUserEnvironmentKey},
                              std::pair{reg::kLocalMachine, kSystemEnvironmentKey}}) {
        std::int64_t id = 0;
        if (FindKey(root, path, id) != reg::kSuccess) continue;
        const auto value = StoredValue(id, name);
        if (!value || (value->type != reg::kSz && value->type != reg::kExpandSz)) continue;
        std::string text(value->data.begin(), value->data.end());
        text = text.substr(0, text.find('\0'));
        // Windows expands REG_EXPAND_SZ variables once when it builds the environment at
        // log-on; references inside the referenced values stay as they are.
        if (value->type == reg::kExpandSz && expand) {
            text = ExpandReferences(
                text, [&](const std::string& inner) { return EnvironmentValue(inner, false); });
        }
        return text;
    }
    return std::nullopt;
}

std::uint32_t SqliteRegistry::ExpandEnvironment(const std::string& source, char* destination,
                                                std::uint32_t destinationSize) {
    std::string expanded = InTransaction(false, [&]() {
        return ExpandReferences(
            source, [&](const std::string& name) { return EnvironmentValue(name, true); });
    });
    // The source ends at its first NUL, as a C string does.
    expanded = expanded.substr(0, expanded.find('\0'));
    if (expanded.size() >= 0xFFFFFFFFu) return 0;
    auto needed = static_cast<std::uint32_t>(expanded.size() + 1);
    if (destination != nullptr && destinationSize >= needed) {
        std::memcpy(destination, expanded.c_str(), needed);
    }
    return needed;
}

bool SqliteRegistry::KeyExists(RegKey key, const std::string& path) {
    return InTransaction(false, [&]() {
        std::int64_t id = 0;
        return FindKey(key, path, id) == reg::kSuccess;
    });
}

std::optional<std::string> SqliteRegistry::StoredKeyPath(RegKey key, const std::string& path) {
    return InTransaction(false, [&]() -> std::optional<std::string> {
        KeyRef ref;
        std::int64_t id = 0;
        if (Resolve(key, ref) != reg::kSuccess || FindKey(key, path, id) != reg::kSuccess) {
            return std::nullopt;
        }
        std::string stored;
        auto& statement = *statements_->keyName;
        while (id != ref.id) {
            statement.Reset().Bind(1, id);
            if (!statement.Step()) return std::nullopt;
            std::string name = statement.ColumnText(1);
            id = statement.ColumnInt(0);
            statement.Finish();
            stored = stored.empty() ? name : name + "\\" + stored;
        }
        return stored;
    });
}

std::vector<std::string> SqliteRegistry::SubKeyNames(RegKey key, const std::string& path) {
    return InTransaction(false, [&]() {
        std::vector<std::string> names;
        std::int64_t id = 0;
        if (FindKey(key, path, id) != reg::kSuccess) return names;
        auto& statement = statements_->subKeys->Reset().Bind(1, id);
        while (statement.Step()) names.push_back(statement.ColumnText(0));
        return names;
    });
}

std::vector<RegistryValue> SqliteRegistry::Values(RegKey key, const std::string& path) {
    return InTransaction(false, [&]() {
        std::vector<RegistryValue> values;
        std::int64_t id = 0;
        if (FindKey(key, path, id) != reg::kSuccess) return values;
        auto& statement = statements_->values->Reset().Bind(1, id);
        while (statement.Step()) {
            values.push_back(RegistryValue{statement.ColumnText(0),
                                           static_cast<std::uint32_t>(statement.ColumnInt(1)),
                                           statement.ColumnBlob(2)});
        }
        return values;
    });
}

void SqliteRegistry::DeleteSubtree(std::int64_t id, bool keepTop) {
    statements_->deleteTreeValues->Reset().Bind(1, id).Run();
    statements_->deleteTreeKeys->Reset().Bind(1, id).Bind(2, keepTop ? id : -1).Run();
}

RegStatus SqliteRegistry::DeleteKeyTree(RegKey key, const std::string& path) {
    return InTransaction(true, [&]() -> RegStatus {
        std::int64_t id = 0;
        RegStatus status = FindKey(key, path, id);
        if (status != reg::kSuccess) return status;
        DeleteSubtree(id, IsRootId(id));
        return reg::kSuccess;
    });
}

}  // namespace tamsel::sandbox
