#include "app/win32/win32_api.h"

Win32Api win32;

//------------------------------------------------------------------------------
UINT WINAPI dpiForWindow(HWND window) {
    using DpiOfWindow = UINT(WINAPI*)(HWND);
    static const auto system = reinterpret_cast<DpiOfWindow>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    if (system != nullptr) {
        return system(window);
    }
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
    ::ReleaseDC(nullptr, screen);
    return static_cast<UINT>(dpi);
}
