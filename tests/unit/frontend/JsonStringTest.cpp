#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "frontend/script/JsonString.h"

namespace tamsel::script {
namespace {

using namespace std::string_view_literals;

// The JSON library's text for a string, ill-formed UTF-8 replaced by U+FFFD.
std::string LibraryText(const std::string& text) {
    return nlohmann::json(text).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

// Every string of up to two bytes, and every string of three and four bytes made of the bytes
// where JSON's escapes and UTF-8's ranges begin and end, gives the library's text.
TEST(JsonStringTest, GivesTheLibrarysTextForEveryShortString) {
    for (int a = 0; a < 256; ++a) {
        for (int b = -1; b < 256; ++b) {
            std::string text(1, static_cast<char>(a));
            if (b >= 0) text += static_cast<char>(b);
            ASSERT_EQ(JsonString(text), LibraryText(text)) << a << ' ' << b;
        }
    }
    const std::string_view edges =
        "\x00\x1F\x22\x41\x5C\x7F\x80\x8F\x90\x9F\xA0\xBF\xC0\xC1\xC2\xDF"
        "\xE0\xE1\xEC\xED\xEE\xEF\xF0\xF1\xF3\xF4\xF5\xFF"sv;
    for (char a : edges) {
        for (char b : edges) {
            for (char c : edges) {
                const std::string three = {a, b, c};
                ASSERT_EQ(JsonString(three), LibraryText(three));
                for (char d : edges) ASSERT_EQ(JsonString(three + d), LibraryText(three + d));
            }
        }
    }
}

}  // namespace
}  // namespace tamsel::script
