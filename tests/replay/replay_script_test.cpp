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

class MalformedLine : public ::testing::TestWithParam<const char*> {};

TEST_P(MalformedLine, FailsNamingTheLineAndKeepsNoEvents) {
    const ParsedScript parsed = parseReplayScript(std::string("move 1 1\n\n") + GetParam() + "\nmove 2 2\n");
    EXPECT_FALSE(parsed.ok);
    EXPECT_EQ(parsed.error.lineNumber, 3);
    EXPECT_TRUE(parsed.events.empty());
}

INSTANTIATE_TEST_SUITE_P(Lines, MalformedLine,
                         ::testing::Values("jump 1 2", "move 1", "move 1 2 3", "move x 2", "move 1.5 2",
                                           "move 2147483648 0", "move 0 -2147483649", "move +1 2", "escape now",
                                           "Move 1 2", "move 1 2#", "move - 2"));

}  // namespace
