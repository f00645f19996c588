// The application beneath the toy on a Wayland desktop: a maximized xdg-shell window
// in one colour that logs every button, wheel turn, key and keyboard focus change it
// receives to a file, one flushed line each, in the words of the Windows harness's
// application ("lbuttondown X Y", "mousewheel X Y 120", "keydown Escape", ...).
//
// usage: underneath_window LOG_FILE

#include <linux/input-event-codes.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "xdg-shell-client-protocol.h"

namespace {

constexpr uint32_t colour = 0xFF206080;  // RGB 32, 96, 128

struct Window {
    wl_display* display = nullptr;
    wl_compositor* compositor = nullptr;
    wl_shm* shm = nullptr;
    wl_seat* seat = nullptr;
    xdg_wm_base* wmBase = nullptr;
    wl_surface* surface = nullptr;
    xkb_context* xkb = nullptr;
    xkb_state* keyState = nullptr;
    std::FILE* log = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t shownWidth = 0;  // the size of the buffer last attached
    int32_t shownHeight = 0;
    int pointerX = 0;
    int pointerY = 0;
} window;

void logLine(const char* format, int a = 0, int b = 0) {
    std::fprintf(window.log, format, a, b);
    std::fputc('\n', window.log);
    std::fflush(window.log);
}

void die(const char* message) {
    std::fprintf(stderr, "underneath_window: %s\n", message);
    std::exit(1);
}

void showColour(int32_t width, int32_t height) {
    const int32_t stride = width * 4;
    const std::size_t size = static_cast<std::size_t>(stride) * height;
    const int fd = memfd_create("window", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, static_cast<off_t>(size)) < 0) die("no buffer memory");
    auto* pixels = static_cast<uint32_t*>(mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0));
    for (std::size_t i = 0; i < size / 4; ++i) pixels[i] = colour;
    wl_shm_pool* pool = wl_shm_create_pool(window.shm, fd, static_cast<int32_t>(size));
    wl_buffer* buffer = wl_shm_pool_create_buffer(pool, 0, width, height, stride, WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    wl_surface_attach(window.surface, buffer, 0, 0);
    wl_surface_damage_buffer(window.surface, 0, 0, width, height);
    wl_surface_commit(window.surface);
}

//------------------------------------------------------------------------------
void pointerEnter(void*, wl_pointer*, uint32_t, wl_surface*, wl_fixed_t x, wl_fixed_t y) {
    window.pointerX = wl_fixed_to_int(x);
    window.pointerY = wl_fixed_to_int(y);
}
void pointerLeave(void*, wl_pointer*, uint32_t, wl_surface*) {}
void pointerMotion(void*, wl_pointer*, uint32_t, wl_fixed_t x, wl_fixed_t y) {
    window.pointerX = wl_fixed_to_int(x);
    window.pointerY = wl_fixed_to_int(y);
}
void pointerButton(void*, wl_pointer*, uint32_t, uint32_t, uint32_t button, uint32_t state) {
    const char* name = button == BTN_LEFT ? "l" : button == BTN_RIGHT ? "r" : button == BTN_MIDDLE ? "m" : "x";
    char format[32];
    std::snprintf(format, sizeof format, "%sbutton%s %%d %%d", name,
                  state == WL_POINTER_BUTTON_STATE_PRESSED ? "down" : "up");
    logLine(format, window.pointerX, window.pointerY);
}
void pointerAxis(void*, wl_pointer*, uint32_t, uint32_t axis, wl_fixed_t value) {
    if (axis == WL_POINTER_AXIS_VERTICAL_SCROLL) {
        // Away from the user is a negative value here and +120 on Windows.
        logLine(value < 0 ? "mousewheel %d %d 120" : "mousewheel %d %d -120", window.pointerX, window.pointerY);
    }
}
void pointerFrame(void*, wl_pointer*) {}
void pointerAxisSource(void*, wl_pointer*, uint32_t) {}
void pointerAxisStop(void*, wl_pointer*, uint32_t, uint32_t) {}
void pointerAxisDiscrete(void*, wl_pointer*, uint32_t, int32_t) {}
const wl_pointer_listener pointerListener = {pointerEnter, pointerLeave, pointerMotion, pointerButton, pointerAxis,
                                             pointerFrame, pointerAxisSource, pointerAxisStop, pointerAxisDiscrete,
                                             nullptr};

void keyboardKeymap(void*, wl_keyboard*, uint32_t, int32_t fd, uint32_t size) {
    void* text = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    close(fd);
    if (text == MAP_FAILED) die("cannot read the keymap");
    xkb_keymap* keymap = xkb_keymap_new_from_string(window.xkb, static_cast<const char*>(text),
                                                    XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS);
    munmap(text, size);
    if (keymap == nullptr) die("unreadable keymap");
    window.keyState = xkb_state_new(keymap);
}
void keyboardEnter(void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*) { logLine("kbenter"); }
void keyboardLeave(void*, wl_keyboard*, uint32_t, wl_surface*) { logLine("kbleave"); }
void keyboardKey(void*, wl_keyboard*, uint32_t, uint32_t, uint32_t key, uint32_t state) {
    char name[64] = "?";
    if (window.keyState != nullptr) {
        xkb_keysym_get_name(xkb_state_key_get_one_sym(window.keyState, key + 8), name, sizeof name);
    }
    char format[96];
    std::snprintf(format, sizeof format, "key%s %s", state == WL_KEYBOARD_KEY_STATE_PRESSED ? "down" : "up", name);
    logLine(format);
}
void keyboardModifiers(void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {}
void keyboardRepeatInfo(void*, wl_keyboard*, int32_t, int32_t) {}
const wl_keyboard_listener keyboardListener = {keyboardKeymap, keyboardEnter, keyboardLeave, keyboardKey,
                                               keyboardModifiers, keyboardRepeatInfo};

void seatCapabilities(void*, wl_seat* seat, uint32_t capabilities) {
    static wl_pointer* pointer = nullptr;
    static wl_keyboard* keyboard = nullptr;
    if ((capabilities & WL_SEAT_CAPABILITY_POINTER) != 0 && pointer == nullptr) {
        pointer = wl_seat_get_pointer(seat);
        wl_pointer_add_listener(pointer, &pointerListener, nullptr);
    }
    if ((capabilities & WL_SEAT_CAPABILITY_KEYBOARD) != 0 && keyboard == nullptr) {
        keyboard = wl_seat_get_keyboard(seat);
        wl_keyboard_add_listener(keyboard, &keyboardListener, nullptr);
    }
}
void seatName(void*, wl_seat*, const char*) {}
const wl_seat_listener seatListener = {seatCapabilities, seatName};

//------------------------------------------------------------------------------
void wmBasePing(void*, xdg_wm_base* base, uint32_t serial) { xdg_wm_base_pong(base, serial); }
const xdg_wm_base_listener wmBaseListener = {wmBasePing};

void toplevelConfigure(void*, xdg_toplevel*, int32_t width, int32_t height, wl_array*) {
    if (width > 0 && height > 0) {
        window.width = width;
        window.height = height;
    }
}
void toplevelClose(void*, xdg_toplevel*) { std::exit(0); }
void toplevelBounds(void*, xdg_toplevel*, int32_t, int32_t) {}
void toplevelCapabilities(void*, xdg_toplevel*, wl_array*) {}
const xdg_toplevel_listener toplevelListener = {toplevelConfigure, toplevelClose, toplevelBounds,
                                                toplevelCapabilities};

// Until the compositor names a size, a small buffer maps the window so that it does.
void surfaceConfigure(void*, xdg_surface* surface, uint32_t serial) {
    xdg_surface_ack_configure(surface, serial);
    const int32_t width = window.width > 0 ? window.width : 64;
    const int32_t height = window.height > 0 ? window.height : 64;
    if (width != window.shownWidth || height != window.shownHeight) {
        showColour(width, height);
        window.shownWidth = width;
        window.shownHeight = height;
    }
}
const xdg_surface_listener surfaceListener = {surfaceConfigure};

void global(void*, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
    if (std::strcmp(interface, wl_compositor_interface.name) == 0) {
        window.compositor = static_cast<wl_compositor*>(wl_registry_bind(registry, name, &wl_compositor_interface, 4));
    } else if (std::strcmp(interface, wl_shm_interface.name) == 0) {
        window.shm = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
    } else if (std::strcmp(interface, wl_seat_interface.name) == 0 && window.seat == nullptr) {
        window.seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 5));
        wl_seat_add_listener(window.seat, &seatListener, nullptr);
    } else if (std::strcmp(interface, xdg_wm_base_interface.name) == 0) {
        window.wmBase = static_cast<xdg_wm_base*>(wl_registry_bind(registry, name, &xdg_wm_base_interface, 1));
        xdg_wm_base_add_listener(window.wmBase, &wmBaseListener, nullptr);
    }
}
void globalRemove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener registryListener = {global, globalRemove};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: underneath_window LOG_FILE\n");
        return 2;
    }
    window.log = std::fopen(argv[1], "a");
    if (window.log == nullptr) die("cannot open the log");
    window.display = wl_display_connect(nullptr);
    if (window.display == nullptr) die("cannot connect to the compositor");
    window.xkb = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    wl_registry_add_listener(wl_display_get_registry(window.display), &registryListener, nullptr);
    wl_display_roundtrip(window.display);
    if (window.compositor == nullptr || window.shm == nullptr || window.wmBase == nullptr) die("missing globals");

    window.surface = wl_compositor_create_surface(window.compositor);
    xdg_surface* surface = xdg_wm_base_get_xdg_surface(window.wmBase, window.surface);
    xdg_surface_add_listener(surface, &surfaceListener, nullptr);
    xdg_toplevel* toplevel = xdg_surface_get_toplevel(surface);
    xdg_toplevel_add_listener(toplevel, &toplevelListener, nullptr);
    xdg_toplevel_set_title(toplevel, "underneath");
    xdg_toplevel_set_maximized(toplevel);
    wl_surface_commit(window.surface);
    while (window.width == 0 || window.shownWidth != window.width || window.shownHeight != window.height) {
        if (wl_display_dispatch(window.display) < 0) die("lost the compositor");
    }
    wl_display_roundtrip(window.display);
    logLine("ready %dx%d", window.width, window.height);
    while (wl_display_dispatch(window.display) >= 0) {
    }
    return 0;
}
