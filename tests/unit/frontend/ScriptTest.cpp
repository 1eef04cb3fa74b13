#include <gtest/gtest.h>

#include "frontend/script/Script.h"

namespace tamsel::script {
namespace {

std::vector<ScriptLine> AllLines(Script script) {
    std::vector<ScriptLine> lines;
    while (auto line = script.Next()) lines.push_back(*line);
    return lines;
}

ScriptCommand Parsed(const std::string& text) {
    std::string problem;
    auto command = ParseCommand({1, text}, &problem);
    EXPECT_TRUE(command.has_value()) << text << ": " << problem;
    return command.value_or(ScriptCommand{});
}

std::string Problem(const std::string& text) {
    std::string problem;
    EXPECT_FALSE(ParseCommand({1, text}, &problem).has_value()) << text;
    return problem;
}

TEST(ScriptTest, SkipsBlankAndCommentLinesAndKeepsLineNumbers) {
    const auto lines =
        AllLines(Script("# header\r\n\r\nclick OKBTN\r\n   \n  # indented comment\nset Dir \r\n"
                        "answer No"));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].number, 3);
    EXPECT_EQ(lines[0].text, "click OKBTN");  // the CR of a CR LF line is dropped
    EXPECT_EQ(lines[1].number, 6);
    EXPECT_EQ(lines[1].text, "set Dir ");
    EXPECT_EQ(lines[2].number, 7);  // a last line without a line end still counts
    EXPECT_EQ(lines[2].text, "answer No");
    EXPECT_TRUE(AllLines(Script("")).empty());
}

TEST(ScriptTest, SetTakesTheRestOfTheLineVerbatim) {
    auto command = Parsed("set StartMenuGroup My  Group ");
    EXPECT_EQ(command.kind, CommandKind::Set);
    EXPECT_EQ(command.target, "StartMenuGroup");
    EXPECT_EQ(command.argument, "My  Group ");  // inner and trailing blanks are the user's text
    EXPECT_EQ(Parsed("set Dir").argument, "");
    EXPECT_EQ(Parsed("set Dir ").argument, "");
    EXPECT_EQ(Parsed("set Dir  x").argument, " x");
    EXPECT_EQ(Parsed("set Dir D:\\Program Files\\Tamsel Orry\\").argument,
              "D:\\Program Files\\Tamsel Orry\\");
}

TEST(ScriptTest, PathsAndDrivesMayHoldBlanks) {
    auto open = Parsed("open C:\\Program Files ");
    EXPECT_EQ(open.kind, CommandKind::Open);
    EXPECT_EQ(open.argument, "C:\\Program Files");
    auto drive = Parsed("drive d: [Data]");
    EXPECT_EQ(drive.kind, CommandKind::Drive);
    EXPECT_EQ(drive.argument, "d: [Data]");
    EXPECT_EQ(Parsed("click   CancelBTN").target, "CancelBTN");
    EXPECT_EQ(Parsed("answer Yes").target, "Yes");
    EXPECT_EQ(Parsed("close").kind, CommandKind::Close);
}

TEST(ScriptTest, RejectsMalformedLines) {
    EXPECT_NE(Problem("press OKBTN").find("unknown command 'press'"), std::string::npos);
    EXPECT_NE(Problem("Click OKBTN").find("unknown command"), std::string::npos);
    Problem("click");
    Problem("click OKBTN CancelBTN");
    Problem("answer");
    Problem("answer Yes please");
    Problem("set");
    Problem("open");
    Problem("drive   ");
    Problem("close now");
}

}  // namespace
}  // namespace tamsel::script
