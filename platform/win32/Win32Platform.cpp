// The real machine as the programs' platform.
#include <cstdlib>
#include <stdexcept>

#include "platform/Platform.h"
#include "platform/win32/Win32Services.h"
#include "platform/win32/WindowsHeaders.h"

namespace tamsel {

namespace {

// COM for the automation objects, on the program's one GUI thread.
class ComApartment {
  public:
    ComApartment() : initialised_(SUCCEEDED(CoInitialize(nullptr))) {}
    ~ComApartment() {
        if (initialised_) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

  private:
    bool initialised_;
};

class Win32Platform : public Platform {
  public:
    Registry& GetRegistry() override { return *registry_; }
    Automation& GetAutomation() override { return *automation_; }
    System& GetSystem() override { return *system_; }
    Volumes& GetVolumes() override { return *volumes_; }
    FolderIdentity& GetFolderIdentity() override { return *folders_; }

  private:
    // Declared first so that it outlives every service.
    ComApartment apartment_;
    std::unique_ptr<Registry> registry_ = win32::MakeRegistry();
    std::unique_ptr<Automation> automation_ = win32::MakeAutomation();
    std::unique_ptr<System> system_ = win32::MakeSystem();
    std::unique_ptr<Volumes> volumes_ = win32::MakeVolumes();
    std::unique_ptr<FolderIdentity> folders_ = win32::MakeFolderIdentity();
};

}  // namespace

std::unique_ptr<Platform> OpenPlatform() { return std::make_unique<Win32Platform>(); }

}  // namespace tamsel

// Size: the C++ library's default terminate handler prints the exception's demangled type name
// to the standard error stream, which a GUI program does not have; defining it here keeps the
// demangler (some 75 KB) out of the programs. An exception that escapes main still aborts.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
