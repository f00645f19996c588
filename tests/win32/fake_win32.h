#pragma once

// Recording stand-ins for every platform call: each logs its name and arguments in
// order and answers as the test has set up.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "app/win32/overlay_window.h"
#include "app/win32/shell.h"
#include "app/win32/win32_api.h"
#include "interaction/drag_state.h"
#include "world/world.h"

// Handles the fakes hand out, recognisable in the log.
inline const HWND fakeWindow = reinterpret_cast<HWND>(0x1001);
inline const HDC fakeWindowDC = reinterpret_cast<HDC>(0x1002);
inline const HDC fakeScreenDC = reinterpret_cast<HDC>(0x1003);
inline const HDC fakeMemoryDC = reinterpret_cast<HDC>(0x1004);
inline const HBITMAP fakeBitmap = reinterpret_cast<HBITMAP>(0x1005);
inline const HGDIOBJ fakePreviousObject = reinterpret_cast<HGDIOBJ>(0x1006);
inline const HBRUSH fakeBrush = reinterpret_cast<HBRUSH>(0x1007);
inline const HCURSOR fakeCursor = reinterpret_cast<HCURSOR>(0x1008);
inline const HMODULE fakeModule = reinterpret_cast<HMODULE>(0x1009);
inline const HINSTANCE fakeInstance = reinterpret_cast<HINSTANCE>(0x100b);
inline const HICON fakeIcon = reinterpret_cast<HICON>(0x100c);
// What both DefWindowProcA and CallNextHookEx answer.
inline constexpr LRESULT passedOn = 0x5eed;

// One argument as the log shows it: numbers in decimal, null as 0, other handles
// and pointers in hex, text as itself, resource ordinals as #n, a message as its id,
// a point or a size as x,y and a blend as its four bytes.
struct Arg {
    std::string text;
    template <class T>
    Arg(T value) : text(show(value)) {}

    template <class T>
    static std::string show(T v) {
        using Pointee = std::remove_cv_t<std::remove_pointer_t<T>>;
        if constexpr (std::is_arithmetic_v<T>) {
            return std::to_string(static_cast<long long>(v));
        } else if constexpr (std::is_null_pointer_v<T>) {
            return "0";
        } else if (v == nullptr) {
            return "0";
        } else if constexpr (std::is_same_v<Pointee, char>) {
            return IS_INTRESOURCE(v) ? "#" + show(reinterpret_cast<uintptr_t>(v)) : v;
        } else if constexpr (std::is_same_v<Pointee, MSG>) {
            return show(v->message);
        } else if constexpr (std::is_same_v<Pointee, POINT>) {
            return show(v->x) + ',' + show(v->y);
        } else if constexpr (std::is_same_v<Pointee, SIZE>) {
            return show(v->cx) + ',' + show(v->cy);
        } else if constexpr (std::is_same_v<Pointee, BLENDFUNCTION>) {
            return show(v->BlendOp) + '/' + show(v->BlendFlags) + '/' + show(v->SourceConstantAlpha) + '/' +
                   show(v->AlphaFormat);
        } else {
            char hex[24];
            std::snprintf(hex, sizeof hex, "0x%llx", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(v)));
            return hex;
        }
    }
};

using Log = std::vector<std::string>;

// A log entry: the call's name, then its arguments, separated by spaces.
inline std::string call(const char* name, std::initializer_list<Arg> args = {}) {
    std::string entry = name;
    for (const Arg& arg : args) {
        entry += ' ' + arg.text;
    }
    return entry;
}

// What presentSurface logs for the overlay (fakeWindow, fakeMemoryDC, fakeBitmap).
inline Log presentationCalls(LONG width, LONG height) {
    const POINT origin{0, 0};
    const SIZE size{width, height};
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    return {call("SelectObject", {fakeMemoryDC, fakeBitmap}), call("ClientToScreen", {fakeWindow, &origin}),
            call("GetDC", {fakeWindow}),
            call("UpdateLayeredWindow",
                 {fakeWindow, fakeWindowDC, &origin, &size, fakeMemoryDC, &origin, 0, &blend, ULW_ALPHA}),
            call("SelectObject", {fakeMemoryDC, fakePreviousObject})};
}

inline MSG message(UINT id, WPARAM wParam = 0) {
    MSG m{};
    m.message = id;
    m.wParam = wParam;
    return m;
}

// How the fakes answer and what they were asked.
struct FakeWin32 {
    bool failKeyboardHook = false;
    bool failMouseHook = false;
    bool failMemoryDC = false;
    bool failDIBSection = false;
    bool failLayeredUpdate = false;
    DWORD lastError = 0;
    // One entry per PeekMessageA, nullopt for no message. Once it is empty,
    // PeekMessageA clears running, so a loop that fails to end still ends.
    std::vector<std::optional<MSG>> queue;
    std::function<void()> onMessageBox = [] {};  // runs inside MessageBoxA, as its modal loop would
    Log log;
    std::vector<uint8_t> dibMemory;
    HGDIOBJ selected = fakePreviousObject;  // what the memory DC holds
};

inline FakeWin32 fake;

inline void record(const char* name, std::initializer_list<Arg> args) {
    fake.log.push_back(call(name, args));
}

// A stand-in that logs its name with all its arguments and gives the answer.
#define FAKE(name, answer) \
    win32.name = [](auto... args) { \
        record(#name, {args...}); \
        return answer; \
    }

// Puts the fakes in place of every platform call and restores the real ones
// afterwards; the shell's state starts as at program start.
class Win32Test : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = win32;
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
        FAKE(CallNextHookEx, passedOn);
        FAKE(TranslateMessage, BOOL{FALSE});
        FAKE(DispatchMessageA, LRESULT{0});
        FAKE(Sleep, void());
        FAKE(PostQuitMessage, void());
        FAKE(SetCursor, HCURSOR{});
        FAKE(DefWindowProcA, passedOn);
        FAKE(CreateCompatibleDC, fake.failMemoryDC ? nullptr : fakeMemoryDC);
        FAKE(GdiFlush, BOOL{TRUE});
        FAKE(DeleteObject, BOOL{TRUE});
        FAKE(DeleteDC, BOOL{TRUE});
        FAKE(ClientToScreen, BOOL{TRUE});
        FAKE(UpdateLayeredWindow, BOOL{!fake.failLayeredUpdate});
        FAKE(GetLastError, fake.lastError);
        FAKE(PlaySoundA, BOOL{TRUE});
        win32.RegisterClassExA = [](const WNDCLASSEXA* c) -> ATOM {
            record("RegisterClassExA", {c->cbSize, c->style, c->lpfnWndProc, c->cbClsExtra, c->cbWndExtra,
                                        c->hInstance, c->hIcon, c->hCursor, c->hbrBackground, c->lpszMenuName,
                                        c->lpszClassName, c->hIconSm});
            return 1;
        };
        win32.GetDC = [](HWND window) {
            record("GetDC", {window});
            return window == nullptr ? fakeScreenDC : fakeWindowDC;
        };
        win32.GetClipBox = [](HDC dc, LPRECT rect) {
            record("GetClipBox", {dc});
            *rect = RECT{10, 20, 74, 68};  // a 64 x 48 screen
            return SIMPLEREGION;
        };
        win32.MessageBoxA = [](HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
            record("MessageBoxA", {owner, text, caption, type});
            fake.onMessageBox();
            return IDOK;
        };
        win32.SetWindowsHookExA = [](int idHook, HOOKPROC proc, HINSTANCE module, DWORD threadId) {
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
                                    DWORD offset) {
            const BITMAPINFOHEADER& h = info->bmiHeader;
            record("CreateDIBSection", {dc, h.biSize, h.biWidth, h.biHeight, h.biPlanes, h.biBitCount,
                                        h.biCompression, usage, section, offset});
            fake.dibMemory.assign(fake.failDIBSection ? 0 : std::abs(h.biWidth * h.biHeight) * 4, 0xcd);
            *bits = fake.failDIBSection ? nullptr : fake.dibMemory.data();
            return fake.failDIBSection ? nullptr : fakeBitmap;
        };
        win32.SelectObject = [](HDC dc, HGDIOBJ object) {
            record("SelectObject", {dc, object});
            return std::exchange(fake.selected, object);
        };
    }

    void TearDown() override {
        win32 = saved_;
        World.clear();
    }

private:
    Win32Api saved_;
};
