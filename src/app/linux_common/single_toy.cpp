#include "app/linux_common/single_toy.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/linux_common/report.h"

namespace {

// How long a start waits for the running toy to end after asking it to.
constexpr int endWaitMilliseconds = 5000;

int listener = -1;

// Without a runtime folder a toy plays unguarded, and only --quit has to say why
// it found nothing.
bool socketAddress(sockaddr_un& address, char (&lockPath)[sizeof address.sun_path], bool onlyEnd) {
    const char* folder = std::getenv("XDG_RUNTIME_DIR");
    if (folder == nullptr || folder[0] != '/') {
        if (onlyEnd) report("XDG_RUNTIME_DIR is not set, so a running toy cannot be found");
        return false;
    }
    address = sockaddr_un{};
    address.sun_family = AF_UNIX;
    const int length = std::snprintf(address.sun_path, sizeof address.sun_path, "%s/zimblet.socket", folder);
    const int lockLength = std::snprintf(lockPath, sizeof lockPath, "%s/zimblet.lock", folder);
    // The socket's name is the longer of the two.
    if (length < 0 || lockLength < 0 || static_cast<std::size_t>(length) >= sizeof address.sun_path) {
        report("XDG_RUNTIME_DIR is too long for a socket path");
        return false;
    }
    return true;
}

// Waits until the toy at the other end of `connection` has ended and closed it.
ToyClaim waitForEnd(int connection) {
    pollfd wait{connection, POLLIN, 0};
    char byte;
    while (poll(&wait, 1, endWaitMilliseconds) > 0) {
        const ssize_t got = recv(connection, &byte, 1, 0);
        if (got == 0 || (got < 0 && errno != EINTR && errno != EAGAIN)) {
            close(connection);
            return ToyClaim::EndedRunning;
        }
    }
    close(connection);
    report("the running toy did not end within %d s", endWaitMilliseconds / 1000);
    return ToyClaim::Failed;
}

ToyClaim listenAt(int fd, const sockaddr_un& address) {
    unlink(address.sun_path);  // a socket of a toy that was killed: nobody listens there
    if (bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 || listen(fd, 4) != 0) {
        report("cannot listen at %s: %s", address.sun_path, std::strerror(errno));
        close(fd);
        return ToyClaim::Unguarded;
    }
    listener = fd;
    return ToyClaim::Claimed;
}

}  // namespace

//------------------------------------------------------------------------------
// Starts are serialised by a lock on a file beside the socket, so two starts at
// once cannot both find no toy and both become one.
ToyClaim claimOrEndToy(bool onlyEnd) {
    sockaddr_un address;
    char lockPath[sizeof address.sun_path];
    if (!socketAddress(address, lockPath, onlyEnd)) {
        return onlyEnd ? ToyClaim::Failed : ToyClaim::Unguarded;
    }
    const int lock = open(lockPath, O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lock < 0 || flock(lock, LOCK_EX) != 0) {
        report("cannot lock %s: %s", lockPath, std::strerror(errno));
        if (lock >= 0) close(lock);
        return onlyEnd ? ToyClaim::Failed : ToyClaim::Unguarded;
    }
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    ToyClaim claim = onlyEnd ? ToyClaim::Failed : ToyClaim::Unguarded;
    if (fd < 0) {
        report("cannot make a socket: %s", std::strerror(errno));
    } else if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
        claim = waitForEnd(fd);
    } else if (errno != ECONNREFUSED && errno != ENOENT) {
        // A toy may be there but too busy to answer: never take its socket away.
        report("cannot reach %s: %s", address.sun_path, std::strerror(errno));
        close(fd);
    } else if (onlyEnd) {
        close(fd);
        claim = ToyClaim::NoneRunning;
    } else {
        claim = listenAt(fd, address);
    }
    close(lock);
    return claim;
}

//------------------------------------------------------------------------------
int toyListener() {
    return listener;
}

//------------------------------------------------------------------------------
bool toyAskedToEnd() {
    const int connection = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (connection < 0) {
        return false;
    }
    ucred peer{};
    socklen_t size = sizeof peer;
    if (getsockopt(connection, SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0 || peer.uid != getuid()) {
        close(connection);
        return false;
    }
    return true;  // left open: it closes when this process ends
}
