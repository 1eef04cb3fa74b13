#pragma once

#include <string>

namespace tamsel::tool {

// Checks a WINPATH argument: it must be a full Windows path with its drive ("C:\...",
// "z:/..."), since the tool has no current folder of the sandbox to resolve a relative one
// against. Returns "" for a full path, otherwise the message that explains what to give
// instead; a host path ("/home/...", "build/Setup") is answered with its name on drive Z:,
// through which the machine sees the host's files.
std::string WindowsPathProblem(const std::string& arg);

// Writes "tamsel-sandbox COMMAND: ARG: problem" when the argument is not a full Windows path.
bool IsWindowsPathArgument(const char* command, const std::string& arg);

}  // namespace tamsel::tool
