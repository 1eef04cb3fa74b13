#include "platform/sandbox/BatchInterpreter.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <ostream>
#include <sstream>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/RuntimeError.h"
#include "platform/WindowsPath.h"
#include "platform/sandbox/CodePage.h"
#include "platform/sandbox/SandboxMachine.h"

namespace tamsel::sandbox {

namespace {

namespace fs = std::filesystem;

constexpr const char* kAccessDenied = "Access is denied.";
constexpr const char* kSharingViolation =
    "The process cannot access the file because it is being used by another process.";
constexpr const char* kPathNotFound = "The system cannot find the path specified.";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The message cmd gives when a path cannot be reached: outside the sandbox's drives, or a
// place the sandbox does not let a program write to.
const char* UnreachableMessage(const RuntimeError& error) {
    return error.Number() == err::kPathNotFound ? kPathNotFound : kAccessDenied;
}

// A command line split as the interpreter understands it: a command word and one argument.
struct ParsedLine {
    std::string command;
    std::string argument;
    int argumentCount = 0;
    bool option = false;   // an argument that starts with "/"
    bool special = false;  // redirection, pipes, command separators or escapes outside quotes
};

ParsedLine Parse(const std::string& line) {
    ParsedLine parsed;
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    bool quoted = false;
    for (char c : line) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
            continue;
        }
        if (!quoted && IsBlank(c)) {
            if (inWord) words.push_back(word);
            word.clear();
            inWord = false;
            continue;
        }
        if (!quoted && (c == '&' || c == '|' || c == '<' || c == '>' || c == '^')) {
            parsed.special = true;
        }
        word += c;
        inWord = true;
    }
    if (inWord) words.push_back(word);
    if (quoted) parsed.special = true;  // an unbalanced quote
    if (!words.empty()) parsed.command = LowerCase(words.front());
    parsed.argumentCount = static_cast<int>(words.size()) - 1;
    if (words.size() > 1) parsed.argument = words[1];
    for (std::size_t i = 1; i < words.size(); ++i) {
        if (!words[i].empty() && words[i].front() == '/') parsed.option = true;
    }
    return parsed;
}

// The host path of what a batch line names, and what is there (not following a link); nothing,
// with cmd's message written, when the path cannot be reached.
std::optional<std::pair<fs::path, fs::file_status>> Locate(SandboxMachine& machine,
                                                           std::ostream& messages,
                                                           const std::string& path) {
    try {
        fs::path host = machine.HostPath(path, true);
        std::error_code error;
        const fs::file_status status = fs::symlink_status(host, error);
        return std::pair{std::move(host), status};
    } catch (const RuntimeError& error) {
        messages << UnreachableMessage(error) << "\n";
        return std::nullopt;
    }
}

}  // namespace

std::string ExpandBatchLine(const std::string& line, const std::string& batchPath,
                            const std::function<std::string(const std::string&)>& variable) {
    std::string out;
    std::size_t i = 0;
    while (i < line.size()) {
        if (line[i] != '%') {
            out += line[i++];
            continue;
        }
        const char next = i + 1 < line.size() ? line[i + 1] : '\0';
        if (next == '%') {
            out += '%';
            i += 2;
        } else if (next >= '0' && next <= '9') {
            if (next == '0') out += batchPath;
            i += 2;
        } else if (next == '*') {
            i += 2;
        } else {
            const auto close = line.find('%', i + 1);
            if (close == std::string::npos) {
                ++i;  // a lone "%" is dropped
            } else {
                out += variable(line.substr(i + 1, close - i - 1));
                i = close + 1;
            }
        }
    }
    return out;
}

BatchInterpreter::BatchInterpreter(SandboxMachine& machine, std::ostream& messages)
    : machine_(machine), messages_(messages) {}

bool BatchInterpreter::RunFile(const std::string& batchPath) {
    fs::path host;
    try {
        host = machine_.HostPath(batchPath, false);
    } catch (const RuntimeError& error) {
        messages_ << UnreachableMessage(error) << "\n";
        return false;
    }
    std::ifstream in(host, std::ios::binary);
    std::error_code error;
    if (!in || !fs::is_regular_file(host, error)) {
        messages_ << "The system cannot find the file " << batchPath << ".\n";
        return false;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    // cmd reads the bytes in the machine's OEM code page: a file written in another one names
    // other files.
    RunText(CodePageToUtf8(machine_.OemCodePage(), text), batchPath);
    return true;
}

void BatchInterpreter::RunText(const std::string& text, const std::string& batchPath) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        RunLine(lines[i], batchPath);
        if (Exists(batchPath)) continue;
        // The file is gone: cmd cannot read the next line.
        const bool more = std::any_of(lines.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                      lines.end(), [](const std::string& rest) {
                                          return rest.find_first_not_of(" \t") != std::string::npos;
                                      });
        if (more) messages_ << "The batch file cannot be found.\n";
        return;
    }
}

void BatchInterpreter::RunLine(const std::string& rawLine, const std::string& batchPath) {
    const std::string line = ExpandBatchLine(
        rawLine, batchPath, [this](const std::string& name) { return machine_.Environment(name); });
    const ParsedLine parsed = Parse(line);
    if (parsed.command.empty()) return;  // a blank line
    if (parsed.command != "del" && parsed.command != "rmdir") {
        Refuse(line, "only del and rmdir are known");
        return;
    }
    if (parsed.special) {
        Refuse(line, "redirection, pipes and command separators are not supported");
        return;
    }
    if (parsed.option) {
        Refuse(line, "options are not supported");
        return;
    }
    if (parsed.argumentCount != 1 || parsed.argument.empty()) {
        messages_ << "The syntax of the command is incorrect.\n";
        return;
    }
    if (parsed.argument.find_first_of("*?") != std::string::npos) {
        Refuse(line, "wildcards are not supported");
        return;
    }
    if (parsed.command == "del") {
        Delete(parsed.argument);
    } else {
        RemoveFolder(parsed.argument);
    }
}

void BatchInterpreter::Delete(const std::string& path) {
    const auto target = Locate(machine_, messages_, path);
    if (!target) return;
    const auto& [host, status] = *target;
    std::error_code error;
    if (!fs::exists(status)) {
        messages_ << "Could Not Find " << path << "\n";
        return;
    }
    if (fs::is_directory(status)) {
        // cmd would ask whether to delete every file in the folder: nobody answers at log-on.
        Refuse("del \"" + path + "\"", "deleting the files of a folder is not supported");
        return;
    }
    if (machine_.IsReadOnly(path)) {
        messages_ << path << "\n" << kAccessDenied << "\n";
        return;
    }
    if (machine_.IsInUse(path)) {
        messages_ << path << "\n" << kSharingViolation << "\n";
        return;
    }
    if (!fs::remove(host, error) || error) messages_ << path << "\n" << kAccessDenied << "\n";
}

void BatchInterpreter::RemoveFolder(const std::string& path) {
    const auto target = Locate(machine_, messages_, path);
    if (!target) return;
    const auto& [host, status] = *target;
    std::error_code error;
    if (!fs::exists(status)) {
        messages_ << "The system cannot find the file specified.\n";
        return;
    }
    if (!fs::is_directory(status)) {
        messages_ << "The directory name is invalid.\n";
        return;
    }
    if (IsDriveRoot(host)) {
        messages_ << kSharingViolation << "\n";
        return;
    }
    if (!fs::is_empty(host, error)) {
        messages_ << "The directory is not empty.\n";
        return;
    }
    if (machine_.IsReadOnly(path)) {
        messages_ << kAccessDenied << "\n";
        return;
    }
    if (!fs::remove(host, error) || error) messages_ << kAccessDenied << "\n";
}

void BatchInterpreter::Refuse(const std::string& line, const char* why) {
    ++refused_;
    messages_ << "Not run (" << why << "): " << line << "\n";
}

bool BatchInterpreter::IsDriveRoot(const fs::path& host) {
    for (char letter = 'a'; letter <= 'z'; ++letter) {
        try {
            std::error_code error;
            const auto root = machine_.HostPath(std::string(1, letter) + ":\\", false);
            if (fs::equivalent(host, root, error)) return true;
        } catch (const RuntimeError&) {
            // no such drive
        }
    }
    return false;
}

bool BatchInterpreter::Exists(const std::string& windowsPath) {
    try {
        std::error_code error;
        return fs::exists(machine_.HostPath(windowsPath, false), error);
    } catch (const RuntimeError&) {
        return false;
    }
}

}  // namespace tamsel::sandbox
