#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tamsel {

// The pieces of a text between its separators, empty pieces included ("a,,b" gives "a", "",
// "b"; an empty text gives one empty piece).
std::vector<std::string> SplitText(std::string_view text, char separator);

}  // namespace tamsel
