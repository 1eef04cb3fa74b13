// tamsel-sandbox logon: logs the user on to the sandbox, which runs the commands of the RunOnce
// keys once, as Windows does at the next log-on.

#include <iostream>
#include <string>
#include <vector>

#include "CommandTable.h"
#include "platform/sandbox/Logon.h"
#include "platform/sandbox/SandboxLocation.h"
#include "platform/sandbox/SandboxMachine.h"

namespace tamsel::tool {

namespace {

int Logon(const std::vector<std::string>& args) {
    if (!args.empty()) throw UsageError();
    const auto machine = sandbox::SandboxMachine::Open(sandbox::SandboxDirectory());
    const sandbox::LogonResult result = sandbox::RunLogon(*machine, std::cout, std::cerr);
    // A command that could not run (or a line of it that was refused) is a failure of the
    // log-on; messages of the commands themselves ("Could Not Find ...") are not.
    return result.refused == 0 ? 0 : 1;
}

}  // namespace

Command LogonCommand() {
    return {"logon", {{"logon", "run the RunOnce commands once, as the next log-on does"}}, Logon};
}

}  // namespace tamsel::tool
