#pragma once

#include <memory>

#include "platform/FileSystemObject.h"

namespace tamsel::sandbox {

class SandboxMachine;

// "Scripting.FileSystemObject" over the drives of a sandbox machine, with the error numbers of
// the Windows object. Wildcards are not supported (they are not valid in names: 52).
std::unique_ptr<FileSystemObject> MakeFileSystemObject(SandboxMachine& machine);

}  // namespace tamsel::sandbox
