#pragma once

#include <string>

namespace tamsel::sandbox {

// The 8.3 short names that the sandbox's volumes give long names, as a Windows volume with
// short names does. A name that is already a valid 8.3 name of ASCII characters is its own
// short name. Any other name gets up to four characters of its base name and up to three of its
// extension, upper case, with "_" for every character a short name cannot hold, then "~" and
// three characters derived from the whole name (compared without regard to case), as Wine
// makes them: "José Café" -> "JOS_~XXX". Windows numbers them "~1", "~2" instead; a program
// must take a short name from the volume, never make one, and both kinds are valid names.
std::string ShortName(const std::string& longName);

// Whether a name is a valid 8.3 name of ASCII characters (and so its own short name).
bool IsShortName(const std::string& name);

}  // namespace tamsel::sandbox
