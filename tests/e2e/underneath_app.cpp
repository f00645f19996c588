// A plain application that lies under the bricks during the end-to-end runs.
//
// It covers the whole desktop with one solid colour, so that every pixel the
// bricks leave free has a known value, and appends one flushed line per mouse
// button, wheel and key message it receives to the log file named on its
// command line (coordinates are client ones, which here are screen ones):
//
//   ready 1024x800
//   lbuttondown X Y   lbuttonup X Y   rbuttondown X Y   rbuttonup X Y   mbuttondown X Y
//   mousewheel X Y DELTA
//   keydown VK   syskeydown VK   char CODE

#include <windows.h>
#include <windowsx.h>

#include <cstdio>

namespace {

FILE* logFile = nullptr;

void logLine(const char* format, int a, int b = 0, int c = 0)
{
    fprintf(logFile, format, a, b, c);
    fputc('\n', logFile);
    fflush(logFile);
}

const char* buttonName(UINT message)
{
    switch (message) {
    case WM_LBUTTONDOWN: return "lbuttondown %d %d";
    case WM_LBUTTONUP: return "lbuttonup %d %d";
    case WM_RBUTTONDOWN: return "rbuttondown %d %d";
    case WM_RBUTTONUP: return "rbuttonup %d %d";
    case WM_MBUTTONDOWN: return "mbuttondown %d %d";
    }
    return nullptr;
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (const char* format = buttonName(message)) {
        logLine(format, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    }
    switch (message) {
    case WM_MOUSEACTIVATE:
        // Only a middle click makes this window active: Wine's virtual desktop, with
        // no window manager, raises an activated window above even the topmost
        // layered ones on the X screen, which would hide the bricks from screenshots.
        return HIWORD(lParam) == WM_MBUTTONDOWN ? MA_ACTIVATE : MA_NOACTIVATE;
    case WM_MOUSEWHEEL: {
        POINT p = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};  // screen coordinates
        ScreenToClient(window, &p);
        logLine("mousewheel %d %d %d", p.x, p.y, GET_WHEEL_DELTA_WPARAM(wParam));
        return 0;
    }
    case WM_KEYDOWN: logLine("keydown %d", static_cast<int>(wParam)); return 0;
    case WM_SYSKEYDOWN: logLine("syskeydown %d", static_cast<int>(wParam)); break;
    case WM_CHAR: logLine("char %d", static_cast<int>(wParam)); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    logFile = fopen(commandLine, "a");
    if (!logFile) return 2;

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    windowClass.hbrBackground = CreateSolidBrush(RGB(32, 96, 128));  // the harness's desktop colour
    windowClass.lpszClassName = "UnderneathApp";
    RegisterClassA(&windowClass);

    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    HWND window = CreateWindowExA(0, "UnderneathApp", "Underneath", WS_POPUP | WS_VISIBLE, 0, 0, width, height,
                                  nullptr, nullptr, instance, nullptr);
    SetForegroundWindow(window);
    UpdateWindow(window);
    logLine("ready %dx%d", width, height);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
