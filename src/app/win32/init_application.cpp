#include "app/win32/monitor_scale.h"
#include "app/win32/overlay_window.h"
#include "app/win32/shell.h"
#include "app/win32/win32_api.h"
#include "interaction/drag_state.h"
#include "render/redraw.h"

namespace {

const char* const className = "Zimblet";

//------------------------------------------------------------------------------
void registerWindowClass(HINSTANCE instance) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(WNDCLASSEXA);  // 48 in a 32-bit build, 80 in a 64-bit one
    windowClass.style = CS_OWNDC | CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = windowProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = instance;
    // Icon 1 holds the bricks at 16 to 256 pixels (tools/icon_maker). Without a small
    // icon of its own the class takes the small size from that same resource, rather
    // than shrinking the 32-pixel picture LoadIconA gives.
    windowClass.hIcon = win32.LoadIconA(instance, MAKEINTRESOURCEA(1));
    windowClass.hIconSm = nullptr;
    windowClass.hCursor = win32.LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = win32.CreateSolidBrush(0xff00ff);
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = className;
    win32.RegisterClassExA(&windowClass);
}

//------------------------------------------------------------------------------
void createOverlayWindow(HINSTANCE instance) {
    // The first presentation resizes the window to the surface.
    overlayWindow.window = win32.CreateWindowExA(WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOPMOST, className, className,
                                           WS_POPUP | WS_VISIBLE, 0, 0, 1280, 1000, nullptr, nullptr, instance,
                                           nullptr);
}

// Installs the keyboard hook, then the mouse hook; false at the first that fails.
bool installHooks() {
    if (win32.SetWindowsHookExA(WH_KEYBOARD_LL, keyboardHookProc, win32.GetModuleHandleA(nullptr), 0) == nullptr) {
        return false;
    }
    return win32.SetWindowsHookExA(WH_MOUSE_LL, mouseHookProc, win32.GetModuleHandleA(nullptr), 0) != nullptr;
}

}  // namespace

//------------------------------------------------------------------------------
void initApplication(HINSTANCE instance) {
    swallowRightUp = false;
    registerWindowClass(instance);
    createOverlayWindow(instance);

    if (!installHooks()) {
        // The message is the caption; the body only says "ok".
        win32.MessageBoxA(nullptr, "ok", "Unable to load function(s).", 0);
        running = false;
        return;
    }

    win32.ShowWindow(overlayWindow.window, SW_SHOWDEFAULT);
    overlayWindow.windowDC = win32.GetDC(overlayWindow.window);

    if (!makeOverlaySurfaces(overlayWindow, win32.GetDpiForWindow(overlayWindow.window))) {
        win32.MessageBoxA(nullptr, "Failed CreateCompatibleBitmap", "Error", 0);
        // Without a picture the overlay is invisible while its hooks would still
        // swallow clicks on bricks nobody can see: end instead of entering the loop.
        running = false;
        return;
    }

    showWholeScene();
}
