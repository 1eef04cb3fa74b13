// The commands that make and arrange the sandbox machine: init, reset, path, attrib, lock,
// unlock, wsh, oemcp and env. Each checks its arguments before it touches the machine, so bad input
// changes nothing.

#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "CommandTable.h"
#include "WindowsPathArgument.h"
#include "platform/RuntimeError.h"
#include "platform/sandbox/SandboxLocation.h"
#include "platform/sandbox/SandboxMachine.h"

namespace tamsel::tool {

namespace {

using sandbox::SandboxMachine;

constexpr int kFailure = 1;

// Reports an error of the machine about a Windows path, in the form "cmd: PATH: description".
int PathFailure(const char* command, const std::string& windowsPath, const RuntimeError& error) {
    std::cerr << "tamsel-sandbox " << command << ": " << windowsPath << ": " << error.Description()
              << " (" << error.Number() << ")\n";
    return kFailure;
}

// Opens the machine for a command on a WINPATH argument; nothing (after the message) when the
// argument is not a full Windows path, without touching the machine.
std::unique_ptr<SandboxMachine> OpenForPath(const char* command, const std::string& windowsPath) {
    if (!IsWindowsPathArgument(command, windowsPath)) return nullptr;
    return SandboxMachine::Open(sandbox::SandboxDirectory());
}

int Init(const std::vector<std::string>& args) {
    if (!args.empty()) throw UsageError();
    auto directory = sandbox::SandboxDirectory();
    SandboxMachine::Init(directory);
    std::cout << "made a new machine in " << directory.string() << "\n";
    return 0;
}

int Reset(const std::vector<std::string>& args) {
    if (!args.empty()) throw UsageError();
    auto directory = sandbox::SandboxDirectory();
    SandboxMachine::Reset(directory);
    std::cout << "reset the machine in " << directory.string() << "\n";
    return 0;
}

int Path(const std::vector<std::string>& args) {
    if (args.size() != 1) throw UsageError();
    auto machine = OpenForPath("path", args[0]);
    if (!machine) return kFailure;
    try {
        std::cout << machine->HostPath(args[0], false).string() << "\n";
    } catch (const RuntimeError& error) {
        return PathFailure("path", args[0], error);
    }
    return 0;
}

bool IsAttributeSwitch(const std::string& arg) {
    return !arg.empty() && (arg[0] == '+' || arg[0] == '-');
}

int Attrib(const std::vector<std::string>& args) {
    if (args.size() == 1 && !IsAttributeSwitch(args[0])) {
        auto machine = OpenForPath("attrib", args[0]);
        if (!machine) return kFailure;
        try {
            auto host = machine->HostPath(args[0], false);
            std::cout << (machine->IsReadOnly(args[0]) ? "R  " : "   ")
                      << machine->WindowsPath(host) << "\n";
        } catch (const RuntimeError& error) {
            return PathFailure("attrib", args[0], error);
        }
        return 0;
    }
    if (args.size() != 2 ||
        (args[0] != "+r" && args[0] != "-r" && args[0] != "+R" && args[0] != "-R")) {
        throw UsageError();
    }
    auto machine = OpenForPath("attrib", args[1]);
    if (!machine) return kFailure;
    try {
        machine->SetReadOnly(args[1], args[0][0] == '+');
    } catch (const RuntimeError& error) {
        return PathFailure("attrib", args[1], error);
    }
    return 0;
}

int SetInUse(const char* command, const std::vector<std::string>& args, bool inUse) {
    if (args.size() != 1) throw UsageError();
    auto machine = OpenForPath(command, args[0]);
    if (!machine) return kFailure;
    try {
        machine->SetInUse(args[0], inUse);
    } catch (const RuntimeError& error) {
        return PathFailure(command, args[0], error);
    }
    return 0;
}

int Lock(const std::vector<std::string>& args) { return SetInUse("lock", args, true); }
int Unlock(const std::vector<std::string>& args) { return SetInUse("unlock", args, false); }

int Wsh(const std::vector<std::string>& args) {
    if (args.size() > 1 || (args.size() == 1 && args[0] != "on" && args[0] != "off")) {
        throw UsageError();
    }
    auto machine = SandboxMachine::Open(sandbox::SandboxDirectory());
    if (args.empty()) {
        std::cout << (machine->ScriptingHostAvailable() ? "on" : "off") << "\n";
    } else {
        machine->SetScriptingHostAvailable(args[0] == "on");
    }
    return 0;
}

int OemCp(const std::vector<std::string>& args) {
    const bool number = args.size() == 1 && !args[0].empty() &&
                        args[0].find_first_not_of("0123456789") == std::string::npos &&
                        args[0].size() <= 5;
    if (args.size() > 1 || (args.size() == 1 && !number)) throw UsageError();
    auto machine = SandboxMachine::Open(sandbox::SandboxDirectory());
    if (args.empty()) {
        std::cout << machine->OemCodePage() << "\n";
        return 0;
    }
    try {
        machine->SetOemCodePage(std::stoi(args[0]));
    } catch (const std::invalid_argument& error) {
        std::cerr << "tamsel-sandbox oemcp: " << error.what() << "\n";
        return kFailure;
    }
    return 0;
}

// A name the tool takes: Windows allows a leading "-", but here it would read as an option.
bool IsVariableName(const std::string& name) {
    return !name.empty() && name[0] != '-' && name.find('=') == std::string::npos;
}

// env NAME=VALUE sets (VALUE as given, "" included), env -u NAME removes, env NAME prints.
int Env(const std::vector<std::string>& args) {
    if (args.size() == 2 && args[0] == "-u" && IsVariableName(args[1])) {
        SandboxMachine::Open(sandbox::SandboxDirectory())->RemoveEnvironment(args[1]);
        return 0;
    }
    if (args.size() != 1) throw UsageError();
    const std::size_t equals = args[0].find('=');
    const std::string name = args[0].substr(0, equals);
    if (!IsVariableName(name)) throw UsageError();
    auto machine = SandboxMachine::Open(sandbox::SandboxDirectory());
    if (equals != std::string::npos) {
        machine->SetEnvironment(name, args[0].substr(equals + 1));
        return 0;
    }
    const auto value = machine->FindEnvironment(name);
    if (!value) {
        std::cerr << "tamsel-sandbox env: " << name << " is not set\n";
        return kFailure;
    }
    std::cout << *value << "\n";
    return 0;
}

}  // namespace

std::vector<Command> MachineCommands() {
    return {
        {"init", {{"init", "make a new machine (the folder must be missing or empty)"}}, Init},
        {"reset", {{"reset", "replace the machine by a new one"}}, Reset},
        {"path", {{"path WINPATH", "print the host path of a Windows path"}}, Path},
        {"attrib",
         {{"attrib [+r|-r] WINPATH", "show, set or clear the read-only attribute"}},
         Attrib},
        {"lock", {{"lock WINPATH", "mark a file as in use"}}, Lock},
        {"unlock", {{"unlock WINPATH", "mark a file as no longer in use"}}, Unlock},
        {"wsh", {{"wsh [on|off]", "show, install or remove the Windows Script Host"}}, Wsh},
        {"oemcp",
         {{"oemcp [CODEPAGE]", "show or set the OEM code page cmd reads batch files in"}},
         OemCp},
        {"env",
         {{"env NAME", "print a variable of the environment (the user's, then the system's)"},
          {"env NAME=VALUE", "set a variable of the user's environment to VALUE as given"},
          {"env -u NAME", "remove a variable of the user's environment"}},
         Env},
    };
}

}  // namespace tamsel::tool
