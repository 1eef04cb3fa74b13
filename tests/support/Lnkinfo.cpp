#include "support/Lnkinfo.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/ChildProcess.h"

namespace tamsel::test {

namespace {

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// Runs a reader and adds its "Label : value" lines (the first of each label) to `properties`.
void AddLabels(const std::vector<std::string>& command,
               std::map<std::string, std::string>& properties) {
    const ProcessResult result = RunProcess(command);
    EXPECT_EQ(result.status, 0) << command.back() << ": " << result.err << result.problem;
    std::istringstream text(result.out);
    for (std::string line; std::getline(text, line);) {
        const auto colon = line.find(':');
        if (colon != std::string::npos) {
            properties.emplace(Trim(line.substr(0, colon)), Trim(line.substr(colon + 1)));
        }
    }
}

}  // namespace

std::map<std::string, std::string> LnkinfoProperties(const std::filesystem::path& file) {
    // lnkinfo 20181227 prints the target's file size on its "Show Window value" and "Hot Key
    // value" lines, so those two come from ExifTool, a second reader independent of this
    // project, as numbers: the ShowCommand and the HotKey word of the header.
    std::map<std::string, std::string> exif;
    AddLabels({"/usr/bin/env", "exiftool", "-s", "-n", "-RunWindow", "-HotKey", file.string()},
              exif);
    std::map<std::string, std::string> properties{{"ShowCommand", exif["RunWindow"]},
                                                  {"HotKey", exif["HotKey"]}};
    AddLabels({"/usr/bin/env", "lnkinfo", file.string()}, properties);
    return properties;
}

}  // namespace tamsel::test
