#include "platform/sandbox/HostProcess.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;

namespace tamsel::sandbox {

namespace {

// NULL-terminated pointer arrays over strings that outlive them.
std::vector<char*> PointersTo(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    pointers.reserve(texts.size() + 1);
    for (auto& text : texts) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

int WaitFor(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return -errno;
    }
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return 1;
}

void WriteAll(int fd, const void* data, size_t size) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = write(fd, bytes, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return;
        bytes += written;
        size -= static_cast<size_t>(written);
    }
}

}  // namespace

std::vector<std::string> EnvironmentWith(const std::string& name, const std::string& value) {
    std::vector<std::string> result;
    const std::string prefix = name + "=";
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
        std::string text(*entry);
        if (!text.starts_with(prefix)) result.push_back(std::move(text));
    }
    result.push_back(prefix + value);
    return result;
}

int StartDetached(const std::filesystem::path& program,
                  const std::vector<std::string>& environment) {
    // Everything the children need is prepared before fork: after it only async-signal-safe
    // calls are made.
    std::string path = program.string();
    std::vector<std::string> args{path};
    std::vector<std::string> env = environment;
    std::vector<char*> argv = PointersTo(args);
    std::vector<char*> envp = PointersTo(env);

    const int devNull = open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (devNull < 0) return errno;
    // The grandchild reports a failed exec through this pipe; a successful exec closes it.
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0) {
        const int error = errno;
        close(devNull);
        return error;
    }

    const pid_t child = fork();
    if (child < 0) {
        const int error = errno;
        close(devNull);
        close(report[0]);
        close(report[1]);
        return error;
    }
    if (child == 0) {
        // The middle child starts the program and leaves at once, so that the program is
        // adopted by init and never becomes a zombie of this process.
        const pid_t grandchild = fork();
        if (grandchild < 0) {
            const int error = errno;
            WriteAll(report[1], &error, sizeof error);
            _exit(1);
        }
        if (grandchild == 0) {
            setsid();
            dup2(devNull, STDIN_FILENO);
            // The program gets stdin, stdout and stderr only: not this process's machine
            // database or the front end's log. Failing that (an old kernel) it keeps them.
            close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
            execve(path.c_str(), argv.data(), envp.data());
            const int error = errno;
            WriteAll(report[1], &error, sizeof error);
            _exit(127);
        }
        _exit(0);
    }

    close(devNull);
    close(report[1]);
    WaitFor(child);
    int error = 0;
    ssize_t got = 0;
    do {
        got = read(report[0], &error, sizeof error);
    } while (got < 0 && errno == EINTR);
    close(report[0]);
    return got == static_cast<ssize_t>(sizeof error) ? error : 0;
}

int RunAndWait(const std::filesystem::path& program, const std::vector<std::string>& environment) {
    std::string path = program.string();
    std::vector<std::string> args{path};
    std::vector<std::string> env = environment;
    std::vector<char*> argv = PointersTo(args);
    std::vector<char*> envp = PointersTo(env);
    pid_t pid = 0;
    const int error = posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv.data(), envp.data());
    if (error != 0) return -error;
    return WaitFor(pid);
}

}  // namespace tamsel::sandbox
