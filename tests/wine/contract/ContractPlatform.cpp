#include "contract/ContractPlatform.h"

#include <fstream>
#include <iterator>
#include <map>

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

void ProtectContractFile(Platform&, const std::string& path, bool inUse, bool on) {
    static std::map<std::string, HANDLE> held;
    if (!inUse) {
        SetFileAttributesA(path.c_str(), on ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
    } else if (on) {
        held[path] = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    } else {
        CloseHandle(held[path]);
        held.erase(path);
    }
}

}  // namespace tamsel::test
