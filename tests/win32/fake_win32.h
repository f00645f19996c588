#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <tuple>
#include <string>
#include <vector>

#include "app/win32/win32_api.h"

// Handles the fakes hand out, recognisable in the recorded arguments.
inline const HWND fakeWindow = reinterpret_cast<HWND>(0x1001);
inline const HDC fakeWindowDC = reinterpret_cast<HDC>(0x1002);
inline const HDC fakeScreenDC = reinterpret_cast<HDC>(0x1003);
inline const HDC fakeMemoryDC = reinterpret_cast<HDC>(0x1004);
inline const HBITMAP fakeBitmap = reinterpret_cast<HBITMAP>(0x1005);
inline const HGDIOBJ fakePreviousObject = reinterpret_cast<HGDIOBJ>(0x1006);
inline const HBRUSH fakeBrush = reinterpret_cast<HBRUSH>(0x1007);
inline const HCURSOR fakeCursor = reinterpret_cast<HCURSOR>(0x1008);
inline const HMODULE fakeModule = reinterpret_cast<HMODULE>(0x1009);
inline const HHOOK fakeHook = reinterpret_cast<HHOOK>(0x100a);
inline const HINSTANCE fakeInstance = reinterpret_cast<HINSTANCE>(0x100b);

inline constexpr LRESULT chainedResult = 0x5eed;
inline constexpr LRESULT defaultWindowProcResult = 0xdef;

struct MessageBoxCall {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
};

struct HookCall {
    int idHook;
    HOOKPROC proc;
    HINSTANCE module;
    DWORD threadId;
};

struct ChainCall {
    HHOOK hook;
    int nCode;
    WPARAM wParam;
    LPARAM lParam;
};

struct LayeredUpdate {
    HWND window;
    HDC destinationDC;
    POINT destination;
    SIZE size;
    HDC sourceDC;
    POINT source;
    COLORREF key;
    BLENDFUNCTION blend;
    DWORD flags;
};

struct CreateWindowCall {
    DWORD exStyle;
    std::string className;
    std::string windowName;
    DWORD style;
    int x, y, width, height;
    HWND parent;
    HMENU menu;
    HINSTANCE instance;
    LPVOID parameter;
};

// What the fakes were asked, in order, and how they are to answer.
struct FakeWin32 {
    // Answers
    bool failKeyboardHook = false;
    bool failMouseHook = false;
    bool failMemoryDC = false;
    bool failDIBSection = false;
    bool failLayeredUpdate = false;
    DWORD lastError = 0;
    RECT clipBox{0, 0, 64, 48};
    std::vector<std::optional<MSG>> queue;  // one per PeekMessageA; nullopt: no message that pass
    std::vector<uint8_t> dibMemory;
    std::function<void()> onMessageBox;  // runs inside MessageBoxA, as its modal loop would
    std::function<void(const MSG&)> onDispatch;

    // Records
    std::vector<std::string> calls;  // every call's name, in order
    std::vector<MessageBoxCall> boxes;
    std::vector<HookCall> hooks;
    std::vector<ChainCall> chained;
    std::vector<LayeredUpdate> updates;
    std::vector<std::pair<HDC, HGDIOBJ>> selections;
    std::vector<UINT> dispatched;
    std::vector<UINT> translated;
    std::vector<DWORD> sleeps;
    std::vector<std::tuple<HWND, UINT, WPARAM, LPARAM>> defaulted;
    std::vector<int> quitCodes;
    std::vector<std::pair<HINSTANCE, const char*>> iconLoads;
    std::vector<std::pair<HINSTANCE, const char*>> cursorLoads;
    std::vector<COLORREF> brushes;
    std::vector<const char*> moduleNames;
    std::vector<int> showCommands;
    std::vector<HWND> dcWindows;
    std::vector<HCURSOR> cursorsSet;
    std::vector<std::string> sounds;
    std::vector<DWORD> soundFlags;
    std::vector<HMODULE> soundModules;
    WNDCLASSEXA windowClass{};
    std::string registeredClassName;
    std::vector<CreateWindowCall> windows;
    BITMAPINFO dibInfo{};
    HDC dibDC = nullptr;
    UINT dibUsage = 0xffff;
    HANDLE dibSection = reinterpret_cast<HANDLE>(1);
    DWORD dibOffset = 0xffff;
    std::vector<HGDIOBJ> deletedObjects;
    std::vector<HDC> deletedDCs;
    int gdiFlushes = 0;
    int messageLoopPasses = 0;

    // How many times the named call was recorded.
    int count(const std::string& name) const;
};

extern FakeWin32 fake;

// Puts recording fakes in place of every platform call and restores the real
// ones afterwards; the shell's state starts as at program start.
class Win32Test : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

private:
    Win32Api saved_;
};

// Names a parameterised case after its table entry's name.
struct CaseName {
    template <class Case>
    std::string operator()(const ::testing::TestParamInfo<Case>& testInfo) const {
        return testInfo.param.name;
    }
};
