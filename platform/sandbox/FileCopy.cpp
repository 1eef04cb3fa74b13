#include "platform/sandbox/FileCopy.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>
#include <vector>

namespace tamsel::sandbox {

namespace fs = std::filesystem;

namespace {

std::error_code LastError() { return std::error_code(errno, std::generic_category()); }

// Closes a descriptor when it goes.
struct Descriptor {
    int fd = -1;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
    // Closes now and reports the error of the close, which is where some file systems report
    // a failed write.
    std::error_code Close() {
        const int closing = fd;
        fd = -1;
        return ::close(closing) != 0 ? LastError() : std::error_code();
    }
};

// A name that no other copy, in this process or another, is using: the process id and a
// number of this process, made unique against leftovers by O_EXCL.
int CreateTemporary(const fs::path& to, mode_t mode, fs::path& temporary) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary =
            to.parent_path() / ("." + to.filename().string() + "." + std::to_string(::getpid()) +
                                "-" + std::to_string(counter++) + ".copying");
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

// Copies `size` bytes inside the kernel; falls back to read and write in large blocks where
// copy_file_range is not supported between the two files.
std::error_code CopyBytes(int in, int out, off_t size) {
    if (::ioctl(out, FICLONE, in) == 0) return {};
    off_t done = 0;
    while (done < size) {
        const ssize_t copied =
            ::copy_file_range(in, nullptr, out, nullptr, static_cast<std::size_t>(size - done), 0);
        if (copied > 0) {
            done += copied;
            continue;
        }
        if (copied == 0) break;  // the source became shorter
        if (errno == EINTR) continue;
        if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP) {
            return LastError();
        }
        std::vector<char> block(std::size_t{1} << 20);
        for (;;) {
            const ssize_t got = ::read(in, block.data(), block.size());
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) return LastError();
            if (got == 0) return {};
            for (ssize_t put = 0; put < got;) {
                const ssize_t wrote =
                    ::write(out, block.data() + put, static_cast<std::size_t>(got - put));
                if (wrote < 0 && errno == EINTR) continue;
                if (wrote < 0) return LastError();
                put += wrote;
            }
        }
    }
    return {};
}

}  // namespace

std::error_code CopyAsideAndRename(const fs::path& from, const fs::path& to) {
    Descriptor in{::open(from.c_str(), O_RDONLY | O_CLOEXEC)};
    if (in.fd < 0) return LastError();
    struct stat source {};
    if (::fstat(in.fd, &source) != 0) return LastError();
    // Read ahead in large steps, as cp asks for too.
    ::posix_fadvise(in.fd, 0, 0, POSIX_FADV_SEQUENTIAL);

    fs::path temporary;
    Descriptor out{CreateTemporary(to, source.st_mode & 07777, temporary)};
    if (out.fd < 0) return LastError();
    std::error_code error = CopyBytes(in.fd, out.fd, source.st_size);
    // The mode asked for at creation is cut by the umask; the copy has the source's bits.
    if (!error && ::fchmod(out.fd, source.st_mode & 07777) != 0) error = LastError();
    const std::error_code closed = out.Close();
    if (!error) error = closed;
    if (!error && ::rename(temporary.c_str(), to.c_str()) != 0) error = LastError();
    if (error) ::unlink(temporary.c_str());
    return error;
}

}  // namespace tamsel::sandbox
