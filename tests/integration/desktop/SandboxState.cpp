#include "SandboxState.h"

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <vector>

#include "platform/Registry.h"
#include "platform/sandbox/SandboxMachine.h"
#include "platform/sandbox/SqliteRegistry.h"

namespace tamsel::test {

namespace {

void DumpKey(sandbox::SqliteRegistry& registry, RegKey root, const std::string& path,
             std::ostringstream& out) {
    out << "[" << root << "\\" << path << "]\n";
    for (const auto& value : registry.Values(root, path)) {
        out << value.name << " (" << value.type << ") = ";
        for (std::uint8_t byte : value.data) out << static_cast<int>(byte) << ',';
        out << '\n';
    }
    for (const auto& name : registry.SubKeyNames(root, path)) {
        DumpKey(registry, root, path.empty() ? name : path + "\\" + name, out);
    }
}

}  // namespace

std::string SandboxState(const std::filesystem::path& sandbox) {
    std::ostringstream out;
    {
        auto machine = sandbox::SandboxMachine::Open(sandbox);
        DumpKey(machine->GetSqliteRegistry(), reg::kLocalMachine, "", out);
        DumpKey(machine->GetSqliteRegistry(), reg::kCurrentUser, "", out);
    }
    std::vector<std::string> entries;
    const auto drives = sandbox / "drives";
    for (const auto& entry : std::filesystem::recursive_directory_iterator(drives)) {
        std::string line = std::filesystem::relative(entry.path(), drives).string();
        if (entry.is_regular_file()) {
            if (entry.path().extension() == ".lnk") {
                line += " size " + std::to_string(entry.file_size());
            } else {
                std::ifstream in(entry.path(), std::ios::binary);
                const std::string content(std::istreambuf_iterator<char>(in), {});
                line += " size " + std::to_string(content.size()) + " hash " +
                        std::to_string(std::hash<std::string>{}(content));
            }
        }
        entries.push_back(line);
    }
    std::sort(entries.begin(), entries.end());
    for (const auto& line : entries) out << line << '\n';
    return out.str();
}

}  // namespace tamsel::test
