#include "app/win32/overlay_window.h"
#include "app/win32/shell.h"
#include "app/win32/win32_api.h"
#include "interaction/mouse_event.h"

namespace {

// The mouse messages the drag state machine tells apart; wheel, middle and extra
// buttons are Other.
MouseMessage mouseMessageFor(WPARAM wParam) {
    switch (wParam) {
    case WM_LBUTTONDOWN:
        return MouseMessage::LeftDown;
    case WM_LBUTTONUP:
        return MouseMessage::LeftUp;
    case WM_RBUTTONDOWN:
        return MouseMessage::RightDown;
    case WM_RBUTTONUP:
        return MouseMessage::RightUp;
    case WM_MOUSEMOVE:
        return MouseMessage::Move;
    default:
        return MouseMessage::Other;
    }
}

}  // namespace

//------------------------------------------------------------------------------
// Hands the event to the drag state machine and turns its answer into the hook's:
// 1 swallows, 0 delivers without the rest of the chain, otherwise the chain decides.
// The hook's position is in device pixels (the program is per-monitor DPI aware);
// the drag state machine gets the logical pixel it falls in.
LRESULT CALLBACK mouseHookProc(int nCode, WPARAM wParam, LPARAM lParam) {
    const POINT point = reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam)->pt;
    const int32_t per120 = overlayWindow.scene.per120;
    switch (handleMouseEvent(mouseMessageFor(wParam), toLogical(point.x, per120), toLogical(point.y, per120))) {
    case HookAnswer::Swallow:
        return 1;
    case HookAnswer::Deliver:
        return 0;
    case HookAnswer::Chain:
        break;
    }
    return win32.CallNextHookEx(nullptr, nCode, wParam, lParam);
}
