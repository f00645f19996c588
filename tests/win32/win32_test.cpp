// The shell, surface, hooks and host against recording stand-ins for every platform
// call: each logs its name and arguments, in order, and answers as the test has set up.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

#include "host/host.h"
#include "app/win32/overlay_window.h"
#include "app/win32/shell.h"
#include "app/win32/win32_api.h"
#include "interaction/drag_state.h"
#include "render/redraw.h"
#include "world/world.h"

namespace {

// What the program starts with, read before any test sets it: without it WinMain never loops.
const bool runningAtStart = running;

// Handles the stand-ins hand out, recognisable in the log.
const HWND fakeWindow = reinterpret_cast<HWND>(0x1001);
const HDC fakeWindowDC = HDC(0x1002), fakeMemoryDC = HDC(0x1004);
const HBITMAP fakeBitmap = reinterpret_cast<HBITMAP>(0x1005);
const HGDIOBJ fakePreviousObject = reinterpret_cast<HGDIOBJ>(0x1006);
const HMODULE fakeModule = reinterpret_cast<HMODULE>(0x1009);
constexpr LRESULT passedOn = 0x5eed;  // what DefWindowProcA and CallNextHookEx answer

// One argument as the log shows it: text as itself, anything else (numbers, null,
// handles, functions, resource ordinals) as a number.
template <class T>
std::string show(T arg) {
    if constexpr (std::is_same_v<T, const char*>) {
        return IS_INTRESOURCE(arg) ? std::to_string(reinterpret_cast<long long>(arg)) : std::string(arg);
    } else if constexpr (std::is_arithmetic_v<T>) {
        return std::to_string(arg);
    } else {
        return std::to_string(reinterpret_cast<long long>(arg));
    }
}

using Log = std::vector<std::string>;

// A log entry: the call's name, then its arguments, separated by spaces.
template <class... Args>
std::string call(const char* name, Args... args) {
    return (std::string(name) + ... + (' ' + show(args)));
}

// What presentSurface logs for the overlay: the surface selected, shown at the
// window's origin with per-pixel alpha (blend 0/0/255/1), and the selection restored.
Log presentationCalls(LONG width, LONG height) {
    return {call("SelectObject", fakeMemoryDC, fakeBitmap), call("ClientToScreen", fakeWindow, 0, 0),
            call("GetDC", fakeWindow),
            call("UpdateLayeredWindow", fakeWindow, fakeWindowDC, 0, 0, width, height, fakeMemoryDC, 0, 0, 0,
                                         AC_SRC_OVER, 0, 255, AC_SRC_ALPHA, ULW_ALPHA),
            call("SelectObject", fakeMemoryDC, fakePreviousObject)};
}

// How the stand-ins answer and what they were asked.
struct FakeWin32 {
    std::string fail;  // the call whose log entry starts so answers as failed: null or FALSE
    DWORD lastError = 0;
    UINT dpi = 96;  // the overlay's monitor's
    // What each PeekMessageA takes, WM_NULL for no message. Once it is empty
    // PeekMessageA clears running, so a loop that fails to end still ends.
    std::vector<UINT> queue;
    Log log;
    std::vector<uint8_t> dibMemory = std::vector<uint8_t>(64 * 48 * 4);  // for the screen GetClipBox gives
};

FakeWin32 fake;

// Logs the call; true when it is to fail.
template <class... Args>
bool record(const char* name, Args... args) {
    fake.log.push_back(call(name, args...));
    return !fake.fail.empty() && fake.log.back().starts_with(fake.fail);
}

// A stand-in that logs its name with all its arguments and gives the answer, or
// null or FALSE when it is to fail.
#define FAKE(name, answer) \
    win32.name = [](auto... args) { return record(#name, args...) ? decltype(answer){} : answer; }

// Puts the stand-ins in place of every platform call; the shell's state starts as at
// program start.
struct Win32Test : ::testing::Test {
    void SetUp() override {
        fake = FakeWin32{};
        running = true;
        overlayWindow = OverlayWindow{};
        resetInteraction();
        World.clear();
        FAKE(RegisterClassExA, ATOM{1});
        FAKE(CreateWindowExA, fakeWindow);
        FAKE(LoadIconA, HICON{});
        FAKE(LoadCursorA, HCURSOR{});
        FAKE(CreateSolidBrush, HBRUSH{});
        FAKE(GetModuleHandleA, fakeModule);
        FAKE(ShowWindow, BOOL{FALSE});
        FAKE(GetDC, fakeWindowDC);
        FAKE(SetWindowsHookExA, reinterpret_cast<HHOOK>(0x100a));
        FAKE(CallNextHookEx, passedOn);
        FAKE(MessageBoxA, IDOK);
        FAKE(SetCursor, HCURSOR{});
        FAKE(DefWindowProcA, passedOn);
        FAKE(CreateCompatibleDC, fakeMemoryDC);
        FAKE(GdiFlush, BOOL{TRUE});
        FAKE(DeleteObject, BOOL{TRUE});
        FAKE(DeleteDC, BOOL{TRUE});
        FAKE(SelectObject, fakePreviousObject);
        FAKE(GetLastError, fake.lastError);
        FAKE(PlaySoundA, BOOL{TRUE});
        win32.Sleep = [](DWORD ms) { record("Sleep", ms); };
        win32.PostQuitMessage = [](int code) { record("PostQuitMessage", code); };
        win32.TranslateMessage = [](const MSG* m) { return record("TranslateMessage", m->message), FALSE; };
        win32.DispatchMessageA = [](const MSG* m) { return record("DispatchMessageA", m->message), LRESULT{0}; };
        win32.ClientToScreen = [](HWND w, LPPOINT p) { return record("ClientToScreen", w, p->x, p->y), TRUE; };
        win32.GetDpiForWindow = [](HWND) { return fake.dpi; };
        win32.GetClipBox = [](HDC, LPRECT rect) {
            *rect = RECT{10, 20, 74, 68};  // a 64 x 48 screen
            return SIMPLEREGION;
        };
        win32.PeekMessageA = [](LPMSG message, HWND window, UINT first, UINT last, UINT removal) -> BOOL {
            record("PeekMessageA", window, first, last, removal);
            if (fake.queue.empty()) {
                return running = false;
            }
            *message = MSG{};
            message->message = fake.queue.front();
            fake.queue.erase(fake.queue.begin());
            return message->message != WM_NULL;
        };
        win32.CreateDIBSection = [](HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                                    DWORD offset) {
            const BITMAPINFOHEADER& h = info->bmiHeader;
            *bits = fake.dibMemory.data();
            return record("CreateDIBSection", dc, h.biSize, h.biWidth, h.biHeight, h.biPlanes, h.biBitCount,
                          h.biCompression, h.biClrUsed, usage, section, offset) ? HBITMAP{} : fakeBitmap;
        };
        win32.UpdateLayeredWindow = [](HWND window, HDC dc, POINT* to, SIZE* size, HDC source, POINT* from,
                                       COLORREF key, BLENDFUNCTION* b, DWORD flags) -> BOOL {
            return !record("UpdateLayeredWindow", window, dc, to->x, to->y, size->cx, size->cy, source, from->x,
                           from->y, key, b->BlendOp, b->BlendFlags, b->SourceConstantAlpha, b->AlphaFormat, flags);
        };
        win32.UpdateLayeredWindowIndirect = [](HWND window, const UPDATELAYEREDWINDOWINFO* u) -> BOOL {
            const RECT& d = *u->prcDirty;
            return !record("UpdateLayeredWindowIndirect", window, u->cbSize, u->hdcDst, u->pptDst->x, u->psize->cx,
                           u->psize->cy, u->hdcSrc, u->pptSrc->x, u->pblend->AlphaFormat, u->dwFlags, d.left, d.top,
                           d.right, d.bottom);
        };
    }

    // The World's one unit, at x, y.
    void putBrick(LONG x, LONG y) {
        brick.x = brick.drawX = x;
        brick.y = brick.drawY = y;
        World.push_back(&brick);
    }
    BrickUnit brick;
};

LRESULT overlayWindowProc(int message, WPARAM wParam, LPARAM lParam) {
    return windowProc(fakeWindow, message, wParam, lParam);
}

TEST_F(Win32Test, WindowProcedureAndHooksAnswerAsTabled) {
    const auto window = overlayWindowProc, keys = keyboardHookProc, mouse = mouseHookProc;
    putBrick(100, 200);
    // Each is called with code, wParam and an event holding vkCode = x (keys) or pt = x,y (mouse).
    // A result of passedOn means DefWindowProcA (window) or CallNextHookEx was called with the
    // same arguments; otherwise effect is the one call made.
    const struct { LRESULT (*proc)(int, WPARAM, LPARAM); int code; WPARAM wParam; LONG x, y; LRESULT result;
                   const char* effect = ""; } rows[] = {
        {window, WM_CLOSE, 0, 0, 0, 0},  // does not close: only Escape or WM_QUIT ends the program
        {window, WM_SETCURSOR, 0, 0, 0, 0, "SetCursor 0"},
        {window, WM_KEYDOWN, VK_ESCAPE, 0, 0, 1, "PostQuitMessage 0"},
        {window, WM_KEYDOWN, 'A', 0, 0, 0},
        {window, WM_LBUTTONDOWN, MK_LBUTTON, 0, 0, 0},
        {window, WM_NCHITTEST, 0, 0, 0, passedOn},
        {keys, HC_ACTION, WM_KEYDOWN, VK_ESCAPE, 0, 1, "PostQuitMessage 0"},
        {keys, HC_ACTION, WM_KEYUP, VK_ESCAPE, 0, passedOn},
        {keys, HC_ACTION, WM_KEYDOWN, 'Q', 0, passedOn},
        {keys, HC_ACTION, WM_SYSKEYDOWN, VK_ESCAPE, 0, passedOn},  // Alt+Escape
        {keys, -1, WM_KEYDOWN, VK_ESCAPE, 0, passedOn},
        // The mouse: 1 swallows, 0 delivers, else the chain decides.
        {mouse, 3, WM_MOUSEMOVE, 40, 30, passedOn},  // no drag under way
        {mouse, 3, WM_MOUSEWHEEL, 40, 30, passedOn},
        {mouse, 3, WM_LBUTTONDOWN, 40, 30, 0},  // the bare desktop
        {mouse, 3, WM_LBUTTONDOWN, 105, 210, 1},  // grabs the brick
        {mouse, 3, WM_MOUSEMOVE, 300, 450, 0},    // and drags it
        {mouse, 3, WM_LBUTTONUP, 300, 450, 1},
        {mouse, 3, WM_RBUTTONDOWN, 305, 455, 1},
        {mouse, 3, WM_RBUTTONUP, 305, 455, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(call(row.proc == window ? "window" : "hook", row.code, row.wParam, row.x, row.y));
        running = row.proc != mouse;  // for the mouse as after a failed start-up: redraws present nothing
        fake.log.clear();
        KBDLLHOOKSTRUCT key{};
        key.vkCode = row.x;
        MSLLHOOKSTRUCT pointer{};
        pointer.pt = POINT{row.x, row.y};
        const LPARAM lParam = row.proc == mouse ? reinterpret_cast<LPARAM>(&pointer) : reinterpret_cast<LPARAM>(&key);

        EXPECT_EQ(row.proc(row.code, row.wParam, lParam), row.result);

        const std::string passOn = row.proc == window ? call("DefWindowProcA", fakeWindow, row.code, row.wParam, lParam)
                                                      : call("CallNextHookEx", nullptr, row.code, row.wParam, lParam);
        const Log expected = row.result == passedOn ? Log{passOn} : *row.effect ? Log{row.effect} : Log{};
        EXPECT_EQ(fake.log, expected);
        EXPECT_EQ(running, row.proc != mouse && expected != Log{"PostQuitMessage 0"});
    }
    EXPECT_EQ(std::tuple(brick.x, brick.y), std::tuple(300, 450)) << "the brick was dragged";
}

TEST_F(Win32Test, StartsUpAndLoopsUntilQuitOrShowsWhyItCannotAndEnds) {
    EXPECT_TRUE(runningAtStart);
    const std::string peek = call("PeekMessageA", nullptr, 0, 0, PM_REMOVE);
    const std::string hookBox = call("MessageBoxA", nullptr, "ok", "Unable to load function(s).", 0);
    const std::string surfaceBox = call("MessageBoxA", nullptr, "Failed CreateCompatibleBitmap", "Error", 0);
    // fail: the call that fails; last: how the log ends; sized: the surface keeps the screen's size.
    const struct { std::string fail; Log last; bool sized; } rows[] = {
        {call("SetWindowsHookExA", WH_KEYBOARD_LL),  // the mouse hook is not tried
         {call("SetWindowsHookExA", WH_KEYBOARD_LL, &keyboardHookProc, fakeModule, 0), hookBox}, false},
        {call("SetWindowsHookExA", WH_MOUSE_LL),
         {call("SetWindowsHookExA", WH_MOUSE_LL, &mouseHookProc, fakeModule, 0), hookBox}, false},
        {"CreateCompatibleDC", {surfaceBox}, true},
        // A top-down 32-bit surface the size of the screen, without a colour table.
        {"CreateDIBSection", {call("CreateDIBSection", fakeMemoryDC, 40, 64, -48, 1, 32, BI_RGB, 0, DIB_RGB_COLORS,
                                   nullptr, 0), call("DeleteDC", fakeMemoryDC), surfaceBox}, false},
        // One message per pass and Sleep(1) after every pass, until WM_QUIT, which is not dispatched.
        {"", {peek, call("TranslateMessage", WM_TIMER), call("DispatchMessageA", WM_TIMER), "Sleep 1", peek,
              "Sleep 1", peek, "Sleep 1"}, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.fail);
        SetUp();
        fake.fail = row.fail;
        fake.queue = {WM_TIMER, WM_NULL, WM_QUIT, WM_PAINT};

        EXPECT_EQ(WinMain(fakeModule, nullptr, nullptr, SW_HIDE), 0);

        ASSERT_GE(fake.log.size(), row.last.size());
        EXPECT_EQ(Log(fake.log.end() - row.last.size(), fake.log.end()), row.last);
        // The surface: whole once started; without a memory DC only its size; without a DIB nothing.
        const DrawingSurface& s = overlayWindow.surface;
        const bool whole = row.fail.empty();
        const int width = row.sized ? 64 : 0;
        EXPECT_EQ(std::tuple(s.width, s.height, s.stride, s.bitmapInfo.bmiHeader.biSize, hostSurface().pixels),
                  std::tuple(width, width * 3 / 4, width * 4, DWORD{whole ? 40u : 0u},
                             whole ? fake.dibMemory.data() : nullptr));
    }
    // After the last row, a normal start: a click-through, topmost, layered popup at the
    // screen's corner, shown, with a picture the size of the screen.
    for (const std::string& fact : {call("CreateWindowExA", WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOPMOST,
                                         "Zimblet", "Zimblet", WS_POPUP | WS_VISIBLE, 0, 0, 1280, 1000, nullptr,
                                         nullptr, fakeModule, nullptr),
                                    call("ShowWindow", fakeWindow, SW_SHOWDEFAULT), presentationCalls(64, 48)[3]}) {
        EXPECT_GE(std::ranges::count(fake.log, fact), 1) << fact;
    }

    fake.log.clear();
    hostPlaySound("Sounds\\detach3.wav");
    EXPECT_EQ(fake.log, Log{call("PlaySoundA", "Sounds\\detach3.wav", nullptr, SND_FILENAME | SND_ASYNC)});
}

TEST_F(Win32Test, AtTwiceTheDpiShowsPixelsAsBlocksDividesHookPositionsAndFollowsDpiChanges) {
    fake.dpi = 192;
    putBrick(4, 4);
    initApplication(fakeModule);
    // The window and its DIB section are the screen's 64 x 48 device pixels, the scene 32 x 24 logical ones.
    EXPECT_GE(std::ranges::count(fake.log, call("CreateDIBSection", fakeMemoryDC, 40, 64, -48, 1, 32, BI_RGB, 0,
                                                DIB_RGB_COLORS, nullptr, 0)), 1);
    EXPECT_EQ(Log(fake.log.end() - 5, fake.log.end()), presentationCalls(64, 48));
    const SurfacePixels scene = hostSurface();
    ASSERT_EQ(std::tuple(scene.width, scene.height, scene.stride), std::tuple(32, 24, 128));
    const auto showsSceneAsBlocks = [&] {
        for (int i = 0; i < 64 * 48; ++i) {
            const uint8_t* logical = scene.pixels + (i / 64 / 2) * scene.stride + (i % 64 / 2) * 4;
            ASSERT_TRUE(std::equal(logical, logical + 4, &fake.dibMemory[4 * i])) << "device pixel " << i;
        }
    };
    showsSceneAsBlocks();
    EXPECT_GT(std::ranges::count(fake.dibMemory, 0xff), 0) << "the brick is drawn";

    MSLLHOOKSTRUCT pointer{};
    const auto mouse = [&](WPARAM message, LONG x, LONG y) {
        pointer.pt = POINT{x, y};
        mouseHookProc(HC_ACTION, message, reinterpret_cast<LPARAM>(&pointer));
    };
    mouse(WM_LBUTTONDOWN, 9, 9);  // logical 4,4: the brick's corner
    fake.log.clear();
    mouse(WM_MOUSEMOVE, 17, 9);  // logical 8,4: the changed rectangle is presented in device pixels
    EXPECT_EQ(fake.log[3], call("UpdateLayeredWindowIndirect", fakeWindow, sizeof(UPDATELAYEREDWINDOWINFO),
                                fakeWindowDC, 0, 64, 48, fakeMemoryDC, 0, AC_SRC_ALPHA, ULW_ALPHA, 8, 0, 48, 46));
    showsSceneAsBlocks();
    mouse(WM_MOUSEMOVE, -3, 9);  // rounded down left of 0 too
    mouse(WM_LBUTTONUP, -3, 9);
    EXPECT_EQ(std::tuple(brick.x, brick.y), std::tuple(-2, 4));

    // Back at 96 dpi: the old surface released, the scene drawn into the new one, all of it shown.
    fake.log.clear();
    EXPECT_EQ(overlayWindowProc(WM_DPICHANGED, MAKEWPARAM(96, 96), 0), 0);
    EXPECT_EQ(Log(fake.log.begin(), fake.log.begin() + 2),
              (Log{call("DeleteObject", fakeBitmap), call("DeleteDC", fakeMemoryDC)}));
    EXPECT_EQ(Log(fake.log.end() - 5, fake.log.end()), presentationCalls(64, 48));
    EXPECT_EQ(std::tuple(hostSurface().width, hostSurface().pixels), std::tuple(64, fake.dibMemory.data()));
    EXPECT_EQ(std::tuple(brick.x, brick.y), std::tuple(-2, 4)) << "the world is kept";
}

TEST_F(Win32Test, DragStepsPresentTheDirtyRectangleOrTheWholeSurfaceOrOneFailureBoxAtATime) {
    fake.dibMemory.assign(320 * 200 * 4, 0);
    overlayWindow = OverlayWindow{fakeWindow, nullptr, 0, 0,
                                  {320, 200, 1280, fakeMemoryDC, fakeBitmap, {}, fake.dibMemory.data()},
                                  {{320, 200, 1280, fake.dibMemory.data()}}};  // at scale 1 the scene is the surface
    putBrick(100, 50);
    showWholeScene();
    EXPECT_EQ(fake.log, presentationCalls(320, 200)) << "the whole surface is one full update";

    // The brick moves 30 to the right: old and new places, stud rows included, in one rectangle.
    MSLLHOOKSTRUCT pointer{};
    pointer.pt = POINT{101, 51};
    mouseHookProc(HC_ACTION, WM_LBUTTONDOWN, reinterpret_cast<LPARAM>(&pointer));
    pointer.pt = POINT{100, 50};
    const std::string indirect = call("UpdateLayeredWindowIndirect", fakeWindow, sizeof(UPDATELAYEREDWINDOWINFO),
                                      fakeWindowDC, 0, 320, 200, fakeMemoryDC, 0, AC_SRC_ALPHA, ULW_ALPHA, 100, 46,
                                      146, 69);
    fake.lastError = 0xABCDEF;
    for (const char* failing : {"", "UpdateLayeredWindowIndirect", "Update"}) {
        SCOPED_TRACE(failing);
        fake.fail = failing;
        fake.log.clear();
        pointer.pt.x = pointer.pt.x == 130 ? 100 : 130;
        mouseHookProc(HC_ACTION, WM_MOUSEMOVE, reinterpret_cast<LPARAM>(&pointer));
        Log expected = presentationCalls(320, 200);
        if (fake.fail.empty()) {
            expected[3] = indirect;
        } else {
            expected.insert(expected.begin() + 3, indirect);  // the part refused: the whole surface
        }
        if (fake.fail == "Update") {  // neither: the box comes before the selection is restored
            expected.insert(expected.end() - 1, {"GetLastError", call("MessageBoxA", nullptr,
                                                 "Failed to update window: 0xabcdef", "Error", 0)});
        }
        EXPECT_EQ(fake.log, expected);
    }

    // Drag steps keep presenting inside the box's modal loop without a box of their own;
    // once it is dismissed, the next failure shows one again.
    win32.MessageBoxA = [](HWND, LPCSTR, LPCSTR, UINT) {
        record("MessageBoxA");
        if (fake.log.size() < 50) {  // a bound, should boxes open inside boxes
            presentSurface(overlayWindow);
        }
        return IDOK;
    };
    fake.log.clear();
    presentSurface(overlayWindow);
    presentSurface(overlayWindow);
    EXPECT_EQ(std::ranges::count(fake.log, presentationCalls(320, 200)[3]), 4);
    EXPECT_EQ(std::ranges::count(fake.log, "MessageBoxA"), 2);
}

}  // namespace
