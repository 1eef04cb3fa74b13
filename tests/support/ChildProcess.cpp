#include "support/ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>

#include "support/ScratchDirectory.h"

extern char** environ;

namespace tamsel::test {

ProcessResult RunProcess(const std::vector<std::string>& command,
                         const EnvironmentChanges& environment, int timeoutSeconds) {
    ProcessResult result;
    // timeout(1) kills the program if it runs too long; env(1) changes its environment.
    std::vector<std::string> args = {"timeout", "-s", "KILL", std::to_string(timeoutSeconds),
                                     "env"};
    for (const auto& [name, value] : environment) {  // env takes its -u options first
        if (value) {
            args.push_back(name + "=" + *value);
        } else {
            args.insert(args.begin() + 5, {"-u", name});
        }
    }
    args.insert(args.end(), command.begin(), command.end());
    std::vector<char*> argv;
    for (auto& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);

    // Output goes to files rather than pipes: a program that starts another, detached, would
    // otherwise keep the pipes open after it has ended.
    ScratchDirectory scratch;
    const std::string outPath = (scratch.Path() / "stdout").string();
    const std::string errPath = (scratch.Path() / "stderr").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    const int error = posix_spawnp(&pid, "timeout", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (error != 0 || waitpid(pid, &status, 0) != pid) {
        result.problem = std::string("cannot run timeout: ") + std::strerror(error);
        return result;
    }
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (result.status == 128 + SIGKILL) {
        result.status = -1;
        result.problem = command[0] + " did not end within " + std::to_string(timeoutSeconds) +
                         " s and was killed";
    }
    result.out = ReadHostFile(outPath);
    result.err = ReadHostFile(errPath);
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
                             const std::vector<std::string>& args, EnvironmentChanges environment) {
    std::vector<std::string> command{tool.string()};
    command.insert(command.end(), args.begin(), args.end());
    environment["TAMSEL_SANDBOX"] = sandbox.string();
    return RunProcess(command, environment);
}

}  // namespace tamsel::test
