// The registry through advapi32's wide ("W") functions, called with exactly the arguments the
// caller gives. Texts arrive as UTF-8 and go to Windows as UTF-16, which is what the registry
// stores; string data read back comes as UTF-8, with sizes counted in UTF-8 bytes. For ASCII
// text these are the sizes the ANSI functions report, and the stored data is the same.
#include <cstring>
#include <vector>

#include "platform/win32/WideText.h"
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
bool ReadStoredBytes(HKEY key, const std::wstring& name, std::string& bytes) {
    DWORD size = 0;
    if (RegQueryValueExW(key, name.c_str(), nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS) {
        return false;
    }
    for (;;) {
        bytes.assign(size, '\0');
        DWORD got = size;
        const LONG status = RegQueryValueExW(key, name.c_str(), nullptr, nullptr,
                                             reinterpret_cast<BYTE*>(bytes.data()), &got);
        if (status == ERROR_SUCCESS) {
            bytes.resize(got);
            return true;
        }
        if (status != ERROR_MORE_DATA) return false;
        size = got > size ? got : size * 2 + 16;
    }
}

// Stored UTF-16 string data as UTF-8, NULs included; an odd last byte has no character.
std::string StoredTextAsUtf8(const std::string& stored) {
    std::wstring wide(stored.size() / 2, L'\0');
    if (!wide.empty()) std::memcpy(wide.data(), stored.data(), wide.size() * sizeof(wchar_t));
    return WideToUtf8(wide);
}

class Win32Registry : public Registry {
  public:
    RegStatus CreateKeyEx(RegKey root, const std::string& subKey, std::uint32_t reserved,
                          const char* keyClass, std::uint32_t options, std::uint32_t access,
                          RegKey* result, std::uint32_t* disposition) override {
        if (result == nullptr) return ERROR_INVALID_PARAMETER;
        std::wstring classText = keyClass != nullptr ? Utf8ToWide(keyClass) : std::wstring();
        HKEY opened = nullptr;
        DWORD how = 0;
        const LONG status =
            RegCreateKeyExW(ToHkey(root), Utf8ToWide(subKey).c_str(), reserved,
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
            RegOpenKeyExW(ToHkey(root), Utf8ToWide(subKey).c_str(), options, access, &opened);
        if (status == ERROR_SUCCESS) *result = FromHkey(opened);
        return status;
    }

    RegStatus QueryValueEx(RegKey key, const std::string& valueName, std::uint32_t* type,
                           std::uint8_t* data, std::uint32_t* size) override {
        const std::wstring name = Utf8ToWide(valueName);
        DWORD storedType = 0;
        DWORD storedSize = 0;
        const LONG probe =
            RegQueryValueExW(ToHkey(key), name.c_str(), nullptr, &storedType, nullptr, &storedSize);
        if (probe != ERROR_SUCCESS || !IsStringType(storedType)) {
            // Data other than text is handed over byte for byte.
            DWORD inOutSize = size != nullptr ? *size : 0;
            const LONG status = RegQueryValueExW(ToHkey(key), name.c_str(), nullptr, &storedType,
                                                 data, size != nullptr ? &inOutSize : nullptr);
            if (type != nullptr && (status == ERROR_SUCCESS || status == ERROR_MORE_DATA)) {
                *type = storedType;
            }
            if (size != nullptr) *size = inOutSize;
            return status;
        }
        if (type != nullptr) *type = storedType;
        std::string stored;
        if (!ReadStoredBytes(ToHkey(key), name, stored)) return ERROR_FILE_NOT_FOUND;
        // Text: the caller sees it in UTF-8, and sizes in UTF-8 bytes.
        const std::string text = StoredTextAsUtf8(stored);
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
        if (!text.empty()) std::memcpy(data, text.data(), text.size());
        *size = needed;
        return ERROR_SUCCESS;
    }

    RegStatus SetValueEx(RegKey key, const std::string& valueName, std::uint32_t reserved,
                         std::uint32_t type, const std::uint8_t* data,
                         std::uint32_t size) override {
        const std::wstring name = Utf8ToWide(valueName);
        if (data != nullptr && IsStringType(type)) {
            const std::wstring wide =
                Utf8ToWide(std::string_view(reinterpret_cast<const char*>(data), size));
            return RegSetValueExW(ToHkey(key), name.c_str(), reserved, type,
                                  reinterpret_cast<const BYTE*>(wide.data()),
                                  static_cast<DWORD>(wide.size() * sizeof(wchar_t)));
        }
        return RegSetValueExW(ToHkey(key), name.c_str(), reserved, type, data, size);
    }

    RegStatus DeleteKey(RegKey root, const std::string& subKey) override {
        return RegDeleteKeyW(ToHkey(root), Utf8ToWide(subKey).c_str());
    }

    RegStatus DeleteValue(RegKey key, const std::string& valueName) override {
        return RegDeleteValueW(ToHkey(key), Utf8ToWide(valueName).c_str());
    }

    RegStatus CloseKey(RegKey key) override { return RegCloseKey(ToHkey(key)); }

    std::uint32_t ExpandEnvironment(const std::string& source, char* destination,
                                    std::uint32_t destinationSize) override {
        const std::wstring wide = Utf8ToWide(source);
        wchar_t probe[1] = {L'\0'};
        const DWORD needed = ExpandEnvironmentStringsW(wide.c_str(), probe, 1);
        if (needed == 0) return 0;
        std::vector<wchar_t> expanded(needed, L'\0');
        const DWORD written = ExpandEnvironmentStringsW(wide.c_str(), expanded.data(), needed);
        if (written == 0 || written > needed) return 0;
        const std::string text = WideToUtf8(std::wstring_view(expanded.data(), written - 1));
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
