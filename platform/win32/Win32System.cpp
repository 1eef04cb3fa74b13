// The process services of Windows: the environment, the program's folder, starting a program.
#include <vector>

#include "platform/win32/WideText.h"
#include "platform/win32/Win32Error.h"
#include "platform/win32/Win32Services.h"
#include "platform/win32/WindowsHeaders.h"

namespace tamsel::win32 {

namespace {

class Win32System : public System {
  public:
    std::string EnvironmentVariable(const std::string& name) override {
        const std::wstring wideName = Utf8ToWide(name);
        std::vector<wchar_t> value(256, L'\0');
        for (;;) {
            const DWORD length = GetEnvironmentVariableW(wideName.c_str(), value.data(),
                                                         static_cast<DWORD>(value.size()));
            if (length == 0) return std::string();  // not set (or set to nothing)
            if (length < value.size()) return WideToUtf8(std::wstring_view(value.data(), length));
            value.assign(length + 1, L'\0');
        }
    }

    std::string ProgramFolder() override {
        std::vector<wchar_t> path(MAX_PATH + 1, L'\0');
        for (;;) {
            const DWORD length =
                GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
            if (length == 0) throw ErrorFromWin32(GetLastError());
            if (length < path.size()) {
                std::string full = WideToUtf8(std::wstring_view(path.data(), length));
                const std::size_t slash = full.find_last_of("\\/");
                if (slash == std::string::npos) return std::string();
                // A drive root keeps its "\" ("C:\"); any other folder loses it.
                full.resize(slash == 2 && full[1] == ':' ? slash + 1 : slash);
                return full;
            }
            path.assign(path.size() * 2, L'\0');
        }
    }

    void StartProcess(const std::string& programPath) override {
        // The program is named as the application, so Windows starts exactly that file. Given
        // only the command line, it would read an unquoted path with spaces as a program and
        // its arguments and try each prefix in turn: "C:\Program Files\App\app.exe" would
        // start a "C:\Program.exe" planted there. The command line stays the bare path, which
        // is what the started program sees as its own.
        const std::wstring application = Utf8ToWide(programPath);
        std::wstring commandLine = application;  // CreateProcessW may write into it
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_SHOWNORMAL;
        PROCESS_INFORMATION process{};
        if (!CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                            nullptr, nullptr, &startup, &process)) {
            throw ErrorFromWin32(GetLastError());
        }
        // Not waited for: the handles are only closed.
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
};

}  // namespace

std::unique_ptr<System> MakeSystem() { return std::make_unique<Win32System>(); }

}  // namespace tamsel::win32
