#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "frontend/script/Script.h"

namespace tamsel::script {
namespace {

TEST(ScriptTest, ReadsTheCommandsOfTheScriptWithTheirLineNumbers) {
    Script script("# header\r\n\r\nclick OKBTN\r\n   \n  # indented comment\nset Dir \r\nclose");
    using Lines = std::vector<std::pair<int, std::string>>;
    Lines lines;
    while (auto line = script.Next()) lines.emplace_back(line->number, line->text);
    // The CR of a CR LF line is dropped; a last line without a line end still counts.
    EXPECT_EQ(lines, (Lines{{3, "click OKBTN"}, {6, "set Dir "}, {7, "close"}}));

    using Row = std::tuple<std::string, CommandKind, std::string, std::string>;
    for (const auto& [text, kind, target, argument] : std::vector<Row>{
             // set takes the rest of the line verbatim: inner and trailing blanks are the user's
             {"set StartMenuGroup My  Group ", CommandKind::Set, "StartMenuGroup", "My  Group "},
             {"set Dir  x", CommandKind::Set, "Dir", " x"},
             // a path may hold blanks
             {"open C:\\Program Files ", CommandKind::Open, "", "C:\\Program Files"},
             {"click   CancelBTN", CommandKind::Click, "CancelBTN", ""},
         }) {
        std::string problem;
        const auto command = ParseCommand({1, text}, &problem);
        ASSERT_TRUE(command.has_value()) << text << ": " << problem;
        EXPECT_EQ(std::tie(command->kind, command->target, command->argument),
                  std::tie(kind, target, argument))
            << text;
    }
    for (const char* bad : {"click", "click OKBTN CancelBTN", "set", "drive   ", "close now"}) {
        std::string problem;
        EXPECT_FALSE(ParseCommand({1, bad}, &problem).has_value()) << bad;
        EXPECT_FALSE(problem.empty()) << bad;
    }
}

}  // namespace
}  // namespace tamsel::script
