// Long random streams of mouse events over the created world, with the world's
// invariants checked after every single event, and every redrawn picture, as the
// host was given it through the dirty region, compared byte for byte with a full
// redraw of the same world. scripts/soak.sh plays five times as many under the
// sanitizers, every picture compared (ZIMBLET_SOAK_STREAMS).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "interaction/drag_state.h"
#include "interaction/mouse_event.h"
#include "render/redraw.h"
#include "render/scene.h"
#include "test_world.h"
#include "world/world.h"

namespace {

using enum MouseMessage;

// Every unit reachable from the unit over its four links.
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

// Whether the neighbour stands one pitch away in both the logical and the drawn layout.
bool onLattice(const BrickUnit& unit, const BrickUnit* neighbour, int32_t dx, int32_t dy) {
    return neighbour == nullptr ||
           (neighbour->x == unit.x + dx && neighbour->y == unit.y + dy && neighbour->drawX == unit.drawX + dx &&
            neighbour->drawY == unit.drawY + dy);
}

// Random mouse events over the world created after srand(1), chosen to visit every
// state with both buttons, near bricks and far off.
class EventStream {
public:
    EventStream(unsigned seed, int width, int height) : world_(width, height), random_(seed) {
        for (BrickUnit* unit : World) bricks_.emplace_back(unit->colour, unit->left, unit->right);
    }

    // Picks one event, hands it to the core, and returns what it was.
    std::string step() {
        const int choice = pick(0, 99);
        const DragState before = dragState;
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
        handleMouseEvent(message, x, y);
        const bool relaid = (message == Move && before != DragState::Idle) ||
                            ((message == LeftUp || message == RightUp) && before == DragState::Snapped);
        if (relaid) {
            for (BrickUnit* unit : groupOf(grabbedUnit)) previewed_.erase(unit);
        }
        return std::to_string(static_cast<int>(message)) + " at " + std::to_string(x) + ", " + std::to_string(y);
    }

    // What is wrong with the world now, or nothing: marks 0 at rest, links symmetric,
    // bricks unchanged, every group on its lattice, drawn places equal to logical
    // ones outside a snap preview.
    std::string brokenInvariant() const {
        if (dragState != DragState::Idle && grabbedUnit == nullptr) return "a drag without a grabbed unit";
        const auto held = dragState == DragState::Snapped ? groupOf(grabbedUnit) : std::set<BrickUnit*>{};
        for (std::size_t i = 0; i < World.size(); ++i) {
            const BrickUnit& unit = *World[i];
            const std::string which = "unit " + std::to_string(i) + ": ";
            if (unit.mark != 0) return which + "mark " + std::to_string(unit.mark) + " at rest";
            if (std::make_tuple(unit.colour, unit.left, unit.right) != bricks_[i]) return which + "its brick changed";
            if (unit.above != nullptr && unit.above->below != &unit) return which + "above does not link back";
            if (unit.below != nullptr && unit.below->above != &unit) return which + "below does not link back";
            if (!onLattice(unit, unit.right, unitPitchX, 0) || !onLattice(unit, unit.below, 0, unitPitchY)) {
                return which + "off its group's lattice";
            }
            const bool previewed = held.count(World[i]) != 0 || previewed_.count(World[i]) != 0;
            if (!previewed && (unit.drawX != unit.x || unit.drawY != unit.y)) return which + "drawn away from its place";
        }
        return {};
    }

private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    TestWorld world_;
    std::mt19937 random_;
    std::vector<std::tuple<uint32_t, BrickUnit*, BrickUnit*>> bricks_;
    std::set<BrickUnit*> previewed_;  // left at a snap preview by a press while snapped
    int32_t x_ = 0, y_ = 0, goalX_ = 0, goalY_ = 0;
    int steps_ = 0;
};

std::vector<uint8_t> shown;  // what a host that brings over only the dirty rectangles shows

// The present step of such a host; fails when a rectangle leaves the surface.
void bringOver(const DirtyRegion& region) {
    const SurfacePixels& surface = memoryHost().surface;
    ASSERT_LE(region.count, DirtyRegion::capacity);
    for (int32_t i = 0; i < region.count; ++i) {
        const PixelRect& r = region.rects[i];
        ASSERT_EQ(intersectionOf(r, wholeSurface(surface)), r) << "region leaves the surface";
        for (int32_t row = r.top; row < r.bottom; ++row) {
            const auto at = static_cast<std::size_t>(row * surface.stride + 4 * r.left);
            std::memcpy(shown.data() + at, surface.pixels + at, static_cast<std::size_t>(4 * r.width()));
        }
    }
}

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
    const char* soak = std::getenv("ZIMBLET_SOAK_STREAMS");
    const int streams = soak != nullptr ? std::atoi(soak) : 20;
    const int pictureStreams = soak != nullptr ? streams : 5;  // full-redraw comparisons are the slow part
    constexpr int eventsPerStream = 10000;
    long snapped = 0;
    std::size_t sounds = 0;
    for (int seed = 1; seed <= streams; ++seed) {
        EventStream stream(static_cast<unsigned>(seed), 800, 600);  // the world reaches past two edges
        EXPECT_EQ(memoryHost().lastRegion.bounds(), wholeSurface(memoryHost().surface));
        shown = memoryHost().memory;
        memoryHost().presentStep = bringOver;
        std::vector<uint8_t> redrawn(shown.size());
        SurfacePixels reference{800, 600, 4 * 800, redrawn.data()};
        for (int event = 0; event < eventsPerStream; ++event) {
            const std::vector<PixelRect> hitBefore = hitFootprints();
            const int presentsBefore = memoryHost().presentCount;
            const std::string sent = stream.step();
            SCOPED_TRACE("stream " + std::to_string(seed) + ", event " + std::to_string(event) + ": " + sent);
            ASSERT_FALSE(HasFatalFailure());
            snapped += dragState == DragState::Snapped;
            ASSERT_EQ(stream.brokenInvariant(), "");
            // A press draws nothing: a brick it pulls loose shows its stud from the next step on.
            if (memoryHost().presentCount == presentsBefore) continue;
            const DirtyRegion& region = memoryHost().lastRegion;
            const std::vector<PixelRect> hitAfter = hitFootprints();
            for (std::size_t i = 0; i < World.size(); ++i) {
                ASSERT_TRUE(hitAfter[i] == hitBefore[i] || (covers(region, hitBefore[i]) && covers(region, hitAfter[i])))
                    << "unit " << i << " hit-tests elsewhere outside the dirty region";
            }
            if (seed <= pictureStreams) {
                renderScene(reference);
                ASSERT_TRUE(redrawn == memoryHost().memory) << "the surface differs from a full redraw";
                ASSERT_TRUE(shown == memoryHost().memory) << "a change lies outside the dirty region";
            }
        }
        sounds += memoryHost().sounds.size();
    }
    std::printf("random streams: %d events, %ld in Snapped, %zu sounds\n", streams * eventsPerStream, snapped, sounds);
    EXPECT_GT(snapped, 50L * streams) << "the streams must reach the interesting states";
    EXPECT_GT(sounds, 5u * static_cast<std::size_t>(streams));
}

}  // namespace
