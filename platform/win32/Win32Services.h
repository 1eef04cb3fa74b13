#pragma once

#include <memory>

#include "platform/Automation.h"
#include "platform/FolderIdentity.h"
#include "platform/Registry.h"
#include "platform/System.h"

namespace tamsel::win32 {

class DispatchObject;

// The Windows implementations of the platform services; each lives in a file of its own.
std::unique_ptr<Registry> MakeRegistry();
std::unique_ptr<Automation> MakeAutomation();
std::unique_ptr<System> MakeSystem();
std::unique_ptr<Volumes> MakeVolumes();
std::unique_ptr<FolderIdentity> MakeFolderIdentity();

// The wrappers around the two automation objects, made by Automation.
std::unique_ptr<FileSystemObject> WrapFileSystemObject(DispatchObject object);
std::unique_ptr<ShellObject> WrapShellObject(DispatchObject object);

// The batch-file members of the file-system object (FileSystemObject.h), which the automation
// object itself does not offer.
std::string BatchFilePathOf(const std::string& path);
std::unique_ptr<TextStream> CreateBatchFileAt(const std::string& path);

}  // namespace tamsel::win32
