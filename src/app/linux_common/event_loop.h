#pragma once

// The program's one loop. It sleeps in poll() on the display's connection, on the
// ending signals (SIGINT and SIGTERM, through a signalfd) and on the single toy's
// listener, and runs until something ends it: a signal or another start ends it
// with 0, the desktop with the status it gives endLoop.

// The display's connection and what the loop does with it.
struct DisplayConnection {
    int fd = -1;
    // Before the loop sleeps: handles what has come already and sends what waits;
    // returns the poll events to sleep on (POLLIN, with POLLOUT while sending waits).
    short (*prepare)() = nullptr;
    // Once after every prepare, with what poll saw on the connection (0 when the loop
    // ended before sleeping): reads and handles what came.
    void (*wake)(short revents) = nullptr;
};

// Turns SIGINT and SIGTERM into a descriptor the loop polls, and ignores SIGPIPE (a
// connection gone is an error the desktop reads). Called before the display is
// opened, again by a desktop that falls back on another; false, after saying why,
// when it cannot.
bool catchEndingSignals();

// Runs until endLoop, and returns the status it was given.
int runLoop(const DisplayConnection& display);

// Ends the loop after the current step, with `status`; the first status holds.
void endLoop(int status);

// Whether the loop runs, or is yet to run: nothing has ended it.
bool loopRunning();
