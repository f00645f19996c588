#include <string>
#include <tuple>

#include "app/win32/shell.h"
#include "fake_win32.h"
#include "world/brick_unit.h"
#include "world/world.h"

namespace {

using ShellTest = Win32Test;

TEST_F(ShellTest, WindowProcedureAnswersEveryMessageAsTabled) {
    // effect: the one call made, "" for none, nullptr for DefWindowProcA with the same arguments.
    const struct { UINT message; WPARAM wParam; LRESULT result; const char* effect; } rows[] = {
        {WM_DESTROY, 0, 0, ""},
        {WM_PAINT, 0, 0, ""},
        {WM_CLOSE, 0, 0, ""},  // does not close: only Escape or WM_QUIT ends the program
        {WM_SETCURSOR, 0, 0, "SetCursor 0"},
        {WM_KEYDOWN, VK_ESCAPE, 1, "PostQuitMessage 0"},
        {WM_KEYDOWN, 'A', 0, ""},
        {WM_MOUSEMOVE, 0, 0, ""},
        {WM_LBUTTONDOWN, MK_LBUTTON, 0, ""},
        {WM_LBUTTONUP, 0, 0, ""},
        {WM_KEYUP, VK_ESCAPE, defaultWindowProcResult, nullptr},
        {WM_SYSKEYDOWN, VK_ESCAPE, defaultWindowProcResult, nullptr},
        {WM_NCHITTEST, 0, defaultWindowProcResult, nullptr},
    };
    const LPARAM lParam = 0x00420017;
    for (const auto& row : rows) {
        SCOPED_TRACE(call("message", {row.message, row.wParam}));
        running = true;
        fake.log.clear();

        EXPECT_EQ(windowProc(fakeWindow, row.message, row.wParam, lParam), row.result);

        const std::string byDefault = call("DefWindowProcA", {fakeWindow, row.message, row.wParam, lParam});
        const Log expected = row.effect == nullptr ? Log{byDefault} : *row.effect ? Log{row.effect} : Log{};
        EXPECT_EQ(fake.log, expected);
        EXPECT_EQ(running, expected != Log{"PostQuitMessage 0"});
    }
}

TEST_F(ShellTest, KeyboardHookEndsOnEscapeDownAndChainsEverythingElse) {
    // ends: swallowed with 1 after PostQuitMessage(0); otherwise chained.
    const struct { int nCode; WPARAM wParam; DWORD vkCode; bool ends; } rows[] = {
        {HC_ACTION, WM_KEYDOWN, VK_ESCAPE, true},
        {HC_ACTION, WM_KEYUP, VK_ESCAPE, false},
        {HC_ACTION, WM_KEYDOWN, 'Q', false},
        {HC_ACTION, WM_SYSKEYDOWN, VK_ESCAPE, false},  // Alt+Escape
        {-1, WM_KEYDOWN, VK_ESCAPE, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(call("key", {row.nCode, row.wParam, row.vkCode}));
        running = true;
        fake.log.clear();
        KBDLLHOOKSTRUCT event{};
        event.vkCode = row.vkCode;
        const LPARAM lParam = reinterpret_cast<LPARAM>(&event);

        EXPECT_EQ(keyboardHookProc(row.nCode, row.wParam, lParam), row.ends ? 1 : chainedResult);

        EXPECT_EQ(running, !row.ends);
        EXPECT_EQ(fake.log, Log{row.ends ? call("PostQuitMessage", {0})
                                         : call("CallNextHookEx", {nullptr, row.nCode, row.wParam, lParam})});
    }
}

TEST_F(ShellTest, MouseHookSwallowsDeliversOrChainsAsTheDragDecides) {
    BrickUnit brick;
    brick.x = brick.drawX = 100;
    brick.y = brick.drawY = 200;
    World.push_back(&brick);
    // result: 1 swallowed, 0 delivered, chainedResult from CallNextHookEx.
    const struct { WPARAM message; LONG x, y; LRESULT result; } steps[] = {
        {WM_MOUSEMOVE, 40, 30, chainedResult},  // no drag under way
        {WM_MOUSEWHEEL, 40, 30, chainedResult},
        {WM_LBUTTONDOWN, 40, 30, 0},  // the bare desktop
        {WM_LBUTTONUP, 40, 30, 0},
        {WM_LBUTTONDOWN, 105, 210, 1},  // grabs the brick
        {WM_MOUSEMOVE, 300, 450, 0},    // and drags it
        {WM_LBUTTONUP, 300, 450, 1},
        {WM_RBUTTONDOWN, 305, 455, 1},
        {WM_RBUTTONUP, 305, 455, 1},
        {WM_RBUTTONUP, 40, 30, 0},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(call("mouse", {step.message, step.x, step.y}));
        fake.log.clear();
        MSLLHOOKSTRUCT event{};
        event.pt = POINT{step.x, step.y};
        const LPARAM lParam = reinterpret_cast<LPARAM>(&event);

        EXPECT_EQ(mouseHookProc(3, step.message, lParam), step.result);

        if (step.result == chainedResult) {
            EXPECT_EQ(fake.log, Log{call("CallNextHookEx", {nullptr, 3, step.message, lParam})});
        } else {
            EXPECT_EQ(fake.count("CallNextHookEx"), 0);
        }
    }
    EXPECT_EQ(std::tuple(brick.x, brick.y), std::tuple(300, 450)) << "the brick was dragged";
}

TEST_F(ShellTest, MessageLoopTakesOneMessagePerPassAndSleepsAfterEveryPass) {
    fake.queue = {message(WM_TIMER), std::nullopt, message(WM_QUIT, 7), message(WM_PAINT)};
    const std::string peek = call("PeekMessageA", {nullptr, 0, 0, PM_REMOVE});
    const std::string sleep = call("Sleep", {1});

    runMessageLoop();

    EXPECT_EQ(fake.log, (Log{peek, call("TranslateMessage", {WM_TIMER}), call("DispatchMessageA", {WM_TIMER}), sleep,
                             peek, sleep, peek, sleep}));
    EXPECT_FALSE(running) << "WM_QUIT clears running";
    EXPECT_EQ(fake.queue.size(), 1u) << "nothing is taken after WM_QUIT";

    // Escape in the keyboard hook, inside PeekMessageA, ends the loop after that pass.
    running = true;
    fake.queue.clear();
    fake.log.clear();
    runMessageLoop();
    EXPECT_EQ(fake.log, (Log{peek, sleep}));
}

}  // namespace
