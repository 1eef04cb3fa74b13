#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>

#include "support/ChildProcess.h"

namespace tamsel::test {

// Runs a reader and adds its "Label : value" lines (the first of each label) to `properties`.
inline void AddLabels(const std::vector<std::string>& command,
                      std::map<std::string, std::string>& properties) {
    const ProcessResult result = RunProcess(command);
    EXPECT_EQ(result.status, 0) << command.back() << ": " << result.err << result.problem;
    const auto trim = [](const std::string& text) {
        const auto first = text.find_first_not_of(" \t\r\n");
        if (first == std::string::npos) return std::string();
        return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
    };
    std::istringstream text(result.out);
    for (std::string line; std::getline(text, line);) {
        const auto colon = line.find(':');
        if (colon != std::string::npos) {
            properties.emplace(trim(line.substr(0, colon)), trim(line.substr(colon + 1)));
        }
    }
}

// What lnkinfo (liblnk-utils), a reader independent of this project, makes of a shortcut
// file: its "Label : value" lines. lnkinfo 20181227 prints the target's file size on its "Show
// Window value" and "Hot Key value" lines, so "ShowCommand" and "HotKey" (the header's numbers)
// are added as ExifTool, another independent reader, reads them.
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
