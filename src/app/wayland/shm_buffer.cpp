#include "app/wayland/shm_buffer.h"

#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

namespace {

void handleRelease(void* data, wl_buffer*) {
    static_cast<ShmBuffer*>(data)->busy = false;
}

const wl_buffer_listener bufferListener = {.release = handleRelease};

}  // namespace

//------------------------------------------------------------------------------
bool createShmBuffer(ShmBuffer& buffer, wl_shm* shm, int32_t width, int32_t height, int32_t stride) {
    buffer.stride = stride;
    buffer.size = static_cast<std::size_t>(stride) * static_cast<std::size_t>(height);
    const int fd = memfd_create("zimblet-buffer", MFD_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    if (ftruncate(fd, static_cast<off_t>(buffer.size)) < 0) {
        close(fd);
        return false;
    }
    void* memory = mmap(nullptr, buffer.size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (memory == MAP_FAILED) {
        close(fd);
        return false;
    }
    wl_shm_pool* pool = wl_shm_create_pool(shm, fd, static_cast<int32_t>(buffer.size));
    buffer.buffer = wl_shm_pool_create_buffer(pool, 0, width, height, stride, WL_SHM_FORMAT_ARGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    buffer.pixels = static_cast<uint8_t*>(memory);
    buffer.busy = false;
    buffer.stale = PixelRect{0, 0, width, height};
    wl_buffer_add_listener(buffer.buffer, &bufferListener, &buffer);
    return true;
}

//------------------------------------------------------------------------------
void destroyShmBuffer(ShmBuffer& buffer) {
    if (buffer.buffer != nullptr) {
        wl_buffer_destroy(buffer.buffer);
        munmap(buffer.pixels, buffer.size);
    }
    buffer = ShmBuffer{};
}

