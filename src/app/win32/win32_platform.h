#pragma once

// The one way this program includes the Windows headers: the ANSI API, without
// the min/max macros, plus the multimedia header for PlaySoundA.

#if defined(UNICODE) || defined(_UNICODE)
#error "Zimblet calls the ANSI (...A) Windows API; build it without UNICODE."
#endif

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif

#include <windows.h>

#include <mmsystem.h>
