#include "platform/win32/WideText.h"

#include <cwchar>

#include "platform/win32/WindowsHeaders.h"

namespace tamsel::win32 {

std::wstring Utf8ToWide(std::string_view text) {
    if (text.empty()) return std::wstring();
    const int length = static_cast<int>(text.size());
    const int needed = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    if (needed > 0) MultiByteToWideChar(CP_UTF8, 0, text.data(), length, wide.data(), needed);
    return wide;
}

std::string WideToUtf8(std::wstring_view text) {
    if (text.empty()) return std::string();
    const int length = static_cast<int>(text.size());
    const int needed =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(needed), '\0');
    if (needed > 0) {
        WideCharToMultiByte(CP_UTF8, 0, text.data(), length, bytes.data(), needed, nullptr,
                            nullptr);
    }
    return bytes;
}

std::string WideToUtf8(const wchar_t* terminated) {
    return WideToUtf8(std::wstring_view(terminated, std::wcslen(terminated)));
}

}  // namespace tamsel::win32
