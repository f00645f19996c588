#include "app/x11/x11_state.h"

X11Overlay x11;
