#include <gtest/gtest.h>

#include "app/replay/replay_script.h"

namespace {

TEST(ReplayScript, ReadsEveryEventKindWithLineNumbersAndTrimmedText) {
    const ParsedScript script = parseReplayScript(
        "# a comment\n"
        "\n"
        "left-down 10 20\n"
        "  move -5   -2147483648  \r\n"
        "left-up 2147483647 0\n"
        "right-down 1 2\n"
        "right-up 3 4\n"
        "\twheel 5 6\n"
        "   # indented comment\n"
        "escape\n"
        "this line is never read\n");
    ASSERT_TRUE(script.ok);
    ASSERT_EQ(script.events.size(), 7u);
    EXPECT_EQ(script.events[0].lineNumber, 3);
    EXPECT_EQ(script.events[0].message, MouseMessage::LeftDown);
    EXPECT_EQ(script.events[0].x, 10);
    EXPECT_EQ(script.events[1].text, "move -5   -2147483648");
    EXPECT_EQ(script.events[1].message, MouseMessage::Move);
    EXPECT_EQ(script.events[1].y, INT32_MIN);
    EXPECT_EQ(script.events[2].x, INT32_MAX);
    EXPECT_EQ(script.events[3].message, MouseMessage::RightDown);
    EXPECT_EQ(script.events[4].message, MouseMessage::RightUp);
    EXPECT_EQ(script.events[5].message, MouseMessage::Other);
    EXPECT_TRUE(script.events[6].escape);
    EXPECT_EQ(script.events[6].lineNumber, 10);
}

struct MalformedCase {
    const char* line;
};

class MalformedLine : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedLine, FailsNamingTheLineAndKeepsNoEvents) {
    const std::string script = std::string("move 1 1\n\n") + GetParam().line + "\nmove 2 2\n";
    const ParsedScript parsed = parseReplayScript(script);
    EXPECT_FALSE(parsed.ok);
    EXPECT_EQ(parsed.error.lineNumber, 3);
    EXPECT_TRUE(parsed.events.empty());
}

INSTANTIATE_TEST_SUITE_P(Lines, MalformedLine,
                         ::testing::Values(MalformedCase{"jump 1 2"}, MalformedCase{"move 1"},
                                           MalformedCase{"move 1 2 3"}, MalformedCase{"move x 2"},
                                           MalformedCase{"move 1.5 2"}, MalformedCase{"move 2147483648 0"},
                                           MalformedCase{"move 0 -2147483649"}, MalformedCase{"move +1 2"},
                                           MalformedCase{"escape now"}, MalformedCase{"Move 1 2"},
                                           MalformedCase{"move 1 2#"}, MalformedCase{"move - 2"}));

}  // namespace
