#include "platform/win32/Win32Error.h"

#include <string>

#include "platform/win32/WindowsHeaders.h"

namespace tamsel::win32 {

namespace {

constexpr std::uint32_t kAutomationErrorBase = 0x800A0000u;

std::int32_t NumberFromWin32Code(std::uint32_t code) {
    switch (code) {
        case ERROR_FILE_NOT_FOUND:
            return err::kFileNotFound;
        case ERROR_PATH_NOT_FOUND:
        case ERROR_BAD_PATHNAME:
        case ERROR_DIRECTORY:
            return err::kPathNotFound;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_WRITE_PROTECT:
        case ERROR_DIR_NOT_EMPTY:
            return err::kPermissionDenied;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return err::kFileAlreadyExists;
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            return err::kOutOfMemory;
        case ERROR_INVALID_NAME:
        case ERROR_FILENAME_EXCED_RANGE:
            return err::kBadFileName;
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_UNIT:
            return err::kDeviceUnavailable;
        case ERROR_NOT_READY:
            return err::kDiskNotReady;
        case ERROR_INVALID_PARAMETER:
            return err::kInvalidProcedureCall;
        default:
            return -1;
    }
}

// Eight upper-case hexadecimal digits. Written out rather than with snprintf, which would bring
// the C library's whole formatter (floating point included) into each program.
std::string HexText(std::uint32_t value) {
    std::string text(8, '0');
    for (auto digit = text.rbegin(); digit != text.rend(); ++digit, value >>= 4)
        *digit = "0123456789ABCDEF"[value & 0xFu];
    return text;
}

}  // namespace

std::int32_t ErrorNumberFromHresult(std::int32_t hresult) {
    const auto code = static_cast<std::uint32_t>(hresult);
    if ((code & 0xFFFF0000u) == kAutomationErrorBase)
        return static_cast<std::int32_t>(code & 0xFFFFu);
    if (HRESULT_FACILITY(hresult) == FACILITY_WIN32) {
        const std::int32_t number = NumberFromWin32Code(code & 0xFFFFu);
        if (number > 0) return number;
    }
    switch (hresult) {
        case E_OUTOFMEMORY:
            return err::kOutOfMemory;
        case E_INVALIDARG:
            return err::kInvalidProcedureCall;
        case DISP_E_TYPEMISMATCH:
            return err::kTypeMismatch;
        case DISP_E_OVERFLOW:
            return err::kOverflow;
        case DISP_E_BADINDEX:
            return err::kSubscriptOutOfRange;
        case REGDB_E_CLASSNOTREG:
        case CO_E_CLASSSTRING:
            return err::kCannotCreateObject;
        default:
            return hresult;
    }
}

RuntimeError ErrorFromHresult(std::int32_t hresult, const std::string& description) {
    const std::int32_t number = ErrorNumberFromHresult(hresult);
    if (!description.empty()) return RuntimeError(number, description);
    std::string standard = RuntimeError::StandardDescription(number);
    if (standard.empty())
        standard = "Automation error 0x" + HexText(static_cast<std::uint32_t>(hresult));
    return RuntimeError(number, standard);
}

RuntimeError ErrorFromWin32(std::uint32_t code) {
    const std::int32_t number = NumberFromWin32Code(code);
    if (number > 0) return RuntimeError::FromNumber(number);
    return RuntimeError(err::kPathFileAccessError,
                        RuntimeError::StandardDescription(err::kPathFileAccessError) +
                            " (Windows error " + std::to_string(code) + ")");
}

}  // namespace tamsel::win32
