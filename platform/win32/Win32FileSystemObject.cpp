// "Scripting.FileSystemObject" called late-bound by member name, with the folder objects it
// returns. Each wrapper owns its object and releases it when it goes.
#include "platform/RuntimeError.h"
#include "platform/win32/ComObjects.h"
#include "platform/win32/Win32Services.h"

namespace tamsel::win32 {

namespace {

std::vector<FileSystemItem> NamesOf(DispatchObject collection) {
    std::vector<FileSystemItem> names;
    for (ComVariant& item : collection.Items()) {
        DispatchObject entry = DispatchObject::FromResult(std::move(item));
        names.push_back(FileSystemItem{entry.Call("Name").ToText()});
    }
    return names;
}

class Win32Folder : public Folder {
  public:
    explicit Win32Folder(DispatchObject folder) : folder_(std::move(folder)) {}

    std::vector<FileSystemItem> SubFolders() override {
        return NamesOf(DispatchObject::FromResult(folder_.Call("SubFolders")));
    }
    std::vector<FileSystemItem> Files() override {
        return NamesOf(DispatchObject::FromResult(folder_.Call("Files")));
    }

  private:
    DispatchObject folder_;
};

class Win32FileSystemObject : public FileSystemObject {
  public:
    explicit Win32FileSystemObject(DispatchObject fso) : fso_(std::move(fso)) {}

    bool FolderExists(const std::string& path) override {
        return fso_.Call("FolderExists", Args(ComVariant(path))).ToBool();
    }
    void CreateFolder(const std::string& path) override {
        fso_.Call("CreateFolder", Args(ComVariant(path)));
    }
    void CopyFile(const std::string& source, const std::string& destination,
                  bool overwrite) override {
        Refusable([&] {
            fso_.Call("CopyFile",
                      Args(ComVariant(source), ComVariant(destination), ComVariant(overwrite)));
        });
    }
    std::unique_ptr<Folder> GetFolder(const std::string& path) override {
        return std::make_unique<Win32Folder>(
            DispatchObject::FromResult(fso_.Call("GetFolder", Args(ComVariant(path)))));
    }
    bool FileExists(const std::string& path) override {
        return fso_.Call("FileExists", Args(ComVariant(path))).ToBool();
    }
    void DeleteFile(const std::string& path, bool force) override {
        Refusable([&] { fso_.Call("DeleteFile", Args(ComVariant(path), ComVariant(force))); });
    }
    void DeleteFolder(const std::string& path, bool force) override {
        Refusable([&] { fso_.Call("DeleteFolder", Args(ComVariant(path), ComVariant(force))); });
    }
    std::string ReadTextFile(const std::string& path) override {
        constexpr std::int32_t kForReading = 1;
        DispatchObject stream = DispatchObject::FromResult(
            fso_.Call("OpenTextFile", Args(ComVariant(path), ComVariant(kForReading))));
        // "ReadAll" raises 62 "Input past end of file" for an empty file.
        std::string text;
        if (!stream.Call("AtEndOfStream").ToBool()) text = stream.Call("ReadAll").ToText();
        stream.Call("Close");
        return text;
    }

    std::string BatchFilePath(const std::string& path) override { return BatchFilePathOf(path); }
    std::unique_ptr<TextStream> CreateBatchFile(const std::string& path) override {
        return CreateBatchFileAt(path);
    }

  private:
    // Windows' object raises 70 "Permission denied" when the file system refuses to delete or
    // replace a file (access denied, a file in use); Wine's answers E_FAIL alone. A copy or
    // deletion that fails with E_FAIL is reported as the refusal it is.
    template <typename Action>
    static void Refusable(const Action& action) {
        try {
            action();
        } catch (const RuntimeError& error) {
            if (error.Number() != static_cast<std::int32_t>(E_FAIL)) throw;
            throw RuntimeError::FromNumber(err::kPermissionDenied);
        }
    }

    template <typename... Values>
    static std::vector<ComVariant> Args(Values&&... values) {
        std::vector<ComVariant> args;
        (args.push_back(std::forward<Values>(values)), ...);
        return args;
    }

    DispatchObject fso_;
};

}  // namespace

std::unique_ptr<FileSystemObject> WrapFileSystemObject(DispatchObject object) {
    return std::make_unique<Win32FileSystemObject>(std::move(object));
}

}  // namespace tamsel::win32
