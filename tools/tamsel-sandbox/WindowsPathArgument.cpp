#include "WindowsPathArgument.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <iostream>
#include <system_error>

#include "platform/WindowsPath.h"

namespace tamsel::tool {

namespace {

bool IsFullWindowsPath(const std::string& arg) { return IsDriveAbsolute(arg, true); }

bool LooksLikeHostPath(const std::string& arg) {
    std::error_code error;
    const bool hostSeparators =
        arg.find('/') != std::string::npos && arg.find('\\') == std::string::npos;
    return arg[0] == '/' || arg[0] == '~' || hostSeparators || std::filesystem::exists(arg, error);
}

// The path the user probably meant: "C:foo" as "C:\\foo", "\\foo" and "foo" on C:.
std::string WithDrive(const std::string& arg) {
    std::string drive = "C:";
    std::string rest = arg;
    if (rest.size() >= 2 && rest[1] == ':') {
        drive = rest.substr(0, 2);
        rest = rest.substr(2);
    }
    const std::size_t start = rest.find_first_not_of("\\/");
    return drive + "\\" + (start == std::string::npos ? "" : rest.substr(start));
}

}  // namespace

std::string WindowsPathProblem(const std::string& arg) {
    if (IsFullWindowsPath(arg)) return "";
    if (!arg.empty() && LooksLikeHostPath(arg)) {
        std::string onDriveZ = "Z:" + std::filesystem::absolute(arg).lexically_normal().string();
        std::replace(onDriveZ.begin(), onDriveZ.end(), '/', '\\');
        return "a host path; the machine sees the host's files through drive Z: (read-only), "
               "so give " +
               onDriveZ;
    }
    return "not a full Windows path; give one with its drive, like " + WithDrive(arg);
}

bool IsWindowsPathArgument(const char* command, const std::string& arg) {
    const std::string problem = WindowsPathProblem(arg);
    if (!problem.empty())
        std::cerr << "tamsel-sandbox " << command << ": " << arg << ": " << problem << "\n";
    return problem.empty();
}

}  // namespace tamsel::tool
