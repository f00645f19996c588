#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "app/win32/win32_api.h"

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
inline constexpr LRESULT chainedResult = 0x5eed;
inline constexpr LRESULT defaultWindowProcResult = 0xdef;

// One argument as the log shows it: numbers in decimal, handles in hex, text as
// itself, resource ordinals as #n, null as 0, a message as its id, a point or a
// size as x,y and a blend as its four bytes.
struct Arg {
    std::string text;
    Arg(std::nullptr_t) : text("0") {}
    Arg(const char* s);
    Arg(char* s) : Arg(static_cast<const char*>(s)) {}
    Arg(const void* pointer);
    Arg(const MSG* message) : Arg(message->message) {}
    Arg(const POINT* point) : text(format("%lld,%lld", point->x, point->y)) {}
    Arg(const SIZE* size) : text(format("%lld,%lld", size->cx, size->cy)) {}
    Arg(const BLENDFUNCTION* b)
        : text(format("%lld/%lld/%lld/%lld", b->BlendOp, b->BlendFlags, b->SourceConstantAlpha, b->AlphaFormat)) {}
    template <class T>
        requires std::is_arithmetic_v<T>
    Arg(T value) : text(std::to_string(static_cast<long long>(value))) {}
    template <class T>
        requires std::is_function_v<T>
    Arg(T* function) : Arg(reinterpret_cast<const void*>(function)) {}

    template <class... Values>
    static std::string format(const char* pattern, Values... values) {
        char text[48];
        std::snprintf(text, sizeof text, pattern, static_cast<long long>(values)...);
        return text;
    }
};

using Log = std::vector<std::string>;

// A log entry: the call's name, then its arguments, separated by spaces.
std::string call(const char* name, std::initializer_list<Arg> args = {});

// What presentSurface logs for the overlay (fakeWindow, fakeMemoryDC, fakeBitmap).
Log presentationCalls(LONG width, LONG height);

// A message for the queue.
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
    // PeekMessageA clears running as Escape in the keyboard hook would.
    std::vector<std::optional<MSG>> queue;
    std::function<void()> onMessageBox = [] {};  // runs inside MessageBoxA, as its modal loop would

    Log log;  // every call with its arguments, in order
    std::vector<uint8_t> dibMemory;
    HGDIOBJ selected = fakePreviousObject;  // what the memory DC holds

    // How many calls of that name were logged.
    int count(std::string_view name) const;
};

extern FakeWin32 fake;

// Puts the fakes in place of every platform call and restores the real ones
// afterwards; the shell's state starts as at program start.
class Win32Test : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

private:
    Win32Api saved_;
};
