// The conversions of the Windows layer: shortcut property texts, HRESULTs and Win32 codes into
// run-time errors, and UTF-8 to UTF-16 and back.
#include <gtest/gtest.h>

#include "platform/win32/ShortcutText.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Error.h"
#include "platform/win32/WindowsHeaders.h"

namespace tamsel::win32 {
namespace {

TEST(ShortcutText, HotKeyTextsBecomeTheShellLinkWord) {
    EXPECT_EQ(0, ParseHotKey(""));
    EXPECT_EQ(0x0346, ParseHotKey("shift+Ctrl+f"));
    EXPECT_EQ(0x0474, ParseHotKey("ALT+F5"));
    EXPECT_EQ(0x0630, ParseHotKey("Ctrl+Alt+0"));
    EXPECT_EQ(0x0020, ParseHotKey("Space"));
    for (const char* bad : {"CTRL+", "CTRL+NOSUCHKEY", "HYPER+F", "F25"}) {
        EXPECT_THROW(ParseHotKey(bad), RuntimeError) << bad;
    }
}

TEST(ShortcutText, IconLocationSplitsOnlyAtANumericIndex) {
    const auto indexed = SplitIconLocation("C:\\x\\app.exe,2");
    EXPECT_EQ("C:\\x\\app.exe", indexed.path);
    EXPECT_EQ(2, indexed.index);
    EXPECT_EQ(-3, SplitIconLocation("C:\\x\\app.exe, -3").index);
    const auto commaInName = SplitIconLocation("C:\\a,b\\app.exe");
    EXPECT_EQ("C:\\a,b\\app.exe", commaInName.path);
    EXPECT_EQ(0, commaInName.index);
}

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

TEST(WideText, EveryCharacterGoesToUtf16AndBackWithEmbeddedNuls) {
    // Latin, Cyrillic, CJK and a character outside the Basic Multilingual Plane (a pair of
    // UTF-16 surrogates).
    const std::string utf8 = "Caf\xC3\xA9 \xD0\x9F \xE6\xB8\xB8 \xF0\x9D\x84\x9E";
    const std::wstring wide = L"Caf\u00E9 \u041F \u6E38 \xD834\xDD1E";
    EXPECT_EQ(wide, Utf8ToWide(utf8));
    EXPECT_EQ(utf8, WideToUtf8(wide));
    EXPECT_EQ(utf8, WideToUtf8(wide.c_str()));
    EXPECT_EQ(std::wstring(L"a\0b", 3), Utf8ToWide(std::string("a\0b", 3)));
    EXPECT_EQ(std::string("a\0b", 3), WideToUtf8(std::wstring_view(L"a\0b", 3)));
}

}  // namespace
}  // namespace tamsel::win32
