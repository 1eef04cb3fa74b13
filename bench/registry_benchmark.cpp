// RegistryGetKeyValue and RegistrySetKeyValue on a sandbox registry of 100,000 keys, against a
// raw SQLite program on the same database file with the same settings (WAL, synchronous=FULL):
//  - the read's baseline is one prepared statement that finds the value by its key path (a
//    join over the four key levels and the value) in its own read transaction;
//  - the write's baseline is one prepared upsert of one value row in its own durable
//    transaction (BEGIN IMMEDIATE ... COMMIT).
// Usage: registry_benchmark [ROUNDS]
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "BenchSupport.h"
#include "common/RegistryAccess.h"
#include "common/ui/MessageBox.h"
#include "platform/sandbox/SqliteRegistry.h"

namespace fs = std::filesystem;
using namespace tamsel::bench;
using tamsel::sandbox::SqliteRegistry;

namespace {

constexpr int kKeyCount = 100000;
constexpr int kKeysPerGroup = 1000;

std::string GroupName(int i) { return "Group" + std::to_string(i / kKeysPerGroup); }
std::string KeyName(int i) { return "Key" + std::to_string(i); }
std::string KeyPath(int i) { return "SOFTWARE\\Bench\\" + GroupName(i) + "\\" + KeyName(i); }
std::string Folded(std::string text) {
    for (char& c : text) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    return text;
}

// Keys visited in a scattered order, so that no two calls in a row touch the same pages.
int NextKey(int& state) {
    state = (state + 7919) % kKeyCount;
    return state;
}

class NoMessages : public tamsel::MessageBoxes {
  public:
    tamsel::MsgResult ShowMessageBox(const tamsel::MessageBoxSpec&) override {
        throw std::logic_error("a registry procedure showed a message box");
    }
};

void Fill(SqliteRegistry& registry) {
    registry.RunInTransaction([&] {
        for (int i = 0; i < kKeyCount; ++i) {
            tamsel::RegKey key = 0;
            registry.CreateKeyEx(tamsel::reg::kLocalMachine, KeyPath(i), 0, nullptr, 0,
                                 tamsel::reg::kKeySixRights, &key, nullptr);
            std::string text = "C:\\Program Files\\App" + std::to_string(i) + "\\";
            registry.SetValueEx(key, "Path", 0, tamsel::reg::kSz,
                                reinterpret_cast<const std::uint8_t*>(text.c_str()),
                                static_cast<std::uint32_t>(text.size() + 1));
            registry.CloseKey(key);
        }
    });
}

// The raw program: its own connection with the registry's settings and prepared statements.
class RawSqlite {
  public:
    explicit RawSqlite(const fs::path& file) {
        if (sqlite3_open_v2(file.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX,
                            nullptr) != SQLITE_OK) {
            throw std::runtime_error("cannot open " + file.string());
        }
        Exec("PRAGMA journal_mode = WAL");
        Exec("PRAGMA synchronous = FULL");
        read_ = Prepare(
            "SELECT v.type, v.data FROM registry_key k1 "
            "JOIN registry_key k2 ON k2.parent = k1.id AND k2.folded = ?2 "
            "JOIN registry_key k3 ON k3.parent = k2.id AND k3.folded = ?3 "
            "JOIN registry_key k4 ON k4.parent = k3.id AND k4.folded = ?4 "
            "JOIN registry_value v ON v.key = k4.id AND v.folded = ?5 "
            "WHERE k1.parent = 3 AND k1.folded = ?1");
        keyId_ = Prepare(
            "SELECT k4.id FROM registry_key k1 "
            "JOIN registry_key k2 ON k2.parent = k1.id AND k2.folded = ?2 "
            "JOIN registry_key k3 ON k3.parent = k2.id AND k3.folded = ?3 "
            "JOIN registry_key k4 ON k4.parent = k3.id AND k4.folded = ?4 "
            "WHERE k1.parent = 3 AND k1.folded = ?1");
        begin_ = Prepare("BEGIN IMMEDIATE");
        write_ = Prepare(
            "INSERT INTO registry_value(key, name, folded, type, data) VALUES (?1, 'Raw', 'raw', "
            "1, ?2) ON CONFLICT(key, folded) DO UPDATE SET type = excluded.type, data = "
            "excluded.data");
        commit_ = Prepare("COMMIT");
    }
    ~RawSqlite() {
        for (sqlite3_stmt* statement : {read_, keyId_, begin_, write_, commit_}) {
            sqlite3_finalize(statement);
        }
        sqlite3_close(db_);
    }

    std::size_t Read(int i) {
        BindPath(read_, i);
        sqlite3_bind_blob(read_, 5, "path", 4, SQLITE_STATIC);
        std::size_t size = 0;
        if (sqlite3_step(read_) == SQLITE_ROW) {
            std::string data(static_cast<const char*>(sqlite3_column_blob(read_, 1)),
                             sqlite3_column_bytes(read_, 1));
            size = data.size();
        }
        sqlite3_reset(read_);
        return size;
    }

    std::int64_t KeyId(int i) {
        BindPath(keyId_, i);
        std::int64_t id = sqlite3_step(keyId_) == SQLITE_ROW ? sqlite3_column_int64(keyId_, 0) : 0;
        sqlite3_reset(keyId_);
        return id;
    }

    void Write(std::int64_t key) {
        static const char kData[] = "D:\\Elsewhere\\";
        Step(begin_);
        sqlite3_bind_int64(write_, 1, key);
        sqlite3_bind_blob(write_, 2, kData, sizeof kData, SQLITE_STATIC);
        Step(write_);
        Step(commit_);
    }

  private:
    void Exec(const char* sql) {
        if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK) {
            throw std::runtime_error(sqlite3_errmsg(db_));
        }
    }
    sqlite3_stmt* Prepare(const char* sql) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &statement, nullptr) !=
            SQLITE_OK) {
            throw std::runtime_error(sqlite3_errmsg(db_));
        }
        return statement;
    }
    void Step(sqlite3_stmt* statement) {
        const int status = sqlite3_step(statement);
        sqlite3_reset(statement);
        if (status != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(db_));
    }
    void BindPath(sqlite3_stmt* statement, int i) {
        parts_[0] = "software";
        parts_[1] = "bench";
        parts_[2] = Folded(GroupName(i));
        parts_[3] = Folded(KeyName(i));
        for (int part = 0; part < 4; ++part) {
            sqlite3_bind_blob(statement, part + 1, parts_[part].data(),
                              static_cast<int>(parts_[part].size()), SQLITE_STATIC);
        }
    }

    sqlite3* db_ = nullptr;
    sqlite3_stmt* read_ = nullptr;
    sqlite3_stmt* keyId_ = nullptr;
    sqlite3_stmt* begin_ = nullptr;
    sqlite3_stmt* write_ = nullptr;
    sqlite3_stmt* commit_ = nullptr;
    std::string parts_[4];
};

}  // namespace

int main(int argc, char** argv) try {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;
    constexpr int kReadsPerRound = 20000;
    constexpr int kWritesPerRound = 50;
    const ScratchFolder scratch(BuildFolder());
    const fs::path file = scratch.Path() / "registry.db";
    auto registry = SqliteRegistry::Open(file);
    Fill(*registry);
    NoMessages messages;
    tamsel::RegistryAccess access(*registry, messages);
    RawSqlite raw(file);

    int ourKey = 0;
    int rawKey = 0;
    CompareAndPrint(
        "`RegistryGetKeyValue` on a registry of 100,000 keys", "a raw SQLite point read", rounds,
        [&] {
            return TimeSeconds([&] {
                       for (int i = 0; i < kReadsPerRound; ++i) {
                           auto value = access.RegistryGetKeyValue(
                               tamsel::reg::kLocalMachine, KeyPath(NextKey(ourKey)), "Path");
                           if (value.ToText().empty()) throw std::runtime_error("no value read");
                       }
                   }) /
                   kReadsPerRound;
        },
        [&] {
            return TimeSeconds([&] {
                       for (int i = 0; i < kReadsPerRound; ++i) {
                           // The same work of making the key's path as the call above does.
                           const std::string path = KeyPath(NextKey(rawKey));
                           if (raw.Read(rawKey) == 0 || path.empty()) {
                               throw std::runtime_error("no value read");
                           }
                       }
                   }) /
                   kReadsPerRound;
        },
        1e6, "µs");

    CompareAndPrint(
        "`RegistrySetKeyValue` (one durable commit)",
        "a raw SQLite single-row commit, WAL, `synchronous=FULL`", rounds,
        [&] {
            return TimeSeconds([&] {
                       for (int i = 0; i < kWritesPerRound; ++i) {
                           access.RegistrySetKeyValue(tamsel::reg::kLocalMachine,
                                                      KeyPath(NextKey(ourKey)), "Path",
                                                      tamsel::Variant("D:\\Elsewhere\\"), 1);
                       }
                   }) /
                   kWritesPerRound;
        },
        [&] {
            std::vector<std::int64_t> keys;
            for (int i = 0; i < kWritesPerRound; ++i) keys.push_back(raw.KeyId(NextKey(rawKey)));
            return TimeSeconds([&] {
                       for (std::int64_t key : keys) raw.Write(key);
                   }) /
                   kWritesPerRound;
        },
        1e6, "µs");
    return 0;
} catch (const std::exception& error) {
    std::fprintf(stderr, "registry_benchmark: %s\n", error.what());
    return 1;
}
