// marker: a program that leaves a trace when it runs. It creates the file of its own path with
// ".ran" appended ("C:\Program.exe.ran") and ends; a test plants it where no program should be
// started, or installs it in the place of the application to see that that one started.
#include <windows.h>

int main() {
    wchar_t path[MAX_PATH + 8] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    lstrcatW(path, L".ran");
    CloseHandle(CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    return 0;
}
