#include "fake_win32.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "app/win32/overlay_window.h"
#include "app/win32/shell.h"
#include "interaction/drag_state.h"
#include "world/world.h"

FakeWin32 fake;

Arg::Arg(const char* s)
    : text(s == nullptr ? "0" : IS_INTRESOURCE(s) ? format("#%lld", reinterpret_cast<uintptr_t>(s)) : s) {}

Arg::Arg(const void* pointer)
    : text(pointer == nullptr ? "0" : format("0x%llx", reinterpret_cast<uintptr_t>(pointer))) {}

std::string call(const char* name, std::initializer_list<Arg> args) {
    std::string entry = name;
    for (const Arg& arg : args) {
        entry += ' ' + arg.text;
    }
    return entry;
}

Log presentationCalls(LONG width, LONG height) {
    const POINT origin{0, 0};
    const SIZE size{width, height};
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    return {call("SelectObject", {fakeMemoryDC, fakeBitmap}), call("ClientToScreen", {fakeWindow, &origin}),
            call("GetDC", {fakeWindow}),
            call("UpdateLayeredWindow",
                 {fakeWindow, fakeWindowDC, &origin, &size, fakeMemoryDC, &origin, 0, &blend, ULW_ALPHA}),
            call("SelectObject", {fakeMemoryDC, fakePreviousObject})};
}

int FakeWin32::count(std::string_view name) const {
    return static_cast<int>(std::ranges::count_if(log, [&](const std::string& e) { return e.starts_with(name); }));
}

namespace {

void record(const char* name, std::initializer_list<Arg> args = {}) {
    fake.log.push_back(call(name, args));
}

// A stand-in that logs its name with all its arguments and gives the answer.
#define FAKE(name, answer) \
    win32.name = [](auto... args) { \
        record(#name, {args...}); \
        return answer; \
    }

void installFakes() {
    FAKE(CreateWindowExA, fakeWindow);
    FAKE(LoadIconA, fakeIcon);
    FAKE(LoadCursorA, fakeCursor);
    FAKE(CreateSolidBrush, fakeBrush);
    FAKE(GetModuleHandleA, fakeModule);
    FAKE(ShowWindow, BOOL{FALSE});
    FAKE(CallNextHookEx, chainedResult);
    FAKE(Sleep, void());
    FAKE(PostQuitMessage, void());
    FAKE(SetCursor, HCURSOR{});
    FAKE(DefWindowProcA, defaultWindowProcResult);
    FAKE(CreateCompatibleDC, fake.failMemoryDC ? nullptr : fakeMemoryDC);
    FAKE(GdiFlush, BOOL{TRUE});
    FAKE(DeleteObject, BOOL{TRUE});
    FAKE(DeleteDC, BOOL{TRUE});
    FAKE(GetLastError, fake.lastError);
    FAKE(PlaySoundA, BOOL{TRUE});
    FAKE(TranslateMessage, BOOL{FALSE});
    FAKE(DispatchMessageA, LRESULT{0});
    FAKE(ClientToScreen, BOOL{TRUE});
    FAKE(UpdateLayeredWindow, BOOL{!fake.failLayeredUpdate});

    win32.RegisterClassExA = [](const WNDCLASSEXA* c) -> ATOM {
        record("RegisterClassExA", {c->cbSize, c->style, c->lpfnWndProc, c->cbClsExtra, c->cbWndExtra, c->hInstance,
                                    c->hIcon, c->hCursor, c->hbrBackground, c->lpszMenuName, c->lpszClassName,
                                    c->hIconSm});
        return 1;
    };
    win32.GetDC = [](HWND window) -> HDC {
        record("GetDC", {window});
        return window == nullptr ? fakeScreenDC : fakeWindowDC;
    };
    win32.GetClipBox = [](HDC dc, LPRECT rect) -> int {
        record("GetClipBox", {dc});
        *rect = RECT{10, 20, 74, 68};  // a 64 x 48 screen
        return SIMPLEREGION;
    };
    win32.MessageBoxA = [](HWND owner, LPCSTR text, LPCSTR caption, UINT type) -> int {
        record("MessageBoxA", {owner, text, caption, type});
        fake.onMessageBox();
        return IDOK;
    };
    win32.SetWindowsHookExA = [](int idHook, HOOKPROC proc, HINSTANCE module, DWORD threadId) -> HHOOK {
        record("SetWindowsHookExA", {idHook, proc, module, threadId});
        const bool fails = idHook == WH_KEYBOARD_LL ? fake.failKeyboardHook : fake.failMouseHook;
        return fails ? nullptr : reinterpret_cast<HHOOK>(0x100a);
    };

    win32.PeekMessageA = [](LPMSG message, HWND window, UINT first, UINT last, UINT removal) -> BOOL {
        record("PeekMessageA", {window, first, last, removal});
        if (fake.queue.empty()) {
            running = false;
            return FALSE;
        }
        const std::optional<MSG> next = fake.queue.front();
        fake.queue.erase(fake.queue.begin());
        *message = next.value_or(*message);
        return next.has_value();
    };

    win32.CreateDIBSection = [](HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                                DWORD offset) -> HBITMAP {
        const BITMAPINFOHEADER& h = info->bmiHeader;
        record("CreateDIBSection", {dc, h.biSize, h.biWidth, h.biHeight, h.biPlanes, h.biBitCount, h.biCompression,
                                    usage, section, offset});
        fake.dibMemory.assign(fake.failDIBSection ? 0 : std::abs(h.biWidth * h.biHeight) * 4, 0xcd);
        *bits = fake.failDIBSection ? nullptr : fake.dibMemory.data();
        return fake.failDIBSection ? nullptr : fakeBitmap;
    };
    win32.SelectObject = [](HDC dc, HGDIOBJ object) -> HGDIOBJ {
        record("SelectObject", {dc, object});
        return std::exchange(fake.selected, object);
    };
}

}  // namespace

void Win32Test::SetUp() {
    saved_ = win32;
    fake = FakeWin32{};
    installFakes();
    running = true;
    overlayWindow = OverlayWindow{};
    resetInteraction();
    World.clear();
}

void Win32Test::TearDown() {
    win32 = saved_;
    World.clear();
}
