// The window beneath the bricks in the X11 end-to-end runs: a plain window over
// the whole screen in one colour that takes the keyboard and logs every button,
// wheel notch and key it receives, one flushed line each.
// usage: underneath_x11 LOG_FILE R G B [grab-escape]
//        (grab-escape: first grab Escape without modifiers on the root, as another
//        program's shortcut would, so the toy's own grab of it is refused)
//        underneath_x11 --compositor   (prints the owner of the compositing-manager selection, 0 for none)

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--compositor") == 0) {
        Display* display = XOpenDisplay(nullptr);
        if (display == nullptr) return 1;
        std::printf("%lu\n", XGetSelectionOwner(display, XInternAtom(display, "_NET_WM_CM_S0", False)));
        return 0;
    }
    if (argc != 5 && !(argc == 6 && std::strcmp(argv[5], "grab-escape") == 0)) return 2;
    FILE* log = std::fopen(argv[1], "w");
    Display* display = XOpenDisplay(nullptr);
    if (log == nullptr || display == nullptr) return 1;
    const int screen = DefaultScreen(display);
    const int width = DisplayWidth(display, screen), height = DisplayHeight(display, screen);
    const unsigned long colour = (std::strtoul(argv[2], nullptr, 10) << 16) | (std::strtoul(argv[3], nullptr, 10) << 8) |
                                 std::strtoul(argv[4], nullptr, 10);
    const Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, width, height, 0, 0, colour);
    XStoreName(display, window, "underneath");
    if (argc == 6) {
        XGrabKey(display, XKeysymToKeycode(display, XK_Escape), 0, RootWindow(display, screen), False, GrabModeAsync,
                 GrabModeAsync);
    }
    XSelectInput(display, window, ExposureMask | ButtonPressMask | ButtonReleaseMask | KeyPressMask | StructureNotifyMask);
    XMapWindow(display, window);

    const char* names[] = {"", "l", "m", "r"};
    bool ready = false;
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        switch (event.type) {
        case Expose:
            if (!ready && event.xexpose.count == 0) {
                XSetInputFocus(display, window, RevertToPointerRoot, CurrentTime);
                XSync(display, False);
                std::fprintf(log, "ready %dx%d\n", width, height);
                ready = true;
            }
            break;
        case ButtonPress:
        case ButtonRelease: {
            const unsigned button = event.xbutton.button;
            const bool press = event.type == ButtonPress;
            if (button <= 3) {
                std::fprintf(log, "%sbutton%s %d %d\n", names[button], press ? "down" : "up", event.xbutton.x,
                             event.xbutton.y);
            } else if (press && (button == 4 || button == 5)) {
                std::fprintf(log, "mousewheel %d %d %d\n", event.xbutton.x, event.xbutton.y, button == 4 ? 120 : -120);
            }
            break;
        }
        case KeyPress: {
            char text[8] = {};
            KeySym keysym = 0;
            const int length = XLookupString(&event.xkey, text, sizeof text - 1, &keysym, nullptr);
            std::fprintf(log, "keydown %s state %u\n", XKeysymToString(keysym) ? XKeysymToString(keysym) : "?",
                         event.xkey.state);
            if (length == 1) std::fprintf(log, "char %d\n", static_cast<unsigned char>(text[0]));
            break;
        }
        default:
            break;
        }
        std::fflush(log);
    }
}
