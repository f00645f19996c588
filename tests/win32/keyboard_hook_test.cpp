#include "app/win32/shell.h"
#include "fake_win32.h"

namespace {

struct KeyboardHookCase {
    const char* name;
    int nCode;
    WPARAM wParam;
    DWORD vkCode;
    bool endsProgram;  // swallowed with 1 after PostQuitMessage(0); otherwise chained
};

const KeyboardHookCase keyboardHookCases[] = {
    {"EscapeDownEnds", HC_ACTION, WM_KEYDOWN, VK_ESCAPE, true},
    {"EscapeUpChained", HC_ACTION, WM_KEYUP, VK_ESCAPE, false},
    {"AltEscapeChained", HC_ACTION, WM_SYSKEYDOWN, VK_ESCAPE, false},
    {"AltEscapeUpChained", HC_ACTION, WM_SYSKEYUP, VK_ESCAPE, false},
    {"OtherKeyDownChained", HC_ACTION, WM_KEYDOWN, 'Q', false},
    {"OtherKeyUpChained", HC_ACTION, WM_KEYUP, 'Q', false},
    {"SpaceDownChained", HC_ACTION, WM_KEYDOWN, VK_SPACE, false},
    {"NegativeCodeChained", -1, WM_KEYDOWN, VK_ESCAPE, false},
};

class KeyboardHookTest : public Win32Test, public ::testing::WithParamInterface<KeyboardHookCase> {};

TEST_P(KeyboardHookTest, EndsOnEscapeDownAndChainsTheRest) {
    const KeyboardHookCase& c = GetParam();
    KBDLLHOOKSTRUCT event{};
    event.vkCode = c.vkCode;
    const LPARAM lParam = reinterpret_cast<LPARAM>(&event);

    const LRESULT result = keyboardHookProc(c.nCode, c.wParam, lParam);

    if (c.endsProgram) {
        EXPECT_EQ(result, 1);
        EXPECT_EQ(fake.quitCodes, std::vector<int>{0});
        EXPECT_FALSE(running);
        EXPECT_TRUE(fake.chained.empty());
    } else {
        EXPECT_EQ(result, chainedResult);
        EXPECT_TRUE(fake.quitCodes.empty());
        EXPECT_TRUE(running);
        ASSERT_EQ(fake.chained.size(), 1u);
        EXPECT_EQ(fake.chained[0].hook, nullptr);
        EXPECT_EQ(fake.chained[0].nCode, c.nCode);
        EXPECT_EQ(fake.chained[0].wParam, c.wParam);
        EXPECT_EQ(fake.chained[0].lParam, lParam);
    }
}

INSTANTIATE_TEST_SUITE_P(Keys, KeyboardHookTest, ::testing::ValuesIn(keyboardHookCases),
                         CaseName{});

}  // namespace
