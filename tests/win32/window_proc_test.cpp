#include "app/win32/shell.h"
#include "fake_win32.h"

namespace {

struct WindowProcCase {
    const char* name;
    UINT message;
    WPARAM wParam;
    LRESULT result;
    bool defaultHandling;  // handed to DefWindowProcA
    bool quits;            // posts WM_QUIT with 0 and clears running
    bool hidesCursor;      // SetCursor(nullptr)
};

const WindowProcCase windowProcCases[] = {
    {"Destroy", WM_DESTROY, 0, 0, false, false, false},
    {"Paint", WM_PAINT, 0, 0, false, false, false},
    {"CloseDoesNotClose", WM_CLOSE, 0, 0, false, false, false},
    {"SetCursorHidesIt", WM_SETCURSOR, 0, 0, false, false, true},
    {"EscapeDownQuits", WM_KEYDOWN, VK_ESCAPE, 1, false, true, false},
    {"OtherKeyDown", WM_KEYDOWN, 'A', 0, false, false, false},
    {"ReturnKeyDown", WM_KEYDOWN, VK_RETURN, 0, false, false, false},
    {"MouseMove", WM_MOUSEMOVE, 0, 0, false, false, false},
    {"LeftDown", WM_LBUTTONDOWN, MK_LBUTTON, 0, false, false, false},
    {"LeftUp", WM_LBUTTONUP, 0, 0, false, false, false},
    {"EscapeUpDefault", WM_KEYUP, VK_ESCAPE, defaultWindowProcResult, true, false, false},
    {"AltEscapeDefault", WM_SYSKEYDOWN, VK_ESCAPE, defaultWindowProcResult, true, false, false},
    {"RightDownDefault", WM_RBUTTONDOWN, MK_RBUTTON, defaultWindowProcResult, true, false, false},
    {"HitTestDefault", WM_NCHITTEST, 0, defaultWindowProcResult, true, false, false},
    {"SizeDefault", WM_SIZE, 0, defaultWindowProcResult, true, false, false},
};

class WindowProcTest : public Win32Test, public ::testing::WithParamInterface<WindowProcCase> {};

TEST_P(WindowProcTest, AnswersAndActsAsTabled) {
    const WindowProcCase& c = GetParam();
    const LPARAM lParam = 0x00420017;

    EXPECT_EQ(windowProc(fakeWindow, c.message, c.wParam, lParam), c.result);

    if (c.defaultHandling) {
        ASSERT_EQ(fake.defaulted.size(), 1u);
        EXPECT_EQ(fake.defaulted[0], std::make_tuple(fakeWindow, c.message, c.wParam, lParam));
    } else {
        EXPECT_TRUE(fake.defaulted.empty());
    }
    EXPECT_EQ(fake.quitCodes, c.quits ? std::vector<int>{0} : std::vector<int>{});
    EXPECT_EQ(running, !c.quits);
    EXPECT_EQ(fake.cursorsSet, c.hidesCursor ? std::vector<HCURSOR>{nullptr} : std::vector<HCURSOR>{});
}

INSTANTIATE_TEST_SUITE_P(Messages, WindowProcTest, ::testing::ValuesIn(windowProcCases),
                         CaseName{});

}  // namespace
