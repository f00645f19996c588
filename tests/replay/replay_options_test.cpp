#include <gtest/gtest.h>

#include <vector>

#include "app/replay/replay_options.h"

namespace {

OptionsResult parse(std::vector<const char*> arguments) {
    arguments.insert(arguments.begin(), "zimblet-replay");
    return parseReplayOptions(static_cast<int>(arguments.size()), arguments.data());
}

TEST(ReplayOptions, DefaultsAndEveryOption) {
    const OptionsResult plain = parse({});
    ASSERT_TRUE(plain.ok);
    EXPECT_EQ(plain.options.width, 1920);
    EXPECT_EQ(plain.options.height, 1080);
    EXPECT_TRUE(plain.options.scriptPath.empty());

    const OptionsResult full = parse({"--size", "800x600", "--frame", "f.png", "--state", "s.txt", "drag.script"});
    ASSERT_TRUE(full.ok);
    EXPECT_EQ(full.options.width, 800);
    EXPECT_EQ(full.options.height, 600);
    EXPECT_EQ(full.options.framePath, "f.png");
    EXPECT_EQ(full.options.statePath, "s.txt");
    EXPECT_EQ(full.options.scriptPath, "drag.script");
}

TEST(ReplayOptions, BadArgumentsAreNamedInTheMessage) {
    struct Case {
        std::vector<const char*> arguments;
        const char* named;
    };
    for (const Case& c : {Case{{"--size", "0x600"}, "0x600"}, Case{{"--size", "800"}, "800"},
                          Case{{"--size", "-8x6"}, "-8x6"}, Case{{"--size", "99999x6"}, "99999x6"},
                          Case{{"--size"}, "--size"}, Case{{"--frame"}, "--frame"}, Case{{"--fast"}, "--fast"},
                          Case{{"a.script", "b.script"}, "b.script"}}) {
        const OptionsResult result = parse(c.arguments);
        EXPECT_FALSE(result.ok) << c.named;
        EXPECT_NE(result.error.find(c.named), std::string::npos) << result.error;
        EXPECT_EQ(result.error.find('\n'), std::string::npos) << "one line";
    }
}

}  // namespace
