// The registry through advapi32's ANSI functions, called with exactly the arguments the caller
// gives. Texts arrive as UTF-8 and are converted to the ANSI code page here; string data read
// back is converted to UTF-8, with sizes counted in UTF-8 bytes (identical for ASCII text).
#include <cstring>
#include <vector>

#include "platform/win32/AnsiText.h"
#include "platform/win32/Win32Services.h"
#include "platform/win32/WindowsHeaders.h"

namespace tamsel::win32 {

namespace {

// RegKey is the 32-bit handle value. The predefined roots are sign-extended constants, so a
// root such as 0x80000002 keeps its meaning where a handle is wider than 32 bits.
HKEY ToHkey(RegKey key) {
    return reinterpret_cast<HKEY>(
        static_cast<ULONG_PTR>(static_cast<LONG_PTR>(static_cast<LONG>(key))));
}

RegKey FromHkey(HKEY key) { return static_cast<RegKey>(reinterpret_cast<ULONG_PTR>(key)); }

bool IsStringType(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// The whole stored data of a value, however large; false when it cannot be read.
bool ReadStoredBytes(HKEY key, const std::string& ansiName, std::string& bytes) {
    DWORD size = 0;
    if (RegQueryValueExA(key, ansiName.c_str(), nullptr, nullptr, nullptr, &size) !=
        ERROR_SUCCESS) {
        return false;
    }
    for (;;) {
        bytes.assign(size, '\0');
        DWORD got = size;
        const LONG status = RegQueryValueExA(key, ansiName.c_str(), nullptr, nullptr,
                                             reinterpret_cast<BYTE*>(bytes.data()), &got);
        if (status == ERROR_SUCCESS) {
            bytes.resize(got);
            return true;
        }
        if (status != ERROR_MORE_DATA) return false;
        size = got > size ? got : size * 2 + 16;
    }
}

class Win32Registry : public Registry {
  public:
    RegStatus CreateKeyEx(RegKey root, const std::string& subKey, std::uint32_t reserved,
                          const char* keyClass, std::uint32_t options, std::uint32_t access,
                          RegKey* result, std::uint32_t* disposition) override {
        if (result == nullptr) return ERROR_INVALID_PARAMETER;
        std::string classText = keyClass != nullptr ? Utf8ToAnsi(keyClass) : std::string();
        HKEY opened = nullptr;
        DWORD how = 0;
        const LONG status =
            RegCreateKeyExA(ToHkey(root), Utf8ToAnsi(subKey).c_str(), reserved,
                            keyClass != nullptr ? classText.data() : nullptr, options, access,
                            nullptr, &opened, disposition != nullptr ? &how : nullptr);
        if (status == ERROR_SUCCESS) {
            *result = FromHkey(opened);
            if (disposition != nullptr) *disposition = how;
        }
        return status;
    }

    RegStatus OpenKeyEx(RegKey root, const std::string& subKey, std::uint32_t options,
                        std::uint32_t access, RegKey* result) override {
        if (result == nullptr) return ERROR_INVALID_PARAMETER;
        HKEY opened = nullptr;
        const LONG status =
            RegOpenKeyExA(ToHkey(root), Utf8ToAnsi(subKey).c_str(), options, access, &opened);
        if (status == ERROR_SUCCESS) *result = FromHkey(opened);
        return status;
    }

    RegStatus QueryValueEx(RegKey key, const std::string& valueName, std::uint32_t* type,
                           std::uint8_t* data, std::uint32_t* size) override {
        const std::string name = Utf8ToAnsi(valueName);
        DWORD storedType = 0;
        DWORD inOutSize = size != nullptr ? *size : 0;
        const LONG status = RegQueryValueExA(ToHkey(key), name.c_str(), nullptr, &storedType, data,
                                             size != nullptr ? &inOutSize : nullptr);
        if (type != nullptr && (status == ERROR_SUCCESS || status == ERROR_MORE_DATA)) {
            *type = storedType;
        }
        std::string stored;
        if ((status != ERROR_SUCCESS && status != ERROR_MORE_DATA) || !IsStringType(storedType) ||
            !ReadStoredBytes(ToHkey(key), name, stored) || IsAscii(stored)) {
            if (size != nullptr) *size = inOutSize;
            return status;
        }
        // Text outside ASCII: the caller sees it in UTF-8, and sizes in UTF-8 bytes.
        const std::string text = AnsiToUtf8(stored);
        const auto needed = static_cast<std::uint32_t>(text.size());
        if (size == nullptr) return data == nullptr ? ERROR_SUCCESS : ERROR_INVALID_PARAMETER;
        if (data == nullptr) {
            *size = needed;
            return ERROR_SUCCESS;
        }
        if (*size < needed) {
            *size = needed;
            return ERROR_MORE_DATA;
        }
        std::memcpy(data, text.data(), text.size());
        *size = needed;
        return ERROR_SUCCESS;
    }

    RegStatus SetValueEx(RegKey key, const std::string& valueName, std::uint32_t reserved,
                         std::uint32_t type, const std::uint8_t* data,
                         std::uint32_t size) override {
        const std::string name = Utf8ToAnsi(valueName);
        if (data != nullptr && IsStringType(type)) {
            const std::string ansi =
                Utf8ToAnsi(std::string_view(reinterpret_cast<const char*>(data), size));
            return RegSetValueExA(ToHkey(key), name.c_str(), reserved, type,
                                  reinterpret_cast<const BYTE*>(ansi.data()),
                                  static_cast<DWORD>(ansi.size()));
        }
        return RegSetValueExA(ToHkey(key), name.c_str(), reserved, type, data, size);
    }

    RegStatus DeleteKey(RegKey root, const std::string& subKey) override {
        return RegDeleteKeyA(ToHkey(root), Utf8ToAnsi(subKey).c_str());
    }

    RegStatus DeleteValue(RegKey key, const std::string& valueName) override {
        return RegDeleteValueA(ToHkey(key), Utf8ToAnsi(valueName).c_str());
    }

    RegStatus CloseKey(RegKey key) override { return RegCloseKey(ToHkey(key)); }

    std::uint32_t ExpandEnvironment(const std::string& source, char* destination,
                                    std::uint32_t destinationSize) override {
        const std::string ansi = Utf8ToAnsi(source);
        char probe[1] = {'\0'};
        const DWORD needed = ExpandEnvironmentStringsA(ansi.c_str(), probe, 1);
        if (needed == 0) return 0;
        std::vector<char> expanded(needed, '\0');
        const DWORD written = ExpandEnvironmentStringsA(ansi.c_str(), expanded.data(), needed);
        if (written == 0 || written > needed) return 0;
        const std::string text = AnsiToUtf8(std::string_view(expanded.data(), written - 1));
        const auto size = static_cast<std::uint32_t>(text.size() + 1);
        if (destination != nullptr && destinationSize >= size) {
            std::memcpy(destination, text.c_str(), size);
        }
        return size;
    }
};

}  // namespace

std::unique_ptr<Registry> MakeRegistry() { return std::make_unique<Win32Registry>(); }

}  // namespace tamsel::win32
