#pragma once

#include <string>
#include <vector>

namespace tamsel::sandbox {

// 8.3 short names, as a Windows volume that keeps them gives them to long names.

// Whether a name is a valid 8.3 name of ASCII characters (and so its own short name).
bool IsValidShortName(const std::string& name);

// The 8.3 name of a long name: the name itself when it is a valid 8.3 name, else the first six
// usable characters in upper case ("_" for each character a short name cannot hold), "~1" and
// up to three characters of the extension.
std::string ShortName(const std::string& longName);

// The short name of one entry of a folder on the sandbox's volumes, given all the folder's
// entries: ShortName, where the number counts the entries whose long names give the same short
// name, in the order the folder lists them ("PROGRA~1", "PROGRA~2"). Windows numbers them in the
// order they were made; either way each entry of a folder has its own short name. A program
// takes a short name from the volume and never makes one.
std::string ShortNameAmong(const std::string& name, const std::vector<std::string>& entries);

}  // namespace tamsel::sandbox
