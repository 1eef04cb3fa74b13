#include "contract/ContractPlatform.h"

#include <fstream>
#include <iterator>

#include "platform/win32/WindowsHeaders.h"

namespace tamsel::test {

std::unique_ptr<Platform> OpenContractPlatform() { return OpenPlatform(); }

bool ContractPlatformIsWine() {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::string ContractFileBytes(Platform&, const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "<missing>";
}

void SetContractReadOnly(Platform&, const std::string& path, bool readOnly) {
    SetFileAttributesA(path.c_str(), readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
}

}  // namespace tamsel::test
