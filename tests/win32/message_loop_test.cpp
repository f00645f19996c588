#include "app/win32/shell.h"
#include "fake_win32.h"

namespace {

MSG messageOf(UINT id, WPARAM wParam = 0) {
    MSG message{};
    message.message = id;
    message.wParam = wParam;
    return message;
}

using MessageLoopTest = Win32Test;

TEST_F(MessageLoopTest, QuitClearsRunningAndIsNotDispatched) {
    fake.queue = {messageOf(WM_TIMER), messageOf(WM_QUIT, 7), messageOf(WM_PAINT)};

    runMessageLoop();

    EXPECT_FALSE(running);
    EXPECT_EQ(fake.dispatched, std::vector<UINT>{WM_TIMER});
    EXPECT_EQ(fake.translated, std::vector<UINT>{WM_TIMER});
    EXPECT_EQ(fake.queue.size(), 1u) << "nothing is removed after the quit pass";
}

TEST_F(MessageLoopTest, RemovesOneMessagePerPassAndSleepsAfterEach) {
    fake.queue = {messageOf(WM_TIMER), messageOf(WM_KEYDOWN), messageOf(WM_MOUSEMOVE), messageOf(WM_QUIT)};

    runMessageLoop();

    const std::vector<std::string> pass = {"PeekMessageA", "TranslateMessage", "DispatchMessageA", "Sleep"};
    std::vector<std::string> expected;
    for (int i = 0; i < 3; ++i) {
        expected.insert(expected.end(), pass.begin(), pass.end());
    }
    expected.insert(expected.end(), {"PeekMessageA", "Sleep"});
    EXPECT_EQ(fake.calls, expected);
    EXPECT_EQ(fake.sleeps, std::vector<DWORD>(4, 1));
}

TEST_F(MessageLoopTest, SleepsOnPassesWithoutAMessage) {
    fake.queue = {std::nullopt, std::nullopt, messageOf(WM_TIMER), std::nullopt, messageOf(WM_QUIT)};

    runMessageLoop();

    EXPECT_EQ(fake.messageLoopPasses, 5);
    EXPECT_EQ(fake.sleeps, std::vector<DWORD>(5, 1));
    EXPECT_EQ(fake.dispatched, std::vector<UINT>{WM_TIMER});
}

TEST_F(MessageLoopTest, EndsAfterThePassThatClearedRunning) {
    // Escape reaching the window procedure through dispatch.
    fake.queue = {messageOf(WM_TIMER), messageOf(WM_KEYDOWN, VK_ESCAPE), messageOf(WM_TIMER)};
    fake.onDispatch = [](const MSG& message) { windowProc(fakeWindow, message.message, message.wParam, 0); };

    runMessageLoop();

    EXPECT_EQ(fake.messageLoopPasses, 2);
    EXPECT_EQ(fake.sleeps.size(), 2u);
    EXPECT_EQ(fake.queue.size(), 1u) << "the posted quit need never be retrieved";
}

}  // namespace
