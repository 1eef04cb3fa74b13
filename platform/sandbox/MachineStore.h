#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace tamsel::sandbox {

class SqliteDatabase;
class SqliteStatement;

// The state of a file that Windows keeps and the host cannot.
struct FileState {
    bool readOnly = false;
    bool inUse = false;
};

struct VolumeLabel {
    char letter = 'c';  // lower case
    std::string label;
};

// machine.db: what the sandbox machine knows beyond its registry and its files. File state is
// kept by Windows path and looked up without regard to case. Every failure of the store is a
// std::runtime_error that names the file ("disk full" when the disk is).
//
// The store is small and read far more often than written (every file that a program touches
// asks for its state), so its contents are held in memory and read again only when another
// write reached the file: SQLite's file change counter, which every committed transaction of a
// database in rollback-journal mode increments, is compared first. Asking about a file that
// has no stored state thus costs one pread, no SQL.
class MachineStore {
  public:
    // Makes a new store with the defaults of a new machine (scripting host installed, the
    // given volume labels). The file must not exist.
    static void Create(const std::filesystem::path& file, const std::vector<VolumeLabel>& labels);

    // Opens an existing store; refuses a file that is not one.
    explicit MachineStore(const std::filesystem::path& file);
    ~MachineStore();
    MachineStore(const MachineStore&) = delete;
    MachineStore& operator=(const MachineStore&) = delete;

    FileState GetFileState(const std::string& windowsPath);
    // A state with both flags false removes the record.
    void SetFileState(const std::string& windowsPath, FileState state);

    std::string Setting(const std::string& name, const std::string& fallback);
    void SetSetting(const std::string& name, const std::string& value);

    std::vector<VolumeLabel> Labels();

  private:
    struct Snapshot {
        std::map<std::string, std::string> settings;
        std::map<std::string, FileState> fileStates;  // by ASCII-folded path
        std::vector<VolumeLabel> labels;
    };

    // The contents as they are now, read again when the file has changed since.
    const Snapshot& Current();
    // SQLite's change counter of the file, read from its header.
    std::uint32_t ChangeCounter();

    std::unique_ptr<SqliteDatabase> database_;
    std::unique_ptr<SqliteStatement> begin_, commit_, selectSettings_, selectStates_, selectLabels_,
        deleteState_, upsertState_, upsertSetting_;
    Snapshot snapshot_;
    std::uint32_t snapshotCounter_ = 0;
    bool snapshotValid_ = false;
    // False when the file is in WAL mode, where the counter does not move with each write.
    bool counterTracksWrites_ = true;
};

}  // namespace tamsel::sandbox
