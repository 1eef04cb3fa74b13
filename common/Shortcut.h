#pragma once

#include <string>

#include "platform/Automation.h"

namespace tamsel {

// The current user's Start menu: its Programs folder and the shortcut files in it. Nothing is
// trapped here: every failure is raised to the caller as a RuntimeError. Each procedure
// creates the automation objects it needs and releases them before it returns.
class Shortcut {
  public:
    explicit Shortcut(Automation& automation);

    // The "StartMenu" special folder followed by "\Programs\".
    std::string GetProgramsFolder();
    // Writes GetProgramsFolder() + shortcutName + ".lnk" with the given properties and a
    // normal window; the folder must exist.
    void MakeShortcut(const std::string& shortcutName, const std::string& targetPath,
                      const std::string& hotKey, const std::string& iconLocation,
                      const std::string& description, const std::string& workingDirectory);
    // Deletes the file when it exists (without forcing a read-only file); silent otherwise.
    void DeleteShortcut(const std::string& fullPath);

  private:
    Automation& automation_;
};

}  // namespace tamsel
