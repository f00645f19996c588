#include "app/win32/win32_api.h"

Win32Api win32;
