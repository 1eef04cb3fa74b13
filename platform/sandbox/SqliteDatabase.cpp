#include "platform/sandbox/SqliteDatabase.h"

#include <cerrno>
#include <stdexcept>

namespace tamsel::sandbox {

namespace {

[[noreturn]] void ThrowSqliteError(sqlite3* db, const std::string& storeName,
                                   const std::string& what, int status = SQLITE_OK) {
    if (db != nullptr && IsDiskFull(db, status)) throw DiskFullError(storeName + ": disk full");
    std::string message = storeName + ": " + what;
    if (db != nullptr) {
        message += ": ";
        message += sqlite3_errmsg(db);
    }
    throw std::runtime_error(message);
}

}  // namespace

bool IsDiskFull(sqlite3* db, int status) {
    const int code = status != SQLITE_OK ? status : sqlite3_extended_errcode(db);
    if ((code & 0xFF) == SQLITE_FULL) return true;
    if ((code & 0xFF) != SQLITE_IOERR && (code & 0xFF) != SQLITE_CANTOPEN) return false;
    // A write, a file extension or the shared-memory file that failed for want of room.
    const int error = sqlite3_system_errno(db);
    return error == ENOSPC || error == EDQUOT || error == EFBIG;
}

SqliteStatement::SqliteStatement(sqlite3* db, std::string_view sql, const std::string& storeName)
    : db_(db), storeName_(storeName) {
    if (sqlite3_prepare_v3(db, sql.data(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT,
                           &statement_, nullptr) != SQLITE_OK) {
        ThrowSqliteError(db_, storeName_, "cannot prepare a query");
    }
}

SqliteStatement::~SqliteStatement() { sqlite3_finalize(statement_); }

SqliteStatement& SqliteStatement::Reset() {
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
    return *this;
}

SqliteStatement& SqliteStatement::Bind(int index, std::int64_t value) {
    if (sqlite3_bind_int64(statement_, index, value) != SQLITE_OK) {
        ThrowSqliteError(db_, storeName_, "cannot bind a number");
    }
    return *this;
}

SqliteStatement& SqliteStatement::Bind(int index, std::string_view text) {
    if (sqlite3_bind_text64(statement_, index, text.data(), text.size(), SQLITE_TRANSIENT,
                            SQLITE_UTF8) != SQLITE_OK) {
        ThrowSqliteError(db_, storeName_, "cannot bind a text");
    }
    return *this;
}

SqliteStatement& SqliteStatement::BindBlob(int index, const std::uint8_t* data, std::size_t size) {
    // A zero-length blob, not NULL, even when data is null.
    static const std::uint8_t kNothing = 0;
    if (sqlite3_bind_blob64(statement_, index, data != nullptr ? data : &kNothing, size,
                            SQLITE_TRANSIENT) != SQLITE_OK) {
        ThrowSqliteError(db_, storeName_, "cannot bind data");
    }
    return *this;
}

SqliteStatement& SqliteStatement::BindBorrowed(int index, std::string_view bytes) {
    static const char kNothing = 0;
    if (sqlite3_bind_blob64(statement_, index, bytes.empty() ? &kNothing : bytes.data(),
                            bytes.size(), SQLITE_STATIC) != SQLITE_OK) {
        ThrowSqliteError(db_, storeName_, "cannot bind data");
    }
    return *this;
}

bool SqliteStatement::Step() {
    int status = sqlite3_step(statement_);
    if (status == SQLITE_ROW) return true;
    if (status == SQLITE_DONE) {
        sqlite3_reset(statement_);
        return false;
    }
    std::string message = std::string("query failed (") + sqlite3_errstr(status) + ")";
    sqlite3_reset(statement_);
    ThrowSqliteError(db_, storeName_, message, status);
}

void SqliteStatement::Run() {
    while (Step()) {
    }
}

void SqliteStatement::Finish() { sqlite3_reset(statement_); }

std::int64_t SqliteStatement::ColumnInt(int column) const {
    return sqlite3_column_int64(statement_, column);
}

std::string SqliteStatement::ColumnText(int column) const {
    // Names are stored as blobs of their exact bytes, so read them that way.
    const void* data = sqlite3_column_blob(statement_, column);
    int size = sqlite3_column_bytes(statement_, column);
    return data == nullptr ? std::string() : std::string(static_cast<const char*>(data), size);
}

std::vector<std::uint8_t> SqliteStatement::ColumnBlob(int column) const {
    const auto bytes = ColumnBytes(column);
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

std::span<const std::uint8_t> SqliteStatement::ColumnBytes(int column) const {
    const auto* data = static_cast<const std::uint8_t*>(sqlite3_column_blob(statement_, column));
    const int size = sqlite3_column_bytes(statement_, column);
    return data == nullptr ? std::span<const std::uint8_t>()
                           : std::span<const std::uint8_t>(data, static_cast<std::size_t>(size));
}

SqliteDatabase::SqliteDatabase(const std::filesystem::path& file, bool create)
    : name_(file.string()) {
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
    const int status = sqlite3_open_v2(name_.c_str(), &db_, flags, nullptr);
    if (status != SQLITE_OK) {
        const bool full = db_ != nullptr && IsDiskFull(db_, status);
        std::string message = name_ + ": cannot open the database: " +
                              (db_ != nullptr ? sqlite3_errmsg(db_) : "out of memory");
        sqlite3_close(db_);
        db_ = nullptr;
        if (full) throw DiskFullError(name_ + ": disk full");
        throw std::runtime_error(message);
    }
    sqlite3_extended_result_codes(db_, 1);
}

SqliteDatabase::~SqliteDatabase() { sqlite3_close(db_); }

void SqliteDatabase::Execute(const char* sql) {
    const int status = sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
    if (status != SQLITE_OK) {
        ThrowSqliteError(db_, name_, std::string("\"") + sql + "\" failed", status);
    }
}

std::int64_t SqliteDatabase::QueryInt(const char* sql) {
    SqliteStatement statement(db_, sql, name_);
    std::int64_t value = statement.Step() ? statement.ColumnInt(0) : 0;
    statement.Finish();
    return value;
}

std::unique_ptr<SqliteStatement> SqliteDatabase::Prepare(std::string_view sql) {
    return std::make_unique<SqliteStatement>(db_, sql, name_);
}

void SqliteDatabase::Fail(const std::string& what) const { ThrowSqliteError(db_, name_, what); }

}  // namespace tamsel::sandbox
