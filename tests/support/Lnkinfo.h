#pragma once

#include <filesystem>
#include <map>
#include <string>

namespace tamsel::test {

// What lnkinfo (liblnk-utils), a reader independent of this project, makes of a shortcut
// file: its "Label : value" lines (the first of each label), with "ShowCommand" and "HotKey"
// (numbers) added as ExifTool, another independent reader, reads them.
std::map<std::string, std::string> LnkinfoProperties(const std::filesystem::path& file);

}  // namespace tamsel::test
