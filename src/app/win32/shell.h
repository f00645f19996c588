#pragma once

#include "app/win32/win32_platform.h"

// Keeps the message loop turning; cleared by Escape, WM_QUIT or a failed start-up.
extern bool running;

// Registers the class, creates the overlay, installs the hooks, measures the
// screen, creates the surface and presents the first, empty picture.
void initApplication(HINSTANCE instance);

// One PeekMessageA per pass, Sleep(1) after every pass, until running is cleared.
void runMessageLoop();

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK keyboardHookProc(int nCode, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK mouseHookProc(int nCode, WPARAM wParam, LPARAM lParam);
