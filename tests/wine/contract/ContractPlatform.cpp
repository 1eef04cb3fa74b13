#include "contract/ContractPlatform.h"

#include "platform/win32/WindowsHeaders.h"

namespace tamsel::test {

std::unique_ptr<Platform> OpenContractPlatform() { return OpenPlatform(); }

bool ContractPlatformIsWine() {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace tamsel::test
