#pragma once

#include <string>

namespace tamsel {

// The one rule for Start-menu group names, used by Setup before it makes a group and by the
// uninstaller before it removes one: a group name is a path relative to the Programs folder
// whose levels are separated by "\" or "/" alike. Accepted are the empty name (the Programs
// folder itself) and names of one or more levels that each name a folder Windows keeps as
// named. Refused are:
//  - a drive ("C:Games", "C:\Games") and a leading separator ("\Games", "/Games");
//  - an empty level: doubled separators, and a trailing separator ("Games\");
//  - a level that ends in a blank or a dot, "." and ".." included: Windows would drop the blank
//    or the dot, so that the folder made would not be the folder named, and ".." would lead out
//    of the Programs folder;
//  - a character that no name may hold (< > : " | ? * and control characters).
bool IsAcceptedStartMenuGroup(const std::string& group);

// The group name with every "/" written "\", as the registry's key names and the folder paths
// built from it need it. Only meaningful for an accepted name.
std::string StartMenuGroupPath(const std::string& group);

}  // namespace tamsel
