#include <gtest/gtest.h>

#include <tuple>

#include "app/replay/replay_script.h"

namespace {

using enum MouseMessage;

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
    using Event = std::tuple<int, std::string, MouseMessage, int32_t, int32_t, bool>;
    std::vector<Event> read;
    for (const ReplayEvent& e : script.events) read.emplace_back(e.lineNumber, e.text, e.message, e.x, e.y, e.escape);
    EXPECT_EQ(read, (std::vector<Event>{{3, "left-down 10 20", LeftDown, 10, 20, false},
                                        {4, "move -5   -2147483648", Move, -5, INT32_MIN, false},
                                        {5, "left-up 2147483647 0", LeftUp, INT32_MAX, 0, false},
                                        {6, "right-down 1 2", RightDown, 1, 2, false},
                                        {7, "right-up 3 4", RightUp, 3, 4, false},
                                        {8, "wheel 5 6", Other, 5, 6, false},
                                        {10, "escape", Other, 0, 0, true}}));
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
