#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>
#include <sstream>
#include <string>

#include "support/ChildProcess.h"

namespace tamsel::test {

// What lnkinfo (liblnk-utils), a reader independent of this project, makes of a shortcut file:
// its "Label : value" lines (the first of each label). lnkinfo 20181227 prints the target's
// size as "Show Window value" and "Hot Key value", so ExifTool adds "ShowCommand" and "HotKey"
// (the header's numbers).
inline std::map<std::string, std::string> LnkinfoProperties(const std::filesystem::path& file) {
    std::map<std::string, std::string> properties;
    static const std::regex kLabelLine(R"(\s*([^:]*?)\s*:\s*(.*?)\s*)");
    for (const auto& command :
         {std::vector<std::string>{"exiftool", "-n", "-p", "ShowCommand : $RunWindow", "-p",
                                   "HotKey : $HotKey", file.string()},
          std::vector<std::string>{"lnkinfo", file.string()}}) {
        const ProcessResult result = RunProcess(command);
        EXPECT_EQ(result.status, 0) << command[0] << ": " << result.err << result.problem;
        std::istringstream text(result.out);
        std::smatch label;
        for (std::string line; std::getline(text, line);) {
            if (std::regex_match(line, label, kLabelLine)) properties.emplace(label[1], label[2]);
        }
    }
    return properties;
}

}  // namespace tamsel::test
