#include "platform/sandbox/SandboxFileSystemObject.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include "platform/RuntimeError.h"
#include "platform/sandbox/CodePage.h"
#include "platform/sandbox/DriveMap.h"
#include "platform/sandbox/FileCopy.h"
#include "platform/sandbox/NameOrder.h"
#include "platform/sandbox/SandboxMachine.h"
#include "platform/sandbox/ShortNames.h"

namespace tamsel::sandbox {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void Raise(std::int32_t number) { throw RuntimeError::FromNumber(number); }

// The error number of a failed host call.
std::int32_t NumberFor(const std::error_code& error, std::int32_t fallback) {
    if (error == std::errc::permission_denied || error == std::errc::operation_not_permitted ||
        error == std::errc::read_only_file_system || error == std::errc::device_or_resource_busy ||
        error == std::errc::text_file_busy || error == std::errc::directory_not_empty) {
        return err::kPermissionDenied;
    }
    if (error == std::errc::no_such_file_or_directory || error == std::errc::not_a_directory) {
        return err::kPathNotFound;
    }
    if (error == std::errc::file_exists) return err::kFileAlreadyExists;
    if (error == std::errc::no_space_on_device || error == std::errc::file_too_large ||
        error.value() == EDQUOT) {
        return err::kDiskFull;
    }
    return fallback;
}

// The kind of what a host path names, following links (HostPath has checked where they lead).
fs::file_type KindOf(const fs::path& path) {
    std::error_code error;
    return fs::status(path, error).type();
}

std::error_code LastError() { return std::error_code(errno, std::generic_category()); }

bool Exists(const fs::path& path) {
    std::error_code error;
    return fs::symlink_status(path, error).type() != fs::file_type::not_found;
}

bool EndsWithSeparator(const std::string& path) {
    return !path.empty() && (path.back() == '\\' || path.back() == '/');
}

// What Windows reports for a file or folder that is not there: 53 when only the last level is
// missing, 76 when the folder it would be in is missing too.
std::int32_t MissingNumber(const fs::path& host) {
    return KindOf(host.parent_path()) == fs::file_type::directory ? err::kFileNotFound
                                                                  : err::kPathNotFound;
}

class SandboxFolder : public Folder {
  public:
    explicit SandboxFolder(fs::path host) : host_(std::move(host)) {}

    std::vector<FileSystemItem> SubFolders() override { return List(true); }
    std::vector<FileSystemItem> Files() override { return List(false); }

  private:
    // Reads the folder with readdir: the kind comes with each name, so only links (followed)
    // and file systems that give no kind cost a stat.
    std::vector<FileSystemItem> List(bool folders) {
        std::vector<std::string> names;
        DIR* dir = ::opendir(host_.c_str());
        if (dir == nullptr) Raise(NumberFor(LastError(), err::kPermissionDenied));
        const mode_t wanted = folders ? S_IFDIR : S_IFREG;
        errno = 0;
        while (const dirent* entry = ::readdir(dir)) {
            const char* name = entry->d_name;
            if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
                continue;
            mode_t kind = DTTOIF(entry->d_type);
            if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
                struct stat target {};
                kind = ::fstatat(::dirfd(dir), name, &target, 0) == 0 ? target.st_mode : 0;
            }
            if ((kind & S_IFMT) == wanted) names.emplace_back(name);
            errno = 0;
        }
        const std::error_code error = errno != 0 ? LastError() : std::error_code();
        ::closedir(dir);
        if (error) Raise(NumberFor(error, err::kPermissionDenied));
        SortNames(names);
        std::vector<FileSystemItem> items;
        items.reserve(names.size());
        for (auto& name : names) items.push_back({std::move(name)});
        return items;
    }

    fs::path host_;
};

// Writes each text in the machine's OEM code page, for batch files.
class SandboxTextStream : public TextStream {
  public:
    SandboxTextStream(const fs::path& host, int oemCodePage)
        : out_(host, std::ios::binary | std::ios::trunc), codePage_(oemCodePage) {}
    ~SandboxTextStream() override {
        if (out_.is_open()) out_.close();
    }

    bool IsOpen() const { return out_.is_open(); }

    void WriteLine(const std::string& text) override { Write(text + "\r\n"); }
    void Write(const std::string& text) override {
        if (!out_.is_open()) Raise(err::kBadFileName);
        const auto bytes = Utf8ToCodePage(codePage_, text);
        if (!bytes) Raise(err::kInvalidProcedureCall);
        out_.write(bytes->data(), static_cast<std::streamsize>(bytes->size()));
        if (!out_) Raise(err::kPathFileAccessError);
    }
    void Close() override {
        if (!out_.is_open()) return;
        out_.close();
        if (!out_) Raise(err::kPathFileAccessError);
    }

  private:
    std::ofstream out_;
    int codePage_;
};

class SandboxFileSystemObject : public FileSystemObject {
  public:
    explicit SandboxFileSystemObject(SandboxMachine& machine) : machine_(machine) {}

    bool FolderExists(const std::string& path) override {
        try {
            return KindAt(path, false) == fs::file_type::directory;
        } catch (const RuntimeError&) {
            return false;
        }
    }

    bool FileExists(const std::string& path) override {
        if (EndsWithSeparator(path)) return false;
        try {
            return KindAt(path, false) == fs::file_type::regular;
        } catch (const RuntimeError&) {
            return false;
        }
    }

    void CreateFolder(const std::string& path) override {
        fs::path host = machine_.HostPath(path, true);
        if (Exists(host)) Raise(err::kFileAlreadyExists);
        if (KindOf(host.parent_path()) != fs::file_type::directory) Raise(err::kPathNotFound);
        std::error_code error;
        fs::create_directory(host, error);
        if (error) Raise(NumberFor(error, err::kPathFileAccessError));
    }

    // Copies one file. A destination ending in "\" is a folder that receives the source's
    // name. The read-only attribute is copied with the file, as Windows copies attributes.
    // The copy is written beside the destination and then renamed over it, so a failure never
    // leaves half a file.
    void CopyFile(const std::string& source, const std::string& destination,
                  bool overwrite) override {
        if (source.empty()) Raise(err::kInvalidProcedureCall);
        fs::file_type kind = fs::file_type::none;
        fs::path from = machine_.HostPath(source, false, kind);
        if (kind != fs::file_type::regular) Raise(MissingNumber(from));
        std::string target = destination;
        if (EndsWithSeparator(target)) target += from.filename().string();
        fs::path to = machine_.HostPath(target, true);
        if (KindOf(to.parent_path()) != fs::file_type::directory) Raise(err::kPathNotFound);

        bool existed = Exists(to);
        if (existed) {
            CheckReplaceable(to);
            if (!overwrite) Raise(err::kFileAlreadyExists);
            std::error_code same;
            if (fs::equivalent(from, to, same)) Raise(err::kPermissionDenied);
        }
        const bool readOnly = machine_.StateAt(from).readOnly;

        const std::error_code error = CopyAsideAndRename(from, to);
        if (error) Raise(NumberFor(error, err::kPathFileAccessError));
        if (!existed) machine_.ForgetStateAt(to);  // no state left from an earlier file
        if (readOnly) machine_.SetReadOnly(target, true);
    }

    std::unique_ptr<Folder> GetFolder(const std::string& path) override {
        fs::file_type kind = fs::file_type::none;
        fs::path host = machine_.HostPath(path, false, kind);
        if (kind != fs::file_type::directory) Raise(err::kPathNotFound);
        return std::make_unique<SandboxFolder>(host);
    }

    void DeleteFile(const std::string& path, bool force) override {
        if (EndsWithSeparator(path)) Raise(err::kFileNotFound);
        fs::file_type kind = fs::file_type::none;
        fs::path host = machine_.HostPath(path, true, kind);
        if (kind != fs::file_type::regular) Raise(MissingNumber(host));
        DeleteEntry(host, force);
    }

    // Deletes the tree in the order the folders list it. Each folder is checked (in use;
    // read-only without force) before anything in it is deleted; the first refusal stops the
    // deletion and what is gone stays gone. A drive root is never deleted (70). Links inside
    // the tree are removed, never followed. As on Windows, which takes the path as a pattern
    // of names, a path that ends in "\" names nothing (53).
    void DeleteFolder(const std::string& path, bool force) override {
        fs::file_type kind = fs::file_type::none;
        fs::path host = machine_.HostPath(path, true, kind);
        if (machine_.WindowsPath(host).size() <= 3) Raise(err::kPermissionDenied);
        if (EndsWithSeparator(path)) Raise(err::kFileNotFound);
        if (kind != fs::file_type::directory) Raise(MissingNumber(host));
        DeleteTree(host, force);
    }

    std::unique_ptr<TextStream> CreateBatchFile(const std::string& path) override {
        fs::path host = machine_.HostPath(path, true);
        if (KindOf(host.parent_path()) != fs::file_type::directory) Raise(err::kPathNotFound);
        const bool existed = Exists(host);
        if (existed) CheckReplaceable(host);
        auto stream = std::make_unique<SandboxTextStream>(host, machine_.OemCodePage());
        if (!stream->IsOpen()) Raise(err::kPermissionDenied);
        if (!existed) machine_.ForgetStateAt(host);
        return stream;
    }

    std::string BatchFilePath(const std::string& path) override {
        const int codePage = machine_.OemCodePage();
        if (Utf8ToCodePage(codePage, path)) return path;
        try {
            const fs::path host = machine_.HostPath(path, false);
            if (!Exists(host)) return "";
            // The existing path as the drive spells it, each name replaced by its short name.
            const std::string full = machine_.WindowsPath(host);
            std::string shortPath = full.substr(0, 3);  // "C:\"
            fs::path folder = machine_.HostPath(shortPath, false);
            std::size_t start = 3;
            while (start < full.size()) {
                std::size_t end = full.find('\\', start);
                if (end == std::string::npos) end = full.size();
                const std::string name = full.substr(start, end - start);
                if (shortPath.size() > 3) shortPath += '\\';
                shortPath += ShortNameAmong(name, FolderEntries(folder));
                folder /= name;
                start = end + 1;
            }
            // The form must name this very file, not another one.
            if (!Utf8ToCodePage(codePage, shortPath)) return "";
            return machine_.HostPath(shortPath, false) == host ? shortPath : "";
        } catch (const RuntimeError&) {
            return "";
        }
    }

    std::string ReadTextFile(const std::string& path) override {
        if (EndsWithSeparator(path)) Raise(err::kFileNotFound);
        fs::path host = machine_.HostPath(path, false);
        if (KindOf(host) != fs::file_type::regular) Raise(err::kFileNotFound);
        std::ifstream in(host, std::ios::binary);
        if (!in) Raise(err::kPermissionDenied);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

  private:
    // The kind of what a Windows path names, as its resolution found it.
    fs::file_type KindAt(const std::string& path, bool forWriting) {
        fs::file_type kind = fs::file_type::none;
        machine_.HostPath(path, forWriting, kind);
        return kind;
    }

    // The state of what a host path names, refused (70) when it is in use, or read-only
    // without force.
    FileState CheckDeletable(const fs::path& host, bool force) {
        const FileState state = machine_.StateAt(host);
        if (state.inUse || (!force && state.readOnly)) Raise(err::kPermissionDenied);
        return state;
    }

    // An existing file that a new one may replace: not a folder, in use or read-only (70).
    void CheckReplaceable(const fs::path& host) {
        if (KindOf(host) == fs::file_type::directory) Raise(err::kPermissionDenied);
        CheckDeletable(host, false);
    }

    // A deleted file loses its read-only state (one in use is never deleted).
    void DeleteEntry(const fs::path& host, bool force) {
        const FileState state = CheckDeletable(host, force);
        std::error_code error;
        fs::remove(host, error);
        if (error) Raise(NumberFor(error, err::kPermissionDenied));
        if (state.readOnly) machine_.ForgetStateAt(host);
    }

    void DeleteTree(const fs::path& folder, bool force) {
        CheckDeletable(folder, force);

        std::vector<std::string> names;
        std::error_code error;
        for (fs::directory_iterator it(folder, error), end; !error && it != end;
             it.increment(error)) {
            names.push_back(it->path().filename().string());
        }
        if (error) Raise(NumberFor(error, err::kPermissionDenied));
        SortNames(names);
        for (const auto& name : names) {
            fs::path entry = folder / name;
            std::error_code statusError;
            if (fs::symlink_status(entry, statusError).type() == fs::file_type::directory) {
                DeleteTree(entry, force);
            } else {
                DeleteEntry(entry, force);
            }
        }
        DeleteEntry(folder, force);
    }

    SandboxMachine& machine_;
};

}  // namespace

std::unique_ptr<FileSystemObject> MakeFileSystemObject(SandboxMachine& machine) {
    return std::make_unique<SandboxFileSystemObject>(machine);
}

}  // namespace tamsel::sandbox
