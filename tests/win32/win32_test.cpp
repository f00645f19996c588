// The shell, surface, hooks and host against recording stand-ins for every platform
// call: each logs its name and arguments, in order, and answers as the test has set up.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "host/host.h"
#include "app/win32/overlay_window.h"
#include "app/win32/shell.h"
#include "app/win32/win32_api.h"
#include "interaction/drag_state.h"
#include "render/redraw.h"
#include "world/world.h"

namespace {

// Handles the fakes hand out, recognisable in the log.
const HWND fakeWindow = reinterpret_cast<HWND>(0x1001);
const HDC fakeWindowDC = HDC(0x1002), fakeScreenDC = HDC(0x1003), fakeMemoryDC = HDC(0x1004);
const HBITMAP fakeBitmap = reinterpret_cast<HBITMAP>(0x1005);
const HGDIOBJ fakePreviousObject = reinterpret_cast<HGDIOBJ>(0x1006);
const HBRUSH fakeBrush = reinterpret_cast<HBRUSH>(0x1007);
const HCURSOR fakeCursor = reinterpret_cast<HCURSOR>(0x1008);
const HMODULE fakeModule = reinterpret_cast<HMODULE>(0x1009);
const HINSTANCE fakeInstance = reinterpret_cast<HINSTANCE>(0x100b);
const HICON fakeIcon = reinterpret_cast<HICON>(0x100c);
constexpr LRESULT passedOn = 0x5eed;  // what DefWindowProcA and CallNextHookEx answer

// One argument as the log shows it: text as itself, anything else (numbers, null,
// handles, functions, resource ordinals) as a number.
std::string show(long long number) {
    return std::to_string(number);
}
std::string show(std::nullptr_t) {
    return "0";
}
std::string show(const char* text) {
    return IS_INTRESOURCE(text) ? show(reinterpret_cast<long long>(text)) : text;
}
template <class T>
std::string show(T* pointer) {
    return show(reinterpret_cast<long long>(pointer));
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

// How the fakes answer and what they were asked.
struct FakeWin32 {
    std::string fail;  // the call whose log entry starts so answers as failed: null or FALSE
    DWORD lastError = 0;
    // What each PeekMessageA takes, WM_NULL for no message. Once it is empty
    // PeekMessageA clears running, so a loop that fails to end still ends.
    std::vector<std::pair<UINT, WPARAM>> queue;
    Log log;
    std::vector<uint8_t> dibMemory;
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

// Puts the fakes in place of every platform call; the shell's state starts as at
// program start.
struct Win32Test : ::testing::Test {
    void SetUp() override {
        fake = FakeWin32{};
        running = true;
        overlayWindow = OverlayWindow{};
        resetInteraction();
        World.clear();
        FAKE(CreateWindowExA, fakeWindow);
        FAKE(LoadIconA, fakeIcon);
        FAKE(LoadCursorA, fakeCursor);
        FAKE(CreateSolidBrush, fakeBrush);
        FAKE(GetModuleHandleA, fakeModule);
        FAKE(ShowWindow, BOOL{FALSE});
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
        win32.GetDC = [](HWND window) { return record("GetDC", window), window ? fakeWindowDC : fakeScreenDC; };
        win32.GetClipBox = [](HDC dc, LPRECT rect) {
            *rect = RECT{10, 20, 74, 68};  // a 64 x 48 screen
            return record("GetClipBox", dc), SIMPLEREGION;
        };
        win32.RegisterClassExA = [](const WNDCLASSEXA* c) {
            record("RegisterClassExA", c->cbSize, c->style, c->lpfnWndProc, c->cbClsExtra, c->cbWndExtra,
                                        c->hInstance, c->hIcon, c->hCursor, c->hbrBackground, c->lpszMenuName,
                                        c->lpszClassName, c->hIconSm);
            return ATOM{1};
        };
        win32.PeekMessageA = [](LPMSG message, HWND window, UINT first, UINT last, UINT removal) -> BOOL {
            record("PeekMessageA", window, first, last, removal);
            if (fake.queue.empty()) {
                return running = false;
            }
            *message = MSG{};
            std::tie(message->message, message->wParam) = fake.queue.front();
            fake.queue.erase(fake.queue.begin());
            return message->message != WM_NULL;
        };
        win32.CreateDIBSection = [](HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                                    DWORD offset) {
            const BITMAPINFOHEADER& h = info->bmiHeader;
            const bool fails = record("CreateDIBSection", dc, h.biSize, h.biWidth, h.biHeight, h.biPlanes,
                                                           h.biBitCount, h.biCompression, usage, section, offset);
            fake.dibMemory.assign(fails ? 0 : std::abs(h.biWidth * h.biHeight) * 4, 0xcd);
            *bits = fails ? nullptr : fake.dibMemory.data();
            return fails ? nullptr : fakeBitmap;
        };
        win32.UpdateLayeredWindow = [](HWND window, HDC dc, POINT* to, SIZE* size, HDC source, POINT* from,
                                       COLORREF key, BLENDFUNCTION* b, DWORD flags) -> BOOL {
            return !record("UpdateLayeredWindow", window, dc, to->x, to->y, size->cx, size->cy, source, from->x,
                                                   from->y, key, b->BlendOp, b->BlendFlags, b->SourceConstantAlpha,
                                                   b->AlphaFormat, flags);
        };
        win32.UpdateLayeredWindowIndirect = [](HWND window, const UPDATELAYEREDWINDOWINFO* u) -> BOOL {
            const RECT& d = *u->prcDirty;
            return !record("UpdateLayeredWindowIndirect", window, u->cbSize, u->hdcDst, u->pptDst->x, u->psize->cx,
                           u->psize->cy, u->hdcSrc, u->pptSrc->x, u->pblend->AlphaFormat, u->dwFlags, d.left, d.top,
                           d.right, d.bottom);
        };
    }
};

LRESULT overlayWindowProc(int message, WPARAM wParam, LPARAM lParam) {
    return windowProc(fakeWindow, message, wParam, lParam);
}

TEST_F(Win32Test, WindowProcedureAndHooksAnswerAsTabled) {
    const auto window = overlayWindowProc, keys = keyboardHookProc, mouse = mouseHookProc;
    BrickUnit brick;
    brick.x = brick.drawX = 100;
    brick.y = brick.drawY = 200;
    World.push_back(&brick);
    // Each is called with code, wParam and an event holding vkCode = x (keys) or pt = x,y (mouse).
    // effect: the one call made, "" for none, nullptr for DefWindowProcA (window) or CallNextHookEx
    // with the same arguments.
    const struct { LRESULT (*proc)(int, WPARAM, LPARAM); int code; WPARAM wParam; LONG x, y; LRESULT result;
                   const char* effect; } rows[] = {
        {window, WM_DESTROY, 0, 0, 0, 0, ""},
        {window, WM_PAINT, 0, 0, 0, 0, ""},
        {window, WM_CLOSE, 0, 0, 0, 0, ""},  // does not close: only Escape or WM_QUIT ends the program
        {window, WM_SETCURSOR, 0, 0, 0, 0, "SetCursor 0"},
        {window, WM_KEYDOWN, VK_ESCAPE, 0, 0, 1, "PostQuitMessage 0"},
        {window, WM_KEYDOWN, 'A', 0, 0, 0, ""},
        {window, WM_MOUSEMOVE, 0, 0, 0, 0, ""},
        {window, WM_LBUTTONDOWN, MK_LBUTTON, 0, 0, 0, ""},
        {window, WM_LBUTTONUP, 0, 0, 0, 0, ""},
        {window, WM_KEYUP, VK_ESCAPE, 0, 0, passedOn, nullptr},
        {window, WM_SYSKEYDOWN, VK_ESCAPE, 0, 0, passedOn, nullptr},
        {window, WM_NCHITTEST, 0, 0, 0, passedOn, nullptr},
        {keys, HC_ACTION, WM_KEYDOWN, VK_ESCAPE, 0, 1, "PostQuitMessage 0"},
        {keys, HC_ACTION, WM_KEYUP, VK_ESCAPE, 0, passedOn, nullptr},
        {keys, HC_ACTION, WM_KEYDOWN, 'Q', 0, passedOn, nullptr},
        {keys, HC_ACTION, WM_SYSKEYDOWN, VK_ESCAPE, 0, passedOn, nullptr},  // Alt+Escape
        {keys, -1, WM_KEYDOWN, VK_ESCAPE, 0, passedOn, nullptr},
        // The mouse: 1 swallows, 0 delivers, else the chain decides.
        {mouse, 3, WM_MOUSEMOVE, 40, 30, passedOn, nullptr},  // no drag under way
        {mouse, 3, WM_MOUSEWHEEL, 40, 30, passedOn, nullptr},
        {mouse, 3, WM_LBUTTONDOWN, 40, 30, 0, ""},  // the bare desktop
        {mouse, 3, WM_LBUTTONUP, 40, 30, 0, ""},
        {mouse, 3, WM_LBUTTONDOWN, 105, 210, 1, ""},  // grabs the brick
        {mouse, 3, WM_MOUSEMOVE, 300, 450, 0, ""},    // and drags it
        {mouse, 3, WM_LBUTTONUP, 300, 450, 1, ""},
        {mouse, 3, WM_RBUTTONDOWN, 305, 455, 1, ""},
        {mouse, 3, WM_RBUTTONUP, 305, 455, 1, ""},
        {mouse, 3, WM_RBUTTONUP, 40, 30, 0, ""},
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
        const Log expected = row.effect == nullptr ? Log{passOn} : *row.effect ? Log{row.effect} : Log{};
        EXPECT_EQ(fake.log, expected);
        EXPECT_EQ(running, row.proc != mouse && expected != Log{"PostQuitMessage 0"});
    }
    EXPECT_EQ(std::tuple(brick.x, brick.y), std::tuple(300, 450)) << "the brick was dragged";
}

TEST_F(Win32Test, StartsUpPresentsAndLoopsUntilQuitOrShowsWhyItCannotAndEnds) {
    const Log startUp = {
        call("LoadIconA", fakeInstance, MAKEINTRESOURCEA(1)),
        call("LoadIconA", fakeInstance, MAKEINTRESOURCEA(1)),
        call("LoadCursorA", nullptr, IDC_ARROW),
        call("CreateSolidBrush", 0xff00ff),
        call("RegisterClassExA", sizeof(WNDCLASSEXA), CS_OWNDC | CS_HREDRAW | CS_VREDRAW, &windowProc, 0, 0,
                                  fakeInstance, fakeIcon, fakeCursor, fakeBrush, nullptr, "Zimblet", fakeIcon),
        call("CreateWindowExA", 0x80028, "Zimblet", "Zimblet", WS_POPUP | WS_VISIBLE, 0, 0, 1280, 1000, nullptr,
                                 nullptr, fakeInstance, nullptr),
        call("GetModuleHandleA", nullptr),
        call("SetWindowsHookExA", WH_KEYBOARD_LL, &keyboardHookProc, fakeModule, 0),
        call("GetModuleHandleA", nullptr),
        call("SetWindowsHookExA", WH_MOUSE_LL, &mouseHookProc, fakeModule, 0),
        call("ShowWindow", fakeWindow, SW_SHOWDEFAULT),
        call("GetDC", fakeWindow),
        call("GetDC", nullptr),
        call("GetClipBox", fakeScreenDC),
        call("CreateCompatibleDC", nullptr),
        call("CreateDIBSection", fakeMemoryDC, 40, 64, -48, 1, 32, BI_RGB, DIB_RGB_COLORS, nullptr, 0),
        "GdiFlush",
    };
    // Presented empty, then with the world; then one message per pass and Sleep(1) after every
    // pass, until WM_QUIT, which is not dispatched.
    const Log picture = presentationCalls(64, 48);
    Log presentAndLoop = picture;
    presentAndLoop.insert(presentAndLoop.end(), picture.begin(), picture.end());
    const std::string peek = call("PeekMessageA", nullptr, 0, 0, PM_REMOVE);
    presentAndLoop.insert(presentAndLoop.end(), {peek, call("TranslateMessage", WM_TIMER),
                                                 call("DispatchMessageA", WM_TIMER), "Sleep 1", peek, "Sleep 1",
                                                 peek, "Sleep 1"});
    const std::string hookBox = call("MessageBoxA", nullptr, "ok", "Unable to load function(s).", 0);
    const std::string surfaceBox = call("MessageBoxA", nullptr, "Failed CreateCompatibleBitmap", "Error", 0);
    // fail: the call that fails; before: how many start-up calls come first; then: all that follows them.
    const struct { std::string fail; size_t before; Log then; } rows[] = {
        {"", startUp.size(), presentAndLoop},
        {call("SetWindowsHookExA", WH_KEYBOARD_LL), 8, {hookBox}},  // the mouse hook is not tried
        {call("SetWindowsHookExA", WH_MOUSE_LL), 10, {hookBox}},
        {"CreateCompatibleDC", 15, {surfaceBox}},
        {"CreateDIBSection", 16, {call("DeleteDC", fakeMemoryDC), surfaceBox}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.fail);
        SetUp();
        fake.fail = row.fail;
        fake.queue = {{WM_TIMER, 0}, {WM_NULL, 0}, {WM_QUIT, 7}, {WM_PAINT, 0}};

        EXPECT_EQ(WinMain(fakeInstance, nullptr, nullptr, SW_HIDE), 0);

        Log expected(startUp.begin(), startUp.begin() + row.before);
        expected.insert(expected.end(), row.then.begin(), row.then.end());
        EXPECT_EQ(fake.log, expected);
        // The surface: whole after start-up; without a memory DC only its size; without a DIB nothing.
        const DrawingSurface& s = overlayWindow.surface;
        const bool whole = row.fail.empty(), sized = whole || row.fail == "CreateCompatibleDC";
        EXPECT_EQ(std::tuple(s.width, s.height, s.stride), sized ? std::tuple(64, 48, 256) : std::tuple(0, 0, 0));
        EXPECT_EQ(std::tuple(s.memoryDC, s.bitmap, s.bitmapInfo.bmiHeader.biSize),
                  whole ? std::tuple(fakeMemoryDC, fakeBitmap, 40ul) : std::tuple(HDC{}, HBITMAP{}, 0ul));
        // What the drawing sees: the surface, or an empty one without pixel memory.
        const SurfacePixels& view = hostSurface();
        EXPECT_EQ(std::tuple(view.width, view.height, view.stride, view.pixels, s.pixels),
                  whole ? std::tuple(64, 48, 256, fake.dibMemory.data(), fake.dibMemory.data())
                        : std::tuple(0, 0, 0, nullptr, nullptr));
    }

    fake.log.clear();
    hostPlaySound("Sounds\\detach3.wav");
    EXPECT_EQ(fake.log, Log{call("PlaySoundA", "Sounds\\detach3.wav", nullptr, 0x20001)});
}

TEST_F(Win32Test, PresentationFailureShowsOneBoxAtATimeWithTheErrorInLowerCaseHex) {
    overlayWindow = OverlayWindow{fakeWindow, nullptr, 0, 0, {320, 200, 1280, fakeMemoryDC, fakeBitmap, {}, nullptr}};
    fake.fail = "UpdateLayeredWindow";
    for (const auto& [error, text] : {std::pair<DWORD, const char*>{0x5, "Failed to update window: 0x5"},
                                      {0xABCDEF, "Failed to update window: 0xabcdef"}}) {
        fake.lastError = error;
        fake.log.clear();

        presentSurface(overlayWindow);

        Log expected = presentationCalls(320, 200);  // the selection is restored after the box
        expected.insert(expected.end() - 1, {"GetLastError", call("MessageBoxA", nullptr, text, "Error", 0)});
        EXPECT_EQ(fake.log, expected);
    }

    // Drag steps keep presenting inside the box's modal loop: no box opens inside it,
    // and the next failure after it is dismissed is reported again.
    win32.MessageBoxA = [](HWND, LPCSTR, LPCSTR, UINT) {
        static int nested = 0;
        record("MessageBoxA");
        while (nested < 3) {
            ++nested;
            presentSurface(overlayWindow);
        }
        return IDOK;
    };
    fake.log.clear();
    presentSurface(overlayWindow);
    presentSurface(overlayWindow);
    EXPECT_EQ(std::ranges::count(fake.log, presentationCalls(320, 200)[3]), 5);
    EXPECT_EQ(std::ranges::count(fake.log, "MessageBoxA"), 2);
}

TEST_F(Win32Test, DragStepsPresentTheDirtyRectangleAndFallBackToTheWholeSurface) {
    fake.dibMemory.assign(320 * 200 * 4, 0);
    overlayWindow = OverlayWindow{fakeWindow, nullptr, 0, 0,
                                  {320, 200, 1280, fakeMemoryDC, fakeBitmap, {}, fake.dibMemory.data()}};
    BrickUnit brick;
    brick.x = brick.drawX = 100;
    brick.y = brick.drawY = 50;
    World.push_back(&brick);
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
    for (const std::string& failing : {std::string(), std::string("UpdateLayeredWindowIndirect"),
                                       std::string("Update")}) {
        SCOPED_TRACE(failing);
        fake.fail = failing;
        fake.log.clear();
        pointer.pt.x = pointer.pt.x == 130 ? 100 : 130;
        mouseHookProc(HC_ACTION, WM_MOUSEMOVE, reinterpret_cast<LPARAM>(&pointer));
        Log expected = presentationCalls(320, 200);
        if (failing.empty()) {
            expected[3] = indirect;
        } else {
            expected.insert(expected.begin() + 3, indirect);
        }
        if (failing == "Update") {
            expected.insert(expected.end() - 1, {"GetLastError", call("MessageBoxA", nullptr, "Failed to update window: 0x0", "Error", 0)});
        }
        EXPECT_EQ(fake.log, expected);
    }
}

}  // namespace
