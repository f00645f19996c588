#include "app/win32/overlay_window.h"

OverlayWindow overlayWindow{};
