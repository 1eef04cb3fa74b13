#pragma once

#include <sqlite3.h>

#include <filesystem>
#include <string>
#include <vector>

namespace tamsel::sandbox {

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
// std::runtime_error that names the file.
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
    std::string name_;
    sqlite3* db_ = nullptr;
};

}  // namespace tamsel::sandbox
