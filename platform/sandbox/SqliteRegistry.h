#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Registry.h"

namespace tamsel::sandbox {

class SqliteDatabase;
class SqliteStatement;

// ERROR_KEY_DELETED: the key a handle refers to was deleted after the handle was opened.
inline constexpr RegStatus kKeyDeletedStatus = 1018;

// One value of a key, as stored: name with its original case, type and exact bytes.
struct RegistryValue {
    std::string name;
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
};

// The sandbox's registry: an SQLite database with the Win32 semantics of platform/Registry.h.
//
// Every call is one SQLite transaction in a write-ahead log with synchronous=FULL, so a process
// killed at any moment loses no completed call and leaves no half-done one. Several processes
// may use one database; a busy database is waited for.
//
// Key and value names keep the case they were created with and are looked up by an ASCII
// case-folded copy. Handles are small integers of this object, never reused while it lives;
// a handle whose key was deleted meanwhile gives kKeyDeletedStatus, as on Windows. Access rights
// are checked as Windows checks them: querying needs KEY_QUERY_VALUE, setting and deleting a
// value KEY_SET_VALUE, creating a subkey below a handle KEY_CREATE_SUB_KEY. Generic rights
// (GENERIC_READ, ...) grant nothing here, where Windows maps them to key rights: no program asks
// for them, and the sandbox stays the stricter of the two.
//
// The environment that ExpandEnvironment uses is the machine's, kept in the registry itself:
// the values of HKCU "Environment", then those of the HKLM session-manager environment.
class SqliteRegistry : public Registry {
  public:
    // Opens the database, creating it with the empty registry (the four roots) when the file
    // is missing. A file that is not a registry database of this version is refused with a
    // std::runtime_error that names it, and is left untouched.
    static std::unique_ptr<SqliteRegistry> Open(const std::filesystem::path& file);
    ~SqliteRegistry() override;
    SqliteRegistry(const SqliteRegistry&) = delete;
    SqliteRegistry& operator=(const SqliteRegistry&) = delete;

    RegStatus CreateKeyEx(RegKey root, const std::string& subKey, std::uint32_t reserved,
                          const char* keyClass, std::uint32_t options, std::uint32_t access,
                          RegKey* result, std::uint32_t* disposition) override;
    RegStatus OpenKeyEx(RegKey root, const std::string& subKey, std::uint32_t options,
                        std::uint32_t access, RegKey* result) override;
    RegStatus QueryValueEx(RegKey key, const std::string& valueName, std::uint32_t* type,
                           std::uint8_t* data, std::uint32_t* size) override;
    RegStatus SetValueEx(RegKey key, const std::string& valueName, std::uint32_t reserved,
                         std::uint32_t type, const std::uint8_t* data, std::uint32_t size) override;
    RegStatus DeleteKey(RegKey root, const std::string& subKey) override;
    RegStatus DeleteValue(RegKey key, const std::string& valueName) override;
    RegStatus CloseKey(RegKey key) override;
    std::uint32_t ExpandEnvironment(const std::string& source, char* destination,
                                    std::uint32_t destinationSize) override;

    // Handles handed out and not closed yet.
    std::size_t OpenHandleCount() const { return handles_.size(); }
    const std::filesystem::path& File() const { return file_; }

    // Access by path, for export, import and the log-on. `key` is a root or an open handle;
    // `path` may be empty (the key itself). Names come back with their stored case, subkeys
    // and values sorted by their case-folded names (ties by exact bytes).
    bool KeyExists(RegKey key, const std::string& path);
    // The path with each component spelled as stored; nothing when the key is missing.
    std::optional<std::string> StoredKeyPath(RegKey key, const std::string& path);
    // Empty when the key is missing.
    std::vector<std::string> SubKeyNames(RegKey key, const std::string& path);
    std::vector<RegistryValue> Values(RegKey key, const std::string& path);
    // Deletes a key with its whole subtree. An empty path on a root empties the root (its
    // values and subkeys) and keeps it. kFileNotFound when the key is missing.
    RegStatus DeleteKeyTree(RegKey key, const std::string& path);

    // Runs work as one transaction: registry calls inside it join it, and an exception that
    // leaves work undoes everything it changed.
    void RunInTransaction(const std::function<void()>& work);

  private:
    struct KeyRef {
        std::int64_t id = 0;
        std::uint32_t access = 0;
    };
    struct Statements;

    SqliteRegistry(const std::filesystem::path& file, std::unique_ptr<SqliteDatabase> database);

    template <typename Work>
    auto InTransaction(bool write, Work&& work);

    RegStatus Resolve(RegKey key, KeyRef& ref);
    // Resolves a handle and checks that it was opened with one of `rights`.
    RegStatus ResolveWithRights(RegKey key, std::uint32_t rights, std::int64_t& id);
    // The value of that name (any case) of a key, with its name as asked.
    std::optional<RegistryValue> StoredValue(std::int64_t key, const std::string& name);
    bool KeyAlive(std::int64_t id);
    std::optional<std::int64_t> FindChild(std::int64_t parent, const std::string& name);
    std::optional<std::int64_t> FindPath(std::int64_t start, const std::vector<std::string>& parts);
    RegStatus FindKey(RegKey key, const std::string& path, std::int64_t& id);
    bool HasSubKeys(std::int64_t id);
    // The id of an existing key below a root or a live handle, found by one statement;
    // nothing when the key or the handle's key is missing (or the path is too deep for it).
    std::optional<std::int64_t> FindExistingPath(RegKey key, const std::string& path);
    // `fromRoot`: the start is a predefined root, which always exists, so the statement does
    // not look its row up.
    SqliteStatement& PathStatement(std::size_t levels, bool fromRoot);
    void DeleteSubtree(std::int64_t id, bool keepTop);
    std::optional<std::string> EnvironmentValue(const std::string& name, bool expand);
    RegKey NewHandle(std::int64_t id, std::uint32_t access);

    std::filesystem::path file_;
    std::unique_ptr<SqliteDatabase> database_;
    std::unique_ptr<Statements> statements_;
    // Paths deeper than this are walked one level at a time.
    static constexpr std::size_t kMaxJoinedLevels = 16;
    std::array<std::unique_ptr<SqliteStatement>, kMaxJoinedLevels + 1> pathStatements_;
    std::array<std::unique_ptr<SqliteStatement>, kMaxJoinedLevels + 1> rootPathStatements_;
    std::map<RegKey, KeyRef> handles_;
    RegKey nextHandle_ = 1;
    int transactionDepth_ = 0;
};

}  // namespace tamsel::sandbox
