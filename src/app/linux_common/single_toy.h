#pragma once

// One toy per user session. The running toy listens on a Unix socket in
// $XDG_RUNTIME_DIR (private to the user); a second start, or `zimblet --quit`,
// connects to it, which ends that toy. Nothing is ever done to a process by its
// id, and a socket left behind by a killed toy only refuses connections, so a
// stale one never blocks a start.

enum class ToyClaim {
    Claimed,       // no toy was running: this process is the toy now
    EndedRunning,  // a running toy was asked to end and has ended
    NoneRunning,   // only for --quit: there was no toy to end
    Unguarded,     // no socket could be had (why is on stderr): a toy plays without one
    Failed,        // a running toy did not end, or --quit found no way to ask (said on stderr)
};

// Becomes the session's toy, or ends the one that runs (when `onlyEnd`, never
// becomes the toy).
ToyClaim claimOrEndToy(bool onlyEnd);

// The socket the event loops watch, or -1 when this process claimed nothing.
int toyListener();

// Called when the listener is readable: true when another start of ours asks
// this toy to end. The asking connection stays open until the process ends, so
// the asker learns when the toy is gone.
bool toyAskedToEnd();
