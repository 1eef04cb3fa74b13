// Batch files as the command interpreter reads them: in the OEM code page (GetOEMCP), which
// "Scripting.FileSystemObject" cannot write (its text files are ANSI or UTF-16). So these go
// to kernel32 directly, with the same error numbers.
#include <optional>

#include "platform/RuntimeError.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Error.h"
#include "platform/win32/Win32Services.h"
#include "platform/win32/WindowsHeaders.h"

namespace tamsel::win32 {

namespace {

// The bytes of a text in the OEM code page; nothing when a character has no form there. No
// "best fit" stand-ins: "é" may not become "e", which would name another file.
std::optional<std::string> ToOemCodePage(std::wstring_view text) {
    if (text.empty()) return std::string();
    const int length = static_cast<int>(text.size());
    BOOL usedDefault = FALSE;
    const int needed = WideCharToMultiByte(CP_OEMCP, WC_NO_BEST_FIT_CHARS, text.data(), length,
                                           nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return std::nullopt;
    std::string bytes(static_cast<std::size_t>(needed), '\0');
    WideCharToMultiByte(CP_OEMCP, WC_NO_BEST_FIT_CHARS, text.data(), length, bytes.data(), needed,
                        nullptr, &usedDefault);
    if (usedDefault) return std::nullopt;
    return bytes;
}

class Win32BatchStream : public TextStream {
  public:
    explicit Win32BatchStream(HANDLE file) : file_(file) {}
    ~Win32BatchStream() override {
        if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    }
    Win32BatchStream(const Win32BatchStream&) = delete;
    Win32BatchStream& operator=(const Win32BatchStream&) = delete;

    void WriteLine(const std::string& text) override { Write(text + "\r\n"); }
    void Write(const std::string& text) override {
        if (file_ == INVALID_HANDLE_VALUE) throw RuntimeError::FromNumber(err::kBadFileName);
        const auto bytes = ToOemCodePage(Utf8ToWide(text));
        if (!bytes) throw RuntimeError::FromNumber(err::kInvalidProcedureCall);
        DWORD written = 0;
        if (!WriteFile(file_, bytes->data(), static_cast<DWORD>(bytes->size()), &written,
                       nullptr) ||
            written != bytes->size()) {
            throw ErrorFromWin32(GetLastError());
        }
    }
    void Close() override {
        if (file_ == INVALID_HANDLE_VALUE) return;
        const BOOL closed = CloseHandle(file_);
        file_ = INVALID_HANDLE_VALUE;
        if (!closed) throw ErrorFromWin32(GetLastError());
    }

  private:
    HANDLE file_;
};

}  // namespace

std::string BatchFilePathOf(const std::string& path) {
    const std::wstring wide = Utf8ToWide(path);
    if (ToOemCodePage(wide)) return path;
    // GetShortPathNameW gives each component's short name where the volume keeps one, and the
    // long name where it does not (short names turned off): then the form does not fit either.
    const DWORD needed = GetShortPathNameW(wide.c_str(), nullptr, 0);
    if (needed == 0) return std::string();
    std::wstring shortPath(needed, L'\0');
    const DWORD got = GetShortPathNameW(wide.c_str(), shortPath.data(), needed);
    if (got == 0 || got >= needed) return std::string();
    shortPath.resize(got);
    return ToOemCodePage(shortPath) ? WideToUtf8(shortPath) : std::string();
}

std::unique_ptr<TextStream> CreateBatchFileAt(const std::string& path) {
    const HANDLE file = CreateFileW(Utf8ToWide(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw ErrorFromWin32(GetLastError());
    return std::make_unique<Win32BatchStream>(file);
}

}  // namespace tamsel::win32
