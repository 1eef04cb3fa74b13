#pragma once

#include <string>

namespace tamsel {

// The text with A-Z as a-z, every other byte unchanged: how the programs compare file names
// and paths without regard to case.
std::string LowerCase(std::string text);

}  // namespace tamsel
