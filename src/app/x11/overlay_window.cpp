#include "app/x11/overlay_window.h"

#include <X11/Xutil.h>
#include <X11/extensions/shape.h>

#include "app/x11/shm_image.h"
#include "app/x11/x11_state.h"

//------------------------------------------------------------------------------
// A 32-bit TrueColor visual lays its pixels out as blue, green, red, alpha in
// memory, as the surface does, and lets a compositor blend by the alpha.
void chooseVisual() {
    XVisualInfo info{};
    if (XMatchVisualInfo(x11.display, x11.screen, 32, TrueColor, &info) && info.red_mask == 0xff0000 &&
        info.green_mask == 0x00ff00 && info.blue_mask == 0x0000ff) {
        x11.visual = info.visual;
        x11.depth = 32;
        x11.colormap = XCreateColormap(x11.display, x11.root, info.visual, AllocNone);
    } else {
        x11.visual = DefaultVisual(x11.display, x11.screen);
        x11.depth = DefaultDepth(x11.display, x11.screen);
        x11.colormap = 0;
    }
}

//------------------------------------------------------------------------------
// Over the whole root window, unmapped, with both shapes empty until the first
// picture sets them. It asks for pointer events only (the input shape limits
// where); keys come from the root (escape_key.cpp). No exposures: every change of
// the bounding shape would send one for the pixels that a present puts anyway;
// the one way to lose pixels, another window over ours, ends in a raise that puts
// the whole picture again.
void createOverlayWindow() {
    const int width = DisplayWidth(x11.display, x11.screen);
    const int height = DisplayHeight(x11.display, x11.screen);
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.background_pixmap = None;
    attributes.border_pixel = 0;
    attributes.event_mask = ButtonPressMask | ButtonReleaseMask | PointerMotionMask;
    unsigned long mask = CWOverrideRedirect | CWBackPixmap | CWBorderPixel | CWEventMask;
    if (x11.colormap != 0) {
        attributes.colormap = x11.colormap;
        mask |= CWColormap;
    }
    x11.window = XCreateWindow(x11.display, x11.root, 0, 0, static_cast<unsigned>(width),
                               static_cast<unsigned>(height), 0, x11.depth, InputOutput, x11.visual, mask,
                               &attributes);
    XStoreName(x11.display, x11.window, "Zimblet");
    XClassHint classHint{const_cast<char*>("zimblet"), const_cast<char*>("Zimblet")};
    XSetClassHint(x11.display, x11.window, &classHint);
    XWMHints hints{};
    hints.flags = InputHint;
    hints.input = False;
    XSetWMHints(x11.display, x11.window, &hints);

    XShapeCombineRectangles(x11.display, x11.window, ShapeBounding, 0, 0, nullptr, 0, ShapeSet, Unsorted);
    XShapeCombineRectangles(x11.display, x11.window, ShapeInput, 0, 0, nullptr, 0, ShapeSet, Unsorted);
    x11.gc = XCreateGC(x11.display, x11.window, 0, nullptr);
}

//------------------------------------------------------------------------------
// Maps the window on top and starts watching the root for windows stacked over it
// and for changes of its own size.
void mapOverlayWindow() {
    XSelectInput(x11.display, x11.root, SubstructureNotifyMask | StructureNotifyMask);
    XMapRaised(x11.display, x11.window);
    x11.mapped = true;
    putSurfaceRect(PixelRect{0, 0, x11.picture.logical.width, x11.picture.logical.height});
    XFlush(x11.display);
}

//------------------------------------------------------------------------------
// Another top-level window was mapped, restacked, moved or circulated to the top:
// raise ours again and put back what it may have covered. Our own raise reports
// on our window and is left alone.
void raiseAboveOthers(const XEvent& event) {
    Window moved = 0;
    switch (event.type) {
    case ConfigureNotify:
        if (event.xconfigure.event != x11.root) return;
        moved = event.xconfigure.window;
        break;
    case MapNotify:
        if (event.xmap.event != x11.root) return;
        moved = event.xmap.window;
        break;
    case CirculateNotify:
        if (event.xcirculate.event != x11.root || event.xcirculate.place != PlaceOnTop) return;
        moved = event.xcirculate.window;
        break;
    default:
        return;
    }
    if (moved != x11.window) {
        XRaiseWindow(x11.display, x11.window);
        putSurfaceRect(PixelRect{0, 0, x11.picture.logical.width, x11.picture.logical.height});
    }
}
