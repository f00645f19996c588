#include "app/wayland/wayland_input.h"

#include <linux/input-event-codes.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <cmath>

#include "app/linux_common/event_loop.h"
#include "app/wayland/layer_shell.h"
#include "app/wayland/overlay_remap.h"
#include "app/wayland/overlay_surface.h"
#include "app/wayland/wayland_host.h"
#include "interaction/drag_state.h"
#include "interaction/mouse_event.h"

namespace {

// The pointer in the picture: surface positions moved by that surface's place.
int32_t pointerX = 0;
int32_t pointerY = 0;
MouseMessage heldRelease = MouseMessage::LeftUp;  // the release of the button that holds the drag

// The pixel holding the position: rounded down, also left of and above a surface
// held by a drag, where truncation would land one pixel right or low.
void placePointer(wl_fixed_t x, wl_fixed_t y) {
    const PixelRect area = wayland.pointerOutput != nullptr ? wayland.pointerOutput->area : PixelRect{};
    pointerX = static_cast<int32_t>(std::floor(wl_fixed_to_double(x))) + area.left;
    pointerY = static_cast<int32_t>(std::floor(wl_fixed_to_double(y))) + area.top;
}

//------------------------------------------------------------------------------
// Answers once the compositor has handled the release's commit: a compositor that
// keeps the keyboard on the overlay (KWin 5.27) gives it up when the overlay is
// unmapped and mapped again.
void releaseSettled(void*, wl_callback* callback, uint32_t) {
    wl_callback_destroy(callback);
    OutputView* focus = wayland.keyboardFocus;
    if (focus != nullptr && focus->surface != nullptr && !dragHolds() && !focus->remapping) {
        remapOverlay(*focus);
    }
}

const wl_callback_listener releaseSettledListener = {.done = releaseSettled};

//------------------------------------------------------------------------------
// While a brick is held the surface where the press began takes the keyboard, so
// that Escape reaches it, and keeps it while Escape is down; otherwise it leaves
// the keyboard to the user's windows. Exclusive, not on_demand: sway 1.10 does not hand the keyboard
// to a surface that asks for it on demand at a press.
void followDragWithKeyboard() {
    const bool holding = dragHolds() || wayland.escapeHeld;
    OutputView* taker = holding ? wayland.pointerOutput : wayland.keyboardTaken;
    if (holding == (wayland.keyboardTaken != nullptr) || taker == nullptr) {
        return;
    }
    const uint32_t mode = holding ? ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_EXCLUSIVE
                                  : ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_NONE;
    zwlr_layer_surface_v1_set_keyboard_interactivity(taker->layerSurface, mode);
    wl_surface_commit(taker->surface);
    wayland.keyboardTaken = holding ? taker : nullptr;
    if (!holding) {
        wl_callback_add_listener(wl_display_sync(wayland.display), &releaseSettledListener, nullptr);
    }
}

void feed(MouseMessage message) {
    handleMouseEvent(message, pointerX, pointerY);
    followDragWithKeyboard();
}

//------------------------------------------------------------------------------
void pointerEnter(void*, wl_pointer*, uint32_t, wl_surface* surface, wl_fixed_t x, wl_fixed_t y) {
    wayland.pointerOutput = outputOf(surface);
    placePointer(x, y);
    feed(MouseMessage::Move);
}

// While a button of ours is held the compositor's grab keeps the pointer here, so a
// leave during a drag means the release will never come: KWin drops it when the
// press fell on an overlay being replaced. End the drag as that release would.
void pointerLeave(void*, wl_pointer*, uint32_t, wl_surface*) {
    endDragAsRelease();
    wayland.pointerOutput = nullptr;
}

void pointerMotion(void*, wl_pointer*, uint32_t, wl_fixed_t x, wl_fixed_t y) {
    placePointer(x, y);
    feed(MouseMessage::Move);
}

void pointerButton(void*, wl_pointer*, uint32_t, uint32_t, uint32_t button, uint32_t state) {
    const bool pressed = state == WL_POINTER_BUTTON_STATE_PRESSED;
    switch (button) {
    case BTN_LEFT:
        if (pressed && !dragHolds()) heldRelease = MouseMessage::LeftUp;
        feed(pressed ? MouseMessage::LeftDown : MouseMessage::LeftUp);
        break;
    case BTN_RIGHT:
        if (pressed && !dragHolds()) heldRelease = MouseMessage::RightUp;
        feed(pressed ? MouseMessage::RightDown : MouseMessage::RightUp);
        break;
    default:
        feed(MouseMessage::Other);
        break;
    }
}

void pointerAxis(void*, wl_pointer*, uint32_t, uint32_t, wl_fixed_t) {
    feed(MouseMessage::Other);
}

void pointerFrame(void*, wl_pointer*) {}
void pointerAxisSource(void*, wl_pointer*, uint32_t) {}
void pointerAxisStop(void*, wl_pointer*, uint32_t, uint32_t) {}
void pointerAxisDiscrete(void*, wl_pointer*, uint32_t, int32_t) {}
void pointerAxisValue120(void*, wl_pointer*, uint32_t, int32_t) {}

const wl_pointer_listener pointerListener = {
    .enter = pointerEnter,
    .leave = pointerLeave,
    .motion = pointerMotion,
    .button = pointerButton,
    .axis = pointerAxis,
    .frame = pointerFrame,
    .axis_source = pointerAxisSource,
    .axis_stop = pointerAxisStop,
    .axis_discrete = pointerAxisDiscrete,
    .axis_value120 = pointerAxisValue120,
#ifdef WL_POINTER_AXIS_RELATIVE_DIRECTION_SINCE_VERSION  // libwayland 1.23 lists a later event, never sent below seat 9
    .axis_relative_direction = nullptr,
#endif
};

//------------------------------------------------------------------------------
// The keymap tells which key is Escape; a keymap that cannot be read leaves none.
void keyboardKeymap(void*, wl_keyboard*, uint32_t format, int32_t fd, uint32_t size) {
    if (format != WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1) {
        close(fd);
        return;
    }
    void* text = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    close(fd);
    if (text == MAP_FAILED) {
        return;
    }
    xkb_keymap* keymap = xkb_keymap_new_from_string(wayland.xkb, static_cast<const char*>(text),
                                                    XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS);
    munmap(text, size);
    if (keymap == nullptr) {
        return;
    }
    xkb_state_unref(wayland.keyState);
    xkb_keymap_unref(wayland.keymap);
    wayland.keymap = keymap;
    wayland.keyState = xkb_state_new(keymap);
}

void keyboardEnter(void*, wl_keyboard*, uint32_t, wl_surface* surface, wl_array*) {
    wayland.keyboardFocus = outputOf(surface);
}

// Losing the keyboard with Escape down loses its release too: end now.
void keyboardLeave(void*, wl_keyboard*, uint32_t, wl_surface*) {
    wayland.keyboardFocus = nullptr;
    if (wayland.escapeHeld) {
        endLoop(0);
    }
}

// Escape ends the toy at its release, so that the whole keystroke stays here: ended
// at the press, the window beneath would get the keyboard back with Escape still
// down and then its release. Every other key is ignored.
void keyboardKey(void*, wl_keyboard*, uint32_t, uint32_t, uint32_t key, uint32_t state) {
    // Wayland sends evdev codes; xkb's are 8 higher.
    if (wayland.keyState == nullptr || xkb_state_key_get_one_sym(wayland.keyState, key + 8) != XKB_KEY_Escape) {
        return;
    }
    if (state == WL_KEYBOARD_KEY_STATE_PRESSED) {
        wayland.escapeHeld = true;
        followDragWithKeyboard();
    } else if (wayland.escapeHeld) {
        endLoop(0);
    }
}

void keyboardModifiers(void*, wl_keyboard*, uint32_t, uint32_t depressed, uint32_t latched, uint32_t locked,
                       uint32_t group) {
    if (wayland.keyState != nullptr) {
        xkb_state_update_mask(wayland.keyState, depressed, latched, locked, 0, 0, group);
    }
}

void keyboardRepeatInfo(void*, wl_keyboard*, int32_t, int32_t) {}

const wl_keyboard_listener keyboardListener = {
    .keymap = keyboardKeymap,
    .enter = keyboardEnter,
    .leave = keyboardLeave,
    .key = keyboardKey,
    .modifiers = keyboardModifiers,
    .repeat_info = keyboardRepeatInfo,
};

//------------------------------------------------------------------------------
void seatCapabilities(void*, wl_seat* seat, uint32_t capabilities) {
    const bool hasPointer = (capabilities & WL_SEAT_CAPABILITY_POINTER) != 0;
    if (hasPointer && wayland.pointer == nullptr) {
        wayland.pointer = wl_seat_get_pointer(seat);
        wl_pointer_add_listener(wayland.pointer, &pointerListener, nullptr);
    } else if (!hasPointer && wayland.pointer != nullptr) {
        wl_pointer_release(wayland.pointer);  // seats are bound from version 3
        wayland.pointer = nullptr;
    }
    const bool hasKeyboard = (capabilities & WL_SEAT_CAPABILITY_KEYBOARD) != 0;
    if (hasKeyboard && wayland.keyboard == nullptr) {
        wayland.keyboard = wl_seat_get_keyboard(seat);
        wl_keyboard_add_listener(wayland.keyboard, &keyboardListener, nullptr);
    } else if (!hasKeyboard && wayland.keyboard != nullptr) {
        wl_keyboard_release(wayland.keyboard);
        wayland.keyboard = nullptr;
    }
}

void seatName(void*, wl_seat*, const char*) {}

const wl_seat_listener seatListener = {
    .capabilities = seatCapabilities,
    .name = seatName,
};

}  // namespace

//------------------------------------------------------------------------------
void endDragAsRelease() {
    if (dragHolds()) {
        feed(heldRelease);
    }
}

void letGoOfOutput(OutputView& view) {
    if (wayland.pointerOutput == &view) {
        endDragAsRelease();
        wayland.pointerOutput = nullptr;
    }
    if (wayland.keyboardTaken == &view) wayland.keyboardTaken = nullptr;
    if (wayland.keyboardFocus == &view) wayland.keyboardFocus = nullptr;
}

//------------------------------------------------------------------------------
void listenToSeat(wl_seat* seat) {
    wl_seat_add_listener(seat, &seatListener, nullptr);
}
