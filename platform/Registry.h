#pragma once

#include <cstdint>
#include <string>

namespace tamsel {

// A registry key handle: the 32-bit handle value. The predefined roots are fixed values.
using RegKey = std::uint32_t;
using RegStatus = std::int32_t;  // a Win32 status code; 0 is success

namespace reg {
inline constexpr RegKey kClassesRoot = 0x80000000u;
inline constexpr RegKey kCurrentUser = 0x80000001u;
inline constexpr RegKey kLocalMachine = 0x80000002u;
inline constexpr RegKey kUsers = 0x80000003u;

inline constexpr RegStatus kSuccess = 0;
inline constexpr RegStatus kFileNotFound = 2;
inline constexpr RegStatus kAccessDenied = 5;
inline constexpr RegStatus kInvalidHandle = 6;
inline constexpr RegStatus kInvalidParameter = 87;
inline constexpr RegStatus kMoreData = 234;

inline constexpr std::uint32_t kNone = 0;
inline constexpr std::uint32_t kSz = 1;
inline constexpr std::uint32_t kExpandSz = 2;
inline constexpr std::uint32_t kBinary = 3;
inline constexpr std::uint32_t kDword = 4;
inline constexpr std::uint32_t kMultiSz = 7;
inline constexpr std::uint32_t kQword = 11;

inline constexpr std::uint32_t kOptionNonVolatile = 0;
inline constexpr std::uint32_t kKeyQueryValue = 0x1;
// KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_ENUMERATE_SUB_KEYS | KEY_NOTIFY |
// KEY_CREATE_LINK: the six specific rights, without the standard rights.
inline constexpr std::uint32_t kKeySixRights = 0x3F;
inline constexpr std::uint32_t kKeyAllAccess = 0xF003F;

inline constexpr std::uint32_t kCreatedNewKey = 1;
inline constexpr std::uint32_t kOpenedExistingKey = 2;
}  // namespace reg

// The registry as the Win32 functions see it. Every member has the semantics of the function it
// is named after (RegCreateKeyEx, RegOpenKeyEx, ...):
//  - it never throws for a registry condition; it returns the Win32 status code instead
//    (0 success, 2 not found, 5 access denied, 6 invalid handle, 87 invalid parameter,
//    234 more data);
//  - key and value names are compared without regard to case;
//  - handles returned in *result must be released with CloseKey; the predefined roots are
//    always valid and need no closing;
//  - texts are UTF-8 (Windows stores them as UTF-16, so every character is kept); string data
//    and its sizes are counted in UTF-8 bytes, which for ASCII text are the ANSI sizes.
// Members may throw std::bad_alloc; an implementation whose store is unusable throws
// std::runtime_error with a message that names the store.
class Registry {
  public:
    virtual ~Registry() = default;

    // Creates every missing key of subKey under root (or opens the existing key).
    virtual RegStatus CreateKeyEx(RegKey root, const std::string& subKey, std::uint32_t reserved,
                                  const char* keyClass, std::uint32_t options, std::uint32_t access,
                                  RegKey* result, std::uint32_t* disposition) = 0;
    virtual RegStatus OpenKeyEx(RegKey root, const std::string& subKey, std::uint32_t options,
                                std::uint32_t access, RegKey* result) = 0;
    // data == nullptr (or *size == 0 with data given) asks only for type and stored size.
    // A buffer smaller than the stored size gives kMoreData and the needed size in *size.
    // type and size may be null where the function allows it.
    virtual RegStatus QueryValueEx(RegKey key, const std::string& valueName, std::uint32_t* type,
                                   std::uint8_t* data, std::uint32_t* size) = 0;
    virtual RegStatus SetValueEx(RegKey key, const std::string& valueName, std::uint32_t reserved,
                                 std::uint32_t type, const std::uint8_t* data,
                                 std::uint32_t size) = 0;
    // Deletes a key that has no subkeys (kAccessDenied when it has some, kFileNotFound when it
    // is missing).
    virtual RegStatus DeleteKey(RegKey root, const std::string& subKey) = 0;
    virtual RegStatus DeleteValue(RegKey key, const std::string& valueName) = 0;
    virtual RegStatus CloseKey(RegKey key) = 0;

    // ExpandEnvironmentStringsA: returns the size the expanded text needs, NUL included, and
    // fills destination when destinationSize is large enough; 0 on failure.
    virtual std::uint32_t ExpandEnvironment(const std::string& source, char* destination,
                                            std::uint32_t destinationSize) = 0;
};

}  // namespace tamsel
