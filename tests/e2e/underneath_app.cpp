// A plain application that lies under the bricks during the end-to-end runs.
//
// It covers the whole desktop with one solid colour, so that every pixel the
// bricks leave free has a known value, and appends one line per mouse button,
// wheel and key message it receives to the log file named on its command line:
//
//   ready 1024x800
//   lbuttondown X Y        lbuttonup X Y        (client coordinates)
//   rbuttondown X Y        rbuttonup X Y        mbuttondown X Y
//   mousewheel X Y DELTA
//   keydown VK             syskeydown VK        char CODE
//
// Each line is flushed at once, so a reader may follow the file while the
// application runs. A middle click makes the window active, so that it gets
// the keyboard; left and right clicks leave the activation as it is.

#include <windows.h>
#include <windowsx.h>

#include <cstdio>

namespace {

// The desktop colour the harness expects wherever no brick lies.
constexpr COLORREF desktopColour = RGB(32, 96, 128);

FILE* logFile = nullptr;

// Appends one line and flushes it.
void logLine(const char* format, int a, int b = 0, int c = 0)
{
    if (!logFile) return;
    fprintf(logFile, format, a, b, c);
    fputc('\n', logFile);
    fflush(logFile);
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_MOUSEACTIVATE:
        // Only a middle click makes this window active. Wine's virtual desktop,
        // with no window manager, raises an activated window above even the
        // topmost layered ones on the X screen, which would hide the bricks
        // from every later screenshot; the left and right clicks must not.
        return HIWORD(lParam) == WM_MBUTTONDOWN ? MA_ACTIVATE : MA_NOACTIVATE;
    case WM_LBUTTONDOWN: logLine("lbuttondown %d %d", GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;
    case WM_LBUTTONUP: logLine("lbuttonup %d %d", GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;
    case WM_RBUTTONDOWN: logLine("rbuttondown %d %d", GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;
    case WM_RBUTTONUP: logLine("rbuttonup %d %d", GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;
    case WM_MBUTTONDOWN: logLine("mbuttondown %d %d", GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;
    case WM_MOUSEWHEEL: {
        // The wheel message carries screen coordinates; log them as the clicks are logged.
        POINT p = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
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
    if (!commandLine || !*commandLine) {
        MessageBoxA(nullptr, "usage: underneath_app LOGFILE", "underneath_app", MB_OK);
        return 2;
    }
    logFile = fopen(commandLine, "a");
    if (!logFile) return 3;

    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    windowClass.hbrBackground = CreateSolidBrush(desktopColour);
    windowClass.lpszClassName = "UnderneathApp";
    RegisterClassExA(&windowClass);

    // A captionless window whose client area is the whole desktop, so that
    // client coordinates are screen coordinates.
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    HWND window = CreateWindowExA(0, "UnderneathApp", "Underneath", WS_POPUP | WS_VISIBLE, 0, 0, width, height,
                                  nullptr, nullptr, instance, nullptr);
    if (!window) return 4;
    SetForegroundWindow(window);
    SetFocus(window);
    UpdateWindow(window);
    logLine("ready %dx%d", width, height);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    fclose(logFile);
    return 0;
}
