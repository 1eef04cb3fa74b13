#include "platform/win32/AnsiText.h"

#include "platform/win32/WindowsHeaders.h"

namespace tamsel::win32 {

namespace {

std::wstring ToWide(UINT codePage, std::string_view text) {
    if (text.empty()) return std::wstring();
    const int length = static_cast<int>(text.size());
    const int needed = MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    if (needed > 0) MultiByteToWideChar(codePage, 0, text.data(), length, wide.data(), needed);
    return wide;
}

std::string FromWide(UINT codePage, std::wstring_view text) {
    if (text.empty()) return std::string();
    const int length = static_cast<int>(text.size());
    const int needed =
        WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(needed), '\0');
    if (needed > 0) {
        WideCharToMultiByte(codePage, 0, text.data(), length, bytes.data(), needed, nullptr,
                            nullptr);
    }
    return bytes;
}

}  // namespace

std::wstring Utf8ToWide(std::string_view text) { return ToWide(CP_UTF8, text); }
std::string WideToUtf8(std::wstring_view text) { return FromWide(CP_UTF8, text); }

std::string Utf8ToAnsi(std::string_view text) {
    if (IsAscii(text)) return std::string(text);
    return FromWide(CP_ACP, ToWide(CP_UTF8, text));
}

std::string AnsiToUtf8(std::string_view text) {
    if (IsAscii(text)) return std::string(text);
    return FromWide(CP_UTF8, ToWide(CP_ACP, text));
}

bool IsAscii(std::string_view bytes) {
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

}  // namespace tamsel::win32
