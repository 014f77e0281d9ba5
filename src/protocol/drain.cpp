// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/drain.h"

#include <cerrno>
#include <cstdint>
#include <ctime>

#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace protocol {

namespace {
// How often the output queue is looked at while it drains: about ten characters at 9600 baud.
constexpr long PasMs = 10;
constexpr std::size_t TailleLecture = 512;

std::int64_t nowMs()
{
    timespec t {};
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<std::int64_t>(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

void sleepMs(long ms)
{
    timespec t { ms / 1000, (ms % 1000) * 1000000 };
    while (::nanosleep(&t, &t) != 0 && errno == EINTR) { }
}

bool isSocket(int fd)
{
    struct stat info {};
    return ::fstat(fd, &info) == 0 && S_ISSOCK(info.st_mode);
}

// Bytes written to fd that have not left yet; -1 when the system cannot tell.
int pending(int fd)
{
    int count = 0;
    return ::ioctl(fd, TIOCOUTQ, &count) == 0 ? count : -1;
}

void dropInput(int fd)
{
    char scratch[TailleLecture];
    while (::recv(fd, scratch, sizeof scratch, MSG_DONTWAIT) > 0) { }
}
} // namespace

bool drainOutput(int fd, int maxMs)
{
    if (fd < 0)
        return true;
    const bool socket = isSocket(fd);
    if (socket)
        ::shutdown(fd, SHUT_WR);
    const std::int64_t end = nowMs() + maxMs;
    for (;;) {
        if (socket)
            dropInput(fd);
        const int left = pending(fd);
        if (left <= 0)
            return left == 0 || !socket; // a device that cannot tell has nothing to wait for
        const std::int64_t remaining = end - nowMs();
        if (remaining <= 0)
            return false;
        sleepMs(remaining < PasMs ? static_cast<long>(remaining) : PasMs);
    }
}

void closeDrained(int fd, int maxMs)
{
    if (fd < 0)
        return;
    drainOutput(fd, maxMs);
    ::close(fd);
}

} // namespace protocol
