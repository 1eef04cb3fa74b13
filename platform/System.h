#pragma once

#include <string>
#include <vector>

namespace tamsel {

// The process-level services of the machine the program runs on.
class System {
  public:
    virtual ~System() = default;

    // The value of an environment variable of the process ("" when it is not set).
    virtual std::string EnvironmentVariable(const std::string& name) = 0;
    // The folder that holds the running program, as a Windows path: no trailing "\" except
    // for a drive root.
    virtual std::string ProgramFolder() = 0;
    // Starts the program at this full path as a new process in a normal window and does not
    // wait for it. Exactly that file is started; the path, unquoted and without arguments, is
    // also the process's command line.
    // Throws RuntimeError (53 when the program file does not exist) when it cannot start.
    virtual void StartProcess(const std::string& programPath) = 0;
};

// One entry of a drive list: "c:" and the volume label.
struct DriveInfo {
    char letter = 'c';  // lower case, as a drive list shows it
    std::string label;  // may be empty
    bool ready = true;  // false for an empty removable drive
};

// What the drive list and the directory list of a dialog show.
class Volumes {
  public:
    virtual ~Volumes() = default;
    virtual std::vector<DriveInfo> Drives() = 0;
    // The current directory of a drive ("D:\" when none was set), as a Windows path.
    virtual std::string CurrentDirectory(char driveLetter) = 0;
    virtual void SetCurrentDirectory(char driveLetter, const std::string& path) = 0;
    virtual bool DirectoryExists(const std::string& path) = 0;
    // The names of the subdirectories of a directory, sorted as the file system lists them;
    // empty when the directory cannot be listed.
    virtual std::vector<std::string> SubDirectories(const std::string& path) = 0;
};

}  // namespace tamsel
