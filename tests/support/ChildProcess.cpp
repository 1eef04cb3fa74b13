#include "support/ChildProcess.h"

#include <sys/wait.h>

#include <csignal>
#include <cstdlib>
#include <fstream>

#include "support/ScratchDirectory.h"

namespace tamsel::test {

namespace {

// The word quoted for sh, which takes everything between single quotes as it is.
std::string ShellWord(const std::string& word) {
    std::string quoted = "'";
    for (const char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

}  // namespace

ProcessResult RunProcess(const std::vector<std::string>& command,
                         const EnvironmentChanges& environment, int timeoutSeconds) {
    // timeout(1) kills the program if it runs too long; env(1) removes every variable named (its
    // -u options come first) and then sets those that have a value.
    std::string line = "exec timeout -s KILL " + std::to_string(timeoutSeconds) + " env";
    for (const auto& change : environment) line += " -u " + ShellWord(change.first);
    for (const auto& [name, value] : environment) {
        if (value) line += " " + ShellWord(name + "=" + *value);
    }
    for (const auto& word : command) line += " " + ShellWord(word);
    // Output goes to files rather than pipes: a program that starts another, detached, would
    // otherwise keep the pipes open after it has ended.
    ScratchDirectory scratch;
    const std::filesystem::path out = scratch.Path() / "stdout";
    const std::filesystem::path err = scratch.Path() / "stderr";
    const int status =
        std::system((line + " </dev/null >" + ShellWord(out) + " 2>" + ShellWord(err)).c_str());
    ProcessResult result{WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status),
                         ReadHostFile(out), ReadHostFile(err), ""};
    if (result.status == 128 + SIGKILL) {
        result.status = -1;
        result.problem = command[0] + " did not end within " + std::to_string(timeoutSeconds) +
                         " s and was killed";
    }
    return result;
}

std::string ReadHostFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::filesystem::path BuiltFile(const std::string& relative) {
    const char* windowsDist = std::getenv("TAMSEL_WINE_DIST");
    if (windowsDist != nullptr && *windowsDist != '\0' && relative.starts_with("dist/")) {
        std::filesystem::path program = std::filesystem::path(windowsDist) / relative.substr(5);
        if (!program.has_extension()) program += ".exe";
        return program;
    }
    return std::filesystem::path(TAMSEL_BINARY_DIR) / relative;
}

ProcessResult RunSandboxTool(const std::filesystem::path& tool,
                             const std::filesystem::path& sandbox,
                             const std::vector<std::string>& args) {
    std::vector<std::string> command{tool.string()};
    command.insert(command.end(), args.begin(), args.end());
    return RunProcess(command, {{"TAMSEL_SANDBOX", sandbox.string()}});
}

}  // namespace tamsel::test
