#include "fake_win32.h"

#include <algorithm>

#include "app/win32/overlay_window.h"
#include "app/win32/shell.h"
#include "interaction/drag_state.h"
#include "world/world.h"

FakeWin32 fake;

int FakeWin32::count(const std::string& name) const {
    return static_cast<int>(std::count(calls.begin(), calls.end(), name));
}

namespace {

void installFakes() {
    win32.RegisterClassExA = [](const WNDCLASSEXA* windowClass) -> ATOM {
        fake.calls.push_back("RegisterClassExA");
        fake.windowClass = *windowClass;
        fake.registeredClassName = windowClass->lpszClassName;
        return 1;
    };
    win32.CreateWindowExA = [](DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                               int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID parameter) -> HWND {
        fake.calls.push_back("CreateWindowExA");
        fake.windows.push_back(
            {exStyle, className, windowName, style, x, y, width, height, parent, menu, instance, parameter});
        return fakeWindow;
    };
    win32.LoadIconA = [](HINSTANCE instance, LPCSTR name) -> HICON {
        fake.calls.push_back("LoadIconA");
        fake.iconLoads.emplace_back(instance, name);
        return nullptr;
    };
    win32.LoadCursorA = [](HINSTANCE instance, LPCSTR name) -> HCURSOR {
        fake.calls.push_back("LoadCursorA");
        fake.cursorLoads.emplace_back(instance, name);
        return fakeCursor;
    };
    win32.CreateSolidBrush = [](COLORREF colour) -> HBRUSH {
        fake.calls.push_back("CreateSolidBrush");
        fake.brushes.push_back(colour);
        return fakeBrush;
    };
    win32.GetModuleHandleA = [](LPCSTR name) -> HMODULE {
        fake.calls.push_back("GetModuleHandleA");
        fake.moduleNames.push_back(name);
        return fakeModule;
    };
    win32.ShowWindow = [](HWND, int command) -> BOOL {
        fake.calls.push_back("ShowWindow");
        fake.showCommands.push_back(command);
        return FALSE;
    };
    win32.GetDC = [](HWND window) -> HDC {
        fake.calls.push_back("GetDC");
        fake.dcWindows.push_back(window);
        return window == nullptr ? fakeScreenDC : fakeWindowDC;
    };
    win32.GetClipBox = [](HDC dc, LPRECT rect) -> int {
        fake.calls.push_back(dc == fakeScreenDC ? "GetClipBox screen" : "GetClipBox other");
        *rect = fake.clipBox;
        return SIMPLEREGION;
    };
    win32.MessageBoxA = [](HWND owner, LPCSTR text, LPCSTR caption, UINT type) -> int {
        fake.calls.push_back("MessageBoxA");
        fake.boxes.push_back({owner, text, caption, type});
        if (fake.onMessageBox) {
            fake.onMessageBox();
        }
        return IDOK;
    };

    win32.SetWindowsHookExA = [](int idHook, HOOKPROC proc, HINSTANCE module, DWORD threadId) -> HHOOK {
        fake.calls.push_back("SetWindowsHookExA");
        fake.hooks.push_back({idHook, proc, module, threadId});
        const bool fails = (idHook == WH_KEYBOARD_LL && fake.failKeyboardHook) ||
                           (idHook == WH_MOUSE_LL && fake.failMouseHook);
        return fails ? nullptr : fakeHook;
    };
    win32.CallNextHookEx = [](HHOOK hook, int nCode, WPARAM wParam, LPARAM lParam) -> LRESULT {
        fake.calls.push_back("CallNextHookEx");
        fake.chained.push_back({hook, nCode, wParam, lParam});
        return chainedResult;
    };

    win32.PeekMessageA = [](LPMSG message, HWND window, UINT first, UINT last, UINT removal) -> BOOL {
        fake.calls.push_back("PeekMessageA");
        ++fake.messageLoopPasses;
        EXPECT_EQ(window, nullptr);
        EXPECT_EQ(first, 0u);
        EXPECT_EQ(last, 0u);
        EXPECT_EQ(removal, static_cast<UINT>(PM_REMOVE));
        if (fake.messageLoopPasses > 1000) {
            ADD_FAILURE() << "the message loop does not end";
            running = false;
        }
        if (fake.queue.empty()) {
            return FALSE;
        }
        const std::optional<MSG> next = fake.queue.front();
        fake.queue.erase(fake.queue.begin());
        if (!next) {
            return FALSE;
        }
        *message = *next;
        return TRUE;
    };
    win32.TranslateMessage = [](const MSG* message) -> BOOL {
        fake.calls.push_back("TranslateMessage");
        fake.translated.push_back(message->message);
        return FALSE;
    };
    win32.DispatchMessageA = [](const MSG* message) -> LRESULT {
        fake.calls.push_back("DispatchMessageA");
        fake.dispatched.push_back(message->message);
        if (fake.onDispatch) {
            fake.onDispatch(*message);
        }
        return 0;
    };
    win32.Sleep = [](DWORD milliseconds) {
        fake.calls.push_back("Sleep");
        fake.sleeps.push_back(milliseconds);
    };
    win32.PostQuitMessage = [](int code) {
        fake.calls.push_back("PostQuitMessage");
        fake.quitCodes.push_back(code);
    };
    win32.SetCursor = [](HCURSOR cursor) -> HCURSOR {
        fake.calls.push_back("SetCursor");
        fake.cursorsSet.push_back(cursor);
        return nullptr;
    };
    win32.DefWindowProcA = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        fake.calls.push_back("DefWindowProcA");
        fake.defaulted.emplace_back(window, message, wParam, lParam);
        return defaultWindowProcResult;
    };

    win32.CreateCompatibleDC = [](HDC dc) -> HDC {
        fake.calls.push_back("CreateCompatibleDC");
        EXPECT_EQ(dc, nullptr);
        return fake.failMemoryDC ? nullptr : fakeMemoryDC;
    };
    win32.CreateDIBSection = [](HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                                DWORD offset) -> HBITMAP {
        fake.calls.push_back("CreateDIBSection");
        fake.dibDC = dc;
        fake.dibInfo = *info;
        fake.dibUsage = usage;
        fake.dibSection = section;
        fake.dibOffset = offset;
        if (fake.failDIBSection) {
            *bits = nullptr;
            return nullptr;
        }
        const auto rows = static_cast<std::size_t>(-info->bmiHeader.biHeight);
        fake.dibMemory.assign(rows * static_cast<std::size_t>(info->bmiHeader.biWidth) * 4, 0xcd);
        *bits = fake.dibMemory.data();
        return fakeBitmap;
    };
    win32.GdiFlush = []() -> BOOL {
        fake.calls.push_back("GdiFlush");
        ++fake.gdiFlushes;
        return TRUE;
    };
    win32.DeleteObject = [](HGDIOBJ object) -> BOOL {
        fake.calls.push_back("DeleteObject");
        fake.deletedObjects.push_back(object);
        return TRUE;
    };
    win32.DeleteDC = [](HDC dc) -> BOOL {
        fake.calls.push_back("DeleteDC");
        fake.deletedDCs.push_back(dc);
        return TRUE;
    };
    win32.SelectObject = [](HDC dc, HGDIOBJ object) -> HGDIOBJ {
        fake.calls.push_back("SelectObject");
        fake.selections.emplace_back(dc, object);
        return fake.selections.size() == 1 ? fakePreviousObject : object;
    };
    win32.ClientToScreen = [](HWND, LPPOINT point) -> BOOL {
        fake.calls.push_back("ClientToScreen");
        EXPECT_EQ(point->x, 0);
        EXPECT_EQ(point->y, 0);
        return TRUE;
    };
    win32.UpdateLayeredWindow = [](HWND window, HDC destinationDC, POINT* destination, SIZE* size, HDC sourceDC,
                                   POINT* source, COLORREF key, BLENDFUNCTION* blend, DWORD flags) -> BOOL {
        fake.calls.push_back("UpdateLayeredWindow");
        fake.updates.push_back(
            {window, destinationDC, *destination, *size, sourceDC, *source, key, *blend, flags});
        return fake.failLayeredUpdate ? FALSE : TRUE;
    };
    win32.GetLastError = []() -> DWORD {
        fake.calls.push_back("GetLastError");
        return fake.lastError;
    };

    win32.PlaySoundA = [](LPCSTR sound, HMODULE module, DWORD flags) -> BOOL {
        fake.calls.push_back("PlaySoundA");
        fake.sounds.emplace_back(sound);
        fake.soundModules.push_back(module);
        fake.soundFlags.push_back(flags);
        return TRUE;
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
    fake = FakeWin32{};
}
