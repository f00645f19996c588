// Long random streams of mouse events over the created world, with the world's
// invariants checked after every single event, and every redrawn picture, as the
// host was given it through the dirty region, compared byte for byte with a full
// redraw of the same world.

#include <gtest/gtest.h>

#include <cstring>

#include "event_stream.h"
#include "interaction/drag_state.h"
#include "render/redraw.h"
#include "render/scene.h"
#include "world/world.h"

namespace {

// What a host that brings over only the dirty rectangles has on the screen.
class ShownPicture {
public:
    ShownPicture() : pixels_(memoryHost().memory) {}

    // Copies the region's rectangles; fails when they leave the surface.
    void bringOver(const DirtyRegion& region) {
        const SurfacePixels& surface = memoryHost().surface;
        ASSERT_LE(region.count, DirtyRegion::capacity);
        for (int32_t i = 0; i < region.count; ++i) {
            const PixelRect& r = region.rects[i];
            ASSERT_EQ(intersectionOf(r, wholeSurface(surface)), r) << "region leaves the surface";
            for (int32_t row = r.top; row < r.bottom; ++row) {
                const auto at = static_cast<std::size_t>(row * surface.stride + 4 * r.left);
                std::memcpy(pixels_.data() + at, surface.pixels + at, static_cast<std::size_t>(4 * r.width()));
            }
        }
    }

    bool equalsSurface() const {
        return std::memcmp(pixels_.data(), memoryHost().memory.data(), pixels_.size()) == 0;
    }

private:
    std::vector<uint8_t> pixels_;
};

bool covers(const DirtyRegion& region, const PixelRect& rect) {
    if (rect.empty()) return true;
    for (int32_t i = 0; i < region.count; ++i) {
        if (intersectionOf(rect, region.rects[i]) == rect) return true;
    }
    return false;
}

std::vector<PixelRect> hitFootprints() {
    std::vector<PixelRect> rects;
    for (const BrickUnit* unit : World) rects.push_back(hitFootprint(*unit, wholeSurface(memoryHost().surface)));
    return rects;
}

TEST(RandomEventStreams, KeepTheWorldConsistentAndEveryPictureEqualToAFullRedraw) {
    constexpr int streams = 20;
    constexpr int pictureStreams = 5;  // full-redraw comparisons are the slow part
    constexpr int eventsPerStream = 10000;
    long snapped = 0;
    std::size_t sounds = 0;
    for (int seed = 1; seed <= streams; ++seed) {
        EventStream stream(static_cast<unsigned>(seed), 800, 600);  // the world reaches past two edges
        EXPECT_EQ(memoryHost().lastRegion.bounds(), wholeSurface(memoryHost().surface));
        ShownPicture shown;
        for (int event = 0; event < eventsPerStream; ++event) {
            const std::vector<PixelRect> hitBefore = hitFootprints();
            const int presentsBefore = memoryHost().presentCount;
            const std::string sent = stream.step();
            SCOPED_TRACE("stream " + std::to_string(seed) + ", event " + std::to_string(event) + ": " + sent);
            snapped += dragState == DragState::Snapped;
            ASSERT_EQ(stream.brokenInvariant(), "");
            // A press draws nothing: a brick it pulls loose shows its stud from the next step on.
            if (memoryHost().presentCount == presentsBefore) continue;
            const DirtyRegion& region = memoryHost().lastRegion;
            ASSERT_NO_FATAL_FAILURE(shown.bringOver(region));
            const std::vector<PixelRect> hitAfter = hitFootprints();
            for (std::size_t i = 0; i < World.size(); ++i) {
                ASSERT_TRUE(hitAfter[i] == hitBefore[i] || (covers(region, hitBefore[i]) && covers(region, hitAfter[i])))
                    << "unit " << i << " hit-tests elsewhere outside the dirty region";
            }
            if (seed <= pictureStreams) {
                ASSERT_EQ(stream.pictureMismatch(), "");
                ASSERT_TRUE(shown.equalsSurface()) << "a change lies outside the dirty region";
            }
        }
        sounds += memoryHost().sounds.size();
    }
    std::printf("random streams: %d events, %ld in Snapped, %zu sounds\n", streams * eventsPerStream, snapped, sounds);
    EXPECT_GT(snapped, 1000) << "the streams must reach the interesting states";
    EXPECT_GT(sounds, 100u);
}

}  // namespace
