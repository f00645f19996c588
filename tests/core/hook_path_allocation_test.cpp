// Every mouse event runs inside a system-wide hook: none of them may allocate,
// nor may the X11 host's work of bringing its window's shapes in step with each
// presented picture, when that host is built.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <new>

#include "interaction/drag_state.h"
#include "interaction/mouse_event.h"
#include "render/redraw.h"
#include "test_world.h"
#include "world/world.h"
#ifdef ZIMBLET_HAS_X11_SHAPES
#include "app/x11/shape_rects.h"
#endif

namespace {

bool counting = false;
long allocations = 0;

}  // namespace

// Both forms, or googletest's nothrow allocations would reach our delete from the
// library's new, which AddressSanitizer reports as a mismatch.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    if (counting) ++allocations;
    return std::malloc(size == 0 ? 1 : size);
}

void* operator new(std::size_t size) {
    if (void* memory = operator new(size, std::nothrow)) return memory;
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept {
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}

void operator delete(void* memory, const std::nothrow_t&) noexcept {
    std::free(memory);
}

namespace {

#ifdef ZIMBLET_HAS_X11_SHAPES
ShapeRects shapeRects;

// What the X11 host works out for each dirty rectangle of a new picture.
void shapePresent(const DirtyRegion& region) {
    for (int32_t i = 0; i < region.count; ++i) {
        shapeBand(memoryHost().surface, region.rects[i], shapeRects, [](const PixelRect&, ShapeRects&) {},
                  [](ShapeRects&) {});
    }
}
#endif

TEST(HookPath, DragsSnapsAttachesAndDetachesWithoutAllocating) {
    TestWorld world(1280, 1024);
    memoryHost().keepSoundText = false;
#ifdef ZIMBLET_HAS_X11_SHAPES
    reserveShapeRects(shapeRects, memoryHost().surface.width);
    memoryHost().presentStep = shapePresent;
#endif

    BrickUnit* lone = nullptr;
    for (BrickUnit* unit : World) {
        if (unit->left == nullptr && unit->right == nullptr) lone = unit;
    }
    ASSERT_NE(lone, nullptr);

    counting = true;
    long events = 0;
    // Sweep the grabbed brick over the whole world in slow steps, row by row, so it
    // overlaps, snaps and attaches on the way; pull it loose again with the right button.
    for (int32_t y = 0; y < 800; y += 25) {
        const MouseMessage press = (y / 25) % 2 == 0 ? MouseMessage::LeftDown : MouseMessage::RightDown;
        handleMouseEvent(press, lone->x + 2, lone->y + 2);
        for (int32_t x = -40; x < 1040; x += 6) {
            handleMouseEvent(MouseMessage::Move, x, y);
            ++events;
        }
        handleMouseEvent(MouseMessage::LeftUp, 0, 0);
        handleMouseEvent(MouseMessage::RightUp, 0, 0);
        events += 3;
    }
    counting = false;

    EXPECT_EQ(allocations, 0) << "over " << events << " events";
    EXPECT_GT(memoryHost().soundCount, 0) << "the sweep must attach something";
    std::printf("%ld events, %d sounds, %d redraws, %ld allocations\n", events, memoryHost().soundCount,
                memoryHost().presentCount, allocations);
}

}  // namespace
