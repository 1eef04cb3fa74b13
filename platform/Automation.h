#pragma once

#include <memory>

#include "platform/FileSystemObject.h"
#include "platform/ShellObject.h"

namespace tamsel {

// Creates the automation objects by their programmatic identifiers. Each call returns a new
// object that the caller owns and releases. Creation throws RuntimeError 429 ("ActiveX
// component can't create object") when the Windows Script Host is missing.
class Automation {
  public:
    virtual ~Automation() = default;
    virtual std::unique_ptr<FileSystemObject>
    CreateFileSystemObject() = 0;                            // "Scripting.FileSystemObject"
    virtual std::unique_ptr<ShellObject> CreateShell() = 0;  // "WScript.Shell"
};

}  // namespace tamsel
