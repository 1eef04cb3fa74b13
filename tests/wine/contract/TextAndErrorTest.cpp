// HRESULTs and Win32 codes into run-time errors, and the error of an object that cannot be
// created. (The registry contract checks the conversion of text between UTF-8 and UTF-16.)
#include <gtest/gtest.h>

#include "platform/Platform.h"
#include "platform/win32/ComObjects.h"
#include "platform/win32/Win32Error.h"
#include "platform/win32/WindowsHeaders.h"
#include "support/ErrorOf.h"

namespace tamsel::win32 {
namespace {

TEST(Win32Error, AutomationAndSystemFailuresCarryScriptNumbersAndTexts) {
    const RuntimeError fileNotFound = ErrorFromHresult(static_cast<std::int32_t>(0x800A0035));
    EXPECT_EQ(53, fileNotFound.Number());
    EXPECT_EQ("File not found", fileNotFound.Description());
    EXPECT_EQ("Given text",
              ErrorFromHresult(static_cast<std::int32_t>(0x800A0046), "Given text").Description());
    // Wine reports a missing parent folder as the Win32 HRESULT of ERROR_PATH_NOT_FOUND.
    EXPECT_EQ(76, ErrorFromHresult(static_cast<std::int32_t>(0x80070003)).Number());
    EXPECT_EQ(70, ErrorFromHresult(HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION)).Number());
    EXPECT_EQ(13, ErrorFromHresult(DISP_E_TYPEMISMATCH).Number());
    const RuntimeError unknown = ErrorFromHresult(E_FAIL);
    EXPECT_EQ(static_cast<std::int32_t>(E_FAIL), unknown.Number());
    EXPECT_NE(std::string::npos, unknown.Description().find("80004005"));
    EXPECT_EQ(53, ErrorFromWin32(ERROR_FILE_NOT_FOUND).Number());
    EXPECT_EQ(70, ErrorFromWin32(ERROR_ACCESS_DENIED).Number());
    EXPECT_EQ(75, ErrorFromWin32(ERROR_GEN_FAILURE).Number());
}

TEST(Win32Error, TheObjectOfAnUnknownIdentifierCannotBeCreated) {
    const auto platform = OpenPlatform();  // with COM started
    EXPECT_EQ(err::kCannotCreateObject,
              test::ErrorOf([] { DispatchObject::Create("Tamsel.NoSuchObject"); }));
}

}  // namespace
}  // namespace tamsel::win32
