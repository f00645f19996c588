#include "app/x11/escape_key.h"

#include <X11/XKBlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/keysym.h>

#include "app/linux_common/report.h"
#include "app/x11/x11_errors.h"
#include "app/x11/x11_state.h"

namespace {

bool hasBit(const unsigned char (&bits)[32], int keycode) {
    return (bits[keycode >> 3] & (1u << (keycode & 7))) != 0;
}

void setBit(unsigned char (&bits)[32], int keycode, bool on) {
    if (on) {
        bits[keycode >> 3] = static_cast<unsigned char>(bits[keycode >> 3] | (1u << (keycode & 7)));
    } else {
        bits[keycode >> 3] = static_cast<unsigned char>(bits[keycode >> 3] & ~(1u << (keycode & 7)));
    }
}

// Finds the Alt keys and the modifier bits they set (Mod1 on most servers).
void findAltKeys() {
    const KeyCode altKeys[2] = {XKeysymToKeycode(x11.display, XK_Alt_L), XKeysymToKeycode(x11.display, XK_Alt_R)};
    for (KeyCode key : altKeys) {
        if (key != 0) setBit(x11.altKeycodes, key, true);
    }
    XModifierKeymap* map = XGetModifierMapping(x11.display);
    for (int modifier = 0; modifier < 8; ++modifier) {
        for (int i = 0; i < map->max_keypermod; ++i) {
            const KeyCode key = map->modifiermap[modifier * map->max_keypermod + i];
            if (key != 0 && hasBit(x11.altKeycodes, key)) x11.altMask |= 1u << modifier;
        }
    }
    XFreeModifiermap(map);
    if (x11.altMask == 0) x11.altMask = Mod1Mask;
}

// A passive grab of Escape on the root for every modifier combination without
// Alt. A combination another client already holds is refused with BadAccess and
// left to the raw key events below.
int grabEscape() {
    int refused = 0;
    for (unsigned modifiers = 0; modifiers < 256; ++modifiers) {
        if ((modifiers & x11.altMask) != 0) continue;
        syncAndTakeError(x11.display);
        XGrabKey(x11.display, x11.escapeKeycode, modifiers, x11.root, False, GrabModeAsync, GrabModeAsync);
        if (syncAndTakeError(x11.display) != 0) ++refused;
    }
    return refused;
}

// Raw key events come to the root whoever has the keyboard, grabbed or not, and
// swallow nothing.
void listenToRawKeys() {
    int event = 0, error = 0;
    int major = 2, minor = 2;  // 2.1 and later send raw events during grabs too
    if (!XQueryExtension(x11.display, "XInputExtension", &x11.xinputOpcode, &event, &error) ||
        XIQueryVersion(x11.display, &major, &minor) != Success) {
        x11.xinputOpcode = -1;
        return;
    }
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(bits, XI_RawKeyPress);
    XISetMask(bits, XI_RawKeyRelease);
    XIEventMask mask{XIAllMasterDevices, sizeof bits, bits};
    XISelectEvents(x11.display, x11.root, &mask, 1);
}

}  // namespace

//------------------------------------------------------------------------------
void watchEscapeKey() {
    x11.escapeKeycode = XKeysymToKeycode(x11.display, XK_Escape);
    findAltKeys();
    const int refused = grabEscape();
    listenToRawKeys();
    if (refused > 0 && x11.xinputOpcode < 0) {
        report("another program holds Escape with some modifiers, and without XInput2 Escape may not end "
               "this one then");
    }
}

//------------------------------------------------------------------------------
// The grabbed key press, or a raw Escape press while no Alt key is down.
bool isEndingEscape(XEvent& event) {
    if (event.type == KeyPress) {
        return static_cast<int>(event.xkey.keycode) == x11.escapeKeycode && (event.xkey.state & x11.altMask) == 0;
    }
    if (event.type != GenericEvent || event.xcookie.extension != x11.xinputOpcode ||
        !XGetEventData(x11.display, &event.xcookie)) {
        return false;
    }
    bool ending = false;
    const auto* raw = static_cast<const XIRawEvent*>(event.xcookie.data);
    if (raw->detail > 0 && raw->detail < 256) {
        if (hasBit(x11.altKeycodes, raw->detail)) {
            setBit(x11.altKeysDown, raw->detail, event.xcookie.evtype == XI_RawKeyPress);
        } else if (event.xcookie.evtype == XI_RawKeyPress && raw->detail == x11.escapeKeycode) {
            bool altDown = false;
            for (unsigned char byte : x11.altKeysDown) altDown = altDown || byte != 0;
            ending = !altDown;
        }
    }
    XFreeEventData(x11.display, &event.xcookie);
    return ending;
}
