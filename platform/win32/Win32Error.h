#pragma once

#include <cstdint>

#include "platform/RuntimeError.h"

namespace tamsel::win32 {

// The one place where failures of Windows become the programs' run-time errors.
//
// An automation object raises HRESULT 0x800A0000 + n for its error n; other HRESULTs and Win32
// error codes are mapped to the number a script would see for them (ERROR_PATH_NOT_FOUND is
// 76 "Path not found", ERROR_ACCESS_DENIED 70 "Permission denied", ...). The description is the
// one the object gave, or the standard text for the number when it gave none.
RuntimeError ErrorFromHresult(std::int32_t hresult, const std::string& description = {});
RuntimeError ErrorFromWin32(std::uint32_t code);

// The run-time error number for an HRESULT (the HRESULT itself, as a negative number, when no
// script-level number exists for it).
std::int32_t ErrorNumberFromHresult(std::int32_t hresult);

}  // namespace tamsel::win32
