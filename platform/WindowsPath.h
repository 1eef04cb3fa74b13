#pragma once

#include <string>
#include <string_view>

namespace tamsel {

// Windows path text as both the programs and the platforms read it: case folding, the drive
// at the start of a path, separators and the characters no name may hold. Only ASCII letters
// fold and count as drive letters; every other byte is taken as it is.

// A-Z as a-z (LowerCase) or a-z as A-Z (UpperCase), every other byte unchanged: how file names
// and paths are compared without regard to case.
char LowerCase(char c);
char UpperCase(char c);
std::string LowerCase(std::string text);
std::string UpperCase(std::string text);

// A letter that can name a drive: A-Z or a-z.
bool IsDriveLetter(char c);
// "\" or "/", both of which Windows takes as a separator.
bool IsSeparator(char c);
// A character that no file or folder name may hold: a control character or one of <>:"|?*.
bool IsForbiddenInName(char c);

// Whether the path starts with a drive: a letter and ":" ("C:", "C:\dir", "C:dir").
bool StartsWithDrive(std::string_view path);
// Whether the path starts with a drive and a separator: "C:\" or, when `slashSeparates`, also
// "C:/". Relative, drive-relative ("C:dir") and network ("\\server") paths are not.
bool IsDriveAbsolute(std::string_view path, bool slashSeparates = false);

// The path without trailing separators ("\" and "/"), except that a drive root keeps its own
// ("C:\", never "C:", which names the drive's current directory).
std::string WithoutTrailingSeparators(std::string path);

}  // namespace tamsel
