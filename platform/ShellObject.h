#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace tamsel {

// The shortcut object that "WScript.Shell"'s CreateShortCut returns. Setters only record the
// property; Save writes the file (replacing a file of the same name). Save throws RuntimeError
// when the folder is missing or the file cannot be written.
class ShellShortcut {
  public:
    virtual ~ShellShortcut() = default;
    virtual void SetTargetPath(const std::string& path) = 0;
    virtual void SetWindowStyle(std::int16_t style) = 0;
    virtual void SetHotKey(const std::string& hotKey) = 0;  // "" for none, or "CTRL+SHIFT+F"
    virtual void SetIconLocation(const std::string& location) = 0;  // "path" or "path,index"
    virtual void SetDescription(const std::string& description) = 0;
    virtual void SetWorkingDirectory(const std::string& directory) = 0;
    virtual void Save() = 0;
};

// The members of "WScript.Shell" that the programs use.
class ShellObject {
  public:
    virtual ~ShellObject() = default;
    // The path of a special folder, such as "StartMenu"; throws RuntimeError when the folder
    // kind is not known.
    virtual std::string SpecialFolder(const std::string& name) = 0;
    virtual std::unique_ptr<ShellShortcut> CreateShortCut(const std::string& path) = 0;
};

}  // namespace tamsel
