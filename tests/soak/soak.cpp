// zimblet_soak [EVENTS] [SEED]: random mouse events over the created world, the
// world's invariants checked after every event and the picture against a full
// redraw at the first redraw of every hundred events. Prints the events run and the breaks found; exits
// 1 when there were any.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "event_stream.h"

int main(int argc, char** argv) {
    const long events = argc > 1 ? std::atol(argv[1]) : 1000000;
    const unsigned seed = argc > 2 ? static_cast<unsigned>(std::atol(argv[2])) : 1;
    constexpr long eventsPerWorld = 50000;  // then a fresh world, so no stream wanders off for good
    long run = 0;
    long breaks = 0;
    for (unsigned world = 0; run < events; ++world) {
        EventStream stream(seed * 1000 + world, 1024, 800);
        bool pictureDue = false;
        for (long event = 0; event < eventsPerWorld && run < events; ++event, ++run) {
            const int presents = memoryHost().presentCount;
            const std::string sent = stream.step();
            std::string broken = stream.brokenInvariant();
            // A press draws nothing, so the picture is compared right after a redraw.
            pictureDue = pictureDue || run % 100 == 0;
            if (broken.empty() && pictureDue && memoryHost().presentCount != presents) {
                pictureDue = false;
                broken = stream.pictureMismatch();
            }
            if (!broken.empty() && ++breaks <= 10) {
                std::printf("break at world %u, event %ld (%s): %s\n", world, event, sent.c_str(), broken.c_str());
            }
        }
    }
    std::printf("%ld events run, %ld breaks found\n", run, breaks);
    return breaks == 0 ? 0 : 1;
}
