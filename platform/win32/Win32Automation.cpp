// Creates the Windows Script Host objects by their programmatic identifiers.
#include "platform/win32/ComObjects.h"
#include "platform/win32/Win32Services.h"

namespace tamsel::win32 {

namespace {

class Win32Automation : public Automation {
  public:
    std::unique_ptr<FileSystemObject> CreateFileSystemObject() override {
        return WrapFileSystemObject(DispatchObject::Create("Scripting.FileSystemObject"));
    }
    std::unique_ptr<ShellObject> CreateShell() override {
        return WrapShellObject(DispatchObject::Create("WScript.Shell"));
    }
};

}  // namespace

std::unique_ptr<Automation> MakeAutomation() { return std::make_unique<Win32Automation>(); }

}  // namespace tamsel::win32
