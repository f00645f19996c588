// One virtual pointer on a wlroots compositor for a whole end-to-end run (a second
// one, made after the first ended, moved nothing in sway 1.7). Reads lines from
// stdin: `move X Y W H` (absolute, in a layout of W x H), `down|up left|right|middle`,
// `wheel 4|5` (away from the user, towards them); sends each with a frame and answers
// `ok` once the compositor has handled it.
#include <linux/input-event-codes.h>
#include <wayland-client.h>

#include <cstdio>
#include <cstring>
#include <ctime>

#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

namespace {

zwlr_virtual_pointer_manager_v1* manager = nullptr;
wl_seat* seat = nullptr;

void global(void*, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
    if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0) {
        manager = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
    } else if (std::strcmp(interface, wl_seat_interface.name) == 0 && seat == nullptr) {
        seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    }
}

void globalRemove(void*, wl_registry*, uint32_t) {}

const wl_registry_listener registryListener = {.global = global, .global_remove = globalRemove};

uint32_t milliseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint32_t>(now.tv_sec * 1000 + now.tv_nsec / 1000000);
}

}  // namespace

int main() {
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) return 1;
    wl_registry_add_listener(wl_display_get_registry(display), &registryListener, nullptr);
    wl_display_roundtrip(display);
    if (manager == nullptr) {
        std::fputs("virtual_pointer: the compositor offers no virtual pointer\n", stderr);
        return 1;
    }
    zwlr_virtual_pointer_v1* pointer = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(manager, seat);
    char line[128], verb[16], which[16];
    unsigned x = 0, y = 0, width = 0, height = 0;
    int notch = 0;
    while (std::fgets(line, sizeof line, stdin) != nullptr) {
        if (std::sscanf(line, "move %u %u %u %u", &x, &y, &width, &height) == 4) {
            // The pixel's centre, so that the compositor's rounding lands on the pixel.
            zwlr_virtual_pointer_v1_motion_absolute(pointer, milliseconds(), 2 * x + 1, 2 * y + 1, 2 * width,
                                                    2 * height);
        } else if (std::sscanf(line, "wheel %d", &notch) == 1) {
            const int direction = notch == 4 ? -1 : 1;
            zwlr_virtual_pointer_v1_axis_source(pointer, WL_POINTER_AXIS_SOURCE_WHEEL);
            zwlr_virtual_pointer_v1_axis_discrete(pointer, milliseconds(), WL_POINTER_AXIS_VERTICAL_SCROLL,
                                                  wl_fixed_from_int(15 * direction), direction);
        } else if (std::sscanf(line, "%15s %15s", verb, which) == 2) {
            const uint32_t button = which[0] == 'l' ? BTN_LEFT : which[0] == 'r' ? BTN_RIGHT : BTN_MIDDLE;
            zwlr_virtual_pointer_v1_button(pointer, milliseconds(), button,
                                           std::strcmp(verb, "down") == 0 ? WL_POINTER_BUTTON_STATE_PRESSED
                                                                          : WL_POINTER_BUTTON_STATE_RELEASED);
        }
        zwlr_virtual_pointer_v1_frame(pointer);
        if (wl_display_roundtrip(display) < 0) return 1;
        std::puts("ok");
        std::fflush(stdout);
    }
    return 0;
}
