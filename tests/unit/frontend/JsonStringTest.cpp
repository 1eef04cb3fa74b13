#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "frontend/script/JsonString.h"

namespace tamsel::script {
namespace {

// The reference: the JSON library's own text for a string, invalid UTF-8 replaced.
std::string LibraryText(const std::string& text) {
    return nlohmann::json(text).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

TEST(JsonStringTest, EscapesWhatJsonRequiresAndReplacesIllFormedUtf8) {
    const std::string r = "\xEF\xBF\xBD";  // U+FFFD
    struct Case {
        std::string text;
        std::string json;
    };
    for (const Case& c : {
             Case{"", "\"\""},
             Case{"C:\\Program Files\\\"x\"", "\"C:\\\\Program Files\\\\\\\"x\\\"\""},
             Case{"\b\f\n\r\t", "\"\\b\\f\\n\\r\\t\""},
             Case{std::string("\0\x01\x1F\x7F", 4), "\"\\u0000\\u0001\\u001f\x7F\""},
             // well-formed sequences of two, three and four bytes stay as they are
             Case{"\xC3\xA9\xE6\x97\xA5\xF0\x9F\x98\x80",
                  "\"\xC3\xA9\xE6\x97\xA5\xF0\x9F\x98\x80\""},
             // a stray continuation byte, bytes that start nothing, an overlong form
             Case{"a\x80z\xFF\xC0\xAF", "\"a" + r + "z" + r + r + r + "\""},
             // a sequence cut short is one replacement; the byte that cut it starts afresh
             Case{"\xE6\x97z", "\"" + r + "z\""},
             Case{"\xF0\x9F\x98", "\"" + r + "\""},
             Case{"\xE6\xE6\x97\xA5", "\"" + r + "\xE6\x97\xA5\""},
             // surrogates and code points beyond U+10FFFF are not UTF-8
             Case{"\xED\xA0\x80", "\"" + r + r + r + "\""},
             Case{"\xF4\x90\x80\x80", "\"" + r + r + r + r + "\""},
         }) {
        EXPECT_EQ(JsonString(c.text), c.json) << c.json;
    }
}

// Every string of up to two bytes, and every string of three and four bytes made of the bytes
// where UTF-8's ranges begin and end, give the library's text.
TEST(JsonStringTest, GivesTheLibrarysTextForEveryShortString) {
    for (int a = 0; a < 256; ++a) {
        const std::string one(1, static_cast<char>(a));
        ASSERT_EQ(JsonString(one), LibraryText(one)) << a;
        for (int b = 0; b < 256; ++b) {
            const std::string two = one + static_cast<char>(b);
            ASSERT_EQ(JsonString(two), LibraryText(two)) << a << ' ' << b;
        }
    }
    const std::vector<unsigned char> edges = {
        0x00, 0x1F, 0x22, 0x41, 0x5C, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF, 0xC0, 0xC1,
        0xC2, 0xDF, 0xE0, 0xE1, 0xEC, 0xED, 0xEE, 0xEF, 0xF0, 0xF1, 0xF3, 0xF4, 0xF5, 0xFF};
    for (unsigned char a : edges)
        for (unsigned char b : edges)
            for (unsigned char c : edges) {
                const std::string three{static_cast<char>(a), static_cast<char>(b),
                                        static_cast<char>(c)};
                ASSERT_EQ(JsonString(three), LibraryText(three));
                for (unsigned char d : edges) {
                    const std::string four = three + static_cast<char>(d);
                    ASSERT_EQ(JsonString(four), LibraryText(four));
                }
            }
}

}  // namespace
}  // namespace tamsel::script
