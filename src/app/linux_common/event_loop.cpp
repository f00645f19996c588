#include "app/linux_common/event_loop.h"

#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>

#include <cerrno>
#include <cstring>

#include "app/linux_common/report.h"
#include "app/linux_common/single_toy.h"

namespace {

int signals = -1;
bool running = true;
int exitStatus = 0;

}  // namespace

//------------------------------------------------------------------------------
bool catchEndingSignals() {
    if (signals >= 0) return true;  // a desktop that falls back on another asks again
    sigset_t ending;
    sigemptyset(&ending);
    sigaddset(&ending, SIGINT);
    sigaddset(&ending, SIGTERM);
    signal(SIGPIPE, SIG_IGN);
    if (sigprocmask(SIG_BLOCK, &ending, nullptr) == 0) signals = signalfd(-1, &ending, SFD_CLOEXEC | SFD_NONBLOCK);
    if (signals < 0) report("cannot catch SIGINT and SIGTERM: %s", std::strerror(errno));
    return signals >= 0;
}

//------------------------------------------------------------------------------
void endLoop(int status) {
    if (running) exitStatus = status;
    running = false;
}

bool loopRunning() {
    return running;
}

//------------------------------------------------------------------------------
// The display first, so that what it has queued is handled before a signal or
// another start ends the program.
int runLoop(const DisplayConnection& display) {
    pollfd watched[3] = {{display.fd, 0, 0}, {signals, POLLIN, 0}, {toyListener(), POLLIN, 0}};
    while (running) {
        watched[0].events = display.prepare();
        if (!running) {
            display.wake(0);
            break;
        }
        if (poll(watched, 3, -1) < 0) {
            watched[0].revents = watched[1].revents = watched[2].revents = 0;
            if (errno != EINTR) {
                report("cannot wait for the display: %s", std::strerror(errno));
                endLoop(1);
            }
        }
        display.wake(watched[0].revents);
        if ((watched[1].revents & POLLIN) != 0 || ((watched[2].revents & POLLIN) != 0 && toyAskedToEnd())) {
            endLoop(0);
        }
    }
    return exitStatus;
}
