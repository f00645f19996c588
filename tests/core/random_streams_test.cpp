// Long random streams of mouse events over the created world, with the world's
// invariants checked after every single event.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <set>

#include "interaction/drag_state.h"
#include "interaction/mouse_event.h"
#include "recording_host.h"
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
        std::srand(1);
        createWorld();
        world_.adoptCreatedWorld();
        for (BrickUnit* unit : World) bricks_.emplace_back(unit->colour, unit->left, unit->right);
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
        handleMouseEvent(message, x, y);
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

private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    TestWorld world_;
    std::mt19937 random_;
    std::vector<std::tuple<uint32_t, BrickUnit*, BrickUnit*>> bricks_;
    std::set<BrickUnit*> previewed_;
    int32_t x_ = 0, y_ = 0, goalX_ = 0, goalY_ = 0;
    int steps_ = 0;
};

TEST(RandomEventStreams, KeepMarksLinksColoursAndPositionsConsistent) {
    constexpr int streams = 20;
    constexpr int eventsPerStream = 10000;
    long snapped = 0;
    std::size_t sounds = 0;
    for (int seed = 1; seed <= streams; ++seed) {
        resetRecordingHost();
        EventStream stream(static_cast<unsigned>(seed));
        for (int event = 0; event < eventsPerStream; ++event) {
            const std::string sent = stream.step();
            snapped += dragState == DragState::Snapped;
            ASSERT_NO_FATAL_FAILURE(stream.checkInvariants()) << "stream " << seed << ", event " << event << ": " << sent;
        }
        sounds += recordingHost().sounds.size();
    }
    std::printf("random streams: %d events, %ld in Snapped, %zu sounds\n", streams * eventsPerStream, snapped, sounds);
    EXPECT_GT(snapped, 1000) << "the streams must reach the interesting states";
    EXPECT_GT(sounds, 100u);
}

}  // namespace
