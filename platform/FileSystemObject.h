#pragma once

#include <memory>
#include <string>
#include <vector>

namespace tamsel {

// The members of "Scripting.FileSystemObject" that the programs use. Every failing member
// throws RuntimeError with the object's error number (53 file not found, 58 file already
// exists, 70 permission denied, 76 path not found, ...). FileExists and FolderExists never
// throw for a missing file or folder. Paths are Windows paths ("C:\dir\file").

// An entry of a folder's "Files" or "SubFolders" collection.
struct FileSystemItem {
    std::string Name;  // the bare name, without a path
};

class Folder {
  public:
    virtual ~Folder() = default;
    // The collections in the order the file system lists them (NTFS: names sorted without
    // regard to case).
    virtual std::vector<FileSystemItem> SubFolders() = 0;
    virtual std::vector<FileSystemItem> Files() = 0;
};

class TextStream {
  public:
    virtual ~TextStream() = default;
    virtual void WriteLine(const std::string& text) = 0;  // text, then CR LF
    virtual void Write(const std::string& text) = 0;      // text alone
    virtual void Close() = 0;
};

class FileSystemObject {
  public:
    virtual ~FileSystemObject() = default;

    virtual bool FolderExists(const std::string& path) = 0;
    // Creates one folder; 58 when it exists, 76 when its parent is missing.
    virtual void CreateFolder(const std::string& path) = 0;
    // Copies one file; 53 for a missing source; 70 for a read-only or in-use destination.
    virtual void CopyFile(const std::string& source, const std::string& destination,
                          bool overwrite) = 0;
    virtual std::unique_ptr<Folder> GetFolder(const std::string& path) = 0;
    virtual bool FileExists(const std::string& path) = 0;
    // 53 for a missing file; 70 for a read-only file without force, or a file in use.
    virtual void DeleteFile(const std::string& path, bool force = false) = 0;
    // Removes the folder and everything in it; stops at the first error, undoes nothing.
    virtual void DeleteFolder(const std::string& path, bool force = false) = 0;
    // The whole text of a file, as "OpenTextFile" for reading and the stream's "ReadAll" give
    // it ("" for an empty file); 53 for a missing file.
    virtual std::string ReadTextFile(const std::string& path) = 0;

    // Batch files. The command interpreter (cmd) reads a batch file's bytes in the machine's
    // OEM code page (437, 850, ...), not in the ANSI one; the real object offers no such file,
    // so these two go to the file system itself.
    //
    // How a batch file can name a file or folder: the path itself when every character of it
    // has a form in the OEM code page (then nothing is looked up: the path need not exist);
    // else the path's 8.3 short form, when the volume gives the existing path one in which
    // every character has a form; else "" (no form cmd reads names it). Never throws.
    virtual std::string BatchFilePath(const std::string& path) = 0;
    // A text file in the OEM code page, no byte-order mark, replacing a file of that name; 76
    // when its folder is missing, 70 for a read-only or in-use file. Writing a text with a
    // character that the code page lacks raises 5 ("Invalid procedure call or argument") and
    // writes nothing of that text.
    virtual std::unique_ptr<TextStream> CreateBatchFile(const std::string& path) = 0;
};

}  // namespace tamsel
