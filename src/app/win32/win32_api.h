#pragma once

#include "app/win32/win32_platform.h"

// The window's monitor's dots per inch: user32's GetDpiForWindow where the system has
// it (Windows 10 1607 and later), else the screen's LOGPIXELSX. Looked up at run time,
// so the program still starts on systems without it.
UINT WINAPI dpiForWindow(HWND window);

// Every platform call the shell, the surface and the hooks make goes through this
// record. It holds the real functions; tests put failing or recording stand-ins
// in their place.
struct Win32Api {
    // Window class, window and module
    decltype(&::RegisterClassExA) RegisterClassExA = &::RegisterClassExA;
    decltype(&::CreateWindowExA) CreateWindowExA = &::CreateWindowExA;
    decltype(&::LoadIconA) LoadIconA = &::LoadIconA;
    decltype(&::LoadCursorA) LoadCursorA = &::LoadCursorA;
    decltype(&::CreateSolidBrush) CreateSolidBrush = &::CreateSolidBrush;
    decltype(&::GetModuleHandleA) GetModuleHandleA = &::GetModuleHandleA;
    decltype(&::ShowWindow) ShowWindow = &::ShowWindow;
    decltype(&::GetDC) GetDC = &::GetDC;
    decltype(&::GetClipBox) GetClipBox = &::GetClipBox;
    decltype(&dpiForWindow) GetDpiForWindow = &dpiForWindow;
    decltype(&::MessageBoxA) MessageBoxA = &::MessageBoxA;

    // Hooks
    decltype(&::SetWindowsHookExA) SetWindowsHookExA = &::SetWindowsHookExA;
    decltype(&::CallNextHookEx) CallNextHookEx = &::CallNextHookEx;

    // Message loop and window procedure
    decltype(&::PeekMessageA) PeekMessageA = &::PeekMessageA;
    decltype(&::TranslateMessage) TranslateMessage = &::TranslateMessage;
    decltype(&::DispatchMessageA) DispatchMessageA = &::DispatchMessageA;
    decltype(&::Sleep) Sleep = &::Sleep;
    decltype(&::PostQuitMessage) PostQuitMessage = &::PostQuitMessage;
    decltype(&::SetCursor) SetCursor = &::SetCursor;
    decltype(&::DefWindowProcA) DefWindowProcA = &::DefWindowProcA;

    // Drawing surface and presentation
    decltype(&::CreateCompatibleDC) CreateCompatibleDC = &::CreateCompatibleDC;
    decltype(&::CreateDIBSection) CreateDIBSection = &::CreateDIBSection;
    decltype(&::GdiFlush) GdiFlush = &::GdiFlush;
    decltype(&::DeleteObject) DeleteObject = &::DeleteObject;
    decltype(&::DeleteDC) DeleteDC = &::DeleteDC;
    decltype(&::SelectObject) SelectObject = &::SelectObject;
    decltype(&::ClientToScreen) ClientToScreen = &::ClientToScreen;
    decltype(&::UpdateLayeredWindow) UpdateLayeredWindow = &::UpdateLayeredWindow;
    decltype(&::UpdateLayeredWindowIndirect) UpdateLayeredWindowIndirect = &::UpdateLayeredWindowIndirect;
    decltype(&::GetLastError) GetLastError = &::GetLastError;

    // Sound
    decltype(&::PlaySoundA) PlaySoundA = &::PlaySoundA;
};

extern Win32Api win32;
