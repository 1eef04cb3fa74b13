#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tamsel::sandbox {

// The disk (or the file-size limit) left no room for what SQLite had to write. Its message is
// "<file>: disk full".
class DiskFullError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Whether the last failure on a connection, with status `status`, was for want of room.
bool IsDiskFull(sqlite3* db, int status);

// A prepared SQLite statement. Reset before each use; its columns are read while a row is
// current.
class SqliteStatement {
  public:
    SqliteStatement(sqlite3* db, std::string_view sql, const std::string& storeName);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    // Clears earlier bindings and rewinds the statement; returns *this to chain binds.
    SqliteStatement& Reset();
    SqliteStatement& Bind(int index, std::int64_t value);
    SqliteStatement& Bind(int index, std::string_view text);
    SqliteStatement& BindBlob(int index, const std::uint8_t* data, std::size_t size);
    // Binds bytes without copying them: they must stay valid and unchanged until the statement
    // is next reset. For the lookups that run on every call, where SQLite's own copy (a
    // malloc and a free per bound name) costs more than the index search.
    SqliteStatement& BindBorrowed(int index, std::string_view bytes);

    // Runs to the next row: true when a row is current, false when done. Throws
    // std::runtime_error naming the store on any error.
    bool Step();
    // Runs a statement that returns no rows.
    void Run();
    // Ends the current use of a statement that was not run to its end, so that it holds no
    // read snapshot.
    void Finish();

    std::int64_t ColumnInt(int column) const;
    std::string ColumnText(int column) const;
    std::vector<std::uint8_t> ColumnBlob(int column) const;
    // The bytes of a column of the current row, valid until the statement moves on.
    std::span<const std::uint8_t> ColumnBytes(int column) const;

  private:
    sqlite3* db_;
    sqlite3_stmt* statement_ = nullptr;
    const std::string& storeName_;
};

// One connection to an SQLite file. Every failure becomes a std::runtime_error whose message
// names the file; a full disk becomes a DiskFullError.
class SqliteDatabase {
  public:
    // Opens an existing file (create == false) or creates one (create == true).
    SqliteDatabase(const std::filesystem::path& file, bool create);
    ~SqliteDatabase();
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    void Execute(const char* sql);
    std::int64_t QueryInt(const char* sql);
    std::unique_ptr<SqliteStatement> Prepare(std::string_view sql);

    // Throws the error that the last call on this connection left, with context.
    [[noreturn]] void Fail(const std::string& what) const;

    const std::string& Name() const { return name_; }
    sqlite3* Handle() const { return db_; }

  private:
    std::string name_;
    sqlite3* db_ = nullptr;
};

}  // namespace tamsel::sandbox
