#include "app/x11/shm_image.h"

#include <X11/Xutil.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstdlib>
#include <cstring>

#include "app/linux_common/report.h"
#include "app/x11/x11_errors.h"
#include "app/x11/x11_state.h"

namespace {

// MIT-SHM only works when the server shares our memory: not on a remote display.
bool displayIsLocal() {
    const char* name = DisplayString(x11.display);
    return name[0] == ':' || std::strncmp(name, "unix:", 5) == 0;
}

bool createSharedImage(int width, int height) {
    if (!displayIsLocal() || !XShmQueryExtension(x11.display)) return false;
    x11.image = XShmCreateImage(x11.display, x11.visual, static_cast<unsigned>(x11.depth), ZPixmap, nullptr,
                                &x11.shm, static_cast<unsigned>(width), static_cast<unsigned>(height));
    if (x11.image == nullptr) return false;
    const std::size_t bytes = static_cast<std::size_t>(x11.image->bytes_per_line) * static_cast<std::size_t>(height);
    x11.shm.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (x11.shm.shmid >= 0) {
        x11.shm.shmaddr = static_cast<char*>(shmat(x11.shm.shmid, nullptr, 0));
        if (x11.shm.shmaddr == reinterpret_cast<char*>(-1)) x11.shm.shmaddr = nullptr;
    }
    if (x11.shm.shmaddr != nullptr) {
        x11.image->data = x11.shm.shmaddr;
        x11.shm.readOnly = False;
        syncAndTakeError(x11.display);
        XShmAttach(x11.display, &x11.shm);
        x11.usesShm = syncAndTakeError(x11.display) == 0;
    }
    if (x11.shm.shmid >= 0) shmctl(x11.shm.shmid, IPC_RMID, nullptr);  // gone once both sides detach
    if (!x11.usesShm) {
        if (x11.shm.shmaddr != nullptr) shmdt(x11.shm.shmaddr);
        x11.shm = XShmSegmentInfo{};
        x11.image->data = nullptr;
        XDestroyImage(x11.image);
        x11.image = nullptr;
    }
    return x11.usesShm;
}

bool createPlainImage(int width, int height) {
    void* memory = std::calloc(static_cast<std::size_t>(width) * 4, static_cast<std::size_t>(height));
    if (memory == nullptr) return false;
    x11.image = XCreateImage(x11.display, x11.visual, static_cast<unsigned>(x11.depth), ZPixmap, 0,
                             static_cast<char*>(memory), static_cast<unsigned>(width), static_cast<unsigned>(height),
                             32, width * 4);
    if (x11.image == nullptr) {
        std::free(memory);
        return false;
    }
    return true;
}

}  // namespace

//------------------------------------------------------------------------------
// The screen-sized image, 32 bits a pixel with rows of exactly width * 4 bytes,
// and the surface over it: the image itself at 1:1, else our own of the screen's
// size / N (rounded down).
bool createSurfaceImage() {
    const int width = DisplayWidth(x11.display, x11.screen);
    const int height = DisplayHeight(x11.display, x11.screen);
    if (!createSharedImage(width, height) && !createPlainImage(width, height)) {
        report("cannot allocate the %dx%d drawing surface (%lld MiB)", width, height,
               static_cast<long long>(width) * height * 4 / (1024 * 1024));
        return false;
    }
    if (x11.image->bits_per_pixel != 32 || x11.image->bytes_per_line != 4 * width) {
        report("the display's %d-bit pixels do not fit the 32-bit drawing surface", x11.image->bits_per_pixel);
        destroySurfaceImage();
        return false;
    }
    std::memset(x11.image->data, 0, static_cast<std::size_t>(x11.image->bytes_per_line) * static_cast<std::size_t>(height));
    x11.imagePixels =
        SurfacePixels{width, height, x11.image->bytes_per_line, reinterpret_cast<uint8_t*>(x11.image->data)};
    if (!fitToDevice(x11.picture, x11.imagePixels, x11.scale)) {
        report("cannot allocate the %dx%d drawing surface", toLogical(width, x11.scale),
               toLogical(height, x11.scale));
        destroySurfaceImage();
        return false;
    }
    return true;
}

//------------------------------------------------------------------------------
void destroySurfaceImage() {
    releasePicture(x11.picture);
    if (x11.image == nullptr) return;
    if (x11.usesShm) {
        XShmDetach(x11.display, &x11.shm);
        XSync(x11.display, False);
        shmdt(x11.shm.shmaddr);
        x11.image->data = nullptr;
    }
    XDestroyImage(x11.image);  // frees our own memory with it
    x11.image = nullptr;
    x11.imagePixels = SurfacePixels{};
    // The next image, at a new root size, starts with no segment of its own yet.
    x11.shm = XShmSegmentInfo{};
    x11.usesShm = false;
}

//------------------------------------------------------------------------------
// A scaled surface's rectangle into the image, as blocks; at 1:1 the surface is
// the image already.
void bringToImage(const PixelRect& rect) {
    bringToDevice(x11.picture, rect, x11.imagePixels, x11.scale);
}

//------------------------------------------------------------------------------
// Brings the image's pixels under one rectangle of the surface to the window;
// nothing while it is unmapped.
void putSurfaceRect(const PixelRect& rect) {
    const PixelRect clipped =
        intersectionOf(toDevice(rect, x11.scale), PixelRect{0, 0, x11.imagePixels.width, x11.imagePixels.height});
    if (!x11.mapped || clipped.empty()) return;
    const auto width = static_cast<unsigned>(clipped.width());
    const auto height = static_cast<unsigned>(clipped.height());
    if (x11.usesShm) {
        XShmPutImage(x11.display, x11.window, x11.gc, x11.image, clipped.left, clipped.top, clipped.left, clipped.top,
                     width, height, False);
    } else {
        XPutImage(x11.display, x11.window, x11.gc, x11.image, clipped.left, clipped.top, clipped.left, clipped.top,
                  width, height);
    }
}
