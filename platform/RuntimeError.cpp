#include "platform/RuntimeError.h"

#include <utility>

namespace tamsel {

RuntimeError::RuntimeError(std::int32_t number, std::string description)
    : std::runtime_error("Error " + std::to_string(number) + ": " + description),
      number_(number),
      description_(std::move(description)) {}

RuntimeError RuntimeError::FromNumber(std::int32_t number) {
    return RuntimeError(number, StandardDescription(number));
}

std::string RuntimeError::StandardDescription(std::int32_t number) {
    switch (number) {
        case err::kInvalidProcedureCall:
            return "Invalid procedure call or argument";
        case err::kOverflow:
            return "Overflow";
        case err::kOutOfMemory:
            return "Out of memory";
        case err::kSubscriptOutOfRange:
            return "Subscript out of range";
        case err::kTypeMismatch:
            return "Type mismatch";
        case err::kBadFileName:
            return "Bad file name or number";
        case err::kFileNotFound:
            return "File not found";
        case err::kFileAlreadyExists:
            return "File already exists";
        case err::kDiskFull:
            return "Disk full";
        case err::kDeviceUnavailable:
            return "Device unavailable";
        case err::kPermissionDenied:
            return "Permission denied";
        case err::kDiskNotReady:
            return "Disk not ready";
        case err::kPathFileAccessError:
            return "Path/File access error";
        case err::kPathNotFound:
            return "Path not found";
        case err::kCannotCreateObject:
            return "ActiveX component can't create object";
        default:
            return "";
    }
}

}  // namespace tamsel
