#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace tamsel {

// A run-time error as the automation objects raise it: a number and a description.
// Numbers are those of the file-system object (its HRESULT is 0x800A0000 + number).
class RuntimeError : public std::runtime_error {
  public:
    RuntimeError(std::int32_t number, std::string description);

    // An error with the standard description for its number.
    static RuntimeError FromNumber(std::int32_t number);
    // The standard description of a number ("" when the number has none).
    static std::string StandardDescription(std::int32_t number);

    std::int32_t Number() const { return number_; }
    const std::string& Description() const { return description_; }

  private:
    std::int32_t number_;
    std::string description_;
};

namespace err {
inline constexpr std::int32_t kInvalidProcedureCall = 5;
inline constexpr std::int32_t kOverflow = 6;
inline constexpr std::int32_t kOutOfMemory = 7;
inline constexpr std::int32_t kSubscriptOutOfRange = 9;
inline constexpr std::int32_t kTypeMismatch = 13;
inline constexpr std::int32_t kBadFileName = 52;
inline constexpr std::int32_t kFileNotFound = 53;
inline constexpr std::int32_t kFileAlreadyExists = 58;
inline constexpr std::int32_t kDiskFull = 61;
inline constexpr std::int32_t kDeviceUnavailable = 68;
inline constexpr std::int32_t kPermissionDenied = 70;
inline constexpr std::int32_t kDiskNotReady = 71;
inline constexpr std::int32_t kPathFileAccessError = 75;
inline constexpr std::int32_t kPathNotFound = 76;
inline constexpr std::int32_t kCannotCreateObject = 429;
}  // namespace err

}  // namespace tamsel
