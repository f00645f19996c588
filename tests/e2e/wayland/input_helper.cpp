// The test's hands on a Wayland desktop: a virtual pointer and keyboard that play the
// commands read from stdin and answer "ok" once the compositor has seen them (after
// a roundtrip), so the harness waits on the answer, never on the clock. Works with
// the wlroots virtual-pointer and virtual-keyboard protocols (sway) or KWin's
// org_kde_kwin_fake_input.
//
//   move X Y        pointer to X,Y of the output (absolute)
//   down|up BUTTON  left, right or middle
//   wheel           one notch away from the user
//   key NAME        press and release: Escape, a, b, z
//   press|release NAME  only the one half

#include <linux/input-event-codes.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "fake-input-client-protocol.h"
#include "virtual-keyboard-unstable-v1-client-protocol.h"
#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

namespace {

struct Hands {
    wl_display* display = nullptr;
    wl_seat* seat = nullptr;
    zwlr_virtual_pointer_manager_v1* pointerManager = nullptr;
    zwp_virtual_keyboard_manager_v1* keyboardManager = nullptr;
    org_kde_kwin_fake_input* fakeInput = nullptr;
    zwlr_virtual_pointer_v1* pointer = nullptr;
    zwp_virtual_keyboard_v1* keyboard = nullptr;
    uint32_t width = 0;
    uint32_t height = 0;
} hands;

void die(const char* message) {
    std::fprintf(stderr, "input_helper: %s\n", message);
    std::exit(1);
}

uint32_t now() {
    timespec time{};
    clock_gettime(CLOCK_MONOTONIC, &time);
    return static_cast<uint32_t>(time.tv_sec * 1000 + time.tv_nsec / 1000000);
}

void global(void*, wl_registry* registry, uint32_t name, const char* interface, uint32_t version) {
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && hands.seat == nullptr) {
        hands.seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    } else if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0) {
        hands.pointerManager = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
    } else if (std::strcmp(interface, zwp_virtual_keyboard_manager_v1_interface.name) == 0) {
        hands.keyboardManager = static_cast<zwp_virtual_keyboard_manager_v1*>(
            wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1));
    } else if (std::strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0 && version >= 4) {
        hands.fakeInput = static_cast<org_kde_kwin_fake_input*>(
            wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 4));
    }
}

void globalRemove(void*, wl_registry*, uint32_t) {}

const wl_registry_listener registryListener = {.global = global, .global_remove = globalRemove};

// The virtual keyboard needs a keymap before its first key: the default one.
void uploadKeymap() {
    xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    xkb_keymap* keymap = xkb_keymap_new_from_names(context, nullptr, XKB_KEYMAP_COMPILE_NO_FLAGS);
    if (keymap == nullptr) die("no default keymap");
    char* text = xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1);
    const std::size_t size = std::strlen(text) + 1;
    const int fd = memfd_create("keymap", MFD_CLOEXEC);
    if (fd < 0 || write(fd, text, size) != static_cast<ssize_t>(size)) die("cannot write the keymap");
    zwp_virtual_keyboard_v1_keymap(hands.keyboard, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd, static_cast<uint32_t>(size));
    close(fd);
    std::free(text);
}

uint32_t buttonCode(const char* name) {
    if (std::strcmp(name, "left") == 0) return BTN_LEFT;
    if (std::strcmp(name, "right") == 0) return BTN_RIGHT;
    if (std::strcmp(name, "middle") == 0) return BTN_MIDDLE;
    die("unknown button");
    return 0;
}

uint32_t keyCode(const char* name) {
    static const struct { const char* name; uint32_t code; } keys[] = {
        {"Escape", KEY_ESC}, {"a", KEY_A}, {"b", KEY_B}, {"z", KEY_Z}};
    for (const auto& key : keys) {
        if (std::strcmp(name, key.name) == 0) return key.code;
    }
    die("unknown key");
    return 0;
}

void move(double x, double y) {
    if (hands.fakeInput != nullptr) {
        org_kde_kwin_fake_input_pointer_motion_absolute(hands.fakeInput, wl_fixed_from_double(x), wl_fixed_from_double(y));
        return;
    }
    // Aimed at the pixel's centre: the compositor's x / width * width may come out a hair
    // short, and libwayland 1.23 truncates that to the pixel before.
    zwlr_virtual_pointer_v1_motion_absolute(hands.pointer, now(), static_cast<uint32_t>(2 * x + 1),
                                            static_cast<uint32_t>(2 * y + 1), 2 * hands.width, 2 * hands.height);
    zwlr_virtual_pointer_v1_frame(hands.pointer);
}

void button(uint32_t code, bool pressed) {
    if (hands.fakeInput != nullptr) {
        org_kde_kwin_fake_input_button(hands.fakeInput, code, pressed ? 1 : 0);
        return;
    }
    zwlr_virtual_pointer_v1_button(hands.pointer, now(), code,
                                   pressed ? WL_POINTER_BUTTON_STATE_PRESSED : WL_POINTER_BUTTON_STATE_RELEASED);
    zwlr_virtual_pointer_v1_frame(hands.pointer);
}

void wheel() {
    if (hands.fakeInput != nullptr) {
        org_kde_kwin_fake_input_axis(hands.fakeInput, WL_POINTER_AXIS_VERTICAL_SCROLL, wl_fixed_from_int(-15));
        return;
    }
    zwlr_virtual_pointer_v1_axis_source(hands.pointer, WL_POINTER_AXIS_SOURCE_WHEEL);
    zwlr_virtual_pointer_v1_axis_discrete(hands.pointer, now(), WL_POINTER_AXIS_VERTICAL_SCROLL,
                                          wl_fixed_from_int(-15), -1);
    zwlr_virtual_pointer_v1_frame(hands.pointer);
}

void key(uint32_t code, bool pressed) {
    if (hands.fakeInput != nullptr) {
        org_kde_kwin_fake_input_keyboard_key(hands.fakeInput, code, pressed ? 1 : 0);
        return;
    }
    zwp_virtual_keyboard_v1_key(hands.keyboard, now(), code,
                                pressed ? WL_KEYBOARD_KEY_STATE_PRESSED : WL_KEYBOARD_KEY_STATE_RELEASED);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 || std::sscanf(argv[1], "%u", &hands.width) != 1 || std::sscanf(argv[2], "%u", &hands.height) != 1) {
        std::fprintf(stderr, "usage: input_helper WIDTH HEIGHT < commands\n");
        return 2;
    }
    hands.display = wl_display_connect(nullptr);
    if (hands.display == nullptr) die("cannot connect to the compositor");
    wl_registry_add_listener(wl_display_get_registry(hands.display), &registryListener, nullptr);
    wl_display_roundtrip(hands.display);
    if (hands.fakeInput != nullptr) {
        org_kde_kwin_fake_input_authenticate(hands.fakeInput, "zimblet tests", "end-to-end input");
    } else if (hands.pointerManager != nullptr && hands.keyboardManager != nullptr && hands.seat != nullptr) {
        hands.pointer = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(hands.pointerManager, hands.seat);
        hands.keyboard = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(hands.keyboardManager, hands.seat);
        uploadKeymap();
    } else {
        die("the compositor offers neither virtual pointer and keyboard nor fake input");
    }
    if (wl_display_roundtrip(hands.display) < 0) die("the compositor refused the virtual devices");
    std::printf("ready\n");
    std::fflush(stdout);

    char line[128];
    while (std::fgets(line, sizeof line, stdin) != nullptr) {
        char verb[16] = "", what[16] = "";
        double x = 0, y = 0;
        if (std::sscanf(line, "move %lf %lf", &x, &y) == 2) {
            move(x, y);
        } else if (std::sscanf(line, "%15s %15s", verb, what) == 2 && std::strcmp(verb, "down") == 0) {
            button(buttonCode(what), true);
        } else if (std::strcmp(verb, "up") == 0) {
            button(buttonCode(what), false);
        } else if (std::strcmp(verb, "key") == 0) {
            key(keyCode(what), true);
            key(keyCode(what), false);
        } else if (std::strcmp(verb, "press") == 0 || std::strcmp(verb, "release") == 0) {
            key(keyCode(what), verb[0] == 'p');
        } else if (std::sscanf(line, "%15s", verb) == 1 && std::strcmp(verb, "wheel") == 0) {
            wheel();
        } else {
            die("unknown command");
        }
        if (wl_display_roundtrip(hands.display) < 0) die("lost the compositor");
        std::printf("ok\n");
        std::fflush(stdout);
    }
    return 0;
}
