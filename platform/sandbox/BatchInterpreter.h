#pragma once

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <string>

namespace tamsel::sandbox {

class SandboxMachine;

// Expands the "%" of one batch-file line as cmd does: "%%" is one "%", "%NAME%" the value of
// the variable (nothing when it is not set), "%0" the batch file's path, "%1" to "%9" and "%*"
// nothing (the batch files run at log-on get no arguments), and a "%" without a closing one is
// dropped.
std::string ExpandBatchLine(const std::string& line, const std::string& batchPath,
                            const std::function<std::string(const std::string&)>& variable);

// The sandbox's stand-in for cmd.exe running a batch file. It knows only what clean-up batch
// files use:
//   del "FILE"       deletes one file; "Could Not Find FILE" when it is missing, "Access is
//                    denied." when it is read-only, and a sharing violation when it is in use;
//   rmdir "FOLDER"   removes an empty folder; "The directory is not empty." otherwise;
// one argument each, quoted or not, lines ending in CR LF or LF, and the "%" expansion above.
// A batch file's bytes are read in the machine's OEM code page, as cmd reads them; a path then
// names what its characters in that code page name, short (8.3) names included.
// Any other command (options, wildcards, redirection, other commands) is reported and not
// run. Each error is reported and the next line runs, as in cmd. Every path goes through the
// machine, so nothing outside the sandbox is touched.
//
// cmd reads a batch file line by line while it runs it: a batch file that deletes itself ends
// there, silently on its last line and with "The batch file cannot be found." before others.
class BatchInterpreter {
  public:
    // messages receives what cmd would write to the console.
    BatchInterpreter(SandboxMachine& machine, std::ostream& messages);

    // Runs the batch file that a Windows path names. False, with a message, when the file
    // cannot be read.
    bool RunFile(const std::string& batchPath);
    // Runs text as the contents of the batch file batchPath.
    void RunText(const std::string& text, const std::string& batchPath);

    // Lines that were refused as unknown commands since this interpreter was made.
    int RefusedCount() const { return refused_; }

  private:
    void RunLine(const std::string& line, const std::string& batchPath);
    void Delete(const std::string& path);
    void RemoveFolder(const std::string& path);
    void Refuse(const std::string& line, const char* why);
    bool Exists(const std::string& windowsPath);
    bool IsDriveRoot(const std::filesystem::path& host);

    SandboxMachine& machine_;
    std::ostream& messages_;
    int refused_ = 0;
};

}  // namespace tamsel::sandbox
