#pragma once

#include <optional>
#include <string>

namespace tamsel {

// Which folder a path really names. Two paths can name one folder: a short 8.3 name and its
// long name, or a path through a symbolic link or junction and the link's target. Decisions
// about a folder compare what this service resolves, never the text of the paths.
struct ResolvedFolder {
    // The final path of the folder: long names, every link and junction followed to its target,
    // no trailing "\" except for a drive root ("C:\").
    std::string path;
    // Whether some level of the path as given (the folder itself included) is a symbolic link
    // or a junction.
    bool throughLink = false;
};

class FolderIdentity {
  public:
    virtual ~FolderIdentity() = default;
    // The folder that an existing folder path names. Nothing when the path names no existing
    // folder, or one that cannot be resolved; it never throws for that (std::bad_alloc aside).
    virtual std::optional<ResolvedFolder> Resolve(const std::string& path) = 0;
};

}  // namespace tamsel
