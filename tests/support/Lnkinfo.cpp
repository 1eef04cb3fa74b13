#include "support/Lnkinfo.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "support/ChildProcess.h"

namespace tamsel::test {

namespace {

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

}  // namespace

std::map<std::string, std::string> LnkinfoProperties(const std::filesystem::path& file) {
    const ProcessResult result = RunProcess({"/usr/bin/env", "lnkinfo", file.string()});
    EXPECT_EQ(result.status, 0) << file << ": " << result.err << result.problem;
    std::map<std::string, std::string> properties;
    // ShowCommand and HotKey straight from the header (offsets 0x3C and 0x40): lnkinfo
    // 20181227 prints the target's file size on its "Show Window value" and "Hot Key value"
    // lines, so those two are read here instead.
    std::ifstream in(file, std::ios::binary);
    unsigned char header[0x4C] = {};
    in.read(reinterpret_cast<char*>(header), sizeof header);
    properties["ShowCommand"] =
        std::to_string(header[0x3C] | header[0x3D] << 8 | header[0x3E] << 16 | header[0x3F] << 24);
    properties["HotKey"] = std::to_string(header[0x40] | header[0x41] << 8);
    std::istringstream text(result.out);
    for (std::string line; std::getline(text, line);) {
        const auto colon = line.find(':');
        if (colon == std::string::npos) continue;
        properties.emplace(Trim(line.substr(0, colon)), Trim(line.substr(colon + 1)));
    }
    return properties;
}

}  // namespace tamsel::test
