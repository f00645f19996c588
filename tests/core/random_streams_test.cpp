// Long random streams of mouse events over the created world, with the world's
// invariants checked after every single event.

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <string>
#include <random>
#include <set>
#include <vector>

#include "interaction/drag_state.h"
#include "interaction/mouse_event.h"
#include "recording_host.h"
#include "world/world.h"

namespace {

using enum MouseMessage;

constexpr int32_t farAway = 1000000;

struct Frozen {
    uint32_t colour;
    BrickUnit* left;
    BrickUnit* right;
};

std::set<BrickUnit*> groupOf(BrickUnit* start) {
    std::set<BrickUnit*> group;
    std::vector<BrickUnit*> pending{start};
    while (!pending.empty()) {
        BrickUnit* unit = pending.back();
        pending.pop_back();
        if (unit == nullptr || !group.insert(unit).second) continue;
        pending.insert(pending.end(), {unit->left, unit->right, unit->above, unit->below});
    }
    return group;
}

class EventStream {
public:
    explicit EventStream(unsigned seed) : random_(seed) {
        std::srand(1);
        createWorld();
        world_.adoptCreatedWorld();
        for (BrickUnit* unit : World) frozen_.push_back({unit->colour, unit->left, unit->right});
    }

    // Sends one event chosen to visit every state and both buttons, near bricks and far off.
    void step() {
        const int choice = pick(0, 99);
        const DragState before = dragState;
        if (before == DragState::Snapped && choice < 20) {
            exempt(groupOf(grabbedUnit));  // a press now may leave it at its preview
        }
        if (choice < 10) {
            press(LeftDown);
        } else if (choice < 20) {
            press(RightDown);
        } else if (choice < 26) {
            send(LeftUp, pointerX_, pointerY_);
        } else if (choice < 30) {
            send(RightUp, pointerX_, pointerY_);
        } else if (choice < 32) {
            send(Other, pointerX_, pointerY_);
        } else if (choice < 40) {
            jump();
        } else {
            approach();
        }
        // A drag step or an attach lays the held group out afresh.
        if (relaid_) {
            for (BrickUnit* unit : groupOf(grabbedUnit)) exempted_.erase(unit);
        }
    }

    void checkInvariants() const {
        if (dragState != DragState::Idle) {
            ASSERT_NE(grabbedUnit, nullptr);
        }
        const std::set<BrickUnit*> held =
            dragState == DragState::Snapped ? groupOf(grabbedUnit) : std::set<BrickUnit*>{};
        for (std::size_t i = 0; i < World.size(); ++i) {
            const BrickUnit* unit = World[i];
            ASSERT_EQ(unit->mark, 0) << "unit " << i;
            ASSERT_EQ(unit->colour, frozen_[i].colour) << "unit " << i;
            ASSERT_EQ(unit->left, frozen_[i].left) << "unit " << i;
            ASSERT_EQ(unit->right, frozen_[i].right) << "unit " << i;
            if (unit->above != nullptr) {
                ASSERT_EQ(unit->above->below, unit) << "unit " << i;
            }
            if (unit->below != nullptr) {
                ASSERT_EQ(unit->below->above, unit) << "unit " << i;
            }
            BrickUnit* mutableUnit = World[i];
            if (!held.count(mutableUnit) && !exempted_.count(mutableUnit)) {
                ASSERT_EQ(unit->drawX, unit->x) << "unit " << i;
                ASSERT_EQ(unit->drawY, unit->y) << "unit " << i;
            }
        }
    }

    // The last events sent, for the failure message.
    std::string history() const {
        std::string text;
        for (const std::string& line : recent_) text += "  " + line + "\n";
        return text;
    }

    long attaches() const { return static_cast<long>(recordingHost().sounds.size()); }

private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    BrickUnit* anyUnit() { return World[static_cast<std::size_t>(pick(0, static_cast<int>(World.size()) - 1))]; }

    void send(MouseMessage message, int32_t x, int32_t y) {
        pointerX_ = x;
        pointerY_ = y;
        const DragState before = dragState;
        relaid_ = (message == Move && before != DragState::Idle) ||
                  ((message == LeftUp || message == RightUp) && before == DragState::Snapped);
        const HookAnswer answer = handleMouseEvent(message, x, y);
        recent_.push_back(std::to_string(static_cast<int>(message)) + " (" + std::to_string(x) + ", " +
                          std::to_string(y) + ") " + std::to_string(static_cast<int>(before)) + " -> " +
                          std::to_string(static_cast<int>(dragState)) + " answer " +
                          std::to_string(static_cast<int>(answer)) + " grabbed " + std::to_string(grabbedIndex()));
        if (recent_.size() > 12) recent_.pop_front();
    }

    int grabbedIndex() const {
        for (std::size_t i = 0; i < World.size(); ++i) {
            if (World[i] == grabbedUnit) return static_cast<int>(i);
        }
        return -1;
    }

    void press(MouseMessage button) {
        if (pick(0, 3) == 0) {
            send(button, pick(-60, 1100), pick(-60, 850));  // mostly beside the bricks
        } else {
            const BrickUnit* unit = anyUnit();
            send(button, unit->x + pick(0, 15), unit->y + pick(0, 18));
        }
    }

    void jump() {
        if (pick(0, 9) == 0) {
            send(Move, pick(-farAway, farAway), pick(-farAway, farAway));
        } else {
            send(Move, pick(-50, 1100), pick(-50, 850));
        }
    }

    // Heads for a place where the grabbed unit lines up with some unit, in slow steps
    // once close: the moves that snap, attach and push into other bricks.
    void approach() {
        if (targetSteps_ == 0) {
            const BrickUnit* target = anyUnit();
            goalX_ = target->x + pick(-9, 9);
            goalY_ = target->y + (pick(0, 1) == 0 ? -1 : 1) * pick(14, 36);
            targetSteps_ = pick(3, 12);
            send(Move, goalX_ + pick(-20, 20), goalY_ + pick(-20, 20));
            return;
        }
        --targetSteps_;
        const auto toward = [this](int32_t from, int32_t to) {
            const int32_t gap = to - from;
            return from + (gap > 4 ? 4 : gap < -4 ? -4 : gap) + pick(-2, 2);
        };
        send(Move, toward(pointerX_, goalX_), toward(pointerY_, goalY_));
    }

    void exempt(const std::set<BrickUnit*>& group) { exempted_.insert(group.begin(), group.end()); }

    TestWorld world_;
    std::mt19937 random_;
    std::vector<Frozen> frozen_;
    std::set<BrickUnit*> exempted_;
    std::deque<std::string> recent_;
    int32_t pointerX_ = 0;
    int32_t pointerY_ = 0;
    int32_t goalX_ = 0;
    int32_t goalY_ = 0;
    int targetSteps_ = 0;
    bool relaid_ = false;
};

TEST(RandomEventStreams, KeepMarksLinksColoursAndPositionsConsistent) {
    constexpr int streams = 20;
    constexpr int eventsPerStream = 10000;
    long sounds = 0;
    long snappedEvents = 0;
    for (int seed = 1; seed <= streams; ++seed) {
        resetRecordingHost();
        EventStream stream(static_cast<unsigned>(seed));
        for (int event = 0; event < eventsPerStream; ++event) {
            stream.step();
            if (dragState == DragState::Snapped) ++snappedEvents;
            ASSERT_NO_FATAL_FAILURE(stream.checkInvariants()) << "stream " << seed << ", event " << event << "; last events (message, point, state, answer):\n"
                << stream.history();
        }
        sounds += stream.attaches();
    }
    std::printf("random streams: %d events, %ld in Snapped, %ld sounds\n", streams * eventsPerStream, snappedEvents,
                sounds);
    // The streams must actually reach the interesting states.
    EXPECT_GT(snappedEvents, 1000);
    EXPECT_GT(sounds, 100);
}

}  // namespace
