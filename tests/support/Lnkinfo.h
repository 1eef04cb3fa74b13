#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>
#include <sstream>
#include <string>

#include "support/ChildProcess.h"

namespace tamsel::test {

// Runs a reader and adds its "Label : value" lines (the first of each label) to `properties`.
inline void AddLabels(const std::vector<std::string>& command,
                      std::map<std::string, std::string>& properties) {
    const ProcessResult result = RunProcess(command);
    EXPECT_EQ(result.status, 0) << command.back() << ": " << result.err << result.problem;
    static const std::regex kLabelLine(R"(\s*([^:]*?)\s*:\s*(.*?)\s*)");
    std::istringstream text(result.out);
    std::smatch label;
    for (std::string line; std::getline(text, line);) {
        if (std::regex_match(line, label, kLabelLine)) properties.emplace(label[1], label[2]);
    }
}

// What lnkinfo (liblnk-utils), a reader independent of this project, makes of a shortcut file.
// lnkinfo 20181227 prints the target's size as "Show Window value" and "Hot Key value", so
// "ShowCommand" and "HotKey" (the header's numbers) are added as ExifTool reads them.
inline std::map<std::string, std::string> LnkinfoProperties(const std::filesystem::path& file) {
    std::map<std::string, std::string> exif;
    AddLabels({"/usr/bin/env", "exiftool", "-s", "-n", "-RunWindow", "-HotKey", file.string()},
              exif);
    std::map<std::string, std::string> properties{{"ShowCommand", exif["RunWindow"]},
                                                  {"HotKey", exif["HotKey"]}};
    AddLabels({"/usr/bin/env", "lnkinfo", file.string()}, properties);
    return properties;
}

}  // namespace tamsel::test
