#pragma once

#include <string>
#include <vector>

#include "common/ui/Control.h"
#include "platform/System.h"

namespace tamsel {

// A drive list box: the machine's drives, one of them current. Entries read as a drive list
// shows them: the lower-case letter, a colon and, when the volume has one, the label in square
// brackets ("c: [System]").
class DriveListBox : public Control {
  public:
    DriveListBox(std::string name, TwipsRect rect, Volumes& volumes);

    std::vector<std::string> Entries() const;
    // The current entry ("c: [System]").
    std::string Drive() const;
    // Makes current the drive whose letter starts the text (any case; "D", "d:", "d: [Data]").
    // Runs onChange when the drive changes. Throws RuntimeError 68 for an unknown drive and 71
    // for a drive that is not ready; the current drive then stays.
    void SetDrive(const std::string& drive);

  private:
    Volumes& volumes_;
    std::string drive_;
};

// A directory list box: the levels of its current path (root first) and the subdirectories of
// that path. Opening an entry (double-click) makes it the current path.
class DirListBox : public Control {
  public:
    DirListBox(std::string name, TwipsRect rect, Volumes& volumes);

    const std::string& Path() const { return path_; }
    // Sets the current path. A drive as a drive list writes it ("d:" or "d: [Data]") means the
    // current directory of that drive. Runs onChange when the path changes and remembers the
    // path as that drive's current directory. Throws RuntimeError 76 when the directory does
    // not exist; the path then stays.
    void SetPath(const std::string& path);
    // The levels of Path from the root down ("C:\", "Program Files").
    std::vector<std::string> Levels() const;
    // The subdirectories of Path as the list shows them below the levels.
    std::vector<std::string> SubDirectories() const;

  private:
    Volumes& volumes_;
    std::string path_;
};

}  // namespace tamsel
