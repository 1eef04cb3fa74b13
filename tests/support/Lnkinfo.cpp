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

}  // namespace

std::map<std::string, std::string> LnkinfoProperties(const std::filesystem::path& file) {
    const ProcessResult result = RunProcess({"/usr/bin/env", "lnkinfo", file.string()});
    EXPECT_EQ(result.status, 0) << file << ": " << result.err << result.problem;
    std::map<std::string, std::string> properties;
    // lnkinfo 20181227 prints the target's file size on its "Show Window value" and "Hot Key
    // value" lines, so those two come from ExifTool, a second reader independent of this
    // project, as numbers: the ShowCommand and the HotKey word of the header.
    const ProcessResult exif = RunProcess(
        {"/usr/bin/env", "exiftool", "-s", "-n", "-RunWindow", "-HotKey", file.string()});
    EXPECT_EQ(exif.status, 0) << file << ": " << exif.err << exif.problem;
    std::istringstream exifText(exif.out);
    for (std::string line; std::getline(exifText, line);) {
        const auto colon = line.find(':');
        if (colon == std::string::npos) continue;
        const std::string tag = Trim(line.substr(0, colon));
        const std::string value = Trim(line.substr(colon + 1));
        if (tag == "RunWindow") properties["ShowCommand"] = value;
        if (tag == "HotKey") properties["HotKey"] = value;
    }
    std::istringstream text(result.out);
    for (std::string line; std::getline(text, line);) {
        const auto colon = line.find(':');
        if (colon == std::string::npos) continue;
        properties.emplace(Trim(line.substr(0, colon)), Trim(line.substr(colon + 1)));
    }
    return properties;
}

}  // namespace tamsel::test
