// Long random streams of mouse events over the created world, with the world's
// invariants checked after every single event, and every picture the host was
// given compared byte for byte with a full redraw of the same world.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <cstring>
#include <set>

#include "interaction/drag_state.h"
#include "interaction/mouse_event.h"
#include "recording_host.h"
#include "render/redraw.h"
#include "render/scene.h"
#include "world/world.h"

namespace {

using enum MouseMessage;

std::set<BrickUnit*> groupOf(BrickUnit* start) {
    std::set<BrickUnit*> group;
    std::vector<BrickUnit*> pending{start};
    while (!pending.empty()) {
        BrickUnit* unit = pending.back();
        pending.pop_back();
        if (unit != nullptr && group.insert(unit).second) {
            pending.insert(pending.end(), {unit->left, unit->right, unit->above, unit->below});
        }
    }
    return group;
}

class EventStream {
public:
    explicit EventStream(unsigned seed) : random_(seed) {
        resetRecordingHost(800, 600);  // the world reaches past the right and bottom edges
        std::srand(1);
        createWorld();
        world_.adoptCreatedWorld();
        for (BrickUnit* unit : World) bricks_.emplace_back(unit->colour, unit->left, unit->right);
        showWholeScene();
        const SurfacePixels& surface = recordingHost().surface;
        EXPECT_EQ(recordingHost().lastRegion.bounds(), wholeSurface(surface)) << "the first picture is all new";
        shown_.assign(surface.pixels, surface.pixels + surface.stride * surface.height);
        reference_.resize(shown_.size());
    }

    // One event chosen to visit every state with both buttons, near bricks and far off.
    std::string step() {
        const int choice = pick(0, 99);
        const DragState before = dragState;
        // A press while snapped may leave the old group at its preview until it moves again.
        if (before == DragState::Snapped && choice < 20) {
            for (BrickUnit* unit : groupOf(grabbedUnit)) previewed_.insert(unit);
        }
        MouseMessage message = Move;
        int32_t x = x_, y = y_;
        if (choice < 20) {
            message = choice < 10 ? LeftDown : RightDown;
            const BrickUnit* unit = World[static_cast<std::size_t>(pick(0, static_cast<int>(World.size()) - 1))];
            x = pick(0, 3) == 0 ? pick(-60, 1100) : unit->x + pick(0, 15);
            y = pick(0, 3) == 0 ? pick(-60, 850) : unit->y + pick(0, 18);
        } else if (choice < 32) {
            message = choice < 26 ? LeftUp : choice < 30 ? RightUp : Other;
        } else if (choice < 40 || steps_ == 0) {
            const bool far = pick(0, 9) == 0;  // as far as injected input and huge desktops reach
            x = far ? pick(-1000000, 1000000) : pick(-50, 1100);
            y = far ? pick(-1000000, 1000000) : pick(-50, 850);
            if (choice >= 40) {  // then head in slow steps for a place that lines up with a unit
                const BrickUnit* target = World[static_cast<std::size_t>(pick(0, static_cast<int>(World.size()) - 1))];
                goalX_ = target->x + pick(-9, 9);
                goalY_ = target->y + (pick(0, 1) == 0 ? -1 : 1) * pick(14, 36);
                x = goalX_ + pick(-20, 20);
                y = goalY_ + pick(-20, 20);
                steps_ = pick(3, 12);
            }
        } else {
            --steps_;
            x += std::clamp(goalX_ - x, -4, 4) + pick(-2, 2);
            y += std::clamp(goalY_ - y, -4, 4) + pick(-2, 2);
        }
        x_ = x;
        y_ = y;
        const SurfacePixels& surface = recordingHost().surface;
        std::vector<PixelRect> hitBefore;
        for (const BrickUnit* unit : World) hitBefore.push_back(hitFootprint(*unit, wholeSurface(surface)));
        const int presentsBefore = recordingHost().presentCount;
        handleMouseEvent(message, x, y);
        presented_ = recordingHost().presentCount != presentsBefore;
        if (presented_) {
            showRegion(recordingHost().lastRegion);
            for (std::size_t i = 0; i < World.size(); ++i) {
                const PixelRect now = hitFootprint(*World[i], wholeSurface(surface));
                if (now != hitBefore[i]) {
                    EXPECT_TRUE(covered(hitBefore[i]) && covered(now)) << "unit " << i << " hit-tests elsewhere";
                }
            }
        }
        const bool relaid = (message == Move && before != DragState::Idle) ||
                            ((message == LeftUp || message == RightUp) && before == DragState::Snapped);
        if (relaid) {
            for (BrickUnit* unit : groupOf(grabbedUnit)) previewed_.erase(unit);
        }
        return std::to_string(static_cast<int>(message)) + " at " + std::to_string(x) + ", " + std::to_string(y);
    }

    void checkInvariants() const {
        ASSERT_TRUE(dragState == DragState::Idle || grabbedUnit != nullptr);
        const auto held = dragState == DragState::Snapped ? groupOf(grabbedUnit) : std::set<BrickUnit*>{};
        for (std::size_t i = 0; i < World.size(); ++i) {
            BrickUnit* unit = World[i];
            ASSERT_EQ(unit->mark, 0) << "unit " << i;
            ASSERT_EQ(std::make_tuple(unit->colour, unit->left, unit->right), bricks_[i]) << "unit " << i;
            ASSERT_TRUE(unit->above == nullptr || unit->above->below == unit) << "unit " << i;
            ASSERT_TRUE(unit->below == nullptr || unit->below->above == unit) << "unit " << i;
            if (!held.count(unit) && !previewed_.count(unit)) {
                ASSERT_EQ(std::make_pair(unit->drawX, unit->drawY), std::make_pair(unit->x, unit->y)) << "unit " << i;
            }
        }
    }

    // After a redraw, the surface and what a host that brings over only the dirty
    // region shows both equal a full redraw of the world as it now stands. (A press
    // draws nothing: a brick it pulls loose shows its stud from the next step on.)
    void checkPicture() {
        if (!presented_) return;
        SurfacePixels& surface = recordingHost().surface;
        SurfacePixels reference = surface;
        reference.pixels = reference_.data();
        renderScene(reference);
        ASSERT_EQ(std::memcmp(surface.pixels, reference_.data(), reference_.size()), 0) << "drawn surface";
        ASSERT_EQ(shown_, reference_) << "picture shown through the dirty region";
    }

private:
    // Copies the region's rectangles, as a host puts them on the screen.
    void showRegion(const DirtyRegion& region) {
        const SurfacePixels& surface = recordingHost().surface;
        ASSERT_LE(region.count, DirtyRegion::capacity);
        for (int32_t i = 0; i < region.count; ++i) {
            const PixelRect& r = region.rects[i];
            ASSERT_EQ(intersectionOf(r, wholeSurface(surface)), r) << "region leaves the surface";
            for (int32_t row = r.top; row < r.bottom; ++row) {
                const std::size_t at = static_cast<std::size_t>(row * surface.stride + 4 * r.left);
                std::memcpy(shown_.data() + at, surface.pixels + at, static_cast<std::size_t>(4 * r.width()));
            }
        }
        region_ = region;
    }

    bool covered(const PixelRect& rect) const {
        if (rect.empty()) return true;
        for (int32_t i = 0; i < region_.count; ++i) {
            if (intersectionOf(rect, region_.rects[i]) == rect) return true;
        }
        return false;
    }

    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    TestWorld world_;
    std::mt19937 random_;
    std::vector<std::tuple<uint32_t, BrickUnit*, BrickUnit*>> bricks_;
    std::set<BrickUnit*> previewed_;
    std::vector<uint8_t> shown_, reference_;
    DirtyRegion region_;
    bool presented_ = false;
    int32_t x_ = 0, y_ = 0, goalX_ = 0, goalY_ = 0;
    int steps_ = 0;
};

TEST(RandomEventStreams, KeepMarksLinksColoursAndPositionsConsistent) {
    constexpr int streams = 20;
    constexpr int pictureStreams = 5;  // full-redraw comparisons are the slow part
    constexpr int eventsPerStream = 10000;
    long snapped = 0;
    std::size_t sounds = 0;
    for (int seed = 1; seed <= streams; ++seed) {
        EventStream stream(static_cast<unsigned>(seed));
        for (int event = 0; event < eventsPerStream; ++event) {
            const std::string sent = stream.step();
            snapped += dragState == DragState::Snapped;
            ASSERT_NO_FATAL_FAILURE(stream.checkInvariants()) << "stream " << seed << ", event " << event << ": " << sent;
            if (seed <= pictureStreams) {
                ASSERT_NO_FATAL_FAILURE(stream.checkPicture()) << "stream " << seed << ", event " << event << ": " << sent;
            }
        }
        sounds += recordingHost().sounds.size();
    }
    std::printf("random streams: %d events, %ld in Snapped, %zu sounds\n", streams * eventsPerStream, snapped, sounds);
    EXPECT_GT(snapped, 1000) << "the streams must reach the interesting states";
    EXPECT_GT(sounds, 100u);
}

}  // namespace
